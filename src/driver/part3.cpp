// Part three: four green radars turning around the centre of the screen.

#include <cstdlib>

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// New speeds at every start, radar k (from 0) turning k + 1 ... 2k + 2 steps a frame, all one
// way or, when the last draw is even, all the other.
void setup() noexcept {
  std::int32_t speeds[demo_layers];
  for (std::int32_t k = 0; k < demo_layers; ++k) speeds[k] = k + 1 + std::rand() % (k + 2);
  const bool backwards = std::rand() % 2 == 0;
  for (std::int32_t k = 0; k < demo_layers; ++k) {
    Radars* radar = demo_radars[k];
    if (radar == nullptr) continue;
    radar->speed_x = radar->speed_y = backwards ? -speeds[k] : speeds[k];
  }
}

void draw() noexcept {
  for (Radars* radar : demo_radars) radars_draw(radar, screen);
  for (Radars* radar : demo_radars) radars_update(radar);
}
}  // namespace

const DemoPartShape demo_part3_shape = {16, 1000, setup, draw};

void demo_part3() noexcept { demo_run_part(demo_part3_shape); }

}  // namespace novu
