#include "effects/gas2d.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/alloc.hpp"
#include "base/fixed.hpp"
#include "base/wrap.hpp"
#include "effects/limits.hpp"
#include "effects/random_speed.hpp"
#include "image/blit.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_size = 256;
constexpr std::uint32_t default_colour = 0xFF00FF;
constexpr std::int32_t default_count = 16;

void kick(GasParticle& p) noexcept {
  p.vx = random_speed();
  p.vy = random_speed();
  p.vz = random_speed();
}

bool has_area(const Gas2D* gas) noexcept { return gas->width > 0 && gas->height > 0 && gas->depth > 0; }

// A whole-pixel position inside the area; the caller has checked that it is not empty.
void random_position(const Gas2D* gas, std::int32_t& x, std::int32_t& y, std::int32_t& z) noexcept {
  x = fix_from_int(std::rand() % gas->width);
  y = fix_from_int(std::rand() % gas->height);
  z = fix_from_int(std::rand() % gas->depth);
}

// Last particle first; an empty area places nothing rather than dividing by zero.
void place_all(Gas2D* gas) noexcept {
  if (gas->particles == nullptr || !has_area(gas)) return;
  for (std::int32_t i = gas->count - 1; i >= 0; --i) {
    GasParticle& p = gas->particles[i];
    random_position(gas, p.x, p.y, p.z);
    kick(p);
  }
}

// One correction only: a speed beyond the area's size may leave the value outside it.
std::int32_t wrapped(std::int32_t value, std::int32_t size) noexcept {
  if (value >= size) value = wrap_sub(value, size);
  if (value < 0) value = wrap_add(value, size);
  return value;
}
}  // namespace

void gas2d_error() noexcept { std::puts("GAS2D error"); }

Gas2D* gas2d_create() noexcept {
  Gas2D* gas = mem_new<Gas2D>();
  if (gas == nullptr) return nullptr;
  gas->width = gas->height = gas->depth = default_size;
  gas->colour = default_colour;
  gas2d_set_count(gas, default_count);
  return gas;
}

void gas2d_set_count(Gas2D* gas, std::int32_t count) noexcept {
  if (gas == nullptr) return;
  mem_free(gas->particles);
  gas->particles = nullptr;
  gas->count = count;
  if (!effect_count_ok(count)) return;
  gas->particles = mem_new<GasParticle>(static_cast<std::size_t>(count));
  place_all(gas);
}

void gas2d_scatter(Gas2D* gas) noexcept {
  if (gas != nullptr) place_all(gas);
}

void gas2d_kick(Gas2D* gas, std::int32_t index) noexcept {
  if (gas == nullptr || gas->particles == nullptr || index < 0 || index >= gas->count) return;
  kick(gas->particles[index]);
}

// Groups of three plain values: even groups are particle positions, odd ones velocities.
void gas2d_place_triple(Gas2D* gas, std::int32_t index) noexcept {
  if (gas == nullptr || gas->particles == nullptr || !has_area(gas)) return;
  if (index < 0 || index >= std::int64_t{gas->count} * 2) return;
  GasParticle& p = gas->particles[index / 2];
  if (index % 2 == 0) {
    random_position(gas, p.x, p.y, p.z);
  } else {
    random_position(gas, p.vx, p.vy, p.vz);
  }
}

// A particle whose next pixel in the last drawn picture is lit stays and bounces.
void gas2d_update(Gas2D* gas) noexcept {
  if (gas == nullptr || gas->particles == nullptr || gas->image == nullptr) return;
  const std::int32_t wf = fix_from_int(gas->width), hf = fix_from_int(gas->height), df = fix_from_int(gas->depth);
  const Image* const image = gas->image;
  GasParticle* const particles = gas->particles;
  const std::int32_t count = gas->count;
  for (std::int32_t i = 0; i < count; ++i) {
    GasParticle& p = particles[i];
    const std::int32_t nx = wrapped(wrap_add(p.x, p.vx), wf);
    const std::int32_t ny = wrapped(wrap_add(p.y, p.vy), hf);
    const std::int32_t nz = wrapped(wrap_add(p.z, p.vz), df);
    if (img_get_pixel(image, fix_int(nx), fix_int(ny)) != 0) {
      kick(p);
    } else {
      p.x = nx;
      p.y = ny;
      p.z = nz;
    }
  }
}

// Yellow, dimmer with depth; the deepest level is 0 and so invisible to the next update.
void gas2d_draw(Gas2D* gas, Image* target) noexcept {
  if (gas == nullptr || target == nullptr) return;
  gas->image = target;
  if (gas->particles == nullptr || !img_has_pixels(target)) return;
  const GasParticle* const particles = gas->particles;
  const std::int32_t count = gas->count;
  for (std::int32_t i = 0; i < count; ++i) {
    const GasParticle& p = particles[i];
    const std::uint32_t shade = ~static_cast<std::uint32_t>(fix_int(p.z)) & 0xFF;
    img_put_pixel(target, fix_int(p.x), fix_int(p.y), shade << 16 | shade << 8);
  }
}

void gas2d_draw_sprites(const Gas2D* gas, Image* target, const Image* sprite) noexcept {
  if (gas == nullptr || gas->particles == nullptr || target == nullptr || sprite == nullptr) return;
  const std::int32_t half_width = shr_arith(sprite->width, 1), half_height = shr_arith(sprite->height, 1);
  for (std::int32_t i = 0; i < gas->count; ++i) {
    const GasParticle& p = gas->particles[i];
    img_blit(sprite, target, 0, 0, wrap_sub(fix_int(p.x), half_width), wrap_sub(fix_int(p.y), half_height),
             sprite->width, sprite->height);
  }
}

int gas2d_destroy(Gas2D** gas) noexcept {
  if (gas == nullptr || *gas == nullptr) {
    gas2d_error();
    return -1;
  }
  mem_free((*gas)->particles);
  mem_free(*gas);
  *gas = nullptr;
  return 0;
}

}  // namespace novu
