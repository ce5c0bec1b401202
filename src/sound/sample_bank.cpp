#include "sound/sample_bank.hpp"

#include "assets/embedded.hpp"

namespace novu {

// Every recording is exactly sample_bank_length values long; the bank test checks the files.
#define NOVU_BANK_ENTRY(n) Sample{sample_bank_length, sample_bank_length, asset_sample_##n}
SampleBank sample_bank = {
    {NOVU_BANK_ENTRY(00), NOVU_BANK_ENTRY(01), NOVU_BANK_ENTRY(02), NOVU_BANK_ENTRY(03),
     NOVU_BANK_ENTRY(04), NOVU_BANK_ENTRY(05), NOVU_BANK_ENTRY(06), NOVU_BANK_ENTRY(07),
     NOVU_BANK_ENTRY(08), NOVU_BANK_ENTRY(09), NOVU_BANK_ENTRY(10), NOVU_BANK_ENTRY(11),
     NOVU_BANK_ENTRY(12), NOVU_BANK_ENTRY(13), NOVU_BANK_ENTRY(14), NOVU_BANK_ENTRY(15)},
    sample_bank_size};
#undef NOVU_BANK_ENTRY

bool sample_in_bank(const Sample* sample) noexcept {
  for (const Sample& entry : sample_bank.samples) {
    if (sample == &entry) return true;
  }
  return false;
}

}  // namespace novu
