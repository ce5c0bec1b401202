// Part three: four green radars turning around the centre of the screen.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// Its objects, radars 1-4, are made at start-up and released at shutdown (demo.cpp).

// New speeds and one common direction at every start of the part.
void setup() noexcept {}

// Radars 1-4 drawn, then turned.
void draw() noexcept {}
}  // namespace

void demo_part3() noexcept { demo_run_part({16, 1000, setup, draw}); }

}  // namespace novu
