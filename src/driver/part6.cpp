// Part six: a gas of yellow particles bouncing off whatever the screen already shows. It
// continues from where it stopped: no set-up.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// The update tests the screen the gas was just drawn into, which still holds last frame's logo
// strip and counter: the particles bounce off those too.
void draw() noexcept {
  gas2d_draw(demo_gas, screen);
  gas2d_update(demo_gas);
}
}  // namespace

const DemoPartShape demo_part6_shape = {32, 1000, nullptr, draw};

void demo_part6() noexcept { demo_run_part(demo_part6_shape); }

}  // namespace novu
