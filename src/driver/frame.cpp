#include "driver/demo.hpp"
#include "driver/part.hpp"
#include "image/blit.hpp"
#include "image/image.hpp"
#include "platform/fps.hpp"

namespace novu {

std::uint8_t DemoFlags[4] = {demo_flags_initial[0], demo_flags_initial[1], demo_flags_initial[2],
                             demo_flags_initial[3]};

namespace {
constexpr std::int32_t fade_out_frames = 32;
constexpr std::int32_t fade_out_step = 8;  // 32 steps take any channel from 255 to 0
// The loop is queued while the play queue holds at most this many entries, so it never holds
// more than one beyond it and playback never runs dry while frames keep coming.
constexpr std::int32_t music_queue_low = 3;

// The counter shows the low byte of the rate: 256 frames a second and more wrap around.
void draw_counter() noexcept {
  if ((DemoFlags[0] & demo_flag_counter) != 0) {
    font_draw_hex8(demo_font, static_cast<std::uint8_t>(fps_shown), 0, 0, screen);
  }
}

void draw_logo_strip() noexcept {
  if (demo_logo_strip == nullptr) return;
  img_blit(demo_logo_strip, screen, 0, 0, 0, screen_height - demo_logo_strip->height, demo_logo_strip->width,
           demo_logo_strip->height);
}

void feed_music() noexcept {
  music_step(demo_music);
  if (demo_audio != nullptr && demo_music != nullptr) {
    audio_queue_if_at_most(demo_audio, demo_music->loop, music_queue_low);
  }
}

void read_key() noexcept {
  sdldpy_keys_poll(demo_keyboard);
  if (demo_keyboard == nullptr || demo_keyboard->buffer == nullptr) return;
  const std::uint8_t key = demo_keyboard->buffer[0];
  demo_keyboard->buffer[0] = 0;  // each press acts once
  demo_handle_key(key);
}

// The tail in its order; `show` paces and presents.
void frame_tail(bool show) noexcept {
  fps_measure();
  draw_counter();
  if (show && (DemoFlags[0] & demo_flag_limiter) != 0) fps_pace();
  draw_logo_strip();
  if (show) sdldpy_present(demo_display, screen);
  feed_music();
  read_key();
  // A stop signal ends the part like a quit key, without passing through the key slot.
  if (sdldpy_stop_signal() != 0) demo_request = demo_request_quit;
}
}  // namespace

// Nothing but darkening and presenting: no pacing, no measuring, no music, no keys.
void demo_fade_out() noexcept {
  for (std::int32_t i = 0; i < fade_out_frames; ++i) {
    img_fade(screen, fade_out_step);
    sdldpy_present(demo_display, screen);
  }
}

void demo_frame_tail() noexcept { frame_tail(true); }
void demo_frame_tail_unshown() noexcept { frame_tail(false); }

void demo_handle_key(std::uint8_t key) noexcept {
  switch (key) {
    case 'q':
    case 'Q':
    case 27:  // Escape
      demo_request = demo_request_quit;
      break;
    case ' ':
      demo_request = demo_request_next_part;
      break;
    case '1':
      DemoFlags[3] ^= 1;
      break;
    case '2':
      DemoFlags[2] ^= 1;
      break;
    case '4':
      DemoFlags[1] ^= 1;
      break;
    case '5':
      DemoFlags[1] ^= 2;
      break;
    case '8':
      DemoFlags[0] ^= demo_flag_counter;
      break;
    case '9':
      DemoFlags[0] ^= demo_flag_limiter;
      break;
    case 'a':
      demo_set_scroll_speed(-4);
      break;
    case 's':
      demo_set_scroll_speed(-2);
      break;
    case 'd':
      demo_set_scroll_speed(0);
      break;
    case 'f':
      demo_set_scroll_speed(2);
      break;
    case 'g':
      demo_set_scroll_speed(4);
      break;
    case 'o':
      sdldpy_spare_toggle ^= 1;
      break;
    default:
      break;
  }
}

void demo_run_part(const DemoPartShape& part) noexcept {
  demo_fade_out();
  if (part.setup != nullptr) part.setup();
  for (std::int32_t frame = 0; frame < part.frames; ++frame) {
    img_fade(screen, part.trail);
    part.draw();
    demo_frame_tail();
    if (demo_request != demo_request_go_on) return;
  }
}

}  // namespace novu
