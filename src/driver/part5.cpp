// Part five: a long twisting chain of red sine dots with long trails.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// Its object, the sine dots, is made at start-up (demo.cpp).

// A differently shaped chain at every start of the part.
void setup() noexcept {}

// The chain drawn, then moved.
void draw() noexcept {}
}  // namespace

void demo_part5() noexcept { demo_run_part({8, 1000, setup, draw}); }

}  // namespace novu
