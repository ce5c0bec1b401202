#pragma once
// The common shape of a demo part: fade out what the screen shows, the part's set-up, then a
// counted frame loop of darkening, the part's drawing and the common frame tail.

#include <cstdint>

namespace novu {

struct DemoPartShape {
  std::int32_t trail;        // how much every frame darkens the screen first
  std::int32_t frames;       // the part ends by itself after this many frames
  void (*setup)() noexcept;  // null: the part continues from where it stopped
  void (*draw)() noexcept;
};

// Returns when the frames are spent or as soon as a key has set demo_request.
void demo_run_part(const DemoPartShape& part) noexcept;

extern const DemoPartShape demo_part1_shape;
extern const DemoPartShape demo_part2_shape;
extern const DemoPartShape demo_part3_shape;
extern const DemoPartShape demo_part4_shape;
extern const DemoPartShape demo_part5_shape;
extern const DemoPartShape demo_part6_shape;
extern const DemoPartShape demo_part7_shape;

}  // namespace novu
