#pragma once
// Samples made from, and read back as, plain lists of values.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/sample.hpp"

namespace novu {

using Values = std::vector<std::int32_t>;

struct SampleDestroy {
  void operator()(Sample* sample) const noexcept { sample_destroy(&sample); }
};
using OwnedSample = std::unique_ptr<Sample, SampleDestroy>;

inline OwnedSample owned(const Values& values) {
  OwnedSample sample(sample_create());
  sample_set_length(sample.get(), static_cast<std::int32_t>(values.size()));
  std::copy(values.begin(), values.end(), sample->values);
  return sample;
}

inline Values live(const Sample* sample) { return Values(sample->values, sample->values + sample->length); }

}  // namespace novu
