// Part two: grey stars, the bobbing text scroller and the logo bent by two sine waves, enlarged.

#include <algorithm>
#include <cstdlib>

#include "base/sine_table.hpp"
#include "base/wrap.hpp"
#include "driver/demo.hpp"
#include "driver/part.hpp"
#include "image/blit.hpp"

namespace novu {

namespace {
constexpr std::int32_t logo_spread = 3;  // each bent-logo pixel becomes one dot of a 3 x 3 cell
constexpr std::int32_t bob_margin = 4;   // the text keeps this far from the top and bottom

// Where the scroller bounces: centred, swinging to within bob_margin of either edge.
std::int32_t bob_centre = 0;
std::int32_t bob_swing = 0;

// New wave shapes and a new bob at every start; a larger amplitude comes with a longer wave, and
// one start in seven shows the logo unbent.
void setup() noexcept {
  const std::int32_t x_amplitude = 4 + std::rand() % 31;
  const std::int32_t x_speed = 4 + std::rand() % 15;
  const std::int32_t y_amplitude = 4 + std::rand() % 15;
  const std::int32_t y_speed = 4 + std::rand() % 15;
  const bool unbent = std::rand() % 7 == 0;
  if (demo_distx != nullptr) {
    demo_distx->amplitude = unbent ? 0 : x_amplitude;
    demo_distx->wave.speed = x_speed;
    demo_distx->wave.offset_step = 35 - x_amplitude;
  }
  if (demo_disty != nullptr) {
    demo_disty->amplitude = unbent ? 0 : y_amplitude;
    demo_disty->wave.speed = y_speed;
    demo_disty->wave.offset_step = 19 - y_amplitude;
  }
  const std::int32_t bob_speed = 4 + std::rand() % 7;
  const std::int32_t bob_step = 31 + std::rand() % 15;  // drawn, though only cursorx_step reads it
  if (demo_bob != nullptr) {
    demo_bob->length = 1024;
    demo_bob->speed = bob_speed;
    demo_bob->offset_step = bob_step;
  }
  const std::int32_t line_height = demo_scroller != nullptr ? demo_scroller->line_height : 0;
  bob_centre = (screen_height - line_height) / 2;
  bob_swing = bob_centre - bob_margin;
}

// Only DistY draws into the big buffer, and only into the columns its source reaches (wrapping
// down each column): clearing those leaves the same buffer as clearing all of it, for a third of
// the work.
void clear_reach(Image* buffer, const DistY* distortion) noexcept {
  if (!img_has_pixels(buffer)) return;
  if (distortion == nullptr || distortion->source == nullptr) {
    img_clear(buffer);
    return;
  }
  const std::int64_t first = std::max<std::int64_t>(0, distortion->x_offset);
  const std::int64_t last = std::min<std::int64_t>(buffer->width, std::int64_t{distortion->x_offset} + distortion->source->width);
  if (first < last) {
    img_fill_rect(buffer, static_cast<std::int32_t>(first), 0, static_cast<std::int32_t>(last - first), buffer->height, 0);
  }
}

void draw() noexcept {
  for (Stars* layer : demo_stars_grey) stars_draw(layer, screen);
  for (Stars* layer : demo_stars_grey) stars_update(layer);

  const std::int32_t bob = sine_at(cursorx_advance(demo_bob));
  if (demo_scroller != nullptr) demo_scroller->y = wrap_add(bob_centre, shr_arith(wrap_mul(bob, bob_swing), 15));
  scroller_draw(demo_scroller);
  scroller_step(demo_scroller);

  img_clear(demo_wave);
  distx_draw(demo_distx, demo_wave);
  distx_advance(demo_distx);
  clear_reach(demo_big_wave, demo_disty);
  disty_draw(demo_disty, demo_big_wave);
  disty_advance(demo_disty);
  if (demo_big_wave != nullptr) {
    img_blit_spread(demo_big_wave, screen, 0, 0, (screen_width - demo_big_wave->width) / 2, 0, demo_big_wave->width,
                    demo_big_wave->height, logo_spread, logo_spread);
  }
}
}  // namespace

// The scroller keeps the speed until the next speed key; it only shows in this part.
void demo_set_scroll_speed(std::int32_t pixels_per_frame) noexcept {
  if (demo_scroller != nullptr) demo_scroller->speed = pixels_per_frame;
}

const DemoPartShape demo_part2_shape = {32, 1501, setup, draw};

void demo_part2() noexcept { demo_run_part(demo_part2_shape); }

}  // namespace novu
