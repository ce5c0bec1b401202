#pragma once
// The embedded bank of 16 percussive recordings (assets/samples/00.wav .. 15.wav), as static
// Sample records over static storage: never reallocate or free them.

#include <cstdint>

#include "sound/sample.hpp"

namespace novu {

inline constexpr int sample_bank_size = 16;
inline constexpr std::int32_t sample_bank_length = 11025;

struct SampleBank {
  Sample samples[sample_bank_size];
  std::int32_t count;
};

extern SampleBank sample_bank;

// Whether a record is one of the bank's static ones.
bool sample_in_bank(const Sample* sample) noexcept;

}  // namespace novu
