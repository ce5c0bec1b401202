#pragma once
// The codec's one byte reader. Every decoder (memory, file, IMG text) walks its input forward
// through it, so every read is checked against the end of the input in one place.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "image/image.hpp"

namespace novu {

struct PnmReader {
  const unsigned char* cursor;  // memory input
  std::size_t left;             // bytes readable at cursor
  std::FILE* file;              // stream input; when set, cursor and left are unused
  int lookahead;                // the stream's next byte, already taken from it, or EOF
};

inline PnmReader pnm_reader_memory(const unsigned char* data, std::size_t size) noexcept {
  return PnmReader{data, size, nullptr, EOF};
}

inline PnmReader pnm_reader_stream(std::FILE* file) noexcept {
  return PnmReader{nullptr, 0, file, std::getc(file)};
}

// The next byte, or -1 once the input has ended.
inline int pnm_peek(const PnmReader& reader) noexcept {
  if (reader.file != nullptr) return reader.lookahead == EOF ? -1 : reader.lookahead;
  return reader.left == 0 ? -1 : *reader.cursor;
}

inline void pnm_advance(PnmReader& reader) noexcept {
  if (reader.file != nullptr) {
    if (reader.lookahead != EOF) reader.lookahead = std::getc(reader.file);
  } else if (reader.left != 0) {
    ++reader.cursor;
    --reader.left;
  }
}

inline bool pnm_is_digit(int c) noexcept { return c >= '0' && c <= '9'; }

// Skips to the next digit and returns it, unconsumed; negative at the end of the data.
inline int pnm_skip_to_digit(PnmReader& reader) noexcept {
  int c = pnm_peek(reader);
  for (; c >= 0 && !pnm_is_digit(c); c = pnm_peek(reader)) pnm_advance(reader);
  return c;
}

// A run of decimal digits, possibly empty (then 0 and nothing is consumed). False when the value
// does not fit a signed 32-bit number: a wrapped value must never become a size.
bool pnm_read_number(PnmReader& reader, std::int32_t* value) noexcept;

// Skips non-digits, then reads one sample; values above 255 are clamped so that a bright sample
// stays bright (and opaque) and the top byte of the pixel stays 0. False at the end or on overflow.
bool pnm_read_sample(PnmReader& reader, std::uint32_t* sample) noexcept;

// True when a width x height picture is positive in both directions and within img_max_pixels.
bool pnm_size_ok(std::int64_t width, std::int64_t height) noexcept;

// img_create + img_resize; null (nothing leaked) when either allocation fails.
Image* pnm_new_image(std::int32_t width, std::int32_t height) noexcept;

}  // namespace novu
