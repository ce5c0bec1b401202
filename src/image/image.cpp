#include "image/image.hpp"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "base/alloc.hpp"

namespace novu {

std::uint8_t img_verbose = 0;

void img_error() noexcept {
  if (img_verbose != 0) std::puts("IMG error");
}

namespace {
constexpr std::int32_t default_side = 16;

std::size_t pixel_count(const Image* image) noexcept {
  return static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
}

std::uint32_t* pixel_at(const Image* image, std::int32_t x, std::int32_t y) noexcept {
  return image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width) +
         static_cast<std::size_t>(x);
}

bool same_size(const Image* a, const Image* b) noexcept {
  return a->width == b->width && a->height == b->height;
}

// The rectangle painters do not clip: the whole rectangle lies inside the image or nothing is drawn.
bool rect_fits(const Image* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) noexcept {
  return img_has_pixels(image) && x >= 0 && y >= 0 && w > 0 && h > 0 &&
         std::int64_t{x} + w <= image->width && std::int64_t{y} + h <= image->height;
}

void fill_run(const Image* image, std::int32_t x, std::int32_t y, std::int32_t w,
              std::uint32_t colour) noexcept {
  std::fill_n(pixel_at(image, x, y), w, colour);
}

// The fade walks bytes, not words: a saturating byte subtract is a single vector instruction, and
// a fixed-size block with its own subtrahend pattern is the shape the compiler vectorises. The top
// byte's subtrahend 0xff clears it in the same stroke.
constexpr std::size_t fade_block_bytes = 64;
constexpr std::size_t top_byte_index = std::endian::native == std::endian::little ? 3 : 0;

unsigned char saturating_sub(unsigned char value, unsigned char amount) noexcept {
  return static_cast<unsigned char>(value - std::min(value, amount));
}
}  // namespace

Image* img_create() noexcept {
  Image* image = mem_new<Image>();
  if (image == nullptr) {
    img_error();
    return nullptr;
  }
  image->pixels = mem_new<std::uint32_t>(default_side * default_side);
  if (image->pixels == nullptr) {
    mem_free(image);
    img_error();
    return nullptr;
  }
  image->width = default_side;
  image->height = default_side;
  return image;
}

void img_destroy(Image** image) noexcept {
  if (image == nullptr || *image == nullptr) return;
  mem_free((*image)->pixels);
  mem_free(*image);
  *image = nullptr;
}

void img_resize(Image* image, std::int32_t width, std::int32_t height) noexcept {
  if (image == nullptr || width < 0 || height < 0 || std::int64_t{width} * height > img_max_pixels) {
    img_error();
    return;
  }
  mem_free(image->pixels);
  image->width = width;
  image->height = height;
  image->pixels = mem_new<std::uint32_t>(pixel_count(image));
  if (image->pixels == nullptr) img_error();
}

void img_clear(Image* image) noexcept {
  if (!img_has_pixels(image)) {
    img_error();
    return;
  }
  std::memset(image->pixels, 0, pixel_count(image) * sizeof(std::uint32_t));
}

void img_fade(Image* image, std::int32_t amount) noexcept {
  if (!img_has_pixels(image)) {
    img_error();
    return;
  }
  const auto k = static_cast<unsigned char>(amount & 0xff);
  unsigned char subtrahend[fade_block_bytes];
  for (std::size_t i = 0; i < fade_block_bytes; ++i) subtrahend[i] = i % 4 == top_byte_index ? 0xff : k;

  auto* bytes = reinterpret_cast<unsigned char*>(image->pixels);
  const std::size_t total = pixel_count(image) * sizeof(std::uint32_t);
  std::size_t done = 0;
  for (; total - done >= fade_block_bytes; done += fade_block_bytes) {
    // Unrolled in full so that -O3 vectorises this loop (four saturating subtracts per block)
    // instead of the outer one, which it can only do through byte shuffles.
#pragma GCC unroll 64
    for (std::size_t i = 0; i < fade_block_bytes; ++i) {
      bytes[done + i] = saturating_sub(bytes[done + i], subtrahend[i]);
    }
  }
  for (std::size_t i = 0; done + i < total; ++i) {
    bytes[done + i] = saturating_sub(bytes[done + i], subtrahend[i]);
  }
}

void img_fill_rect(Image* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                   std::uint32_t colour) noexcept {
  if (!rect_fits(image, x, y, w, h)) {
    img_error();
    return;
  }
  for (std::int32_t row = y; row < y + h; ++row) fill_run(image, x, row, w, colour);
}

void img_frame_rect(Image* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    std::uint32_t colour) noexcept {
  if (!rect_fits(image, x, y, w, h)) {
    img_error();
    return;
  }
  fill_run(image, x, y, w, colour);
  fill_run(image, x, y + h - 1, w, colour);
  for (std::int32_t row = y + 1; row < y + h - 1; ++row) {
    *pixel_at(image, x, row) = colour;
    *pixel_at(image, x + w - 1, row) = colour;
  }
}

void img_copy_pixels(const Image* source, Image* destination) noexcept {
  if (!img_has_pixels(source) || !img_has_pixels(destination) || !same_size(source, destination)) {
    img_error();
    return;
  }
  if (source->pixels == destination->pixels) return;
  std::memcpy(destination->pixels, source->pixels, pixel_count(source) * sizeof(std::uint32_t));
}

Image* img_clone(const Image* source) noexcept {
  if (!img_has_pixels(source)) {
    img_error();
    return nullptr;
  }
  Image* copy = img_create();
  if (copy == nullptr) return nullptr;
  img_resize(copy, source->width, source->height);
  if (copy->pixels == nullptr) {
    img_destroy(&copy);
    return nullptr;
  }
  img_copy_pixels(source, copy);
  return copy;
}

int img_equal(const Image* a, const Image* b) noexcept {
  if (!img_has_pixels(a) || !img_has_pixels(b)) {
    img_error();
    return 0;
  }
  if (!same_size(a, b)) return 0;
  return std::memcmp(a->pixels, b->pixels, pixel_count(a) * sizeof(std::uint32_t)) == 0 ? 1 : 0;
}

void img_and_mask(const Image* mask, Image* destination) noexcept {
  if (!img_has_pixels(mask) || !img_has_pixels(destination) || !same_size(mask, destination)) {
    img_error();
    return;
  }
  const std::size_t count = pixel_count(mask);
  for (std::size_t i = 0; i < count; ++i) destination->pixels[i] &= mask->pixels[i];
}

}  // namespace novu
