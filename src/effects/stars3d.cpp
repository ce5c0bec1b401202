#include "effects/stars3d.hpp"

#include <cstdlib>

#include "base/alloc.hpp"
#include "base/fixed.hpp"
#include "base/wrap.hpp"
#include "effects/limits.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_side = 256;
constexpr std::int32_t default_count = 16;
constexpr std::int32_t default_vz = -3 * fix_one;
constexpr std::uint32_t default_colour = 0xFFFFFF;
constexpr int far_layers = 16;  // re-born stars land in the last 16 units of depth
constexpr std::uint32_t grey = 0x010101;

bool box_ok(const Stars3D* stars) noexcept {
  return stars->width > 0 && stars->height > 0 && stars->depth > 0;
}
}  // namespace

Stars3D* stars3d_create() noexcept {
  Stars3D* stars = mem_new<Stars3D>();
  if (stars == nullptr) return nullptr;
  stars->width = default_side;
  stars->height = default_side;
  stars->depth = default_side;
  stars->vz = default_vz;
  stars->colour = default_colour;
  stars->count = default_count;
  stars->stars = mem_new<Star3D>(default_count);
  stars3d_scatter(stars);
  return stars;
}

Stars3D* stars3d_create_if(int flag) noexcept { return flag != 0 ? stars3d_create() : nullptr; }

// Without an array the record keeps the count and draws nothing until the next set-count.
void stars3d_set_count(Stars3D* stars, std::int32_t count) noexcept {
  if (stars == nullptr || !effect_count_ok(count)) return;
  mem_free(stars->stars);
  stars->count = count;
  stars->stars = mem_new<Star3D>(static_cast<std::size_t>(count));
  stars3d_scatter(stars);
}

void stars3d_scatter(Stars3D* stars) noexcept {
  if (stars == nullptr || stars->stars == nullptr || !box_ok(stars)) return;
  for (std::int32_t i = stars->count - 1; i >= 0; --i) {
    Star3D& star = stars->stars[i];
    star.x = fix_from_int(std::rand() % stars->width);
    star.y = fix_from_int(std::rand() % stars->height);
    star.z = fix_from_int(std::rand() % stars->depth);
  }
}

void stars3d_respawn(Stars3D* stars, std::int32_t index) noexcept {
  if (stars == nullptr || stars->stars == nullptr || index < 0 || index >= stars->count || !box_ok(stars)) return;
  Star3D& star = stars->stars[index];
  star.x = fix_from_int(std::rand() % stars->width);
  star.y = fix_from_int(std::rand() % stars->height);
  star.z = fix_from_int(stars->depth - std::rand() % far_layers);
}

void stars3d_update(Stars3D* stars) noexcept {
  if (stars == nullptr || stars->stars == nullptr) return;
  const std::int32_t vx = stars->vx, vy = stars->vy, vz = stars->vz;
  const std::int32_t width = stars->width, height = stars->height, depth = stars->depth;
  Star3D* const all = stars->stars;
  for (std::int32_t i = 0, n = stars->count; i < n; ++i) {
    Star3D& star = all[i];
    star.x = wrap_add(star.x, vx);
    star.y = wrap_add(star.y, vy);
    star.z = wrap_add(star.z, vz);
    if (star.x < 0 || star.y < 0 || star.z < 0 || fix_int(star.x) >= width || fix_int(star.y) >= height ||
        fix_int(star.z) >= depth)
      stars3d_respawn(stars, i);
  }
}

// Walks from the last star to the first, so a lower index wins a shared pixel.
void stars3d_draw(Stars3D* stars, Image* target) noexcept {
  if (stars == nullptr || stars->stars == nullptr || !img_has_pixels(target)) return;
  stars->width = target->width;
  stars->height = target->height;
  const std::int32_t cx = shr_arith(target->width, 1), cy = shr_arith(target->height, 1);
  const std::int32_t depth = stars->depth;
  const std::int32_t left = wrap_add(cx, stars->x_offset), top = wrap_add(cy, stars->y_offset);
  const Star3D* const all = stars->stars;
  for (std::int32_t i = stars->count - 1; i >= 0; --i) {
    const Star3D& star = all[i];
    const std::int32_t g = wrap_add(fix_int(star.z), depth);
    if (g == 0) continue;
    const std::int32_t px = wrap_add(div_trunc(wrap_mul(wrap_sub(fix_int(star.x), cx), depth), g), left);
    const std::int32_t py = wrap_add(div_trunc(wrap_mul(wrap_sub(fix_int(star.y), cy), depth), g), top);
    const std::uint32_t shade = ~static_cast<std::uint32_t>(g) & 0xFF;
    img_put_pixel(target, px, py, shade * grey);
  }
}

void stars3d_destroy(Stars3D** stars) noexcept {
  if (stars == nullptr || *stars == nullptr) return;
  mem_free((*stars)->stars);
  mem_free(*stars);
  *stars = nullptr;
}

}  // namespace novu
