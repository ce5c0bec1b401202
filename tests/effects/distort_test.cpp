#include "effects/distort.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/pictures.hpp"

namespace novu {
namespace {

struct Wave {
  std::int32_t phase, offset_step, amplitude, x_offset, y_offset;
};

// The source bent into a fresh destination of the given size, rows (DISTX) or columns (DISTY).
template <class Distortion>
std::vector<std::uint32_t> bent(Distortion* d, void (*draw)(Distortion*, Image*), const Image* source, Wave w,
                                std::int32_t width, std::int32_t height, std::uint32_t background = 0) {
  Img destination = filled(width, height, background);
  d->source = source;
  cursorx_set(&d->wave, 1024, w.phase, 1, 0, w.offset_step);
  d->amplitude = w.amplitude;
  d->x_offset = w.x_offset;
  d->y_offset = w.y_offset;
  draw(d, destination.get());
  return pixels_of(destination.get());
}

TEST(Distort, RowsAndColumnsShiftByTheWaveAndWrapAround) {
  DistX* x = distx_create();
  DistY* y = disty_create();
  // Pixel (x, y) is 10y + x + 1. Quarter-turn steps from phase 0 read S[256], S[512], S[768],
  // S[0]: with amplitude 4 the lines shift by +1, 0, -2 (-131064 >> 16), 0.
  const Img source = picture(4, 4, [](std::int32_t i, std::int32_t j) { return std::uint32_t(10 * j + i + 1); });
  const Wave quarters = {0, 256, 4, 0, 0};
  EXPECT_EQ(bent(x, distx_draw, source.get(), quarters, 4, 4),
            (std::vector<std::uint32_t>{4, 1, 2, 3, 11, 12, 13, 14, 23, 24, 21, 22, 31, 32, 33, 34}));
  EXPECT_EQ(bent(y, disty_draw, source.get(), quarters, 4, 4),
            (std::vector<std::uint32_t>{31, 2, 23, 4, 1, 12, 33, 14, 11, 22, 3, 24, 21, 32, 13, 34}));
  // Amplitude 0: the offsets alone, each on its own axis; a taller source leaves rows out.
  EXPECT_EQ(bent(x, distx_draw, source.get(), {0, 256, 0, 2, 1}, 4, 3),
            (std::vector<std::uint32_t>{0, 0, 0, 0, 3, 4, 1, 2, 13, 14, 11, 12}));
  EXPECT_EQ(bent(y, disty_draw, source.get(), {0, 256, 0, 1, 2}, 3, 4),
            (std::vector<std::uint32_t>{0, 21, 22, 0, 31, 32, 0, 1, 2, 0, 11, 12}));

  // Offset step 0: every row reads the phase, S[768] * 6 >> 16 = -3, so on 96 columns a row
  // starts at column 93; source pixels of 0 leave the destination as it was.
  const Img row = picture(96, 1, [](std::int32_t i, std::int32_t) { return i == 1 ? 0u : std::uint32_t(i + 1); });
  const std::vector<std::uint32_t> shifted = bent(x, distx_draw, row.get(), {768, 0, 6, 0, 0}, 96, 1, 0xABCDEF);
  EXPECT_EQ((std::vector<std::uint32_t>(shifted.begin() + 92, shifted.end())),
            (std::vector<std::uint32_t>{96, 1, 0xABCDEF, 3}));
  EXPECT_EQ(shifted[0], 4u);

  // A source without pixels bends nothing, but its lines still step the wave, all at once.
  Img empty(img_create());
  img_resize(empty.get(), 0, 1 << 30);
  EXPECT_EQ(bent(x, distx_draw, empty.get(), {5, 3, 4, 0, 0}, 2, 2), (std::vector<std::uint32_t>(4, 0)));
  EXPECT_EQ(std::pair(x->wave.offset, x->wave.position), std::pair(std::int32_t{-1073741824}, 5));  // 3 << 30 wraps

  x->wave.speed = 1000;
  distx_advance(x);
  distx_advance(x);
  disty_advance(y);
  EXPECT_EQ(x->wave.phase, (5 + 2000) % 1024);
  EXPECT_EQ(y->wave.phase, 1);
  distx_destroy(&x);
  disty_destroy(&y);
}

}  // namespace
}  // namespace novu
