#include <cstdio>
#include <cstring>
#include <limits>

#include "base/alloc.hpp"
#include "image/pnm.hpp"
#include "image/pnm_reader.hpp"

namespace novu {

namespace {
constexpr std::size_t chars_per_pixel = 12;  // "%3d " three times
constexpr std::size_t pixels_per_line = 6;
constexpr std::size_t fixed_chars = 29;      // header, closing "}\n" and NUL around the pixels
constexpr char empty_text[] = "IMG{}";

// Offset just past the first occurrence of token, or 0.
std::size_t find_token(const char* text, const char* token) noexcept {
  const std::size_t length = std::strlen(token);
  if (length == 0) return 0;
  const char* found = std::strstr(text, token);
  return found == nullptr ? 0 : static_cast<std::size_t>(found - text) + length;
}

// The width, the height or the maximum value: digits and exactly one separator after them.
bool read_header_field(PnmReader& reader, std::int32_t* value) noexcept {
  if (!pnm_read_number(reader, value) || pnm_peek(reader) < 0) return false;
  pnm_advance(reader);
  return true;
}

Image* read_picture(const char* text) noexcept {
  std::size_t start = find_token(text, "IMG");
  std::size_t found = start == 0 ? 0 : find_token(text + start, "{");
  start += found;
  found = found == 0 ? 0 : find_token(text + start, "P3\n");
  if (found == 0) return nullptr;
  start += found;
  PnmReader reader = pnm_reader_memory(reinterpret_cast<const unsigned char*>(text + start),
                                       std::strlen(text + start));
  std::int32_t width = 0, height = 0, maximum = 0;
  if (!read_header_field(reader, &width) || !read_header_field(reader, &height) ||
      !read_header_field(reader, &maximum) || !pnm_size_ok(width, height))
    return nullptr;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (reader.left / 3 < count) return nullptr;  // not even one digit per sample: truncated
  Image* image = pnm_new_image(width, height);
  for (std::size_t i = 0; image != nullptr && i < count; ++i) {
    std::uint32_t red = 0, green = 0, blue = 0;
    if (!pnm_read_sample(reader, &red) || !pnm_read_sample(reader, &green) ||
        !pnm_read_sample(reader, &blue))
      img_destroy(&image);
    else
      image->pixels[i] = red << 16 | green << 8 | blue;
  }
  return image;
}

// Writes the pixel as "%3d %3d %3d " (each channel 0..255, so exactly 12 characters).
void write_pixel(char* out, std::uint32_t pixel) noexcept {
  const std::uint32_t channels[3] = {pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF};
  for (std::uint32_t channel : channels) {
    out[0] = channel >= 100 ? static_cast<char>('0' + channel / 100) : ' ';
    out[1] = channel >= 10 ? static_cast<char>('0' + channel / 10 % 10) : ' ';
    out[2] = static_cast<char>('0' + channel % 10);
    out[3] = ' ';
    out += 4;
  }
}
}  // namespace

std::int32_t img_find_token(const char* text, const char* token) noexcept {
  if (text == nullptr || token == nullptr) return 0;
  const std::size_t index = find_token(text, token);
  return index > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())
             ? 0
             : static_cast<std::int32_t>(index);
}

Image* img_from_text(const char* text) noexcept {
  Image* image = text == nullptr ? nullptr : read_picture(text);
  if (image == nullptr) img_error();
  return image;
}

char* img_to_text(const Image* image) noexcept {
  if (image == nullptr || image->pixels == nullptr || image->width < 0 || image->height < 0) {
    img_error();
    return nullptr;
  }
  const std::size_t count =
      static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
  if (count != 0 && !pnm_size_ok(image->width, image->height)) {
    img_error();
    return nullptr;
  }
  const std::size_t size = count * chars_per_pixel + count / pixels_per_line + fixed_chars;
  char* text = mem_new<char>(size);
  if (text == nullptr) {
    img_error();
    return nullptr;
  }
  if (count == 0) {
    std::memcpy(text, empty_text, sizeof empty_text);
    return text;
  }
  // Within img_max_pixels the two numbers take at most 9 digits, so the header fits the block.
  char* out = text + std::snprintf(text, size, "IMG{\nP3\n%d %d\n255\n", image->width, image->height);
  for (std::size_t i = 0; i < count; ++i) {
    write_pixel(out, image->pixels[i]);
    out += chars_per_pixel;
    if ((i + 1) % pixels_per_line == 0) out[-1] = '\n';
  }
  out[-1] = '\n';
  std::memcpy(out, "}\n", 2);  // the block is zero-filled: the NUL is already there
  return text;
}

}  // namespace novu
