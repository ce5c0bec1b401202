// A whole frame of each demo part as the program runs it: the darkening, the part's drawing and
// moving, and the frame tail without pacing and presenting. The demo runs on the headless
// system, started as it always is.

#include <benchmark/benchmark.h>

#include "driver/demo.hpp"
#include "driver/part.hpp"
#include "image/image.hpp"
#include "platform/headless.hpp"

namespace novu {
namespace {

// The part is set up and run for a while before timing, so its effects are in their steady state.
void part_frames(benchmark::State& state, const DemoPartShape& part) {
  constexpr int warm_up_frames = 100;
  headless_reset();
  if (!demo_init()) {
    state.SkipWithError("the demo did not start");
    return;
  }
  if (part.setup != nullptr) part.setup();
  for (int i = 0; i < warm_up_frames; ++i) {
    img_fade(screen, part.trail);
    part.draw();
    demo_frame_tail_unshown();
  }
  for (auto _ : state) {
    img_fade(screen, part.trail);
    part.draw();
    demo_frame_tail_unshown();
    benchmark::ClobberMemory();
  }
  demo_shutdown();
  headless_reset();
}

BENCHMARK_CAPTURE(part_frames, part1, demo_part1_shape)->Name("part1");
BENCHMARK_CAPTURE(part_frames, part2, demo_part2_shape)->Name("part2");
BENCHMARK_CAPTURE(part_frames, part3, demo_part3_shape)->Name("part3");
BENCHMARK_CAPTURE(part_frames, part4, demo_part4_shape)->Name("part4");
BENCHMARK_CAPTURE(part_frames, part5, demo_part5_shape)->Name("part5");
BENCHMARK_CAPTURE(part_frames, part6, demo_part6_shape)->Name("part6");
BENCHMARK_CAPTURE(part_frames, part7, demo_part7_shape)->Name("part7");

}  // namespace
}  // namespace novu
