#include "effects/stars.hpp"

#include <cstdio>
#include <cstdlib>

#include "base/alloc.hpp"
#include "base/fixed.hpp"
#include "base/wrap.hpp"
#include "effects/limits.hpp"

namespace novu {

std::uint8_t stars_verbose = 0;

void stars_error() noexcept {
  if (stars_verbose != 0) std::puts("STARS error");
}

namespace {
constexpr std::int32_t default_side = 256;
constexpr std::int32_t default_count = 16;
constexpr std::uint32_t default_colour = 0xFFFFFF;
constexpr std::int32_t glyph_codes = 64;
constexpr std::int32_t glyph_offset = 16;  // a glyph is drawn with the star near its middle

bool has_area(const Stars* stars) noexcept { return stars->width > 0 && stars->height > 0; }

// Two draws per star, x first. The caller has checked the array and the area.
void place_randomly(Stars* stars) noexcept {
  for (std::int32_t i = 0; i < stars->count; ++i) {
    const std::int32_t rx = std::rand() % stars->width;
    const std::int32_t ry = std::rand() % stars->height;
    stars->stars[i] = {fix_from_int(rx), fix_from_int(ry)};
  }
}

// The odds of entering through a horizontal edge: the integer part of the speed plus one, so a
// speed in [-1.0, 0) weighs nothing.
std::int32_t edge_weight(std::int32_t speed) noexcept {
  const std::int32_t w = fix_int(speed) + 1;
  return w < 0 ? -w : w;
}
}  // namespace

Stars* stars_create() noexcept {
  Stars* stars = mem_new<Stars>();
  if (stars == nullptr) {
    stars_error();
    return nullptr;
  }
  stars->width = default_side;
  stars->height = default_side;
  stars->dy = fix_one;
  stars->colour = default_colour;
  stars->count = default_count;
  stars->stars = mem_new<StarPoint>(default_count);
  if (stars->stars == nullptr) {
    stars_error();
    return stars;
  }
  place_randomly(stars);
  return stars;
}

Stars* stars_create_if(int flag) noexcept {
  if (flag != 0) return stars_create();
  stars_error();
  return nullptr;
}

void stars_set_count(Stars* stars, std::int32_t count) noexcept {
  if (stars == nullptr || !effect_count_ok(count)) {
    stars_error();
    return;
  }
  mem_free(stars->stars);
  stars->count = count;
  stars->stars = mem_new<StarPoint>(static_cast<std::size_t>(count));
  if (stars->stars == nullptr || !has_area(stars)) {
    stars_error();
    return;
  }
  place_randomly(stars);
}

void stars_scatter(Stars* stars) noexcept {
  if (stars == nullptr || stars->stars == nullptr || !has_area(stars)) {
    stars_error();
    return;
  }
  place_randomly(stars);
}

void stars_respawn(Stars* stars, std::int32_t index) noexcept {
  if (stars == nullptr || stars->stars == nullptr || index < 0 || index >= stars->count || !has_area(stars)) {
    stars_error();
    return;
  }
  std::int32_t rx = std::rand() % stars->width;
  std::int32_t ry = std::rand() % stars->height;
  const std::int32_t dx = stars->dx;
  const std::int32_t dy = stars->dy;
  bool y_edge = dx == 0 && dy != 0;
  bool x_edge = dy == 0 && dx != 0;
  if (dx != 0 && dy != 0) {
    const std::int32_t wx = edge_weight(dx);
    const std::int32_t wy = edge_weight(dy);
    // Weights 0 and 0 give r = 0 without a division, which the rule sends to the x edge.
    const std::int32_t r = rem_trunc(std::rand(), wx + wy);
    y_edge = wy >= wx ? r < wy : r >= wx;
    x_edge = !y_edge;
  }
  if (y_edge) ry = dy > 0 ? 0 : stars->height - 1;
  if (x_edge) rx = dx > 0 ? 0 : stars->width - 1;
  stars->stars[index] = {fix_from_int(rx), fix_from_int(ry)};
}

void stars_update(Stars* stars) noexcept {
  if (stars == nullptr || stars->stars == nullptr) {
    stars_error();
    return;
  }
  for (std::int32_t i = 0; i < stars->count; ++i) {
    StarPoint& star = stars->stars[i];
    star.x = wrap_add(star.x, stars->dx);
    star.y = wrap_add(star.y, stars->dy);
    const std::int32_t px = fix_int(star.x);
    const std::int32_t py = fix_int(star.y);
    if (px < 0 || py < 0 || px >= stars->width || py >= stars->height) stars_respawn(stars, i);
  }
}

void stars_draw(Stars* stars, Image* target) noexcept {
  if (stars == nullptr || stars->stars == nullptr || target == nullptr) {
    stars_error();
    return;
  }
  stars->width = target->width;
  stars->height = target->height;
  const std::uint32_t colour = stars->colour;
  for (std::int32_t i = 0; i < stars->count; ++i) {
    img_put_pixel(target, fix_int(stars->stars[i].x), fix_int(stars->stars[i].y), colour);
  }
}

void stars_draw_glyphs(Stars* stars, Image* target) noexcept {
  if (stars == nullptr || stars->stars == nullptr || stars->font == nullptr || target == nullptr) {
    stars_error();
    return;
  }
  stars->width = target->width;
  stars->height = target->height;
  for (std::int32_t i = 0; i < stars->count; ++i) {
    const std::int32_t px = fix_int(stars->stars[i].x);
    const std::int32_t py = fix_int(stars->stars[i].y);
    font_draw_char(stars->font, rem_trunc(py, glyph_codes), wrap_sub(px, glyph_offset), wrap_sub(py, glyph_offset),
                   target);
  }
}

void stars_destroy(Stars** stars) noexcept {
  if (stars == nullptr || *stars == nullptr) {
    stars_error();
    return;
  }
  mem_free((*stars)->stars);
  mem_free(*stars);
  *stars = nullptr;
}

}  // namespace novu
