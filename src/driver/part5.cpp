// Part five: a long twisting chain of red sine dots with long trails.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// A differently shaped chain at every start of the part.
void setup() noexcept { sinedots_randomise(demo_sinedots); }

void draw() noexcept {
  sinedots_draw(demo_sinedots, screen);
  sinedots_update(demo_sinedots);
}
}  // namespace

const DemoPartShape demo_part5_shape = {8, 1000, setup, draw};

void demo_part5() noexcept { demo_run_part(demo_part5_shape); }

}  // namespace novu
