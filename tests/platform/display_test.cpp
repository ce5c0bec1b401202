// SDLDPY: the display and the keyboard.

#include "platform/display.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "platform/headless.hpp"
#include "platform/keys.hpp"
#include "platform/system.hpp"
#include "support/pictures.hpp"

namespace novu {
namespace {

// Neighbouring pixels differ and none is the key colour 0, so a row or column in the wrong place
// shows.
Img patterned(std::int32_t width, std::int32_t height, std::uint32_t seed) {
  return picture(width, height, [=](std::int32_t x, std::int32_t y) {
    return static_cast<std::uint32_t>((y * width + x + seed) * 2654435761u & 0xFFFFFF) | 0x010101;
  });
}

// The 256 x 256 surface, read back as 0x00RRGGBB, shows `top` over its top-left corner and
// `under` elsewhere, less the low bits that the surface's format does not keep.
void expect_shows(const Image* top, const Image* under, std::uint32_t kept, const char* name) {
  std::vector<std::uint32_t> seen(256 * 256), want(256 * 256);
  ASSERT_TRUE(headless_read_xrgb(seen.data(), 256 * 256)) << name;
  for (std::int32_t i = 0; i < 256 * 256; ++i) {
    const std::int32_t x = i % 256, y = i / 256;
    const Image* from = x < top->width && y < top->height ? top : under;
    want[i] = from->pixels[y * from->width + x] & kept;
  }
  EXPECT_TRUE(seen == want) << name;
}

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { headless_reset(); }
  void TearDown() override {
    sdldpy_keys_destroy(&keys);
    if (display != nullptr) sdldpy_close(&display);
    headless_reset();
  }
  Display* display = nullptr;
  Keys* keys = nullptr;
};

TEST_F(DisplayTest, OneDisplayInTheWindowedBuildsModeWithTheCaption) {
  display = sdldpy_open();
  EXPECT_EQ(std::tuple(display->width, display->height, display->depth), std::tuple(256, 256, 32));
  EXPECT_EQ(headless_last_video_flags(), 0x10000005u);
  EXPECT_STREQ(headless_caption(), "NOVU4471");
  EXPECT_STREQ(headless_icon_caption(), "NOVU4471");
  sdldpy_close(&display);
  EXPECT_EQ(headless_surface(), nullptr);
}

TEST_F(DisplayTest, PresentsShowTheImageInTheSurfacesFormat) {
  struct Case {
    const char* name;
    HeadlessFormat format;
    std::uint32_t kept;  // the channel bits the format stores
  } cases[] = {
      {"xrgb, packed rows: the block copy", headless_format_xrgb, 0xFFFFFF},
      {"xrgb, padded rows", {32, 1040, 0xFF0000, 0x00FF00, 0x0000FF, false}, 0xFFFFFF},
      {"rgb 565, padded rows", {16, 520, 0xF800, 0x07E0, 0x001F, false}, 0xF8FCF8},
      {"rgb 24-bit, double-buffered", {24, 0, 0xFF0000, 0x00FF00, 0x0000FF, true}, 0xFFFFFF},
  };
  const Img first = patterned(256, 256, 0), second = patterned(256, 256, 3);
  const Img larger = patterned(300, 260, 1), smaller = patterned(100, 50, 2);
  for (const Case& c : cases) {
    TearDown();
    headless_set_format(c.format);
    display = sdldpy_open();
    ASSERT_NE(display, nullptr);
    bool flipped = false;
    headless_set_present_hook(
        [](void* seen, const HeadlessFrame& f) noexcept { *static_cast<bool*>(seen) = f.flipped; }, &flipped);
    sdldpy_present_swap(display, second.get());
    expect_shows(second.get(), second.get(), c.kept, c.name);
    sdldpy_present(display, first.get());
    expect_shows(first.get(), first.get(), c.kept, c.name);
    sdldpy_present_convert(display, larger.get());  // any size: the part that overlaps
    sdldpy_present_convert(display, smaller.get());
    expect_shows(smaller.get(), larger.get(), c.kept, c.name);
    EXPECT_EQ(headless_presents(), 4u) << c.name;
    EXPECT_EQ(flipped, c.format.double_buffered) << c.name;
  }
}

TEST_F(DisplayTest, OneKeyboardWhosePollKeepsTheLowByteOfTheLastKeyEvent) {
  constexpr std::int32_t down = sys_event_key_down, up = sys_event_key_up;
  struct Case {
    const char* name;
    std::vector<SysEvent> events;
    std::uint8_t after;  // and the next row starts from it
  } cases[] = {
      {"pressed and released in one frame", {{down, 'a'}, {up, 'a'}}, 0},
      {"the last press wins, and F2 looks like escape", {{down, 'a'}, {down, 283}}, 27},
      {"other events, such as a window-close request, are ignored", {{12, 'q'}}, 27},
  };
  display = sdldpy_open();
  keys = sdldpy_keys_create();
  EXPECT_EQ(sdldpy_keys_create(), keys);
  for (const Case& c : cases) {
    for (const SysEvent& e : c.events) headless_queue_event(e.type, e.sym);
    sdldpy_keys_poll(keys);
    EXPECT_EQ(keys->buffer[0], c.after) << c.name;
  }
}

}  // namespace
}  // namespace novu
