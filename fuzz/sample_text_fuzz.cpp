// The sample text reader, on the input as it stands (it must stop at the end of the bytes). A
// sample it accepts must survive being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_check.hpp"
#include "sound/sample.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace novu;
  Sample* sample = sample_from_text_bounded(reinterpret_cast<const char*>(data), size);
  if (sample == nullptr) return 0;
  fuzz_require(sample->length >= 0 && sample->length <= sample->capacity, "length within capacity");
  char* text = sample_to_text(sample);
  fuzz_require(text != nullptr, "text form made");
  Sample* back = sample_from_text_bounded(text, std::strlen(text));
  fuzz_require(sample_equal(sample, back) == 1 || (sample->length == 0 && back != nullptr && back->length == 0),
               "text form reads back");
  sample_destroy(&back);
  mem_free(text);
  sample_destroy(&sample);
  return 0;
}
