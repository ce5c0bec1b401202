// Part one: four layers of blue stars drifting in one common random direction.

#include <cstdlib>

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// A new direction at every start: never upwards, just under 2 pixels a frame sideways and 4
// down for the slowest layer, and the others 1.5, 2 and 3 times as fast.
void setup() noexcept {
  Stars* const* layer = demo_stars_blue;
  const std::int32_t dx = std::rand() % 0x3ffff - 0x1ffff;
  const std::int32_t dy = std::rand() % 0x3ffff;
  const std::int32_t speed_x[demo_layers] = {dx, dx + (dx >> 1), 2 * dx, 3 * dx};
  const std::int32_t speed_y[demo_layers] = {dy, dy + (dy >> 1), 2 * dy, 3 * dy};
  for (int i = 0; i < demo_layers; ++i) {
    if (layer[i] == nullptr) continue;
    layer[i]->dx = speed_x[i];
    layer[i]->dy = speed_y[i];
  }
}

// The fast bright layers are drawn over the slow dark ones.
void draw() noexcept {
  for (Stars* layer : demo_stars_blue) stars_draw(layer, screen);
  for (Stars* layer : demo_stars_blue) stars_update(layer);
}
}  // namespace

const DemoPartShape demo_part1_shape = {16, 1001, setup, draw};

void demo_part1() noexcept { demo_run_part(demo_part1_shape); }

}  // namespace novu
