#include "effects/splix3d.hpp"

#include <cstdlib>

#include "base/alloc.hpp"
#include "base/fixed.hpp"
#include "base/wrap.hpp"
#include "effects/limits.hpp"
#include "effects/random_speed.hpp"
#include "image/blit.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_centre = 128;
constexpr std::int32_t default_distance = 128;
constexpr std::int32_t default_box = 256;
constexpr std::int32_t default_count = 10;
constexpr std::int32_t sprite_offset = 8;

void restart(Spark& spark) noexcept {
  spark.x = spark.y = spark.z = 0;
  spark.vx = random_speed();
  spark.vy = random_speed();
  spark.vz = random_speed();
}

// Half an edge in 16.16 from the low 16 bits of the field, read as signed; always fits.
std::int32_t half_edge(std::int32_t box) noexcept {
  return wrap_shl(static_cast<std::int16_t>(static_cast<std::uint16_t>(box)), fix_frac_bits - 1);
}

bool outside(std::int32_t value, std::int32_t half) noexcept { return value < -half || value > half; }
}  // namespace

Splix3D* splix3d_create() noexcept {
  Splix3D* splix = mem_new<Splix3D>();
  if (splix == nullptr) return nullptr;
  splix->centre_x = splix->centre_y = default_centre;
  splix->distance = default_distance;
  splix->box_x = splix->box_y = splix->box_z = default_box;
  splix3d_set_count(splix, default_count);
  return splix;
}

void splix3d_set_count(Splix3D* splix, std::int32_t count) noexcept {
  if (splix == nullptr || !effect_count_ok(count)) return;
  mem_free(splix->particles);
  splix->count = 0;
  splix->particles = mem_new<Spark>(static_cast<std::size_t>(count));
  if (splix->particles == nullptr) return;
  splix->count = count;
  for (std::int32_t i = 0; i < count; ++i) restart(splix->particles[i]);
}

void splix3d_reset_particle(Splix3D* splix, std::int32_t index) noexcept {
  if (splix == nullptr || splix->particles == nullptr || index < 0 || index >= splix->count) return;
  restart(splix->particles[index]);
}

void splix3d_reset_all(Splix3D* splix) noexcept {
  if (splix == nullptr || splix->particles == nullptr) return;
  for (std::int32_t i = 0; i < splix->count; ++i) restart(splix->particles[i]);
}

// A spark that would leave the cube starts again from the centre instead of moving.
void splix3d_update(Splix3D* splix) noexcept {
  if (splix == nullptr || splix->particles == nullptr) return;
  const std::int32_t bx = half_edge(splix->box_x), by = half_edge(splix->box_y), bz = half_edge(splix->box_z);
  Spark* const sparks = splix->particles;
  const std::int32_t count = splix->count;
  for (std::int32_t i = 0; i < count; ++i) {
    Spark& s = sparks[i];
    const std::int32_t nx = wrap_add(s.x, s.vx), ny = wrap_add(s.y, s.vy), nz = wrap_add(s.z, s.vz);
    if (outside(nx, bx) || outside(ny, by) || outside(nz, bz)) {
      restart(s);
    } else {
      s.x = nx;
      s.y = ny;
      s.z = nz;
    }
  }
}

// Perspective with the cube pushed `distance` away; the grey darkens with depth and wraps back
// to white on the far face.
void splix3d_draw(const Splix3D* splix, Image* target) noexcept {
  if (splix == nullptr || splix->particles == nullptr || !img_has_pixels(target)) return;
  const std::int32_t distance = splix->distance, cx = splix->centre_x, cy = splix->centre_y;
  const Spark* const sparks = splix->particles;
  const std::int32_t count = splix->count;
  for (std::int32_t i = 0; i < count; ++i) {
    const Spark& s = sparks[i];
    const std::int32_t w = wrap_add(fix_int(s.z), distance);
    if (w == 0) continue;
    const std::int32_t sx = wrap_add(div_trunc(wrap_mul(distance, fix_int(s.x)), w), cx);
    const std::int32_t sy = wrap_add(div_trunc(wrap_mul(distance, fix_int(s.y)), w), cy);
    const std::uint32_t shade = ~static_cast<std::uint32_t>(w) & 0xFF;
    img_put_pixel(target, sx, sy, shade * 0x010101u);
  }
}

void splix3d_draw_sprites(const Splix3D* splix, Image* target, const Image* sprite) noexcept {
  if (splix == nullptr || splix->particles == nullptr || target == nullptr || sprite == nullptr) return;
  for (std::int32_t i = 0; i < splix->count; ++i) {
    const Spark& s = splix->particles[i];
    img_blit(sprite, target, 0, 0, fix_int(s.x) - sprite_offset, fix_int(s.y) - sprite_offset, sprite->width,
             sprite->height);
  }
}

void splix3d_destroy(Splix3D** splix) noexcept {
  if (splix == nullptr || *splix == nullptr) return;
  mem_free((*splix)->particles);
  mem_free(*splix);
  *splix = nullptr;
}

}  // namespace novu
