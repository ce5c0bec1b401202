// Part seven: a flight through grey 3D stars. It continues from where it stopped: no set-up.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
void draw() noexcept {
  stars3d_draw(demo_stars3d, screen);
  stars3d_update(demo_stars3d);
}
}  // namespace

const DemoPartShape demo_part7_shape = {32, 1000, nullptr, draw};

void demo_part7() noexcept { demo_run_part(demo_part7_shape); }

}  // namespace novu
