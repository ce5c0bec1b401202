// The file reader, on the input as an in-memory stream. A picture it accepts must come out the
// same from the bounded memory decoder, except that the memory decoder gives raw bitmaps whole
// bytes per row.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_check.hpp"

namespace {
bool same_left_columns(const novu::Image* narrow, const novu::Image* wide) {
  if (narrow->height != wide->height || wide->width != (narrow->width + 7) / 8 * 8) return false;
  for (std::int32_t y = 0; y < narrow->height; ++y)
    for (std::int32_t x = 0; x < narrow->width; ++x)
      if (novu::img_get_pixel(narrow, x, y) != novu::img_get_pixel(wide, x, y)) return false;
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace novu;
  if (size == 0) return 0;  // fmemopen takes no empty buffer
  std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (stream == nullptr) return 0;
  Image* image = img_read_pnm_stream(stream);
  std::fclose(stream);
  if (image == nullptr) return 0;
  fuzz_check_decoded(image);
  Image* in_memory = img_from_pnm_bounded(data, size);
  fuzz_require(in_memory != nullptr, "memory decoder accepts it too");
  fuzz_require(img_equal(image, in_memory) == 1 || same_left_columns(image, in_memory),
               "memory decoder agrees");
  img_destroy(&in_memory);
  img_destroy(&image);
  return 0;
}
