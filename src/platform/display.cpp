#include "platform/display.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/alloc.hpp"
#include "platform/system.hpp"

namespace novu {

std::uint32_t sdldpy_video_flags = 0;
std::int32_t sdldpy_use_flip = 0;
std::uint8_t sdldpy_spare_toggle = 0;
std::uint8_t sdldpy_verbose = 0;

void sdldpy_error() noexcept {
  if (sdldpy_verbose != 0) std::puts("SDLDPY error");
}

namespace {
constexpr std::int32_t mode_side = 256;
constexpr std::int32_t bytes_per_pixel = 4;

SysSurface* video_surface = nullptr;
Display* the_display = nullptr;

void release_surface() noexcept {
  if (video_surface != nullptr) sys_free_surface(video_surface);
  video_surface = nullptr;
}

// Asks for the mode with the module's flags; on success the record describes it.
bool enter_mode(Display* display, std::int32_t width, std::int32_t height) noexcept {
  release_surface();
  video_surface = sys_set_video_mode(width, height, 0, sdldpy_video_flags);
  if (video_surface == nullptr) return false;
  sys_set_caption(sdldpy_caption, sdldpy_caption);
  const SysSurfaceInfo info = sys_surface_info(video_surface);
  display->depth = info.bits_per_pixel;
  display->width = width;
  display->height = height;
  sdldpy_use_flip = info.double_buffered ? 1 : 0;
  return true;
}

bool presentable(const Display* display, const Image* image) noexcept {
  return sdldpy_has_video(display) && image != nullptr && image->pixels != nullptr;
}

// Only this layout lets the image's words be the surface's pixels as they stand.
bool stores_xrgb_rows(const SysSurfaceInfo& info, const Image* image) noexcept {
  return info.bits_per_pixel == 32 && info.red_mask == 0xFF0000 && info.green_mask == 0x00FF00 &&
         info.blue_mask == 0x0000FF && info.width == image->width && info.height == image->height &&
         info.pitch == bytes_per_pixel * image->width;
}

void show() noexcept {
  if (sdldpy_use_flip == 1) {
    sys_flip(video_surface);
  } else {
    sys_update_rect(video_surface, 0, 0, 0, 0);
  }
}

void draw_image(const Image* image) noexcept {
  if (stores_xrgb_rows(sys_surface_info(video_surface), image)) {
    sys_lock_surface(video_surface);
    void* pixels = sys_surface_info(video_surface).pixels;
    if (pixels != nullptr) {
      std::memcpy(
          pixels, image->pixels,
          static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * bytes_per_pixel);
    }
    sys_unlock_surface(video_surface);
  } else {
    // The converting blit must not run on a locked surface.
    sys_blit_xrgb(video_surface, image->pixels, image->width, image->height, image->width * bytes_per_pixel);
  }
}

bool same_size(const Display* display, const Image* image) noexcept {
  return image->width == display->width && image->height == display->height;
}
}  // namespace

Display* sdldpy_open() noexcept {
  if (the_display != nullptr) {
    sdldpy_error();
    return the_display;
  }
  sdldpy_video_flags = sdldpy_build_video_flags;
  sys_catch_stop_signals();  // before the media layer starts, so it never makes them quit events
  Display* display = mem_new<Display>();
  if (display == nullptr) {
    sdldpy_error();
    return nullptr;
  }
  the_display = display;
  if (!enter_mode(display, mode_side, mode_side)) sdldpy_error();
  sdldpy_spare_toggle = 0;
  return display;
}

void sdldpy_set_mode(Display* display, std::int32_t width, std::int32_t height) noexcept {
  if (display == nullptr || display != the_display || width < 0 || height < 0) {
    sdldpy_error();
    return;
  }
  if (!enter_mode(display, width, height)) sdldpy_error();
}

bool sdldpy_is_open() noexcept { return the_display != nullptr; }

const char* sdldpy_video_error() noexcept { return sys_video_error(); }

bool sdldpy_has_video(const Display* display) noexcept {
  return display != nullptr && display == the_display && video_surface != nullptr;
}

void sdldpy_present(Display* display, const Image* image) noexcept {
  if (!presentable(display, image) || !same_size(display, image)) {
    sdldpy_error();
    return;
  }
  draw_image(image);
  show();
}

void sdldpy_present_swap(Display* display, const Image* image) noexcept { sdldpy_present(display, image); }

void sdldpy_present_convert(Display* display, const Image* image) noexcept {
  constexpr std::int32_t widest = 0x7FFFFFFF / bytes_per_pixel;
  if (!presentable(display, image) || image->width > widest) {
    sdldpy_error();
    return;
  }
  const std::int32_t width = std::min(display->width, image->width);
  const std::int32_t height = std::min(display->height, image->height);
  if (width > 0 && height > 0) {
    sys_blit_xrgb(video_surface, image->pixels, width, height, image->width * bytes_per_pixel);
  }
  show();
}

void sdldpy_close(Display** display) noexcept {
  if (display == nullptr || *display == nullptr || *display != the_display) {
    sdldpy_error();
    return;
  }
  release_surface();
  mem_free(the_display);
  the_display = nullptr;
  *display = nullptr;
}

}  // namespace novu
