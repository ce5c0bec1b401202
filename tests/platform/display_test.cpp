#include "platform/display.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "base/alloc.hpp"
#include "image/image.hpp"
#include "platform/headless.hpp"
#include "platform/system.hpp"

namespace novu {
namespace {

struct ImageDeleter {
  void operator()(Image* image) const noexcept { img_destroy(&image); }
};
using ImagePtr = std::unique_ptr<Image, ImageDeleter>;

// Every pixel different, so a row or column in the wrong place shows.
ImagePtr gradient(std::int32_t width, std::int32_t height) {
  ImagePtr image(img_create());
  img_resize(image.get(), width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint32_t v = static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8 |
                              static_cast<std::uint32_t>((x * 7 + y * 3) & 0xFF);
      image->pixels[y * width + x] = v | 0x010101;  // never the key colour 0
    }
  }
  return image;
}

std::vector<std::uint8_t> surface_bytes() {
  const SysSurfaceInfo info = sys_surface_info(headless_surface());
  const auto* bytes = static_cast<const std::uint8_t*>(info.pixels);
  return {bytes, bytes + static_cast<std::size_t>(info.pitch) * static_cast<std::size_t>(info.height)};
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { headless_reset(); }
  void TearDown() override {
    if (display != nullptr) sdldpy_close(&display);
    EXPECT_FALSE(sdldpy_is_open());
    headless_reset();
  }
  void open() {
    display = sdldpy_open();
    ASSERT_NE(display, nullptr);
    sdldpy_set_mode(display, 256, 256);
  }
  Display* display = nullptr;
};

TEST_F(DisplayTest, OpensTheBuildsModeWithTheCaptionOnce) {
  sdldpy_spare_toggle = 1;
  open();
  EXPECT_EQ(headless_last_video_flags(), sdldpy_build_video_flags);
  EXPECT_EQ(sdldpy_video_flags, sys_video_windowed);
  EXPECT_STREQ(headless_caption(), "NOVU4471");
  EXPECT_STREQ(headless_icon_caption(), "NOVU4471");
  EXPECT_EQ(display->width, 256);
  EXPECT_EQ(display->height, 256);
  EXPECT_EQ(display->depth, 32);
  EXPECT_EQ(sdldpy_spare_toggle, 0);
  EXPECT_TRUE(sdldpy_has_video(display));
  EXPECT_EQ(sdldpy_open(), display);  // a second open hands back the same display
}

TEST_F(DisplayTest, ADoubleBufferedSurfaceIsFlippedOthersAreUpdated) {
  for (const bool double_buffered : {false, true}) {
    HeadlessFormat format = headless_format_xrgb;
    format.double_buffered = double_buffered;
    headless_set_format(format);
    bool flipped = !double_buffered;
    headless_set_present_hook(
        [](void* seen, const HeadlessFrame& f) noexcept { *static_cast<bool*>(seen) = f.flipped; }, &flipped);
    open();
    EXPECT_EQ(sdldpy_use_flip, double_buffered ? 1 : 0);
    ImagePtr image = gradient(256, 256);
    sdldpy_present(display, image.get());
    EXPECT_EQ(headless_presents(), 1u);
    EXPECT_EQ(flipped, double_buffered);
    sdldpy_close(&display);
    headless_reset();
  }
}

TEST_F(DisplayTest, WithoutAVideoModeNothingIsEverDrawn) {
  headless_refuse_video("no display is available");
  open();
  EXPECT_EQ(display->width, 0);
  EXPECT_EQ(display->height, 0);
  EXPECT_EQ(display->depth, 0);
  EXPECT_FALSE(sdldpy_has_video(display));
  EXPECT_STREQ(sdldpy_video_error(), "no display is available");
  ImagePtr image = gradient(256, 256);
  sdldpy_present(display, image.get());
  sdldpy_present_convert(display, image.get());
  sdldpy_present_swap(display, image.get());
  EXPECT_EQ(headless_presents(), 0u);
}

TEST_F(DisplayTest, AFailedModeChangeKeepsTheRecordButLeavesNoSurface) {
  open();
  headless_refuse_video("gone");
  sdldpy_set_mode(display, 128, 64);
  EXPECT_EQ(display->width, 256);
  EXPECT_EQ(display->height, 256);
  EXPECT_FALSE(sdldpy_has_video(display));
  ImagePtr image = gradient(256, 256);
  sdldpy_present(display, image.get());
  EXPECT_EQ(headless_presents(), 0u);
  headless_refuse_video(nullptr);
  sdldpy_set_mode(display, 128, 64);
  EXPECT_EQ(display->width, 128);
  EXPECT_EQ(display->height, 64);
  EXPECT_TRUE(sdldpy_has_video(display));
}

TEST_F(DisplayTest, BadModeRequestsChangeNothing) {
  open();
  SysSurface* surface = headless_surface();
  Display stranger{256, 256, 32};
  struct Case {
    Display* target;
    std::int32_t width, height;
  } cases[] = {{nullptr, 64, 64}, {&stranger, 64, 64}, {display, -1, 64}, {display, 64, -1}};
  for (const Case& c : cases) {
    sdldpy_set_mode(c.target, c.width, c.height);
    EXPECT_EQ(display->width, 256);
    EXPECT_EQ(display->height, 256);
    EXPECT_EQ(headless_surface(), surface);
  }
  EXPECT_EQ(stranger.width, 256);
}

// What each surface format must hold for one 0x00RRGGBB pixel, as little-endian bytes.
struct FormatCase {
  const char* name;
  HeadlessFormat format;
  std::function<std::uint32_t(std::uint32_t)> encode;
};

std::uint32_t r8(std::uint32_t c) { return c >> 16 & 0xFF; }
std::uint32_t g8(std::uint32_t c) { return c >> 8 & 0xFF; }
std::uint32_t b8(std::uint32_t c) { return c & 0xFF; }

const FormatCase format_cases[] = {
    {"xrgb 32-bit packed (block copy)", headless_format_xrgb, [](std::uint32_t c) { return c; }},
    {"xrgb 32-bit, padded rows",
     {32, 1040, 0xFF0000, 0x00FF00, 0x0000FF, false},
     [](std::uint32_t c) { return c; }},
    {"xbgr 32-bit",
     {32, 0, 0x0000FF, 0x00FF00, 0xFF0000, false},
     [](std::uint32_t c) { return b8(c) << 16 | g8(c) << 8 | r8(c); }},
    {"rgb 565, padded rows",
     {16, 520, 0xF800, 0x07E0, 0x001F, false},
     [](std::uint32_t c) { return (r8(c) >> 3) << 11 | (g8(c) >> 2) << 5 | b8(c) >> 3; }},
    {"rgb 555",
     {16, 0, 0x7C00, 0x03E0, 0x001F, false},
     [](std::uint32_t c) { return (r8(c) >> 3) << 10 | (g8(c) >> 3) << 5 | b8(c) >> 3; }},
    {"rgb 24-bit", {24, 0, 0xFF0000, 0x00FF00, 0x0000FF, true}, [](std::uint32_t c) { return c; }},
};

// Checks every pixel of the w x h top-left block against the image, and that everything else
// of the surface (other pixels, row padding) still holds `rest`.
void expect_surface_shows(const FormatCase& fc, const Image* image, std::int32_t w, std::int32_t h,
                          std::uint8_t rest) {
  const SysSurfaceInfo info = sys_surface_info(headless_surface());
  const std::vector<std::uint8_t> bytes = surface_bytes();
  const std::int32_t size = fc.format.bits_per_pixel / 8;
  std::size_t wrong = 0;
  for (std::int32_t y = 0; y < info.height; ++y) {
    for (std::int32_t offset = 0; offset < info.pitch; ++offset) {
      const std::int32_t x = offset / size;
      std::uint8_t want = rest;
      if (x < w && y < h) {
        const std::uint32_t value = fc.encode(image->pixels[y * image->width + x]);
        want = static_cast<std::uint8_t>(value >> (8 * (offset % size)));
      }
      wrong += bytes[static_cast<std::size_t>(y) * info.pitch + offset] != want;
    }
  }
  EXPECT_EQ(wrong, 0u) << fc.name;
}

TEST_F(DisplayTest, PresentShowsTheImageOnEverySurfaceFormat) {
  for (const FormatCase& fc : format_cases) {
    headless_reset();
    headless_set_format(fc.format);
    open();
    EXPECT_EQ(display->depth, fc.format.bits_per_pixel) << fc.name;
    ImagePtr image = gradient(256, 256);
    for (auto present : {sdldpy_present, sdldpy_present_swap}) {
      std::memset(sys_surface_info(headless_surface()).pixels, 0, surface_bytes().size());
      present(display, image.get());
      expect_surface_shows(fc, image.get(), 256, 256, 0);
    }
    EXPECT_EQ(headless_presents(), 2u) << fc.name;
    sdldpy_close(&display);
  }
}

TEST_F(DisplayTest, ConvertingPresentShowsTheOverlapOfAnySizedImage) {
  struct Case {
    std::int32_t width, height;
  } sizes[] = {{300, 260}, {100, 50}, {256, 256}, {1, 300}};
  for (const FormatCase& fc : {format_cases[0], format_cases[3]}) {
    for (const Case& c : sizes) {
      headless_reset();
      headless_set_format(fc.format);
      open();
      std::memset(sys_surface_info(headless_surface()).pixels, 0xA5, surface_bytes().size());
      ImagePtr image = gradient(c.width, c.height);
      sdldpy_present_convert(display, image.get());
      expect_surface_shows(fc, image.get(), std::min(c.width, 256), std::min(c.height, 256), 0xA5);
      EXPECT_EQ(headless_presents(), 1u);
      sdldpy_close(&display);
    }
  }
}

TEST_F(DisplayTest, RejectedPresentsLeaveThePreviousPicture) {
  open();
  ImagePtr shown = gradient(256, 256);
  sdldpy_present(display, shown.get());
  const std::vector<std::uint8_t> before = surface_bytes();

  ImagePtr small = gradient(128, 128);
  ImagePtr wide = gradient(257, 256);
  ImagePtr no_pixels = gradient(256, 256);
  mem_free(no_pixels->pixels);
  no_pixels->pixels = nullptr;
  Display stranger{256, 256, 32};
  struct Case {
    const char* name;
    Display* target;
    const Image* image;
  } cases[] = {{"smaller image", display, small.get()},
               {"wider image", display, wide.get()},
               {"no image", display, nullptr},
               {"image without pixels", display, no_pixels.get()},
               {"other display", &stranger, shown.get()},
               {"no display", nullptr, shown.get()}};
  for (const Case& c : cases) {
    sdldpy_present(c.target, c.image);
    sdldpy_present_swap(c.target, c.image);
    EXPECT_EQ(headless_presents(), 1u) << c.name;
    EXPECT_EQ(surface_bytes(), before) << c.name;
  }
  for (const Case& c : cases) {
    if (c.image == small.get() || c.image == wide.get()) continue;  // these two may be converted
    sdldpy_present_convert(c.target, c.image);
    EXPECT_EQ(headless_presents(), 1u) << c.name;
  }
}

TEST_F(DisplayTest, CloseReleasesOnlyTheOpenDisplay) {
  open();
  Display stranger{256, 256, 32};
  Display* other = &stranger;
  sdldpy_close(&other);
  sdldpy_close(nullptr);
  EXPECT_EQ(other, &stranger);
  EXPECT_TRUE(sdldpy_is_open());
  Display* kept = display;
  sdldpy_close(&display);
  EXPECT_EQ(display, nullptr);
  EXPECT_FALSE(sdldpy_is_open());
  EXPECT_EQ(headless_surface(), nullptr);
  EXPECT_FALSE(sdldpy_has_video(kept));
}

TEST_F(DisplayTest, AFailedAllocationOpensNothing) {
  mem_fail_after(0);
  EXPECT_EQ(sdldpy_open(), nullptr);
  mem_fail_disarm();
  EXPECT_FALSE(sdldpy_is_open());
}

TEST_F(DisplayTest, DiagnosticsStaySilentUnlessSwitchedOn) {
  open();
  for (const std::uint8_t verbose : {0, 1}) {
    sdldpy_verbose = verbose;
    ::testing::internal::CaptureStdout();
    sdldpy_present(display, nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), verbose != 0 ? "SDLDPY error\n" : "");
  }
  sdldpy_verbose = 0;
}

}  // namespace
}  // namespace novu
