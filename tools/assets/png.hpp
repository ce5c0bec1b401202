#pragma once
// A picture as a PNG file: 8-bit RGB, rows unfiltered, the pixel rows in stored (uncompressed)
// deflate blocks. Larger than a compressed PNG, but any decoder reads it and it needs no library.

#include <cstddef>
#include <cstdint>
#include <string>

#include "picture.hpp"

namespace novu {

inline void png_put32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(v >> shift);
}

inline std::uint32_t png_crc32(const std::string& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= static_cast<std::uint8_t>(bytes[i]);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline std::uint32_t png_adler32(const std::string& bytes) {
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const char c : bytes) {
    a = (a + static_cast<std::uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

// Length, type, data, then the CRC of type and data.
inline void png_chunk(std::string& out, const char* type, const std::string& data) {
  png_put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out += type;
  out += data;
  png_put32(out, png_crc32(out, start));
}

inline std::string png_encode(const Picture& picture) {
  std::string rows;
  for (int y = 0; y < picture.height; ++y) {
    rows += '\0';  // filter: none
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y * picture.width + x)];
      rows += static_cast<char>(pixel >> 16);
      rows += static_cast<char>(pixel >> 8);
      rows += static_cast<char>(pixel);
    }
  }
  std::string zlib = "\x78\x01";  // deflate, 32 KiB window, no preset dictionary
  constexpr std::size_t block_max = 65535;
  for (std::size_t at = 0; at < rows.size(); at += block_max) {
    const std::size_t length = rows.size() - at < block_max ? rows.size() - at : block_max;
    zlib += static_cast<char>(at + length == rows.size() ? 1 : 0);  // last block?, stored
    for (const std::size_t v : {length, ~length}) {
      zlib += static_cast<char>(v);
      zlib += static_cast<char>(v >> 8);
    }
    zlib.append(rows, at, length);
  }
  png_put32(zlib, png_adler32(rows));

  std::string header;
  png_put32(header, static_cast<std::uint32_t>(picture.width));
  png_put32(header, static_cast<std::uint32_t>(picture.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filtering, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  png_chunk(png, "IHDR", header);
  png_chunk(png, "IDAT", zlib);
  png_chunk(png, "IEND", "");
  return png;
}

}  // namespace novu
