// The length-bounded memory decoder. A picture it accepts must come out the same from the
// trusted decoder, given the bytes the way the embedded assets hold them (followed by a NUL),
// and must survive the IMG text round trip.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace novu;
  Image* image = img_from_pnm_bounded(data, size);
  if (image == nullptr) return 0;
  fuzz_check_decoded(image);
  auto* terminated = mem_new<unsigned char>(size + 1);
  fuzz_require(terminated != nullptr, "copy allocated");
  std::memcpy(terminated, data, size);
  Image* trusted = img_from_pnm(terminated);
  fuzz_require(img_equal(image, trusted) == 1, "trusted decoder agrees");
  fuzz_check_text_round_trip(image);
  mem_free(terminated);
  img_destroy(&trusted);
  img_destroy(&image);
  return 0;
}
