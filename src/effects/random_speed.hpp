#pragma once
// The velocity component the sparks and the gas draw: a magnitude just under 4.0 in 16.16, then
// its sign from the parity of the next draw. Two rand() calls, in that order.

#include <cstdint>
#include <cstdlib>

namespace novu {

inline std::int32_t random_speed() noexcept {
  constexpr std::int32_t speed_mask = 0x3FFFF;
  const std::int32_t magnitude = std::rand() & speed_mask;
  const int sign = std::rand();
  return (sign & 1) != 0 ? -magnitude : magnitude;
}

}  // namespace novu
