#include "effects/radars.hpp"

#include <cstdlib>

#include "base/alloc.hpp"
#include "base/sine_table.hpp"
#include "base/wrap.hpp"
#include "effects/limits.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_side = 256;
constexpr std::int32_t default_count = 16;
constexpr std::uint32_t default_colour = 0xFFFFFF;
constexpr std::int32_t quarter_turn = 256;
// rand() % 1023, not 1024: the last table step never starts a point.
constexpr int angle_draws = 1023;

}  // namespace

Radars* radars_create() noexcept {
  Radars* radars = mem_new<Radars>();
  if (radars == nullptr) return nullptr;
  radars->width = default_side;
  radars->height = default_side;
  radars->centre_x = default_side / 2;
  radars->centre_y = default_side / 2;
  radars->speed_x = 1;
  radars->speed_y = 1;
  radars->colour = default_colour;
  radars_set_count(radars, default_count);
  return radars;
}

Radars* radars_create_if(int flag) noexcept { return flag != 0 ? radars_create() : nullptr; }

// Without an array the record keeps the count and draws nothing until the next set-count.
void radars_set_count(Radars* radars, std::int32_t count) noexcept {
  if (radars == nullptr || !effect_count_ok(count)) return;
  mem_free(radars->points);
  radars->count = count;
  radars->points = mem_new<RadarPoint>(static_cast<std::size_t>(count));
  if (radars->points == nullptr || radars->width <= 0 || radars->height <= 0) return;
  for (std::int32_t i = 0; i < count; ++i) radars_reset_point(radars, i);
}

void radars_reset_point(Radars* radars, std::int32_t index) noexcept {
  if (radars == nullptr || radars->points == nullptr || index < 0 || index >= radars->count) return;
  if (radars->width <= 0 || radars->height <= 0) return;
  RadarPoint& point = radars->points[index];
  point.angle_x = std::rand() % angle_draws;
  point.angle_y = rem_trunc(point.angle_x + quarter_turn, sine_table_length);
  // In 64 bits so that any positive width gives a positive modulus.
  const std::int64_t radii = std::int64_t{radars->width} * 3 / 2;
  point.radius = static_cast<std::int32_t>(std::rand() % radii);
}

void radars_scatter(Radars* radars) noexcept {
  if (radars == nullptr) return;
  for (std::int32_t i = 0; i < radars->count; ++i) radars_reset_point(radars, i);
}

void radars_update(Radars* radars) noexcept {
  if (radars == nullptr || radars->points == nullptr) return;
  const std::int32_t length = sine_table_length;
  const std::int32_t speed_x = radars->speed_x, speed_y = radars->speed_y;
  RadarPoint* const points = radars->points;
  for (std::int32_t i = 0, n = radars->count; i < n; ++i) {
    // Negative sums turn the angle backwards from the top of the table.
    points[i].angle_x = mod_floor(wrap_add(points[i].angle_x, speed_x), length);
    points[i].angle_y = mod_floor(wrap_add(points[i].angle_y, speed_y), length);
  }
}

void radars_draw(Radars* radars, Image* target) noexcept {
  if (radars == nullptr || radars->points == nullptr || !img_has_pixels(target)) return;
  radars->width = target->width;
  radars->height = target->height;
  const std::int32_t cx = radars->centre_x, cy = radars->centre_y;
  const std::uint32_t colour = radars->colour;
  const RadarPoint* const points = radars->points;
  // Table values reach 32766, so the shift by 16 leaves about half the radius.
  for (std::int32_t i = 0, n = radars->count; i < n; ++i) {
    const RadarPoint& p = points[i];
    const std::int32_t x = wrap_add(cx, shr_arith(wrap_mul(sine_at(p.angle_x), p.radius), 16));
    const std::int32_t y = wrap_add(cy, shr_arith(wrap_mul(sine_at(p.angle_y), p.radius), 16));
    img_put_pixel(target, x, y, colour);
  }
}

void radars_destroy(Radars** radars) noexcept {
  if (radars == nullptr || *radars == nullptr) return;
  mem_free((*radars)->points);
  mem_free(*radars);
  *radars = nullptr;
}

}  // namespace novu
