#include "driver/demo.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "assets/embedded.hpp"
#include "image/image.hpp"
#include "image/pnm.hpp"
#include "platform/fps.hpp"
#include "sound/sample_bank.hpp"

namespace novu {

std::uint8_t demo_request = demo_request_go_on;
Display* demo_display = nullptr;
Keys* demo_keyboard = nullptr;
Image* screen = nullptr;
AudioOut* demo_audio = nullptr;
Music* demo_music = nullptr;
Image* demo_logo_strip = nullptr;

namespace {
constexpr unsigned random_seed = 0xface5718;
constexpr std::int32_t frames_per_second = 50;

void report_no_display() noexcept {
  const char* reason = sdldpy_video_error();
  if (reason == nullptr || reason[0] == '\0') reason = "the display could not be opened";
  std::fprintf(stderr,
               "NOVU4471 cannot start: no %d x %d video mode could be set (%s). It needs a display: "
               "run it in a desktop session, or under xvfb-run.\n",
               screen_width, screen_height, reason);
}
}  // namespace

// The step numbers are those of the start-up order; the absent ones belong to modules that are
// wired in later, each at its own number.
bool demo_init() noexcept {
  std::memcpy(DemoFlags, demo_flags_initial, sizeof DemoFlags);
  demo_request = demo_request_go_on;

  std::srand(random_seed);                                     // 1
  demo_display = sdldpy_open();                                // 2
  sdldpy_set_mode(demo_display, screen_width, screen_height);  // 3
  if (!sdldpy_has_video(demo_display)) {
    sdldpy_close(&demo_display);
    return false;
  }
  demo_keyboard = sdldpy_keys_create();  // 4
  demo_audio = audio_open();  // 5: also where the system as a whole is initialised
  screen = img_create();      // 6
  img_resize(screen, demo_display->width, demo_display->height);
  demo_music = music_create();  // 7
  for (std::int32_t i = 0; i < sample_bank.count; ++i) music_add_instrument(demo_music, &sample_bank.samples[i]);
  // 8: the font.
  // 9-16: the bob cursor, the scroller, stars A1-A4, stars B1-B4, radars 1-4, the logo image,
  //       the wave buffer, the big wave buffer.
  demo_logo_strip = img_from_pnm(asset_strip_ppm);  // 17
  // 18-23: DistX, DistY, splix 1-4, the sine dots, the 3D stars, the gas.
  fps_target = frames_per_second;  // 24
  return true;
}

void demo_shutdown() noexcept {
  demo_fade_out();  // 1
  // 2-5: DistX, DistY; stars A1-A4, B1-B4; radars 1-4; the 3D stars, then the gas.
  // 6: the font.
  // 7: the wave buffer and the big wave buffer, then the screen.
  img_destroy(&screen);
  sdldpy_keys_destroy(&demo_keyboard);  // 8
  sdldpy_close(&demo_display);          // 9
  if (demo_audio != nullptr) audio_close(&demo_audio);  // 10
  // The order above leaves these to the process exit; releasing them keeps the leak checker
  // meaningful. The music goes after the device, whose queue refers to its loop.
  if (demo_music != nullptr) music_destroy(&demo_music);
  img_destroy(&demo_logo_strip);
}

int demo_main() noexcept {
  if (!demo_init()) {
    report_no_display();
    return demo_exit_no_display;
  }
  static constexpr void (*parts[])() noexcept = {demo_part1, demo_part2, demo_part3, demo_part4,
                                                 demo_part5, demo_part6, demo_part7};
  for (std::size_t next = 0;; next = (next + 1) % std::size(parts)) {
    parts[next]();
    if ((demo_request & 1) != 0) break;
    demo_request = demo_request_go_on;
  }
  demo_shutdown();
  return demo_exit_after_quit;
}

}  // namespace novu
