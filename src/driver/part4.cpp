// Part four: four 3D spark bursts in perspective. It continues from where it stopped: no set-up.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// Drawn over each other in creation order, without depth sorting.
void draw() noexcept {
  for (Splix3D* splix : demo_splix) splix3d_draw(splix, screen);
  for (Splix3D* splix : demo_splix) splix3d_update(splix);
}
}  // namespace

const DemoPartShape demo_part4_shape = {32, 1000, nullptr, draw};

void demo_part4() noexcept { demo_run_part(demo_part4_shape); }

}  // namespace novu
