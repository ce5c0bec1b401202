// The raw PCM reader: the first byte chooses width, byte order and signedness, the rest is the
// file. Every whole value must be read, each within the 16-bit range, and nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_check.hpp"
#include "sound/sample.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace novu;
  if (size < 2) return 0;  // a choice and at least one byte: fmemopen takes no empty buffer
  const std::int32_t width = (data[0] & 1) != 0 ? 16 : 8;
  const char order = (data[0] & 2) != 0 ? 'b' : 'l';
  const char sign = (data[0] & 4) != 0 ? 'u' : 's';
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data + 1), size - 1, "rb");
  if (file == nullptr) return 0;
  Sample* sample = sample_read_raw(file, width, order, sign);
  std::fclose(file);
  fuzz_require(sample != nullptr, "a readable stream gives a sample");
  fuzz_require(static_cast<std::size_t>(sample->length) == (size - 1) / static_cast<std::size_t>(width / 8),
               "every whole value read");
  for (std::int32_t i = 0; i < sample->length; ++i) {
    fuzz_require(sample->values[i] >= -32768 && sample->values[i] <= 32767, "value within 16 bits");
  }
  sample_destroy(&sample);
  return 0;
}
