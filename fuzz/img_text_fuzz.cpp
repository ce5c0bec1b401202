// The IMG text block reader, on the input plus a NUL. A picture it accepts must survive being
// written and read again.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace novu;
  char* text = mem_new<char>(size + 1);
  if (text == nullptr) return 0;
  std::memcpy(text, data, size);
  Image* image = img_from_text(text);
  mem_free(text);
  if (image == nullptr) return 0;
  fuzz_check_decoded(image);
  fuzz_check_text_round_trip(image);
  img_destroy(&image);
  return 0;
}
