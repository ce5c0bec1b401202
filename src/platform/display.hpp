#pragma once
// SDLDPY, video side: the program's one 256 x 256 video mode and the per-frame present of an
// Image into it. Everything system-specific goes through the seam (system.hpp).

#include <cstdint>

#include "image/image.hpp"

namespace novu {

struct Display {
  std::int32_t width;
  std::int32_t height;
  std::int32_t depth;  // bits per pixel of the video surface, as the system reports it
};

inline constexpr const char* sdldpy_caption = "NOVU4471";

// The flags this executable asks for: each program links exactly one definition (video_flags.cpp,
// compiled once per build variant), which is the only difference between the demo builds.
extern const std::uint32_t sdldpy_build_video_flags;

extern std::uint32_t sdldpy_video_flags;  // what sdldpy_open passed to the system
extern std::int32_t sdldpy_use_flip;      // 1: the surface is double-buffered, present by flipping
extern std::uint8_t sdldpy_spare_toggle;  // flipped by a key, read by nothing
// Diagnostics switch: "SDLDPY error" is printed on rejected calls only while it is non-zero.
extern std::uint8_t sdldpy_verbose;
void sdldpy_error() noexcept;

// The one display (a second call reports the error and returns it again); null only when the
// record cannot be allocated. When no video mode can be set the record stays all zero.
Display* sdldpy_open() noexcept;
void sdldpy_set_mode(Display* display, std::int32_t width, std::int32_t height) noexcept;
// True when display is the open one and a video surface is held, i.e. presenting can show it.
bool sdldpy_has_video(const Display* display) noexcept;
bool sdldpy_is_open() noexcept;
// Why the last video mode could not be set, as one sentence for the user.
const char* sdldpy_video_error() noexcept;

// Image and display must have the same size. Copies in one block when the surface stores
// 0x00RRGGBB in rows of exactly 4 x width bytes, and converts otherwise.
void sdldpy_present(Display* display, const Image* image) noexcept;
// Any image size: the part that overlaps the display, converted to the surface's format.
void sdldpy_present_convert(Display* display, const Image* image) noexcept;
// The same contract and result as sdldpy_present.
void sdldpy_present_swap(Display* display, const Image* image) noexcept;
void sdldpy_close(Display** display) noexcept;

}  // namespace novu
