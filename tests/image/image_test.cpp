#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
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
using Draw = std::function<void(Image*)>;
using Wide = std::int64_t;  // the expectations' arithmetic: no sum of 32-bit arguments overflows it
using Points = std::initializer_list<std::pair<std::int32_t, std::int32_t>>;

// Every pixel names its own position, with the top byte set, except for a scatter of key pixels.
std::uint32_t numbered(Wide x, Wide y) {
  return (x + y) % 5 == 4 ? 0 : static_cast<std::uint32_t>(0xFF000000 | (y + 1) << 12 | (x + 1));
}
Img numbered_picture(std::int32_t width, std::int32_t height) { return picture(width, height, numbered); }
std::uint32_t keyed(std::uint32_t pixel) { return pixel != 0 ? pixel : paper; }  // key pixels leave paper
bool within(Wide v, Wide size) { return v >= 0 && v < size; }

// Draws on a w x h picture filled with base and expects pixel (x, y) to be want(x, y).
template <class Want>
void expect_drawn(std::int32_t w, std::int32_t h, const Draw& draw, Want want, std::uint32_t base = paper) {
  Img image = filled(w, h, base);
  draw(image.get());
  EXPECT_EQ(pixels_of(image.get()), pixels_of(picture(w, h, want).get()));
}

// Allocates nothing: it also runs while an injected allocation failure is still armed.
bool all_pixels_are(const Image* image, std::uint32_t colour) {
  return std::all_of(image->pixels, image->pixels + image->width * image->height,
                     [&](std::uint32_t p) { return p == colour; });
}

TEST(ImageLife, CreateResizeDestroyAndPixelsInsideOnly) {
  Img image(img_create());
  EXPECT_EQ(std::pair(image->width, image->height), std::pair(16, 16));
  EXPECT_EQ(pixels_of(image.get()), std::vector<std::uint32_t>(16 * 16));
  image->pixels[5] = 1;
  img_resize(image.get(), 256, 256);
  EXPECT_EQ(pixels_of(image.get()), std::vector<std::uint32_t>(256 * 256));
  image->pixels[5] = 1;  // sizes no picture may have are refused: size and content stay
  for (const auto& [w, h] : Points{{-1, 4}, {4, -1}, {big, big}, {4097, 4096}}) img_resize(image.get(), w, h);
  EXPECT_EQ(std::tuple(image->width, image->height, image->pixels[5]), std::tuple(256, 256, 1u));
  Image* gone = image.release();
  img_destroy(&gone);
  EXPECT_EQ(gone, nullptr);
  img_destroy(&gone);
  const Img numbers = numbered_picture(5, 4);
  for (const auto& [x, y] : Points{{-1, 0}, {5, 0}, {0, 4}, {0, -1}, {big, big}}) {
    EXPECT_EQ(img_get_pixel(numbers.get(), x, y), 0u);
    img_put_pixel(numbers.get(), x, y, 7);
  }
  EXPECT_EQ(img_get_pixel(numbers.get(), 4, 3), numbered(4, 3));
  img_put_pixel(numbers.get(), 4, 3, 7);
  const auto want = [](Wide x, Wide y) { return x == 4 && y == 3 ? 7 : numbered(x, y); };
  EXPECT_EQ(pixels_of(numbers.get()), pixels_of(picture(5, 4, want).get()));
  EXPECT_EQ(img_get_pixel(nullptr, 0, 0), 0u);
}

TEST(ImageFade, EachChannelLosesTheAmountsLowByteAndStopsAtZero) {
  struct Case { std::uint32_t pixel; std::int32_t amount; std::uint32_t want; };
  const Case cases[] = {{0xFF0804, 8, 0xF70000},   {0x12345678, 8, 0x2C4E70}, {0x12345678, 264, 0x2C4E70},
                        {0x12345678, 0, 0x345678}, {0xFFFFFF, -1, 0},         {0x808080, -248, 0x787878},
                        {0x010203, 2, 0x000001}};
  for (const Case& c : cases) {  // 17 x 3: whole blocks of pixels and a ragged end
    const auto fade = [&](Image* image) { img_fade(image, c.amount); };
    expect_drawn(17, 3, fade, [&](Wide, Wide) { return c.want; }, c.pixel);
  }
}

TEST(ImageRects, DrawWhollyInsideOrNotAtAll) {
  struct Case { std::int32_t x, y, w, h; bool drawn; };
  const Case cases[] = {{0, 0, 8, 6, true},      {5, 0, 3, 1, true},     {6, 0, 3, 1, false},
                        {0, 5, 1, 1, true},      {0, 4, 1, 3, false},    {-1, 0, 2, 2, false},
                        {0, 0, 0, 3, false},     {0, 0, 3, -1, false},   {1, 1, big, 1, false},
                        {big, 0, big, 1, false}, {0, 1, 1, big, false},  {1, 2, 1, 4, true},
                        {3, 3, 3, 3, true}};
  for (const Case& c : cases) {
    for (bool frame : {false, true}) {
      const Wide right = Wide{c.x} + c.w - 1, bottom = Wide{c.y} + c.h - 1;
      const auto draw = [&](Image* d) { (frame ? img_frame_rect : img_fill_rect)(d, c.x, c.y, c.w, c.h, 1); };
      expect_drawn(8, 6, draw, [&](Wide x, Wide y) {
        const bool in = x >= c.x && x <= right && y >= c.y && y <= bottom;
        const bool edge = x == c.x || x == right || y == c.y || y == bottom;
        return c.drawn && in && (!frame || edge) ? 1 : paper;
      });
    }
  }
}

TEST(ImageWhole, CloneEqualCopyAndMask) {
  const Img source = picture_of(2, 2, {0x00F0F0, 0x123456, 0x0F0F0F, 0xFFFFFF});
  const Img copy(img_clone(source.get()));
  EXPECT_EQ(pixels_of(copy.get()), pixels_of(source.get()));
  copy->pixels[3] = 1;
  EXPECT_EQ(img_equal(source.get(), copy.get()), 0);
  img_copy_pixels(source.get(), copy.get());
  EXPECT_EQ(img_equal(source.get(), copy.get()), 1);
  img_and_mask(picture_of(2, 2, {0x0F00FF, 0xFF00FF, 0, 0x00FF00}).get(), copy.get());
  EXPECT_EQ(pixels_of(copy.get()), (std::vector<std::uint32_t>{0x0000F0, 0x120056, 0, 0x00FF00}));
}

TEST(Blit, CopiesExactlyThePairsInsideBothImagesExceptKeyPixels) {
  struct Case { std::int32_t source_w, source_h, w, h, sx, sy, dx, dy, width, height; };
  const Case cases[] = {
      {32, 32, 256, 256, 0, 0, -10, 250, 32, 32},  // a glyph over the bottom-left corner
      {32, 1, 40, 1, -32, 0, 0, 0, 32, 1},      {32, 1, 40, 1, -31, 0, 0, 0, 32, 1},
      {8, 8, 6, 6, -2, 3, -3, -1, 9, 9},         {8, 6, 10, 7, 2, 1, 3, 2, big, big},
      {8, 6, 10, 7, 0, 0, 0, 0, -3, 4},          {8, 6, 10, 7, 0, 0, big - 5, 0, big, big},
      {8, 6, 10, 7, 0, 0, -5, 0, big, big},      {8, 6, 10, 7, least + 1, 0, 0, 0, big, 3},
      {8, 6, 10, 7, 0, least, 0, least, big, big}};
  for (const Case& c : cases) {
    const Img source = numbered_picture(c.source_w, c.source_h);
    const auto copy = [&](Image* d) { img_blit(source.get(), d, c.sx, c.sy, c.dx, c.dy, c.width, c.height); };
    expect_drawn(c.w, c.h, copy, [&](Wide x, Wide y) {
      const Wide i = x - c.dx, j = y - c.dy, sx = c.sx + i, sy = c.sy + j;
      const bool in = within(i, c.width) && within(j, c.height);
      return in && within(sx, c.source_w) && within(sy, c.source_h) ? keyed(numbered(sx, sy)) : paper;
    });
  }
}

// One axis of a spread copy and where its kept part lands: source first_source + k goes to
// first_destination + k * step for k < count.
struct Axis {
  std::int32_t source_size, destination_size, s, d, length, step;
  Wide first_source, first_destination, count;
};

void expect_spread(const Axis& x, const Axis& y) {
  const auto source_at = [](const Axis& a, Wide position) {  // -1: nothing lands there
    const Wide k = position - a.first_destination;
    return k >= 0 && k % a.step == 0 && k / a.step < a.count ? a.first_source + k / a.step : -1;
  };
  const Img source = numbered_picture(x.source_size, y.source_size);
  const auto copy = [&](Image* d) {
    img_blit_spread(source.get(), d, x.s, y.s, x.d, y.d, x.length, y.length, x.step, y.step);
  };
  expect_drawn(x.destination_size, y.destination_size, copy, [&](Wide px, Wide py) {
    const Wide sx = source_at(x, px), sy = source_at(y, py);
    return sx >= 0 && sy >= 0 ? keyed(numbered(sx, sy)) : paper;
  });
}

TEST(BlitSpread, ClipsEachAxisAndDrawsOneStepFurtherOnLeftOrAbove) {
  const Axis cases[] = {
      {288, 256, 0, -16, 288, 3, 5, 2, 84},  // part two's canvas: columns 5..88 at 2, 5, .., 251
      {288, 256, 0, -15, 288, 3, 5, 3, 84},  {256, 1024, 0, 0, 256, 4, 0, 0, 256},
      {20, 40, -2, 0, 10, 2, 0, 4, 8},       {10, 100, 4, 0, 100, 1, 4, 0, 6},
      {10, 20, -1, -7, 6, 2, 2, 1, 3},       {10, 20, 0, 0, 7, 3, 0, 0, 6},
      {10, 100, 0, -10, 3, 3, 0, 0, 0},      {10, 100, 0, 100, 5, 2, 0, 0, 0},
      {16, 16, 0, 0, big, 5, 0, 0, 3},       {16, 16, 0, 0, big, big, 0, 0, 0},
      {288, 256, 0, least, big, 3, 0, 0, 0}, {16, 16, least, 0, big, 1, 0, 0, 0}};
  const Axis unit{1, 1, 0, 0, 1, 1, 0, 0, 1};
  for (const Axis& a : cases) {
    expect_spread(a, unit);
    expect_spread(unit, a);
  }
  expect_spread(cases[0], Axis{144, 256, 0, 0, 144, 3, 0, 0, 85});  // and rows 0..84 at 0, 3, .., 252
}

TEST(BlitWrap, LinesWrapAroundTheDestinationAndOnlyPlainRowsCopyKeyPixels) {
  struct Case { std::int32_t source_length, length, offset; };
  const Case cases[] = {{8, 8, -1}, {8, 8, 8}, {8, 8, least}, {8, 8, big}, {12, 8, 3}, {5, 8, 6},
                        {48, 48, 50}};
  enum Mode { row, column, or_row, plain_row };
  for (const Case& c : cases) {
    for (Mode mode : {row, column, or_row, plain_row}) {
      // Source line 1 of 2 goes to destination line 2 of 3.
      const bool across = mode == column;
      const Img source = across ? numbered_picture(2, c.source_length) : numbered_picture(c.source_length, 2);
      const auto copy = [&](Image* d) {
        if (mode == row) img_blit_row_wrap(source.get(), d, 1, 2, c.offset);
        if (mode == column) img_blit_column_wrap(source.get(), d, 1, 2, c.offset);
        if (mode == or_row) img_or_row_wrap(source.get(), d, 1, 2, c.offset);
        if (mode == plain_row) img_copy_row(source.get(), d, 1, 2);
      };
      const Wide shift = mode == plain_row ? 0 : (c.offset % c.length + c.length) % c.length;
      expect_drawn(across ? 3 : c.length, across ? c.length : 3, copy, [&](Wide x, Wide y) {
        const Wide j = ((across ? y : x) - shift + c.length) % c.length;
        if ((across ? x : y) != 2 || j >= c.source_length) return paper;
        const std::uint32_t value = across ? numbered(1, j) : numbered(j, 1);
        return mode == or_row ? value | paper : mode == plain_row ? value : keyed(value);
      });
    }
  }
}

TEST(BlitBlend, AveragesHalvesPerChannelWithoutCarry) {
  struct Case { std::uint32_t source, destination, want; };
  const Case cases[] = {{0xFFFFFF, 0, 0x7F7F7F}, {0x010101, 0x010101, 0}, {0, 0x123456, 0x123456},
                        {0xFF808080, 0x808080, 0x808080}, {0x030507, 0x010101, 0x010203}};
  for (const Case& c : cases) {
    // The 3 x 3 source at (-1, 2) covers x 0..1, y 2..3.
    const auto blend = [&](Image* d) { img_blend_blit(filled(3, 3, c.source).get(), d, -1, 2); };
    const auto want = [&](Wide x, Wide y) { return x < 2 && y > 1 ? c.want : c.destination; };
    expect_drawn(4, 4, blend, want, c.destination);
  }
}

TEST(BlitScaling, ResampleRotateAndTheirTables) {
  // Nearest neighbours: enlarging, destination k shows source floor(k * s / d); shrinking, ceil.
  const auto pick = [](Wide k, Wide s, Wide d) { return s <= d ? k * s / d : (k * s + d - 1) / d; };
  for (const auto& [sw, sh, w, h] : {std::array{2, 1, 5, 1}, {4, 4, 2, 2}, {5, 3, 3, 5}, {16, 16, 256, 2}}) {
    const Img source = numbered_picture(sw, sh);
    expect_drawn(w, h, [&](Image* d) { img_resample(source.get(), d); },
                 [&](Wide x, Wide y) { return numbered(pick(x, sw, w), pick(y, sh, h)); });
  }
  // 5 x 5 turns about (2, 2) into 7 x 7 about (3, 3): clockwise quarter turns 0 .. 3 show at
  // offset (u, v) the source offset (u, v), (v, -u), (-u, -v) and (-v, u); nothing else is drawn.
  const Img source = numbered_picture(5, 5);
  for (const auto& [angle, quarter] : {std::pair{1024, 0}, {-768, 1}, {512, 2}, {-256, 3}}) {
    const Img want = picture(7, 7, [&](Wide x, Wide y) {
      const Wide u = x - 3, v = y - 3, back[4][2] = {{u, v}, {v, -u}, {-u, -v}, {-v, u}};
      const Wide sx = 2 + back[quarter][0], sy = 2 + back[quarter][1];
      return within(sx, 5) && within(sy, 5) ? numbered(sx, sy) : 0;
    });
    EXPECT_EQ(pixels_of(Img(img_rotate(source.get(), angle)).get()), pixels_of(want.get())) << angle;
  }
  const Img wide(img_rotate(numbered_picture(50000, 1).get(), 77));  // 50000 * 92667 needs 64 bits
  EXPECT_EQ(std::pair(wide->width, wide->height), std::pair(70699, 1));
  std::uint32_t one = 1;
  const Image huge{big, 1, &one};
  EXPECT_EQ(img_rotate(&huge, 0), nullptr);
  const std::pair<std::int32_t*, std::vector<std::int32_t>> tables[] = {  // empty: refused
      {img_step_runs(2, 4), {2, 2, 1}}, {img_step_runs(-6, 3), {2, 2, 2, 1}},
      {img_step_runs(0, 1 << 24 | 1), {}}, {img_line_points(0, 0, 4, 2), {10, 0, 0, 1, 1, 2, 1, 3, 2, 4, 2}},
      {img_line_points(0, 0, -2, -5), {12, 0, 0, -1, -1, -1, -2, -1, -3, -2, -4, -2, -5}},
      {img_line_points(big, 0, big - 2, 1), {6, big, 0, big - 1, 1, big - 2, 1}},
      {img_line_points(least, 0, big, 0), {}}};
  for (const auto& [list, want] : tables) {
    EXPECT_EQ(list == nullptr ? std::vector<std::int32_t>{} : std::vector(list, list + want.size()), want);
    mem_free(list);
  }
}

TEST(ImageRejects, RefusedCallsChangeNothingAndReportOnlyWhenVerbose) {
  // o has d's pixel count in another shape: copy and mask refuse it, comparing is no error.
  Img source = filled(4, 3, 5), destination = filled(4, 3, 9), other = filled(2, 6, 9);
  Image *s = source.get(), *d = destination.get(), *o = other.get(), bare{4, 3, nullptr};
  const std::pair<std::function<void()>, bool> calls[] = {  // the call and whether it is an error
      {[&] { img_fill_rect(d, 3, 0, 2, 1, 1); }, true}, {[&] { img_copy_pixels(o, d); }, true},
      {[&] { img_and_mask(o, d); }, true},              {[&] { img_clear(&bare); }, true},
      {[&] { img_blit(nullptr, d, 0, 0, 0, 0, 4, 3); }, true},
      {[&] { img_blit_spread(s, d, 0, 0, 0, 0, 4, 3, 1, 0); }, true},
      {[&] { img_blit_row_wrap(s, d, -1, 0, 0); }, true}, {[&] { img_or_row_wrap(s, d, 0, 3, 0); }, true},
      {[&] { img_blit_column_wrap(s, d, 4, 0, 0); }, true},
      {[&] { img_blit_column_wrap(s, d, 0, -1, 0); }, true},
      {[&] { img_copy_row(s, d, 3, 0); }, true},        {[&] { img_blend_blit(&bare, d, 0, 0); }, true},
      {[&] { img_resample(&bare, d); }, true},          {[&] { img_equal(o, d); }, false},
      {[&] { img_put_pixel(d, -1, 0, 1); }, false},     {[&] { img_blit(s, d, 0, 0, 4, 0, 4, 3); }, false},
      {[&] { img_destroy(nullptr); }, false}};
  int index = 0;
  for (const auto& [call, reports] : calls) {
    SCOPED_TRACE(index++);
    for (std::uint8_t verbose : {0, 1}) {
      img_verbose = verbose;
      testing::internal::CaptureStdout();
      call();
      EXPECT_EQ(testing::internal::GetCapturedStdout(), verbose && reports ? "IMG error\n" : "");
      EXPECT_TRUE(all_pixels_are(d, 9));
    }
  }
  img_verbose = 0;
}

TEST(ImageAllocation, EachFailureGivesTheDocumentedResult) {
  const Img source = filled(5, 4, 1), resized = filled(2, 2, 1), destination = filled(9, 7, paper);
  Image *s = source.get(), *r = resized.get(), *d = destination.get();
  const auto none = [](std::int32_t* list) { const bool null = !list; mem_free(list); return null; };
  using Arm = std::function<void()>;
  const std::pair<unsigned long, std::function<bool(Arm)>> operations[] = {  // allocations, attempt
      {2, [](Arm arm) { arm(); return Img(img_create()) == nullptr; }},
      {3, [&](Arm arm) { arm(); return Img(img_clone(s)) == nullptr; }},
      {3, [&](Arm arm) { arm(); return Img(img_rotate(s, 100)) == nullptr; }},
      {1, [&](Arm arm) { arm(); return none(img_line_points(0, 0, 9, 4)); }},
      {1, [&](Arm arm) { arm(); return none(img_step_runs(3, 9)); }},
      {1, [&](Arm arm) { arm(); img_resize(r, 7, 3); return r->width == 7 && r->height == 3 && !r->pixels; }},
      {2, [&](Arm arm) { arm(); img_resample(s, d); return all_pixels_are(d, paper); }}};  // draws nothing
  for (const auto& [allocations, attempt] : operations)
    EXPECT_EQ(expect_each_allocation_failure_handled(attempt), allocations);
}

}  // namespace
}  // namespace novu
