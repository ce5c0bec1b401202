#include "sound/sample_bank.hpp"

#include "assets/embedded.hpp"

namespace novu {

namespace {
// The recordings are embedded at their 16 bits, half the size; the records hold 32-bit values,
// widened once before the program starts (a fraction of a millisecond).
std::int32_t bank_values[sample_bank_size][sample_bank_length];
const std::int16_t* const recordings[sample_bank_size] = {
    asset_sample_00, asset_sample_01, asset_sample_02, asset_sample_03, asset_sample_04, asset_sample_05,
    asset_sample_06, asset_sample_07, asset_sample_08, asset_sample_09, asset_sample_10, asset_sample_11,
    asset_sample_12, asset_sample_13, asset_sample_14, asset_sample_15};

bool widen_recordings() noexcept {
  for (int n = 0; n < sample_bank_size; ++n) {
    for (std::int32_t i = 0; i < sample_bank_length; ++i) bank_values[n][i] = recordings[n][i];
  }
  return true;
}
[[maybe_unused]] const bool widened = widen_recordings();
}  // namespace

// Every recording is exactly sample_bank_length values long; the bank test checks the files.
#define NOVU_BANK_ENTRY(n) Sample{sample_bank_length, sample_bank_length, bank_values[n]}
SampleBank sample_bank = {
    {NOVU_BANK_ENTRY(0), NOVU_BANK_ENTRY(1), NOVU_BANK_ENTRY(2), NOVU_BANK_ENTRY(3), NOVU_BANK_ENTRY(4),
     NOVU_BANK_ENTRY(5), NOVU_BANK_ENTRY(6), NOVU_BANK_ENTRY(7), NOVU_BANK_ENTRY(8), NOVU_BANK_ENTRY(9),
     NOVU_BANK_ENTRY(10), NOVU_BANK_ENTRY(11), NOVU_BANK_ENTRY(12), NOVU_BANK_ENTRY(13), NOVU_BANK_ENTRY(14),
     NOVU_BANK_ENTRY(15)},
    sample_bank_size};
#undef NOVU_BANK_ENTRY

bool sample_in_bank(const Sample* sample) noexcept {
  for (const Sample& entry : sample_bank.samples) {
    if (sample == &entry) return true;
  }
  return false;
}

}  // namespace novu
