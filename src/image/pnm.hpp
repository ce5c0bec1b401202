#pragma once
// IMG codec: the P1-P6 portable-anymap family in, raw P6 out, and the IMG text block
// ("IMG{" + a plain P3 picture + "}").

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "image/image.hpp"

namespace novu {

// The decoders: pixels 0x00RRGGBB, samples taken as bytes whatever the maximum value says (plain
// samples above 255 read as 255). P1 is one digit per pixel; a P1 "1" and a set P4 bit read as
// white, so the set pixels are the opaque ones. The memory decoders round a P4 width up to a
// multiple of 8, so each row's fill bits become pixels; the file reader keeps the declared width.

// Trusts its buffer to hold the whole picture: for the embedded assets only.
Image* img_from_pnm(const unsigned char* data) noexcept;
// The same decoder for bytes from outside: never reads past data + size, null when truncated.
Image* img_from_pnm_bounded(const unsigned char* data, std::size_t size) noexcept;
Image* img_read_pnm_file(const char* path) noexcept;
// The file reader on a stream that is already open; leaves it open, positioned just past the
// picture's last byte.
Image* img_read_pnm_stream(std::FILE* file) noexcept;
int img_write_ppm_file(const Image* image, const char* path) noexcept;  // 1 on success, 0 on failure
// New NUL-terminated IMG text block; release with mem_free.
char* img_to_text(const Image* image) noexcept;
Image* img_from_text(const char* text) noexcept;
// Index just past the first occurrence of token in text, or 0.
std::int32_t img_find_token(const char* text, const char* token) noexcept;

}  // namespace novu
