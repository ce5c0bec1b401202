#include "image/image.hpp"

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

bool has_pixels(const Image* image) noexcept { return image != nullptr && image->pixels != nullptr; }

bool inside(const Image* image, std::int32_t x, std::int32_t y) noexcept {
  return x >= 0 && x < image->width && y >= 0 && y < image->height;
}

std::size_t pixel_count(const Image* image) noexcept {
  return static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
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
  if (image == nullptr || width < 0 || height < 0) {
    img_error();
    return;
  }
  mem_free(image->pixels);
  image->pixels = nullptr;
  image->width = width;
  image->height = height;
  image->pixels = mem_new<std::uint32_t>(pixel_count(image));
  if (image->pixels == nullptr) img_error();
}

void img_clear(Image* image) noexcept {
  if (!has_pixels(image)) {
    img_error();
    return;
  }
  std::memset(image->pixels, 0, pixel_count(image) * sizeof(std::uint32_t));
}

std::uint32_t img_get_pixel(const Image* image, std::int32_t x, std::int32_t y) noexcept {
  if (!has_pixels(image) || !inside(image, x, y)) return 0;
  return image->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width) + static_cast<std::size_t>(x)];
}

void img_put_pixel(Image* image, std::int32_t x, std::int32_t y, std::uint32_t colour) noexcept {
  if (!has_pixels(image) || !inside(image, x, y)) return;
  image->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width) + static_cast<std::size_t>(x)] = colour;
}

}  // namespace novu
