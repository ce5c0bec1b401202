// The whole program under pressure, on the headless system: every allocation failing in turn, a
// stop signal, and long runs whose heap must come back to where it was.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/alloc.hpp"
#include "capture_options.hpp"
#include "driver/demo.hpp"
#include "platform/fps.hpp"
#include "platform/headless.hpp"

namespace novu {
namespace {

constexpr int fade_frames = 32;
constexpr int full_lengths[7] = {1001, 1501, 1000, 1000, 1000, 1000, 1000};

struct DemoRun {
  int status = 0;
  std::string said = {};          // standard error
  std::uint32_t presents = 0;
  std::vector<std::uint32_t> sample_at = {};  // presents after which the heap in use is noted
  std::vector<MemUse> heap = {};
  std::uint32_t budget = 0;       // a run still going after this present has missed its stop
};

void watch(void* user_data, const HeadlessFrame& frame) noexcept {
  auto* run = static_cast<DemoRun*>(user_data);
  for (std::uint32_t at : run->sample_at) {
    if (frame.index == at) run->heap.push_back(mem_in_use());
  }
  if (frame.index >= run->budget) demo_request = demo_request_quit;
}

// A fresh process running the demo with keys in demo-capture's form.
DemoRun run_demo(const std::string& keys, DemoRun run, int signal_after = -1, int signal = 0) {
  headless_reset();
  fps_last_us = fps_slack_us = 0;
  std::vector<CaptureEvent> events;
  bool quits = false;
  std::string error;
  EXPECT_TRUE(capture_parse_keys(keys.c_str(), &events, &quits, &error)) << error;
  for (const CaptureEvent& e : events) headless_schedule_event(e.after_present, e.type, e.sym);
  if (signal != 0) headless_schedule_stop_signal(static_cast<std::uint32_t>(signal_after), signal);
  headless_set_present_hook(watch, &run);
  ::testing::internal::CaptureStderr();
  run.status = demo_main();
  run.said = ::testing::internal::GetCapturedStderr();
  run.presents = headless_presents();
  headless_reset();
  return run;
}

// Part k's first frame (counting from 0 over a run of cycles) when the parts last `lengths`.
std::uint32_t first_frame(int k, const int (&lengths)[7]) {
  std::uint32_t at = 0;
  for (int i = 0; i < k; ++i) at += fade_frames + lengths[i % 7];
  return at + fade_frames;
}

// Each part of `cycles` cycles left with Space after `length` frames, with `keys` pressed at
// the given frames of every part, then q.
std::string script(int cycles, const int (&lengths)[7], bool skip, const std::vector<std::string>& keys) {
  std::string s;
  for (int k = 0; k < 7 * cycles; ++k) {
    const std::uint32_t first = first_frame(k, lengths);
    for (std::size_t i = 0; i < keys.size(); ++i) s += std::to_string(first + 2 + 3 * i) + ":" + keys[i] + ",";
    if (skip) s += std::to_string(first + lengths[k % 7] - 1) + ":space,";
  }
  return s + std::to_string(first_frame(7 * cycles, lengths) + 1) + ":q";
}

TEST(Robustness, WithAnyAllocationFailingTheDemoRunsOnWithoutItOrStopsSayingSo) {
  const int two[7] = {2, 2, 2, 2, 2, 2, 2};
  const std::string keys = script(1, two, true, {});
  const MemUse before = mem_in_use();
  int stopped = 0;
  unsigned long k = 0;
  for (bool fired = true; fired; ++k) {
    mem_fail_after(k);
    const DemoRun run = run_demo(keys, {.budget = 400});
    fired = !mem_fail_pending();
    mem_fail_disarm();
    EXPECT_LT(run.presents, 400u) << "allocation " << k << ": the quit key was missed";
    if (run.status == demo_exit_no_memory) {
      ++stopped;
      EXPECT_EQ(run.said, "NOVU4471 cannot start: the system ran out of memory while it was starting.\n");
    } else {
      EXPECT_EQ(std::pair(run.status, run.said), std::pair(demo_exit_after_quit, std::string())) << k;
    }
    EXPECT_EQ(mem_in_use(), before) << "allocation " << k << " failing leaks";
  }
  const unsigned long allocations = k - 1;
  EXPECT_GT(allocations, 50u);
  EXPECT_GT(stopped, 0);
}

TEST(Robustness, AStopSignalEndsThePartThroughTheShutdownFadeWithTheSignalsStatus) {
  // SIGTERM after present 40, in part one: the tail of frame 40 sees it, then the fade-out.
  const DemoRun run = run_demo("200:1", {.budget = 300}, 40, 15);
  EXPECT_EQ(run.status, 128 + 15);
  EXPECT_EQ(run.presents, 41u + fade_frames);
  EXPECT_EQ(run.said, "");
}

// Cycles of the seven parts at their full lengths with keys pressed in every part: the heap in
// use at the start of every cycle is what it was at the start of the first. Two cycles (about
// 15,500 frames) by default; NOVU_SOAK_CYCLES=N runs N, e.g. 100 for some four hours of the demo.
TEST(Robustness, CyclesWithKeysInEveryPartLeaveTheHeapAsTheyFoundIt) {
  const char* asked = std::getenv("NOVU_SOAK_CYCLES");
  const int cycles = asked != nullptr && std::atoi(asked) >= 2 ? std::atoi(asked) : 2;
  const std::string keys = script(cycles, full_lengths, false, {"8", "a", "9", "d", "8", "g", "9", "1", "o"});
  // The twentieth frame of part one: the music has made its first hit and the play queue has
  // filled up to its working length.
  std::vector<std::uint32_t> starts;
  for (int c = 0; c < cycles; ++c) starts.push_back(first_frame(7 * c, full_lengths) + 19);
  const DemoRun run = run_demo(keys, {.sample_at = starts, .budget = first_frame(7 * cycles, full_lengths) + 100});
  ASSERT_EQ(run.heap.size(), starts.size());
  for (const MemUse& heap : run.heap) {
    EXPECT_EQ(heap, run.heap[0]) << heap.blocks << " blocks, " << heap.bytes << " bytes, at first "
                                 << run.heap[0].blocks << " blocks, " << run.heap[0].bytes << " bytes";
  }
  EXPECT_EQ(run.status, demo_exit_after_quit);
}

}  // namespace
}  // namespace novu
