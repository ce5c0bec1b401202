#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "base/alloc.hpp"
#include "image/blit.hpp"

namespace novu {
namespace {

constexpr std::int32_t big = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();
constexpr std::uint32_t paper = 0xEEEEEE;  // what a destination holds before the copy

struct Destroy { void operator()(Image* image) const noexcept { img_destroy(&image); } };
using Img = std::unique_ptr<Image, Destroy>;
using Pairs = std::initializer_list<std::pair<std::int32_t, std::int32_t>>;

template <class Value>
Img picture(std::int32_t width, std::int32_t height, Value value) {
  Img image(img_create());
  img_resize(image.get(), width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) img_put_pixel(image.get(), x, y, value(x, y));
  }
  return image;
}

// Every pixel names its own position and none is the key colour.
std::uint32_t numbered(std::int64_t x, std::int64_t y) {
  return static_cast<std::uint32_t>((y + 1) << 12 | (x + 1));
}
Img numbered_picture(std::int32_t width, std::int32_t height) { return picture(width, height, numbered); }
Img paper_picture(std::int32_t width, std::int32_t height) {
  return picture(width, height, [](std::int64_t, std::int64_t) { return paper; });
}

// Checks every destination pixel against expect(x, y) and returns how many differ from paper.
template <class Expect>
int check_pixels(const Image* image, Expect expect) {
  int written = 0;
  for (std::int32_t y = 0; y < image->height; ++y) {
    for (std::int32_t x = 0; x < image->width; ++x) {
      const std::uint32_t got = img_get_pixel(image, x, y);
      EXPECT_EQ(got, expect(x, y)) << "at " << x << ", " << y;
      written += got != paper;
    }
  }
  return written;
}

TEST(Blit, CopiesExactlyThePairsInsideBothImages) {
  struct Case { std::int32_t source_w, source_h, destination_w, destination_h, sx, sy, dx, dy, w, h, written; };
  const Case cases[] = {
      {32, 32, 256, 256, 0, 0, -10, 250, 32, 32, 22 * 6},  // a glyph over the bottom-left corner
      {32, 1, 40, 1, -32, 0, 0, 0, 32, 1, 0},     {32, 1, 40, 1, -31, 0, 0, 0, 32, 1, 1},
      {8, 8, 6, 6, -2, 3, -3, -1, 9, 9, 6 * 4},    {8, 6, 10, 7, 6, 4, 8, 5, 5, 5, 2 * 2},
      {8, 6, 10, 7, 0, 0, 10, 0, 4, 4, 0},         {8, 6, 10, 7, 0, 0, -4, 0, 4, 4, 0},
      {8, 6, 10, 7, 0, 6, 0, 0, 4, 4, 0},          {8, 6, 10, 7, 0, 0, 0, 0, -3, 4, 0},
      {8, 6, 10, 7, 0, 0, big - 5, 0, big, big, 0}, {8, 6, 10, 7, 0, 0, -5, 0, big, big, 3 * 6},
      {8, 6, 10, 7, least + 1, 0, 0, 0, big, 3, 0}, {8, 6, 10, 7, 2, 1, 3, 2, big, big, 6 * 5},
      {8, 6, 10, 7, 0, least, 0, least, big, big, 0},
  };
  for (const Case& c : cases) {
    Img source = numbered_picture(c.source_w, c.source_h);
    Img destination = paper_picture(c.destination_w, c.destination_h);
    img_blit(source.get(), destination.get(), c.sx, c.sy, c.dx, c.dy, c.w, c.h);
    const int written = check_pixels(destination.get(), [&](std::int64_t x, std::int64_t y) {
      const std::int64_t i = x - c.dx, j = y - c.dy, sx = c.sx + i, sy = c.sy + j;
      const bool copied = i >= 0 && i < c.w && j >= 0 && j < c.h && sx >= 0 && sx < c.source_w && sy >= 0 &&
                          sy < c.source_h;
      return copied ? numbered(sx, sy) : paper;
    });
    EXPECT_EQ(written, c.written) << c.sx << " " << c.dx << " " << c.w;
  }
}

TEST(Blit, ZeroSourcePixelsAreTransparentExceptToThePlainRowCopy) {
  const auto value = [](std::int64_t x, std::int64_t y) -> std::uint32_t {
    return (x + y) % 3 == 0 ? 0 : x == 1 && y == 0 ? 0xFF000000u : numbered(x, y);  // top bytes survive
  };
  Img source = picture(6, 4, value);
  const std::pair<std::function<void(Image*)>, bool> copies[] = {
      {[&](Image* d) { img_blit(source.get(), d, 0, 0, 0, 0, 6, 4); }, true},
      {[&](Image* d) { img_blit_spread(source.get(), d, 0, 0, 0, 0, 6, 4, 1, 1); }, true},
      {[&](Image* d) { for (int y = 0; y < 4; ++y) img_blit_row_wrap(source.get(), d, y, y, 0); }, true},
      {[&](Image* d) { for (int x = 0; x < 6; ++x) img_blit_column_wrap(source.get(), d, x, x, 0); }, true},
      {[&](Image* d) { for (int y = 0; y < 4; ++y) img_copy_row(source.get(), d, y, y); }, false}};
  for (const auto& [copy, keyed] : copies) {
    Img destination = paper_picture(6, 4);
    copy(destination.get());
    check_pixels(destination.get(), [&](std::int64_t x, std::int64_t y) {
      return value(x, y) != 0 || !keyed ? value(x, y) : paper;
    });
  }
}

// One axis of a spread copy and where its kept part lands: source first_source + k goes to
// first_destination + k * step for k < count.
struct Axis {
  std::int32_t source_size, destination_size, s, d, length, step;
  std::int64_t first_source, first_destination, count;
};
constexpr Axis unit_axis{1, 1, 0, 0, 1, 1, 0, 0, 1};

bool lands(const Axis& a, std::int64_t position, std::int64_t& source) {
  const std::int64_t k = position - a.first_destination;
  if (a.count <= 0 || k < 0 || k % a.step != 0 || k / a.step >= a.count) return false;
  source = a.first_source + k / a.step;
  return true;
}

void check_spread(const Axis& x, const Axis& y) {
  Img source = numbered_picture(x.source_size, y.source_size);
  Img destination = paper_picture(x.destination_size, y.destination_size);
  img_blit_spread(source.get(), destination.get(), x.s, y.s, x.d, y.d, x.length, y.length, x.step, y.step);
  const int written = check_pixels(destination.get(), [&](std::int64_t px, std::int64_t py) {
    std::int64_t sx = 0, sy = 0;
    return lands(x, px, sx) && lands(y, py, sy) ? numbered(sx, sy) : paper;
  });
  EXPECT_EQ(written, std::max<std::int64_t>(x.count, 0) * std::max<std::int64_t>(y.count, 0));
}

TEST(BlitSpread, ClipsAndAdjustsEachAxis) {
  const Axis cases[] = {
      {288, 256, 0, -16, 288, 3, 5, 2, 84},  // part two's call: columns 5..88 at 2, 5, .., 251
      {288, 256, 0, -15, 288, 3, 5, 3, 84},  {256, 1024, 0, 0, 256, 4, 0, 0, 256},
      {20, 40, -2, 0, 10, 2, 0, 4, 8},       {10, 100, 4, 0, 100, 1, 4, 0, 6},
      {10, 100, 0, -3, 10, 3, 1, 3, 9},      {10, 20, -1, -1, 5, 2, 0, 1, 4},
      {10, 20, -1, -7, 6, 2, 2, 1, 3},       {10, 100, 0, -10, 3, 3, 0, 0, 0},
      {10, 100, 0, -9, 3, 3, 0, 0, 0},       {10, 100, 0, 100, 5, 2, 0, 0, 0},
      {10, 100, 0, 99, 5, 2, 0, 0, 0},       {10, 20, 0, 0, 7, 3, 0, 0, 6},
      {16, 16, 0, 0, big, 5, 0, 0, 3},       {16, 16, 0, 0, big, big, 0, 0, 0},
      {288, 256, 0, least, big, 3, 0, 0, 0}, {16, 16, least, 0, big, 1, 0, 0, 0},
      {40, 200, -100, 0, 32, 4, 0, 0, 0},    {16, 16, 16, 0, 4, 1, 0, 0, 0},
      {16, 16, 0, 0, 16, 0, 0, 0, 0},        {16, 16, 0, 0, 16, -1, 0, 0, 0},
  };
  for (const Axis& a : cases) {
    check_spread(a, unit_axis);
    check_spread(unit_axis, a);
  }
  // Both axes at once: part two's canvas (rows 0..84 at 0, 3, .., 252) and the font's glyph sheet.
  check_spread(cases[0], Axis{144, 256, 0, 0, 144, 3, 0, 0, 85});
  check_spread(cases[2], Axis{80, 320, 0, 0, 80, 4, 0, 0, 80});
}

TEST(BlitWrap, LinesWrapAroundTheDestinationAndPlainRowsDoNot) {
  struct Case { std::int32_t source_length, destination_length, offset; };
  const Case cases[] = {{8, 8, -1}, {8, 8, 0},  {8, 8, 8},  {8, 8, 19},   {8, 8, least},
                        {8, 8, big}, {12, 8, 3}, {5, 8, 6}, {48, 48, 50}};  // 48 rows by 50: row 0 at 2
  enum Mode { row, column, or_row, plain_row };
  for (const Case& c : cases) {
    for (Mode mode : {row, column, or_row, plain_row}) {
      // Source line 1 of 2 goes to destination line 2 of 3.
      const bool across = mode == column;
      Img source = across ? numbered_picture(2, c.source_length) : numbered_picture(c.source_length, 2);
      const std::int32_t length = c.destination_length;
      Img destination = across ? paper_picture(3, length) : paper_picture(length, 3);
      if (mode == row) img_blit_row_wrap(source.get(), destination.get(), 1, 2, c.offset);
      if (mode == column) img_blit_column_wrap(source.get(), destination.get(), 1, 2, c.offset);
      if (mode == or_row) img_or_row_wrap(source.get(), destination.get(), 1, 2, c.offset);
      if (mode == plain_row) img_copy_row(source.get(), destination.get(), 1, 2);
      const std::int64_t shift = mode == plain_row ? 0 : (std::int64_t{c.offset} % length + length) % length;
      check_pixels(destination.get(), [&](std::int64_t x, std::int64_t y) {
        const std::int64_t j = ((across ? y : x) - shift + length) % length;
        if ((across ? x : y) != 2 || j >= c.source_length) return paper;
        const std::uint32_t value = across ? numbered(1, j) : numbered(j, 1);
        return mode == or_row ? value | paper : value;
      });
    }
  }
}

TEST(BlitBlend, AveragesHalvesPerChannelWithoutCarry) {
  struct Case { std::uint32_t source, destination, want; };
  const Case cases[] = {{0xFFFFFF, 0, 0x7F7F7F},          {0x010101, 0x010101, 0},
                        {0, 0x123456, 0x123456},          {0xFF808080, 0x808080, 0x808080},
                        {0x030507, 0x010101, 0x010203}};
  for (const Case& c : cases) {
    Img destination = picture(4, 4, [&](std::int64_t, std::int64_t) { return c.destination; });
    Img source = picture(3, 3, [&](std::int64_t, std::int64_t) { return c.source; });
    img_blend_blit(source.get(), destination.get(), -1, 2);  // covers x 0..1, y 2..3
    check_pixels(destination.get(), [&](std::int64_t x, std::int64_t y) {
      return x < 2 && y >= 2 ? c.want : c.destination;
    });
  }
}

TEST(BlitRejects, BadArgumentsAndPlacementsOutsideChangeNothing) {
  Img source = numbered_picture(4, 3), destination = paper_picture(4, 3), untouched = paper_picture(4, 3);
  Image *s = source.get(), *d = destination.get(), bare{4, 3, nullptr};
  const std::function<void()> calls[] = {
      [&] { img_blit(nullptr, d, 0, 0, 0, 0, 4, 3); },     [&] { img_blit(s, &bare, 0, 0, 0, 0, 4, 3); },
      [&] { img_blit_spread(s, d, 0, 0, 0, 0, 4, 3, 1, 0); },
      [&] { img_blit_spread(&bare, d, 0, 0, 0, 0, 4, 3, 1, 1); },
      [&] { img_blit_row_wrap(s, d, -1, 0, 0); },          [&] { img_blit_row_wrap(s, d, 0, 3, 0); },
      [&] { img_or_row_wrap(s, d, 3, 0, 0); },             [&] { img_or_row_wrap(nullptr, d, 0, 0, 0); },
      [&] { img_blit_column_wrap(s, d, 4, 0, 0); },        [&] { img_blit_column_wrap(s, d, 0, -1, 0); },
      [&] { img_copy_row(s, d, 0, 3); },                   [&] { img_copy_row(s, d, -1, 0); },
      [&] { img_blend_blit(s, d, 4, 0); },                 [&] { img_blend_blit(s, d, -4, -3); },
      [&] { img_blend_blit(s, &bare, 0, 0); },             [&] { img_resample(&bare, d); },
  };
  for (const auto& call : calls) {
    call();
    EXPECT_EQ(img_equal(d, untouched.get()), 1);
  }
}

TEST(BlitResample, NearestNeighbourToTheDestinationSize) {
  struct Case { std::int32_t source_w, source_h, w, h; } cases[] = {
      {2, 2, 4, 4}, {2, 1, 5, 1}, {4, 4, 2, 2}, {5, 3, 3, 5}, {16, 16, 256, 256}, {7, 7, 7, 7}, {3, 3, 1, 1}};
  // Enlarging, destination k shows source floor(k * s / d); shrinking, source ceil(k * s / d).
  const auto pick = [](std::int64_t k, std::int64_t s, std::int64_t d) {
    return s <= d ? k * s / d : (k * s + d - 1) / d;
  };
  for (const Case& c : cases) {
    Img destination = paper_picture(c.w, c.h);
    img_resample(numbered_picture(c.source_w, c.source_h).get(), destination.get());
    check_pixels(destination.get(), [&](std::int64_t x, std::int64_t y) {
      return numbered(pick(x, c.source_w, c.w), pick(y, c.source_h, c.h));
    });
  }
}

TEST(BlitTables, StepRunsAndLinePoints) {
  using List = std::function<std::int32_t*()>;
  const std::pair<List, std::vector<std::int32_t>> cases[] = {  // empty: rejected
      {[] { return img_step_runs(2, 4); }, {2, 2, 1}},     {[] { return img_step_runs(4, 2); }, {2, 2, 1}},
      {[] { return img_step_runs(0, 5); }, {6}},           {[] { return img_step_runs(0, 0); }, {1}},
      {[] { return img_step_runs(-3, 6); }, {2, 2, 2, 1}}, {[] { return img_step_runs(3, 3); }, {1, 1, 1, 1}},
      {[] { return img_step_runs(1, 4); }, {4, 1}},        {[] { return img_step_runs(2, 5); }, {3, 2, 1}},
      {[] { return img_step_runs(least, 0); }, {}},        {[] { return img_step_runs(0, 1 << 24 | 1); }, {}},
      {[] { return img_line_points(0, 0, 4, 2); }, {10, 0, 0, 1, 1, 2, 1, 3, 2, 4, 2}},
      {[] { return img_line_points(0, 0, -2, -5); }, {12, 0, 0, -1, -1, -1, -2, -1, -3, -2, -4, -2, -5}},
      {[] { return img_line_points(3, 3, 0, 3); }, {8, 3, 3, 2, 3, 1, 3, 0, 3}},
      {[] { return img_line_points(0, 0, 0, 0); }, {2, 0, 0}},
      {[] { return img_line_points(0, 0, 1, 1); }, {4, 0, 0, 1, 1}},
      {[] { return img_line_points(big, 0, big - 2, 1); }, {6, big, 0, big - 1, 1, big - 2, 1}},
      {[] { return img_line_points(least, 0, big, 0); }, {}},
  };
  for (const auto& [make, want] : cases) {
    std::int32_t* list = make();
    EXPECT_EQ(list == nullptr, want.empty());
    if (list != nullptr) {
      EXPECT_EQ(std::vector<std::int32_t>(list, list + want.size()), want);
    }
    mem_free(list);
  }
}

TEST(BlitRotate, SidesGrowAndQuarterTurnsMovePixelsExactly) {
  struct Size { std::int32_t w, h, want_w, want_h; };
  const Size sizes[] = {{16, 16, 22, 22}, {256, 1, 361, 1}, {0, 5, 0, 7}, {50000, 1, 70699, 1}};
  for (const Size& s : sizes) {
    Img rotated(img_rotate(numbered_picture(s.w, s.h).get(), 77));
    ASSERT_NE(rotated.get(), nullptr);
    EXPECT_EQ(std::pair(rotated->width, rotated->height), std::pair(s.want_w, s.want_h));
  }
  std::uint32_t one = 1;
  Image huge{big, 1, &one};
  EXPECT_EQ(img_rotate(&huge, 0), nullptr);
  EXPECT_EQ(img_rotate(nullptr, 0), nullptr);
  // 5 x 5 turns about (2, 2) into 7 x 7 about (3, 3); clockwise quarter turns 0 .. 3 take source
  // offset (u, v) to (u, v), (-v, u), (-u, -v) and (v, -u); nothing else is drawn.
  Img source = numbered_picture(5, 5);
  // Angle and the number of quarter turns it makes.
  const Pairs turns = {{0, 0}, {1024, 0}, {256, 1}, {-768, 1}, {512, 2}, {768, 3}, {-256, 3}};
  for (const auto& [angle, quarter] : turns) {
    Img rotated(img_rotate(source.get(), angle));
    std::int64_t drawn = 0;
    for (std::int32_t v = -2; v <= 2; ++v) {
      for (std::int32_t u = -2; u <= 2; ++u) {
        const std::int32_t to[4][2] = {{u, v}, {-v, u}, {-u, -v}, {v, -u}};
        EXPECT_EQ(img_get_pixel(rotated.get(), 3 + to[quarter][0], 3 + to[quarter][1]), numbered(2 + u, 2 + v));
      }
    }
    for (std::int32_t i = 0; i < 49; ++i) drawn += rotated->pixels[i] != 0;
    EXPECT_EQ(drawn, 25) << angle;
  }
}

}  // namespace
}  // namespace novu
