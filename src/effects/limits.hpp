#pragma once
// How many elements an effect takes at most. The demo uses up to 5120; far more would only make
// a frame take seconds, and a set-count beyond this is refused like a count of 0.

#include <cstdint>

namespace novu {

inline constexpr std::int32_t effect_max_count = std::int32_t{1} << 20;

// A count an effect can take: positive and within the bound.
constexpr bool effect_count_ok(std::int32_t count) noexcept { return count > 0 && count <= effect_max_count; }

}  // namespace novu
