#pragma once
// Properties every fuzz target checks on top of the sanitizers: a broken one aborts, and
// libFuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

#include "base/alloc.hpp"
#include "image/pnm.hpp"

namespace novu {

inline void fuzz_require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz property broken: %s\n", property);
  std::abort();
}

// A decoded picture is within the bound, and its pixels are 0x00RRGGBB.
inline void fuzz_check_decoded(const Image* image) {
  const long long count = static_cast<long long>(image->width) * image->height;
  fuzz_require(image->width > 0 && image->height > 0, "positive size");
  fuzz_require(count <= img_max_pixels, "size within the bound");
  fuzz_require(image->pixels != nullptr, "pixels present");
  for (long long i = 0; i < count; ++i) fuzz_require(image->pixels[i] >> 24 == 0, "top byte 0");
}

// The IMG text block gives back exactly the picture it was made from.
inline void fuzz_check_text_round_trip(const Image* image) {
  char* text = img_to_text(image);
  fuzz_require(text != nullptr, "text block made");
  Image* back = img_from_text(text);
  fuzz_require(img_equal(image, back) == 1, "text block reads back");
  img_destroy(&back);
  mem_free(text);
}

}  // namespace novu
