#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "base/alloc.hpp"
#include "image/blit.hpp"
#include "support/alloc_failures.hpp"
#include "support/pictures.hpp"

namespace novu {
namespace {

constexpr std::int32_t big = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();
constexpr std::uint32_t paper = 0xEEEEEE;  // what a destination holds before it is drawn on
using Wide = std::int64_t;  // the expectations' arithmetic: no sum of 32-bit arguments overflows it
using Pixels = std::vector<std::uint32_t>;

// Every pixel names its own position, with the top byte set, except for a scatter of key pixels.
std::uint32_t numbered(Wide x, Wide y) {
  return (x + y) % 5 == 4 ? 0 : static_cast<std::uint32_t>(0xFF000000 | (y + 1) << 12 | (x + 1));
}
std::uint32_t keyed(std::uint32_t pixel) { return pixel != 0 ? pixel : paper; }  // key pixels leave paper

// Draws on a w x h picture filled with base and expects pixel (x, y) to be want(x, y).
template <class Draw, class Want>
void expect_drawn(std::int32_t w, std::int32_t h, Draw draw, Want want, std::uint32_t base = paper) {
  Img image = filled(w, h, base);
  draw(image.get());
  EXPECT_EQ(pixels_of(image.get()), pixels_of(picture(w, h, want).get()));
}

TEST(ImageWhole, CreateResizePixelsCloneEqualCopyAndMask) {
  Img image(img_create());
  EXPECT_EQ(std::tuple(image->width, image->height, pixels_of(image.get())), std::tuple(16, 16, Pixels(16 * 16)));
  image->pixels[5] = 1;
  img_resize(image.get(), 256, 256);  // the old content is lost
  EXPECT_EQ(std::tuple(image->width, image->height, pixels_of(image.get())), std::tuple(256, 256, Pixels(65536)));
  EXPECT_EQ(img_get_pixel(picture(5, 4, numbered).get(), 4, 3), numbered(4, 3));
  expect_drawn(5, 4, [](Image* d) { img_put_pixel(d, 4, 3, 7); },
               [](Wide x, Wide y) { return x == 4 && y == 3 ? 7 : paper; });
  const Img source = picture_of(2, 2, {0x00F0F0, 0x123456, 0x0F0F0F, 0xFFFFFF});
  const Img copy(img_clone(source.get()));
  EXPECT_EQ(pixels_of(copy.get()), pixels_of(source.get()));
  copy->pixels[3] = 1;
  EXPECT_EQ(img_equal(source.get(), copy.get()), 0);
  img_copy_pixels(source.get(), copy.get());
  EXPECT_EQ(img_equal(source.get(), copy.get()), 1);
  EXPECT_EQ(img_equal(filled(4, 1, 9).get(), filled(2, 2, 9).get()), 0);  // as many pixels, another shape
  img_and_mask(picture_of(2, 2, {0x0F00FF, 0xFF00FF, 0, 0x00FF00}).get(), copy.get());
  EXPECT_EQ(pixels_of(copy.get()), Pixels({0x0000F0, 0x120056, 0, 0x00FF00}));
}

TEST(ImageFade, EachChannelLosesTheAmountsLowByteAndStopsAtZero) {
  struct Case { std::uint32_t pixel; std::int32_t amount; std::uint32_t want; };
  const Case cases[] = {{0xFF0804, 8, 0xF70000}, {0x12345678, 8, 0x2C4E70}, {0x12345678, 264, 0x2C4E70},
                        {0x12345678, 0, 0x345678}, {0xFFFFFF, -1, 0}};
  for (const Case& c : cases) {  // 17 x 3: whole blocks of pixels and a ragged end
    const auto fade = [&](Image* image) { img_fade(image, c.amount); };
    expect_drawn(17, 3, fade, [&](Wide, Wide) { return c.want; }, c.pixel);
  }
}

TEST(ImageRects, FillOrFrameReachingTheLastRowAndColumn) {
  for (const auto& [left, top, w, h] : {std::array{0, 0, 8, 6}, {2, 1, 6, 5}, {3, 4, 1, 1}, {1, 2, 5, 2}}) {
    for (bool frame : {false, true}) {
      const Wide right = left + w - 1, bottom = top + h - 1;
      const auto draw = [&](Image* d) { (frame ? img_frame_rect : img_fill_rect)(d, left, top, w, h, 1); };
      expect_drawn(8, 6, draw, [&](Wide x, Wide y) {
        const bool in = x >= left && x <= right && y >= top && y <= bottom;
        const bool edge = x == left || x == right || y == top || y == bottom;
        return in && (!frame || edge) ? 1 : paper;
      });
    }
  }
}

// One axis of a copy and where its kept part lands: source first_source + k goes to
// first_destination + k * step for k < count.
struct Axis {
  std::int32_t source_size, destination_size, s, d, length, step;
  Wide first_source, first_destination, count;
};

// A plain keyed copy (steps 1) or a spread one of a numbered source onto paper.
void expect_copy(const Axis& x, const Axis& y, bool spread) {
  const auto source_at = [](const Axis& a, Wide position) {  // -1: nothing lands there
    const Wide k = position - a.first_destination;
    return k >= 0 && k % a.step == 0 && k / a.step < a.count ? a.first_source + k / a.step : -1;
  };
  const Img source = picture(x.source_size, y.source_size, numbered);
  const auto copy = [&](Image* d) {
    if (spread) img_blit_spread(source.get(), d, x.s, y.s, x.d, y.d, x.length, y.length, x.step, y.step);
    if (!spread) img_blit(source.get(), d, x.s, y.s, x.d, y.d, x.length, y.length);
  };
  expect_drawn(x.destination_size, y.destination_size, copy, [&](Wide px, Wide py) {
    const Wide sx = source_at(x, px), sy = source_at(y, py);
    return sx >= 0 && sy >= 0 ? keyed(numbered(sx, sy)) : paper;
  });
}

TEST(BlitCopies, ClipEachAxisAndSpreadOnesDrawOneStepFurtherOnLeftOrAbove) {
  const Axis plain[] = {
      {32, 256, 0, -10, 32, 1, 10, 0, 22},  // a glyph's columns over the left edge
      {32, 40, -32, 0, 32, 1, 0, 0, 0},       {32, 40, -31, 0, 32, 1, 0, 31, 1},
      {8, 6, -2, -3, 9, 1, 1, 0, 6},          {8, 10, 2, 3, big, 1, 2, 3, 6},         {8, 10, 0, 0, -3, 1, 0, 0, 0}};
  const Axis spread[] = {
      {288, 256, 0, -16, 288, 3, 5, 2, 84},  // part two's canvas: columns 5..88 at 2, 5, .., 251
      {288, 256, 0, -15, 288, 3, 5, 3, 84},  {20, 40, -2, 0, 10, 2, 0, 4, 8},
      {10, 20, -1, -7, 6, 2, 2, 1, 3},       {10, 100, 0, -10, 3, 3, 0, 0, 0},      {16, 16, 0, 0, big, 5, 0, 0, 3}};
  const Axis unit{1, 1, 0, 0, 1, 1, 0, 0, 1};
  const auto along_each_axis = [&](const Axis& a, bool spreading) {
    expect_copy(a, unit, spreading);
    expect_copy(unit, a, spreading);
  };
  for (const Axis& a : plain) along_each_axis(a, false);
  for (const Axis& a : spread) along_each_axis(a, true);
  expect_copy(plain[0], Axis{32, 256, 0, 250, 32, 1, 0, 250, 6}, false);  // and its rows 0..5 at the bottom
  expect_copy(spread[0], Axis{144, 256, 0, 0, 144, 3, 0, 0, 85}, true);  // and rows 0..84 at 0, 3, .., 252
}

TEST(BlitWrap, LinesWrapAroundTheDestinationAndOnlyPlainRowsCopyKeyPixels) {
  enum Mode { row, column, or_row, plain_row };
  for (const auto& [source_length, length, offset] :
       {std::array{8, 8, -1}, {8, 8, least}, {12, 8, 3}, {5, 8, 6}, {48, 48, 50}}) {
    for (Mode mode : {row, column, or_row, plain_row}) {
      // Source line 1 of 2 goes to destination line 2 of 3.
      const bool across = mode == column;
      const Img source = across ? picture(2, source_length, numbered) : picture(source_length, 2, numbered);
      const auto copy = [&](Image* d) {
        if (mode == row) img_blit_row_wrap(source.get(), d, 1, 2, offset);
        if (mode == column) img_blit_column_wrap(source.get(), d, 1, 2, offset);
        if (mode == or_row) img_or_row_wrap(source.get(), d, 1, 2, offset);
        if (mode == plain_row) img_copy_row(source.get(), d, 1, 2);
      };
      const Wide shift = mode == plain_row ? 0 : (offset % length + length) % length;
      expect_drawn(across ? 3 : length, across ? length : 3, copy, [&](Wide x, Wide y) {
        const Wide j = ((across ? y : x) - shift + length) % length;
        if ((across ? x : y) != 2 || j >= source_length) return paper;
        const std::uint32_t value = across ? numbered(1, j) : numbered(j, 1);
        return mode == or_row ? value | paper : mode == plain_row ? value : keyed(value);
      });
    }
  }
}

TEST(BlitBlend, AveragesHalvesPerChannelWithoutCarry) {
  // Source, destination and their blend, where the 3 x 3 source at (-1, 2) covers x 0..1, y 2..3.
  for (const auto& [source, destination, want] : {std::array<std::uint32_t, 3>{0xFFFFFF, 0, 0x7F7F7F},
                                                  {0x010101, 0x010101, 0}, {0, 0x123456, 0x123456},
                                                  {0xFF808080, 0x808080, 0x808080}}) {
    const auto blend = [&](Image* d) { img_blend_blit(filled(3, 3, source).get(), d, -1, 2); };
    const auto blended = [&](Wide x, Wide y) { return x < 2 && y > 1 ? want : destination; };
    expect_drawn(4, 4, blend, blended, destination);
  }
}

TEST(BlitScaling, ResampleRotateAndTheirTables) {
  // Nearest neighbours: enlarging, destination k shows source floor(k * s / d); shrinking, ceil.
  const auto pick = [](Wide k, Wide s, Wide d) { return s <= d ? k * s / d : (k * s + d - 1) / d; };
  for (const auto& [sw, sh, w, h] : {std::array{2, 1, 5, 1}, {4, 4, 2, 2}, {5, 3, 3, 5}, {16, 16, 256, 2}}) {
    const Img source = picture(sw, sh, numbered);
    expect_drawn(w, h, [&](Image* d) { img_resample(source.get(), d); },
                 [&](Wide x, Wide y) { return numbered(pick(x, sw, w), pick(y, sh, h)); });
  }
  // 5 x 5 turns about (2, 2) into 7 x 7 about (3, 3): clockwise quarter turns 0 .. 3 show at
  // offset (u, v) the source offset (u, v), (v, -u), (-u, -v) and (-v, u); nothing else is drawn.
  const Img source = picture(5, 5, numbered);
  for (const auto& [angle, quarter] : {std::pair{1024, 0}, {-768, 1}, {512, 2}, {-256, 3}}) {
    const Img want = picture(7, 7, [&](Wide x, Wide y) {
      const Wide u = x - 3, v = y - 3, back[4][2] = {{u, v}, {v, -u}, {-u, -v}, {-v, u}};
      const Wide sx = 2 + back[quarter][0], sy = 2 + back[quarter][1];
      return sx >= 0 && sx < 5 && sy >= 0 && sy < 5 ? numbered(sx, sy) : 0;
    });
    EXPECT_EQ(pixels_of(Img(img_rotate(source.get(), angle)).get()), pixels_of(want.get())) << angle;
  }
  const Img wide(img_rotate(picture(50000, 1, numbered).get(), 77));  // 50000 * 92667 needs 64 bits
  EXPECT_EQ(std::pair(wide->width, wide->height), std::pair(70699, 1));
  const std::pair<std::int32_t*, std::vector<std::int32_t>> tables[] = {
      {img_step_runs(2, 4), {2, 2, 1}}, {img_step_runs(-6, 3), {2, 2, 2, 1}},
      {img_line_points(0, 0, 4, 2), {10, 0, 0, 1, 1, 2, 1, 3, 2, 4, 2}},
      {img_line_points(0, 0, -2, -5), {12, 0, 0, -1, -1, -1, -2, -1, -3, -2, -4, -2, -5}},
      {img_line_points(big, 0, big - 2, 1), {6, big, 0, big - 1, 1, big - 2, 1}}};
  for (const auto& [list, want] : tables) {
    EXPECT_EQ(std::vector(list, list + want.size()), want);
    mem_free(list);
  }
  expect_each_allocation_failure_handled([&](auto arm) {  // without its run tables a resample draws nothing
    const Img destination = filled(9, 7, paper);
    arm();
    img_resample(source.get(), destination.get());
    return pixels_of(destination.get()) == Pixels(9 * 7, paper);
  });
}

// While verbose a refused call says so (the hostile caller checks that it changes nothing);
// clipping and comparing are no errors.
TEST(ImageReports, OnlyRefusedCallsReportWhileVerbose) {
  Img source = filled(4, 3, 5), destination = filled(4, 3, 9), other = filled(2, 6, 9);
  Image *s = source.get(), *d = destination.get(), *o = other.get(), bare{4, 3, nullptr}, huge{big, 1, s->pixels};
  constexpr std::size_t refused = 12;  // the calls before the comparison
  const std::function<void()> calls[] = {
      [&] { img_fill_rect(d, 3, 0, 2, 1, 1); }, [&] { img_copy_pixels(o, d); }, [&] { img_and_mask(o, d); },
      [&] { img_clear(&bare); }, [&] { img_resample(&bare, d); }, [&] { img_blend_blit(&bare, d, 0, 0); },
      [&] { img_blit_spread(s, d, 0, 0, 0, 0, 4, 3, 1, 0); }, [&] { img_blit_row_wrap(s, d, -1, 0, 0); },
      [&] { img_or_row_wrap(s, d, 0, 3, 0); }, [&] { img_blit_column_wrap(s, d, 4, 0, 0); },
      [&] { img_copy_row(s, d, 3, 0); }, [&] { img_rotate(&huge, 0); }, [&] { img_equal(o, d); },
      [&] { img_put_pixel(d, -1, 0, 1); }, [&] { img_blit(s, d, 0, 0, 4, 0, 4, 3); }};
  img_verbose = 1;
  for (std::size_t i = 0; i < std::size(calls); ++i) {
    testing::internal::CaptureStdout();
    calls[i]();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), i < refused ? "IMG error\n" : "") << i;
  }
  img_verbose = 0;
}

}  // namespace
}  // namespace novu
