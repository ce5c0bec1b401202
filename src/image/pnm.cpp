#include "image/pnm.hpp"

#include <cstdio>
#include <limits>

#include "image/pnm_reader.hpp"

namespace novu {

namespace {
constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t grey_step = 0x010101;
constexpr int first_token_byte = 0x21;  // bytes outside 0x21..0x7E separate header tokens
constexpr int last_token_byte = 0x7E;

// How a P4 row maps to image columns.
enum class BitRows {
  whole_bytes,     // memory: the width is rounded up to a multiple of 8, fill bits become pixels
  declared_width,  // file: the declared width, each row starting on a fresh byte
};

struct Header {
  int magic;                  // 1..6 once read, 0 before
  std::int32_t numbers[3];    // width, height, maximum value: the first three numbers met
  int count;
};

int header_numbers(int magic) noexcept { return magic == 1 || magic == 4 ? 2 : 3; }

bool read_magic(PnmReader& reader, Header& header) noexcept {
  pnm_advance(reader);  // the "P"
  const int c = pnm_peek(reader);
  if (c < '1' || c > '6') return false;
  header.magic = c - '0';
  pnm_advance(reader);
  return true;
}

bool skip_comment(PnmReader& reader) noexcept {
  for (int c = pnm_peek(reader); c >= 0; c = pnm_peek(reader)) {
    pnm_advance(reader);
    if (c == '\n') return true;
  }
  return false;
}

bool read_header_number(PnmReader& reader, Header& header) noexcept {
  // A token that starts with a non-digit reads as 0 and consumes nothing, so the same byte comes
  // back as the next number. That fills the three slots at most (a zero width or height fails
  // afterwards); a fourth number, met while the magic is still missing, fails here instead of
  // coming back for ever.
  if (header.count == 3) return false;
  return pnm_read_number(reader, &header.numbers[header.count++]);
}

// Tokens in any order until magic, width, height and (except P1, P4) maximum value are known,
// then the one byte that ends the last token.
bool read_header(PnmReader& reader, Header& header) noexcept {
  while (header.magic == 0 || header.count < header_numbers(header.magic)) {
    const int c = pnm_peek(reader);
    bool ok = true;
    if (c < 0) {
      ok = false;
    } else if (c < first_token_byte || c > last_token_byte) {
      pnm_advance(reader);
    } else if (c == 'P' && header.magic == 0) {
      ok = read_magic(reader, header);
    } else if (c == '#') {
      ok = skip_comment(reader);
    } else {
      ok = read_header_number(reader, header);
    }
    if (!ok) return false;
  }
  if (pnm_peek(reader) < 0) return false;
  pnm_advance(reader);
  return true;
}

bool read_byte(PnmReader& reader, std::uint32_t* byte) noexcept {
  const int c = pnm_peek(reader);
  if (c < 0) return false;
  pnm_advance(reader);
  *byte = static_cast<std::uint32_t>(c);
  return true;
}

bool read_digit_pixel(PnmReader& reader, std::uint32_t* pixel) noexcept {
  const int c = pnm_skip_to_digit(reader);
  if (c < 0) return false;
  pnm_advance(reader);
  *pixel = c == '0' ? 0 : white;
  return true;
}

bool read_rgb(PnmReader& reader, bool plain, std::uint32_t* pixel) noexcept {
  std::uint32_t red = 0, green = 0, blue = 0;
  const bool ok = plain ? pnm_read_sample(reader, &red) && pnm_read_sample(reader, &green) &&
                              pnm_read_sample(reader, &blue)
                        : read_byte(reader, &red) && read_byte(reader, &green) && read_byte(reader, &blue);
  *pixel = red << 16 | green << 8 | blue;
  return ok;
}

bool read_grey(PnmReader& reader, bool plain, std::uint32_t* pixel) noexcept {
  std::uint32_t grey = 0;
  const bool ok = plain ? pnm_read_sample(reader, &grey) : read_byte(reader, &grey);
  *pixel = grey * grey_step;
  return ok;
}

bool read_bit_rows(PnmReader& reader, Image* image) noexcept {
  std::uint32_t* pixel = image->pixels;
  for (std::int32_t y = 0; y < image->height; ++y) {
    std::uint32_t byte = 0;
    for (std::int32_t x = 0; x < image->width; ++x) {
      if (x % 8 == 0 && !read_byte(reader, &byte)) return false;
      *pixel++ = (byte >> (7 - x % 8) & 1) != 0 ? white : 0;
    }
  }
  return true;
}

bool read_pixels(PnmReader& reader, int magic, Image* image) noexcept {
  if (magic == 4) return read_bit_rows(reader, image);
  const std::size_t count =
      static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t* pixel = &image->pixels[i];
    bool ok = false;
    switch (magic) {
      case 1: ok = read_digit_pixel(reader, pixel); break;
      case 2: ok = read_grey(reader, true, pixel); break;
      case 3: ok = read_rgb(reader, true, pixel); break;
      case 5: ok = read_grey(reader, false, pixel); break;
      case 6: ok = read_rgb(reader, false, pixel); break;
      default: break;
    }
    if (!ok) return false;
  }
  return true;
}

// The fewest sample bytes that can hold the picture: exact for the raw forms, one digit per
// sample for the plain ones.
std::int64_t least_sample_bytes(int magic, std::int64_t width, std::int64_t height) noexcept {
  switch (magic) {
    case 3:
    case 6: return width * height * 3;
    case 4: return (width + 7) / 8 * height;
    default: return width * height;
  }
}

Image* decode(PnmReader& reader, BitRows bit_rows) noexcept {
  Header header{};
  if (!read_header(reader, header)) return nullptr;
  std::int64_t width = header.numbers[0];
  const std::int64_t height = header.numbers[1];
  if (header.magic == 4 && bit_rows == BitRows::whole_bytes) width = (width + 7) & ~std::int64_t{7};
  if (!pnm_size_ok(width, height)) return nullptr;
  // A memory input too short for the picture fails before anything is allocated.
  const bool in_memory = reader.file == nullptr;
  if (in_memory && reader.left < static_cast<std::uint64_t>(least_sample_bytes(header.magic, width, height)))
    return nullptr;
  Image* image = pnm_new_image(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
  if (image != nullptr && !read_pixels(reader, header.magic, image)) img_destroy(&image);
  return image;
}

Image* reported(Image* image) noexcept {
  if (image == nullptr) img_error();
  return image;
}
}  // namespace

bool pnm_read_number(PnmReader& reader, std::int32_t* value) noexcept {
  constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
  std::int32_t number = 0;
  for (int c = pnm_peek(reader); pnm_is_digit(c); c = pnm_peek(reader)) {
    const std::int32_t digit = c - '0';
    if (number > (largest - digit) / 10) return false;
    number = number * 10 + digit;
    pnm_advance(reader);
  }
  *value = number;
  return true;
}

bool pnm_read_sample(PnmReader& reader, std::uint32_t* sample) noexcept {
  const int c = pnm_skip_to_digit(reader);
  std::int32_t value = 0;
  if (c < 0 || !pnm_read_number(reader, &value)) return false;
  *sample = value > 255 ? 255u : static_cast<std::uint32_t>(value);
  return true;
}

bool pnm_size_ok(std::int64_t width, std::int64_t height) noexcept {
  return width > 0 && height > 0 && width <= img_max_pixels && height <= img_max_pixels &&
         width * height <= img_max_pixels;
}

Image* pnm_new_image(std::int32_t width, std::int32_t height) noexcept {
  Image* image = img_create();
  if (image == nullptr) return nullptr;
  img_resize(image, width, height);
  if (image->pixels == nullptr) img_destroy(&image);
  return image;
}

Image* img_from_pnm(const unsigned char* data) noexcept {
  if (data == nullptr) return reported(nullptr);
  PnmReader reader = pnm_reader_memory(data, std::numeric_limits<std::size_t>::max());
  return reported(decode(reader, BitRows::whole_bytes));
}

Image* img_from_pnm_bounded(const unsigned char* data, std::size_t size) noexcept {
  if (data == nullptr) return reported(nullptr);
  PnmReader reader = pnm_reader_memory(data, size);
  return reported(decode(reader, BitRows::whole_bytes));
}

Image* img_read_pnm_stream(std::FILE* file) noexcept {
  if (file == nullptr) return reported(nullptr);
  PnmReader reader = pnm_reader_stream(file);
  Image* image = decode(reader, BitRows::declared_width);
  if (reader.lookahead != EOF) std::ungetc(reader.lookahead, file);
  return reported(image);
}

Image* img_read_pnm_file(const char* path) noexcept {
  std::FILE* file = path == nullptr ? nullptr : std::fopen(path, "rb");
  if (file == nullptr) return reported(nullptr);
  Image* image = img_read_pnm_stream(file);
  std::fclose(file);
  return image;
}

int img_write_ppm_file(const Image* image, const char* path) noexcept {
  if (image == nullptr || image->pixels == nullptr || path == nullptr || image->width <= 0 ||
      image->height <= 0) {
    img_error();
    return 0;
  }
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr) {
    img_error();
    return 0;
  }
  std::fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
  const std::size_t count =
      static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t pixel = image->pixels[i];
    std::putc(static_cast<int>(pixel >> 16 & 0xFF), file);
    std::putc(static_cast<int>(pixel >> 8 & 0xFF), file);
    std::putc(static_cast<int>(pixel & 0xFF), file);
  }
  // A full disk shows only here; reporting success would hide a truncated picture.
  const bool written = std::ferror(file) == 0;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    img_error();
    return 0;
  }
  return 1;
}

}  // namespace novu
