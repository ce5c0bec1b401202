#include "effects/sinedots.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "base/alloc.hpp"
#include "base/sine_table.hpp"
#include "base/wrap.hpp"
#include "effects/limits.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_side = 256;
constexpr std::int32_t default_count = 16;
constexpr std::uint32_t default_colour = 0xFF0000;
constexpr std::int32_t default_radii[6] = {128, 128, 64, 64, 32, 32};
constexpr std::int32_t values_per_dot = 4;

bool ready(const SineDots* dots) noexcept { return dots != nullptr && dots->dots != nullptr; }

// One wave's draws: start angle, speed and step, first for x and then for y.
void randomise_wave(SineDots* dots, int wave, std::int32_t speed_range, std::int32_t speed_base,
                    std::int32_t step_base) noexcept {
  const std::int32_t length = sine_table_length;
  const int kx = 2 * wave;
  const int ky = kx + 1;
  dots->angles[kx] = rem_trunc(std::rand(), length);
  dots->angles[ky] = rem_trunc(std::rand(), length);
  dots->speeds[kx] = std::rand() % speed_range + speed_base;
  dots->speeds[ky] = std::rand() % speed_range + speed_base;
  dots->steps[kx] = std::rand() % 16 + step_base;
  dots->steps[ky] = std::rand() % 16 + step_base + 1;
  dots->radii[kx] = default_radii[kx];
  dots->radii[ky] = default_radii[ky];
}
}  // namespace

SineDots* sinedots_create() noexcept {
  SineDots* dots = mem_new<SineDots>();
  if (dots == nullptr) return nullptr;
  dots->width = default_side;
  dots->height = default_side;
  for (int k = 0; k < 6; ++k) dots->radii[k] = default_radii[k];
  sinedots_set_count(dots, default_count);
  dots->colour = default_colour;
  sinedots_randomise(dots);
  return dots;
}

SineDots* sinedots_create_if(int flag) noexcept { return flag != 0 ? sinedots_create() : nullptr; }

void sinedots_set_count(SineDots* dots, std::int32_t count) noexcept {
  if (dots == nullptr || !effect_count_ok(count)) return;
  mem_free(dots->dots);
  dots->count = count;
  dots->dots = mem_new<std::int32_t>(static_cast<std::size_t>(count) * values_per_dot);
}

void sinedots_randomise(SineDots* dots) noexcept {
  if (!ready(dots)) return;
  randomise_wave(dots, 0, 8, 3, 5);
  randomise_wave(dots, 1, 8, 2, 6);
  randomise_wave(dots, 2, 4, 1, 7);
}

void sinedots_update(SineDots* dots) noexcept {
  if (!ready(dots)) return;
  const std::int32_t length = sine_table_length;
  for (int k = 0; k < 6; ++k) dots->angles[k] = mod_floor(wrap_add(dots->angles[k], dots->speeds[k]), length);
}

// The table's length is a power of two, so a working angle can grow unreduced (wrapping at
// 2^32, a multiple of the length) and be masked at each lookup: the same entries as reducing it
// after every step, without a compare per angle per dot. It also means that every angle comes
// back to where it started after at most one table's length of dots, so the chain retraces
// itself from there on, in the same colour: the dots beyond the first table's length would only
// redraw pixels already drawn.
void sinedots_draw(SineDots* dots, Image* target) noexcept {
  static_assert(sine_table_length == sine_table_size);
  constexpr std::uint32_t mask = sine_table_size - 1;
  if (!ready(dots) || !img_has_pixels(target)) return;
  const std::int32_t w = target->width;
  const std::int32_t h = target->height;
  dots->width = w;
  dots->height = h;
  const std::int32_t x1 = w >> 1, y1 = h >> 1, x2 = w >> 2, y2 = h >> 2, x3 = w >> 3, y3 = h >> 3;
  const std::int32_t radii[6] = {x1, y1, x2, y2, x3, y3};
  for (int k = 0; k < 6; ++k) dots->radii[k] = radii[k];
  if (w <= 0 || h <= 0) return;  // nothing to plot, and the unsigned bounds test needs a real size

  std::uint32_t b[6], d[6];
  for (int k = 0; k < 6; ++k) {
    b[k] = static_cast<std::uint32_t>(dots->angles[k]);
    d[k] = static_cast<std::uint32_t>(dots->steps[k]);
  }
  // The dots land all over the picture, so the time goes into fetching the pixels' cache lines.
  // They are computed a block ahead and their lines asked for, then written in order (a later
  // dot still wins); a dot outside the picture is written to a spare word instead.
  constexpr std::int32_t block = 64;
  std::uint32_t* at[block];
  std::uint32_t outside = 0;
  const std::int16_t* sine = sine_table;
  std::uint32_t* pixels = target->pixels;
  const std::uint32_t colour = dots->colour;
  for (std::int32_t first = 0, count = std::min(dots->count, std::int32_t{sine_table_size}); first < count;
       first += block) {
    const std::int32_t n = count - first < block ? count - first : block;
    for (std::int32_t i = 0; i < n; ++i) {
      // The three products are summed first and shifted once.
      const std::int32_t sx = wrap_add(wrap_add(wrap_mul(sine[b[0] & mask], x1), wrap_mul(sine[b[2] & mask], x2)),
                                       wrap_mul(sine[b[4] & mask], x3));
      const std::int32_t sy = wrap_add(wrap_add(wrap_mul(sine[b[1] & mask], y1), wrap_mul(sine[b[3] & mask], y2)),
                                       wrap_mul(sine[b[5] & mask], y3));
      const std::int32_t x = wrap_add(x1, shr_arith(sx, 16));
      const std::int32_t y = wrap_add(y1, shr_arith(sy, 16));
      const bool inside = static_cast<std::uint32_t>(x) < static_cast<std::uint32_t>(w) &&
                          static_cast<std::uint32_t>(y) < static_cast<std::uint32_t>(h);
      at[i] = inside ? pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)
                     : &outside;
      __builtin_prefetch(at[i], 1);
      for (int k = 0; k < 6; ++k) b[k] += d[k];
    }
    for (std::int32_t i = 0; i < n; ++i) *at[i] = colour;
  }
}

void sinedots_destroy(SineDots** dots) noexcept {
  if (dots == nullptr || *dots == nullptr) return;
  mem_free((*dots)->dots);
  mem_free(*dots);
  *dots = nullptr;
}

}  // namespace novu
