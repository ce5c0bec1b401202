#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <random>
#include <utility>

#include "base/alloc.hpp"
#include "image/blit.hpp"
#include "image/image.hpp"

namespace novu {
namespace {

constexpr std::int32_t big = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();

struct Destroy { void operator()(Image* image) const noexcept { img_destroy(&image); } };
using Img = std::unique_ptr<Image, Destroy>;
using Points = std::initializer_list<std::pair<std::int32_t, std::int32_t>>;
struct Free { void operator()(std::int32_t* list) const noexcept { mem_free(list); } };
using List = std::unique_ptr<std::int32_t, Free>;

Img filled(std::int32_t width, std::int32_t height, std::uint32_t colour) {
  Img image(img_create());
  img_resize(image.get(), width, height);
  std::fill_n(image->pixels, width * height, colour);
  return image;
}

bool all_pixels_are(const Image* image, std::uint32_t colour) {
  return std::all_of(image->pixels, image->pixels + image->width * image->height,
                     [&](std::uint32_t p) { return p == colour; });
}

TEST(ImageLife, CreateResizeAndDestroy) {
  Img image(img_create());
  ASSERT_NE(image.get(), nullptr);
  EXPECT_EQ(std::pair(image->width, image->height), std::pair(16, 16));
  EXPECT_TRUE(all_pixels_are(image.get(), 0));
  img_put_pixel(image.get(), 3, 3, 0x123456);
  img_resize(image.get(), 256, 256);
  EXPECT_EQ(std::pair(image->width, image->height), std::pair(256, 256));
  EXPECT_TRUE(all_pixels_are(image.get(), 0));
  // Negative sizes and areas no picture may have are rejected and keep size and content.
  const Points refused = {{-1, 4}, {4, -1}, {least, least}, {big, big}, {4097, 4096}, {1 << 24 | 1, 1}};
  for (const auto& [w, h] : refused) {
    img_resize(image.get(), w, h);
    EXPECT_EQ(std::pair(image->width, image->height), std::pair(256, 256));
  }
  img_resize(nullptr, 4, 4);
  Image* gone = image.release();
  img_destroy(&gone);
  EXPECT_EQ(gone, nullptr);
  img_destroy(&gone);
  img_destroy(nullptr);
}

// The darkening as described: each masked channel less the amount's low byte, stopped at 0.
std::uint32_t faded(std::uint32_t p, std::int32_t amount) {
  const std::int64_t k = amount & 0xff;
  const auto channel = [&](std::uint32_t mask, int shift) {
    return std::max<std::int64_t>((p & mask) - (k << shift), 0);
  };
  return static_cast<std::uint32_t>(channel(0xff0000, 16) | channel(0xff00, 8) | channel(0xff, 0));
}

TEST(ImageFade, DarkensEachChannelAndClearsTheTopByte) {
  struct Case { std::uint32_t pixel; std::int32_t amount; std::uint32_t want; };
  const Case cases[] = {{0xFF0804, 8, 0xF70000},    {0x12345678, 8, 0x2C4E70},   {0x12345678, 264, 0x2C4E70},
                        {0x12345678, 0, 0x345678},  {0xFFFFFFFF, 256, 0xFFFFFF}, {0xFFFFFF, -1, 0},
                        {0x808080, -248, 0x787878}, {0x010203, 2, 0x000001},     {0xFF000000, 1, 0}};
  for (const Case& c : cases) {
    Img image = filled(17, 3, c.pixel);  // whole blocks of pixels and a ragged end
    img_fade(image.get(), c.amount);
    EXPECT_TRUE(all_pixels_are(image.get(), c.want)) << std::hex << c.pixel << " by " << std::dec << c.amount;
  }
  std::mt19937 random(4471);
  for (const auto& [w, h] : Points{{1, 1}, {16, 1}, {5, 13}, {256, 256}}) {
    for (std::int32_t amount : {1, 8, 16, 32, 127, 300, -7}) {
      Img image = filled(w, h, 0);
      Img want = filled(w, h, 0);
      for (std::int32_t i = 0; i < w * h; ++i) {
        image->pixels[i] = static_cast<std::uint32_t>(random());
        want->pixels[i] = faded(image->pixels[i], amount);
      }
      img_fade(image.get(), amount);
      EXPECT_EQ(img_equal(image.get(), want.get()), 1) << w << " x " << h << " by " << amount;
    }
  }
}

TEST(ImagePixels, OutsideReadsZeroAndWritesNothing) {
  Img image = filled(5, 4, 0x777777);
  for (const auto& [x, y] : Points{{-1, 0}, {5, 0}, {0, 4}, {0, -1}, {least, least}, {big, 0}, {0, big}}) {
    EXPECT_EQ(img_get_pixel(image.get(), x, y), 0u);
    img_put_pixel(image.get(), x, y, 1);
  }
  EXPECT_TRUE(all_pixels_are(image.get(), 0x777777));
  EXPECT_EQ(img_get_pixel(nullptr, 0, 0), 0u);
}

TEST(ImageRects, DrawWhollyInsideOrNotAtAll) {
  struct Case { std::int32_t x, y, w, h; bool drawn; };
  const Case cases[] = {
      {0, 0, 8, 6, true},  {5, 0, 3, 1, true},    {6, 0, 3, 1, false},     {0, 5, 1, 1, true},
      {0, 4, 1, 3, false}, {-1, 0, 2, 2, false},  {0, 0, 0, 3, false},     {0, 0, 3, -1, false},
      {8, 0, 1, 1, false}, {1, 1, big, 1, false}, {big, 0, big, 1, false}, {0, 1, 1, big, false},
      {1, 2, 1, 4, true},  {3, 3, 3, 3, true}};
  const std::uint32_t paper = 0x010101, ink = 0xABCDEF;
  for (const Case& c : cases) {
    for (bool frame : {false, true}) {
      Img image = filled(8, 6, paper);
      (frame ? img_frame_rect : img_fill_rect)(image.get(), c.x, c.y, c.w, c.h, ink);
      const std::int64_t right = std::int64_t{c.x} + c.w - 1, bottom = std::int64_t{c.y} + c.h - 1;
      for (std::int32_t y = 0; y < 6; ++y) {
        for (std::int32_t x = 0; x < 8; ++x) {
          const bool in = x >= c.x && x <= right && y >= c.y && y <= bottom;
          const bool edge = x == c.x || x == right || y == c.y || y == bottom;
          EXPECT_EQ(img_get_pixel(image.get(), x, y), c.drawn && in && (!frame || edge) ? ink : paper)
              << c.x << " " << c.y << " " << c.w << " " << c.h << (frame ? " frame" : " fill");
        }
      }
    }
  }
}

TEST(ImageWhole, CloneEqualCopyAndMask) {
  Img source = filled(4, 3, 0x00F0F0);
  img_put_pixel(source.get(), 1, 1, 0x123456);
  Img copy(img_clone(source.get()));
  EXPECT_EQ(img_equal(source.get(), copy.get()), 1);
  img_put_pixel(copy.get(), 3, 2, 1);
  EXPECT_EQ(img_equal(source.get(), copy.get()), 0);
  img_copy_pixels(source.get(), copy.get());
  EXPECT_EQ(img_equal(source.get(), copy.get()), 1);
  // Same pixel count, other shape: no copy, no mask, not equal.
  Img other = filled(12, 1, 0x00F0F0);
  img_copy_pixels(source.get(), other.get());
  img_and_mask(source.get(), other.get());
  EXPECT_TRUE(all_pixels_are(other.get(), 0x00F0F0));
  EXPECT_EQ(img_equal(source.get(), other.get()), 0);
  EXPECT_EQ(img_equal(source.get(), nullptr), 0);
  EXPECT_EQ(img_clone(nullptr), nullptr);
  img_and_mask(filled(4, 3, 0x0F00FF).get(), copy.get());
  EXPECT_EQ(img_get_pixel(copy.get(), 0, 0), 0x0000F0u);
  EXPECT_EQ(img_get_pixel(copy.get(), 1, 1), 0x020056u);
}

TEST(ImageErrors, OnlyRejectedCallsReportAndOnlyWhenVerbose) {
  Img image = filled(4, 4, 0);
  Img other = filled(5, 4, 0);
  Image* i = image.get();
  Image* o = other.get();
  const std::pair<std::function<void()>, bool> calls[] = {
      {[&] { img_fill_rect(i, 3, 0, 2, 1, 1); }, true},   {[&] { img_clear(nullptr); }, true},
      {[&] { img_copy_pixels(i, o); }, true},             {[&] { img_blit(i, nullptr, 0, 0, 0, 0, 1, 1); }, true},
      {[&] { img_equal(i, o); }, false},                  {[&] { img_put_pixel(i, -1, 0, 1); }, false},
      {[&] { img_blit(i, i, 0, 0, 9, 9, 1, 1); }, false}, {[&] { img_destroy(nullptr); }, false},
  };
  for (const auto& [call, reports] : calls) {
    for (std::uint8_t verbose : {0, 1}) {
      img_verbose = verbose;
      testing::internal::CaptureStdout();
      call();
      EXPECT_EQ(testing::internal::GetCapturedStdout(), verbose && reports ? "IMG error\n" : "");
    }
  }
  img_verbose = 0;
}

TEST(ImageAllocation, EachFailureGivesTheDocumentedResult) {
  Img source = filled(5, 4, 0x336699);
  const Image* s = source.get();
  // Each operation arms mem_fail_after(k) right before its call and says whether it gave its
  // documented failure result; that must happen exactly when the injected failure fired.
  const std::pair<unsigned long, std::function<bool(unsigned long)>> operations[] = {
      {2, [](unsigned long k) { mem_fail_after(k); return Img(img_create()) == nullptr; }},
      {3, [&](unsigned long k) { mem_fail_after(k); return Img(img_clone(s)) == nullptr; }},
      {3, [&](unsigned long k) { mem_fail_after(k); return Img(img_rotate(s, 100)) == nullptr; }},
      {1, [](unsigned long k) {
         Img image = filled(2, 2, 9);
         mem_fail_after(k);
         img_resize(image.get(), 7, 3);
         img_fill_rect(image.get(), 0, 0, 1, 1, 5);  // without pixels: rejected, no crash
         return image->width == 7 && image->height == 3 && image->pixels == nullptr;
       }},
      {1, [](unsigned long k) { mem_fail_after(k); return List(img_line_points(0, 0, 9, 4)) == nullptr; }},
      {1, [](unsigned long k) { mem_fail_after(k); return List(img_step_runs(3, 9)) == nullptr; }},
      {2, [&](unsigned long k) {
         Img destination = filled(9, 7, 0xEEEEEE);
         mem_fail_after(k);
         img_resample(s, destination.get());
         return all_pixels_are(destination.get(), 0xEEEEEE);
       }},
  };
  for (const auto& [allocations, attempt] : operations) {
    unsigned long k = 0;
    for (;; ++k) {
      const bool failed = attempt(k);
      const bool fired = !mem_fail_pending();
      mem_fail_disarm();
      EXPECT_EQ(failed, fired) << "allocation " << k << " of " << allocations;
      if (!fired) break;
    }
    EXPECT_EQ(k, allocations);
  }
}

}  // namespace
}  // namespace novu
