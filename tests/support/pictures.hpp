#pragma once
// Owned test pictures. They are built by writing the pixel storage directly, so that a fault in
// the pixel accessors cannot hide itself in the expectations.

#include <cstdint>
#include <memory>
#include <vector>

#include "image/image.hpp"

namespace novu {

struct ImageDestroy {
  void operator()(Image* image) const noexcept { img_destroy(&image); }
};
using Img = std::unique_ptr<Image, ImageDestroy>;

// A width x height picture whose pixel (x, y) is value(x, y).
template <class Value>
Img picture(std::int32_t width, std::int32_t height, Value value) {
  Img image(img_create());
  img_resize(image.get(), width, height);
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) image->pixels[y * width + x] = value(x, y);
  return image;
}

inline Img filled(std::int32_t width, std::int32_t height, std::uint32_t colour) {
  return picture(width, height, [=](std::int32_t, std::int32_t) { return colour; });
}

// A picture of the given pixels, row-major.
inline Img picture_of(std::int32_t width, std::int32_t height, const std::vector<std::uint32_t>& pixels) {
  return picture(width, height, [&](std::int32_t x, std::int32_t y) { return pixels[y * width + x]; });
}

inline std::vector<std::uint32_t> pixels_of(const Image* image) {
  return {image->pixels, image->pixels + std::int64_t{image->width} * image->height};
}

}  // namespace novu
