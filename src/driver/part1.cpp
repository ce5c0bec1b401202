// Part one: four layers of blue stars drifting in one common random direction.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// Its objects, stars A1-A4, are made at start-up and released at shutdown (demo.cpp).

// New speeds for A1-A4 at every start of the part.
void setup() noexcept {}

// A1-A4 drawn, then moved.
void draw() noexcept {}
}  // namespace

void demo_part1() noexcept { demo_run_part({16, 1001, setup, draw}); }

}  // namespace novu
