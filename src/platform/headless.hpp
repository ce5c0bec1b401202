#pragma once
// Controls of the headless system (system_headless.cpp), for demo-capture and the tests: the
// surface format the next video mode gets, the virtual clock, scripted events, a hook called at
// every present, and the emulated audio device.
//
// Every present (a flip or a whole-surface update) is one frame, numbered from 0. At its end the
// headless system, in this order: advances the clock by the present time (20 ms unless changed),
// lets the audio device play 882 sample frames, calls the present hook, and releases the events
// scheduled after that frame into the event queue.

#include <cstdint>

#include "platform/system.hpp"

namespace novu {

struct HeadlessFormat {
  std::int32_t bits_per_pixel;  // 8, 16, 24 or 32
  std::int32_t pitch;           // bytes per row; 0 packs the rows without gaps
  std::uint32_t red_mask, green_mask, blue_mask;
  bool double_buffered;
};

inline constexpr HeadlessFormat headless_format_xrgb{32, 0, 0xFF0000, 0x00FF00, 0x0000FF, false};

inline constexpr std::uint32_t headless_present_ms = 20;
inline constexpr std::int32_t headless_audio_rate = 44100;
inline constexpr std::int32_t headless_frames_per_present = headless_audio_rate / 50;  // 882
inline constexpr std::int32_t headless_audio_block_bytes = 8192;

// What happened since the previous present, handed to the present hook.
struct HeadlessFrame {
  std::uint32_t index;        // present number, from 0
  std::uint32_t clock_reads;  // sys_get_ticks calls
  std::uint32_t delay_ms;     // total of the sys_delay calls
  bool flipped;               // presented with sys_flip rather than sys_update_rect
  const std::uint8_t* audio;  // the 16-bit mono samples played with this present (valid
  std::int32_t audio_bytes;   // during the hook only)
};

using HeadlessPresentHook = void (*)(void* user_data, const HeadlessFrame& frame) noexcept;

// Back to the state of a fresh process: clock 0, 20 ms presents, no events, no surface, no hook,
// no audio device, the 0x00RRGGBB format, video accepted.
void headless_reset() noexcept;

void headless_set_format(const HeadlessFormat& format) noexcept;  // for the next video mode
void headless_refuse_video(const char* reason) noexcept;          // null accepts video again
void headless_refuse_audio(bool refuse) noexcept;                 // sys_open_audio fails while set
void headless_set_present_ms(std::uint32_t ms) noexcept;
void headless_set_ticks(std::uint32_t ms) noexcept;
void headless_set_present_hook(HeadlessPresentHook hook, void* user_data) noexcept;

// Queued right after present `after_present` ends (at once if that present is already past);
// events for the same present keep the order in which they were scheduled.
void headless_schedule_event(std::uint32_t after_present, std::int32_t type, std::int32_t sym) noexcept;
void headless_queue_event(std::int32_t type, std::int32_t sym) noexcept;  // into the queue now
// A stop signal (SIGINT, SIGTERM) that arrives right after present `after_present` ends.
void headless_schedule_stop_signal(std::uint32_t after_present, int signal) noexcept;

std::uint32_t headless_presents() noexcept;          // presents so far
SysSurface* headless_surface() noexcept;             // the current video surface, or null
std::uint32_t headless_last_video_flags() noexcept;  // flags of the last video mode request
const char* headless_caption() noexcept;             // title of the last sys_set_caption
const char* headless_icon_caption() noexcept;
// The surface read back as 0x00RRGGBB, `count` >= width x height words; false without a surface.
bool headless_read_xrgb(std::uint32_t* out, std::int32_t count) noexcept;

// The emulated audio device: plays `frames` sample frames into out (2 bytes each), topping its
// buffer up with 8192-byte blocks, zero-filled, then filled by the callback while the device is
// open and not paused. Presents call it with 882 frames.
void headless_play_audio(std::uint8_t* out, std::int32_t frames) noexcept;
bool headless_audio_is_open() noexcept;
bool headless_audio_is_paused() noexcept;

}  // namespace novu
