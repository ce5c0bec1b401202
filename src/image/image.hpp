#pragma once
// IMG: the program's one picture type. Pixels are 0x00RRGGBB words, row-major without gaps;
// 0 is the key colour that keyed copies leave transparent.

#include <cstddef>
#include <cstdint>

namespace novu {

struct Image {
  std::int32_t width;
  std::int32_t height;
  std::uint32_t* pixels;  // width * height words, owned
};

// Largest picture the module makes or decodes, in pixels: 4096 x 4096, 64 MiB of pixels (200 MiB
// as an IMG text block). The largest picture the program itself uses is 1024 x 320. Larger sizes
// are rejected before anything is allocated.
inline constexpr std::int64_t img_max_pixels = std::int64_t{1} << 24;

// Diagnostics switch: "IMG error" is printed on rejected calls only while it is non-zero.
extern std::uint8_t img_verbose;
void img_error() noexcept;

// The first test of every operation: the image exists and owns pixel storage.
inline bool img_has_pixels(const Image* image) noexcept {
  return image != nullptr && image->pixels != nullptr;
}

Image* img_create() noexcept;  // 16 x 16, all 0
void img_destroy(Image** image) noexcept;
// Discards the content; on allocation failure the image keeps the new size and has no pixels.
// Negative sizes and areas beyond img_max_pixels are rejected: nothing changes.
void img_resize(Image* image, std::int32_t width, std::int32_t height) noexcept;
void img_clear(Image* image) noexcept;
void img_fade(Image* image, std::int32_t amount) noexcept;
// Positions outside the image read 0 and write nothing. Inline: the effects plot thousands of
// single pixels a frame.
inline std::uint32_t* img_pixel_address(const Image* image, std::int32_t x, std::int32_t y) noexcept {
  if (!img_has_pixels(image) || x < 0 || x >= image->width || y < 0 || y >= image->height) return nullptr;
  return image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width) +
         static_cast<std::size_t>(x);
}
inline std::uint32_t img_get_pixel(const Image* image, std::int32_t x, std::int32_t y) noexcept {
  const std::uint32_t* pixel = img_pixel_address(image, x, y);
  return pixel != nullptr ? *pixel : 0;
}
inline void img_put_pixel(Image* image, std::int32_t x, std::int32_t y, std::uint32_t colour) noexcept {
  if (std::uint32_t* pixel = img_pixel_address(image, x, y)) *pixel = colour;
}
void img_fill_rect(Image* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                   std::uint32_t colour) noexcept;
void img_frame_rect(Image* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    std::uint32_t colour) noexcept;
void img_copy_pixels(const Image* source, Image* destination) noexcept;
Image* img_clone(const Image* source) noexcept;
int img_equal(const Image* a, const Image* b) noexcept;
void img_and_mask(const Image* mask, Image* destination) noexcept;

}  // namespace novu
