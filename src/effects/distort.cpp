#include "effects/distort.hpp"

#include <algorithm>

#include "base/alloc.hpp"
#include "base/sine_table.hpp"
#include "base/wrap.hpp"
#include "image/blit.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_offset_step = 16;
constexpr std::int32_t default_amplitude = 16;

template <class Distortion>
Distortion* create() noexcept {
  auto* distortion = mem_new<Distortion>();
  if (distortion == nullptr) return nullptr;
  distortion->wave.length = sine_table_length;
  distortion->wave.speed = 1;
  distortion->wave.offset_step = default_offset_step;
  distortion->amplitude = default_amplitude;
  return distortion;
}

template <class Distortion>
void destroy(Distortion** distortion) noexcept {
  if (distortion == nullptr || *distortion == nullptr) return;
  mem_free(*distortion);
  *distortion = nullptr;
}

// A source without pixels draws nothing in any of its lines, so the wave takes their steps at
// once: a source of zero width and huge height must not cost a step per line.
template <class Distortion>
bool nothing_to_bend(Distortion* distortion, std::int32_t lines) noexcept {
  const Image* source = distortion->source;
  if (img_has_pixels(source) && source->width > 0 && source->height > 0) return false;
  cursorx_set_offset(&distortion->wave, wrap_mul(std::max(lines, 0), distortion->wave.offset_step));
  return true;
}

// The shift of the next line: one wave step, scaled by the amplitude.
template <class Distortion>
std::int32_t next_shift(Distortion* distortion) noexcept {
  const std::int32_t index = cursorx_step(&distortion->wave);
  return shr_arith(wrap_mul(sine_at(index), distortion->amplitude), 16);
}
}  // namespace

DistX* distx_create() noexcept { return create<DistX>(); }
DistY* disty_create() noexcept { return create<DistY>(); }
void distx_destroy(DistX** distortion) noexcept { destroy(distortion); }
void disty_destroy(DistY** distortion) noexcept { destroy(distortion); }

void distx_advance(DistX* distortion) noexcept {
  if (distortion != nullptr) cursorx_advance(&distortion->wave);
}

void disty_advance(DistY* distortion) noexcept {
  if (distortion != nullptr) cursorx_advance(&distortion->wave);
}

// Row i of the source lands on row i + y_offset, shifted by the wave plus x_offset; the part
// passing the right edge comes back in from the left. The source's height is read per row, as
// the source may be the destination of another effect.
void distx_draw(DistX* distortion, Image* destination) noexcept {
  if (distortion == nullptr || destination == nullptr || distortion->source == nullptr) return;
  cursorx_set_offset(&distortion->wave, 0);
  if (nothing_to_bend(distortion, distortion->source->height)) return;
  for (std::int32_t i = 0; i < distortion->source->height; ++i) {
    const std::int32_t x = wrap_add(next_shift(distortion), distortion->x_offset);
    img_blit_row_wrap(distortion->source, destination, i, wrap_add(i, distortion->y_offset), x);
  }
}

// The same along columns: column i lands on column i + x_offset, shifted down by the wave plus
// y_offset, wrapping from the bottom edge to the top. The shifts of a batch of columns are taken
// first, in column order, and the batch is then copied a source row at a time.
void disty_draw(DistY* distortion, Image* destination) noexcept {
  if (distortion == nullptr || destination == nullptr || distortion->source == nullptr) return;
  constexpr std::int32_t batch = 64;
  std::int32_t shifts[batch];
  cursorx_set_offset(&distortion->wave, 0);
  if (nothing_to_bend(distortion, distortion->source->width)) return;
  for (std::int32_t i = 0; i < distortion->source->width; i += batch) {
    const std::int32_t n = std::min(batch, distortion->source->width - i);
    for (std::int32_t k = 0; k < n; ++k) shifts[k] = wrap_add(next_shift(distortion), distortion->y_offset);
    img_blit_columns_wrap(distortion->source, destination, i, wrap_add(i, distortion->x_offset), n, shifts);
  }
}

}  // namespace novu
