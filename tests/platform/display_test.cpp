// SDLDPY: the display and the keyboard.

#include "platform/display.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless.hpp"
#include "platform/keys.hpp"
#include "platform/system.hpp"
#include "support/alloc_failures.hpp"

namespace novu {
namespace {

// An image over storage of its own whose neighbouring pixels differ, none the key colour 0, so a
// row or column in the wrong place shows.
struct Picture {
  std::vector<std::uint32_t> pixels;
  Image image;
  Picture(std::int32_t width, std::int32_t height, std::uint32_t seed = 0)
      : pixels(static_cast<std::size_t>(width * height)), image{width, height, pixels.data()} {
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      pixels[i] = static_cast<std::uint32_t>((i + seed) * 2654435761u & 0xFFFFFF) | 0x010101;
    }
  }
};

// The 256 x 256 surface, read back as 0x00RRGGBB, shows `top` over its top-left corner and
// `under` elsewhere, less the low bits that the surface's format does not keep.
void expect_shows(const Image& top, const Image& under, std::uint32_t kept, const char* name) {
  std::vector<std::uint32_t> seen(256 * 256);
  ASSERT_TRUE(headless_read_xrgb(seen.data(), 256 * 256)) << name;
  std::size_t wrong = 0;
  for (std::int32_t y = 0; y < 256; ++y) {
    for (std::int32_t x = 0; x < 256; ++x) {
      const Image& from = x < top.width && y < top.height ? top : under;
      wrong += seen[y * 256 + x] != (from.pixels[y * from.width + x] & kept);
    }
  }
  EXPECT_EQ(wrong, 0u) << name;
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { headless_reset(); }
  void TearDown() override {
    sdldpy_keys_destroy(&keys);
    if (display != nullptr) sdldpy_close(&display);
    headless_reset();
  }
  void open(const HeadlessFormat& format = headless_format_xrgb) {
    if (display != nullptr) TearDown();
    headless_set_format(format);
    display = sdldpy_open();
    ASSERT_NE(display, nullptr);
    sdldpy_set_mode(display, 256, 256);
  }
  Display* display = nullptr;
  Keys* keys = nullptr;
};

TEST_F(DisplayTest, OneDisplayInTheWindowedBuildsModeWithTheCaption) {
  expect_each_allocation_failure_handled([this](auto arm) {
    arm();
    display = sdldpy_open();
    return display == nullptr;
  });
  EXPECT_EQ(headless_last_video_flags(), 0x10000005u);
  EXPECT_STREQ(headless_caption(), "NOVU4471");
  EXPECT_STREQ(headless_icon_caption(), "NOVU4471");
  EXPECT_EQ(display->width, 256);
  EXPECT_EQ(display->height, 256);
  EXPECT_EQ(sdldpy_open(), display);
  sdldpy_close(&display);
  EXPECT_EQ(display, nullptr);
  EXPECT_EQ(headless_surface(), nullptr);
}

TEST_F(DisplayTest, EveryPresentShowsTheImageInTheSurfacesFormat) {
  struct Case {
    const char* name;
    HeadlessFormat format;
    std::uint32_t kept;  // the channel bits the format stores
  } cases[] = {
      {"xrgb, packed rows: the block copy", headless_format_xrgb, 0xFFFFFF},
      {"xrgb, padded rows", {32, 1040, 0xFF0000, 0x00FF00, 0x0000FF, false}, 0xFFFFFF},
      {"xbgr", {32, 0, 0x0000FF, 0x00FF00, 0xFF0000, false}, 0xFFFFFF},
      {"rgb 565, padded rows", {16, 520, 0xF800, 0x07E0, 0x001F, false}, 0xF8FCF8},
      {"rgb 24-bit, double-buffered", {24, 0, 0xFF0000, 0x00FF00, 0x0000FF, true}, 0xFFFFFF},
  };
  const Picture first(256, 256), second(256, 256, 1), larger(300, 260), smaller(100, 50);
  for (const Case& c : cases) {
    open(c.format);
    EXPECT_EQ(display->depth, c.format.bits_per_pixel) << c.name;
    bool flipped = false;
    headless_set_present_hook(
        [](void* seen, const HeadlessFrame& f) noexcept { *static_cast<bool*>(seen) = f.flipped; }, &flipped);
    sdldpy_present(display, &first.image);
    expect_shows(first.image, first.image, c.kept, c.name);
    sdldpy_present_swap(display, &second.image);
    expect_shows(second.image, second.image, c.kept, c.name);
    sdldpy_present_convert(display, &larger.image);  // any size: the part that overlaps
    sdldpy_present_convert(display, &smaller.image);
    expect_shows(smaller.image, larger.image, c.kept, c.name);
    EXPECT_EQ(headless_presents(), 4u) << c.name;
    EXPECT_EQ(flipped, c.format.double_buffered) << c.name;
  }
}

TEST_F(DisplayTest, RejectedPresentsDrawNothingAndSayNothingWhileDiagnosticsAreOff) {
  open();
  const Picture shown(256, 256), small(128, 128), wide(257, 256);
  const Image bare{256, 256, nullptr};
  sdldpy_present(display, &shown.image);
  struct Case {
    const char* name;
    const Image* image;
  } cases[] = {{"smaller image", &small.image}, {"wider image", &wide.image}, {"no image", nullptr},
               {"image without pixels", &bare}};
  ::testing::internal::CaptureStdout();
  for (const Case& c : cases) {
    sdldpy_present(display, c.image);
    sdldpy_present_swap(display, c.image);
    EXPECT_EQ(headless_presents(), 1u) << c.name;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  expect_shows(shown.image, shown.image, 0xFFFFFF, "the picture before");
}

TEST_F(DisplayTest, OneKeyboardOnlyWithADisplayWhosePollKeepsTheLowByteOfTheLastKeyEvent) {
  constexpr std::int32_t down = sys_event_key_down;
  constexpr std::int32_t up = sys_event_key_up;
  constexpr std::int32_t other = 12;  // a window-close request, ignored like every non-key event
  struct Case {
    const char* name;
    std::uint8_t before;
    std::vector<SysEvent> events;
    std::uint8_t after;
  } cases[] = {
      {"pressed and released in one frame", 0, {{down, 'a'}, {up, 'a'}}, 0},
      {"two presses: the last one wins", 0, {{down, 'a'}, {down, 'b'}}, 'b'},
      {"releasing another key clears", 0, {{down, 'a'}, {up, 'b'}}, 0},
      {"F2 looks like escape", 0, {{down, 283}}, 27},
      {"other events are ignored", 'x', {{other, 'q'}}, 'x'},
  };
  EXPECT_EQ(sdldpy_keys_create(), nullptr);
  open();
  expect_each_allocation_failure_handled([this](auto arm) {
    arm();
    keys = sdldpy_keys_create();
    return keys == nullptr;
  });
  EXPECT_EQ(sdldpy_keys_create(), keys);
  for (const Case& c : cases) {
    keys->buffer[0] = c.before;
    for (const SysEvent& e : c.events) headless_queue_event(e.type, e.sym);
    sdldpy_keys_poll(keys);
    EXPECT_EQ(keys->buffer[0], c.after) << c.name;
    SysEvent left{};
    EXPECT_FALSE(sys_poll_event(&left)) << c.name << ": the queue is drained";
  }
}

}  // namespace
}  // namespace novu
