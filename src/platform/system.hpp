#pragma once
// The system seam: everything the program needs from the operating system's media layer, in one
// small interface. Two implementations exist and are chosen at link time, never by configuration:
// system_sdl.cpp (SDL 1.2, for demo-windowed and demo-fullscreen) and system_headless.cpp (a
// virtual clock, scripted keys, an in-memory surface and an emulated audio device, for
// demo-capture and the tests). Everything above this file is the same code in both.

#include <cstdint>

namespace novu {

// ---- video ----------------------------------------------------------------------------------
struct SysSurface;  // the video surface, owned by the implementation

struct SysSurfaceInfo {
  std::int32_t width;
  std::int32_t height;
  std::int32_t pitch;           // bytes from one row to the next
  std::int32_t bits_per_pixel;  // 8, 16, 24 or 32
  std::uint32_t red_mask, green_mask, blue_mask;
  bool double_buffered;  // SDL_DOUBLEBUF set: present with sys_flip
  void* pixels;          // valid between sys_lock_surface and sys_unlock_surface
};

inline constexpr std::uint32_t sys_video_windowed = 0x10000005;    // ANYFORMAT | ASYNCBLIT | HWSURFACE
inline constexpr std::uint32_t sys_video_fullscreen = 0x90000005;  // the same and FULLSCREEN

// Starts video by itself when needed (the program's general init comes later, with audio).
// Null when no video mode can be set, including when there is no display to show it on.
SysSurface* sys_set_video_mode(std::int32_t width, std::int32_t height, std::int32_t bpp,
                               std::uint32_t flags) noexcept;
void sys_free_surface(SysSurface* surface) noexcept;
SysSurfaceInfo sys_surface_info(const SysSurface* surface) noexcept;
void sys_set_caption(const char* title, const char* icon) noexcept;
void sys_lock_surface(SysSurface* surface) noexcept;
void sys_unlock_surface(SysSurface* surface) noexcept;
void sys_flip(SysSurface* surface) noexcept;
void sys_update_rect(SysSurface* surface, std::int32_t x, std::int32_t y, std::int32_t w,
                     std::int32_t h) noexcept;
// Converting copy: width x height 0x00RRGGBB pixels (rows `pitch` bytes apart) drawn at the
// surface's origin in whatever format the surface has, clipped to it.
void sys_blit_xrgb(SysSurface* surface, const std::uint32_t* pixels, std::int32_t width,
                   std::int32_t height, std::int32_t pitch) noexcept;
// Why the last video call failed, as one sentence for the user.
const char* sys_video_error() noexcept;

// ---- events and time ------------------------------------------------------------------------
inline constexpr std::int32_t sys_event_key_down = 2;
inline constexpr std::int32_t sys_event_key_up = 3;

struct SysEvent {
  std::int32_t type;  // sys_event_key_down, sys_event_key_up, or anything else to ignore
  std::int32_t sym;   // the key symbol of key events
};

bool sys_poll_event(SysEvent* event) noexcept;  // false when the queue is empty
std::uint32_t sys_get_ticks() noexcept;         // milliseconds since start
void sys_delay(std::uint32_t ms) noexcept;

// SIGINT and SIGTERM: a user, a logout or a supervisor asking the program to stop. Once caught,
// they are kept apart from the event queue (the media layer would make them a quit event, which
// closing the window also sends) and reported here: the first one's number, or 0.
void sys_catch_stop_signals() noexcept;
int sys_stop_signal() noexcept;

// ---- the rest of the system, and audio ------------------------------------------------------
inline constexpr std::uint32_t sys_init_everything = 0xFFFF;

int sys_init(std::uint32_t flags) noexcept;  // 0 on success

using SysAudioCallback = void (*)(void* user_data, std::uint8_t* stream, int length) noexcept;

struct SysAudioSpec {
  std::int32_t frequency;
  std::uint16_t format;  // 0x8010: signed 16-bit little-endian
  std::uint8_t channels;
  std::uint16_t samples;  // sample frames per callback
  SysAudioCallback callback;
  void* user_data;
};

int sys_open_audio(const SysAudioSpec* spec) noexcept;  // 0 on success, negative on failure
void sys_pause_audio(int pause_on) noexcept;
void sys_lock_audio() noexcept;  // the callback runs under this lock
void sys_unlock_audio() noexcept;
void sys_close_audio() noexcept;

}  // namespace novu
