#pragma once
// A picture in the making and its raw P6 file: "P6", the comment lines, "W H", "255", then the
// RGB bytes. The comments come first so that anyone who opens the file learns where it is from.

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "asset_file.hpp"

namespace novu {

struct Picture {
  int width;
  int height;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row-major
};

inline Picture picture_make(int width, int height, std::uint32_t fill) {
  return Picture{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), fill)};
}

inline void picture_put(Picture& picture, int x, int y, std::uint32_t colour) {
  picture.pixels[static_cast<std::size_t>(y * picture.width + x)] = colour;
}

// Returns the generator's exit status: 0 when the whole file was written.
inline int picture_write_p6(const Picture& picture, const char* path, std::initializer_list<const char*> comments) {
  std::string bytes = "P6\n";
  for (const char* comment : comments) bytes += std::string("# ") + comment + "\n";
  bytes += std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
  for (const std::uint32_t pixel : picture.pixels) {
    bytes += static_cast<char>(pixel >> 16);
    bytes += static_cast<char>(pixel >> 8);
    bytes += static_cast<char>(pixel);
  }
  return asset_write(path, bytes) ? 0 : 1;
}

// The usage line every picture generator shares: one argument, the file to write.
inline bool picture_usage_ok(int argc, const char* name) {
  if (argc == 2) return true;
  std::fprintf(stderr, "usage: %s <output.ppm>\n", name);
  return false;
}

}  // namespace novu
