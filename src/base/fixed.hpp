#pragma once
// 16.16 fixed point: positions and velocities of the effects are signed 32-bit values with 16
// fraction bits. The integer part is taken by arithmetic shift (rounding toward minus infinity).

#include <cstdint>

#include "base/wrap.hpp"

namespace novu {

inline constexpr int fix_frac_bits = 16;
inline constexpr std::int32_t fix_one = std::int32_t{1} << fix_frac_bits;
inline constexpr std::int32_t fix_frac_mask = fix_one - 1;

constexpr std::int32_t fix_from_int(std::int32_t n) noexcept { return wrap_shl(n, fix_frac_bits); }
constexpr std::int32_t fix_int(std::int32_t f) noexcept { return shr_arith(f, fix_frac_bits); }
constexpr std::int32_t fix_frac(std::int32_t f) noexcept { return f & fix_frac_mask; }

// Product of two 16.16 values (or of a 16.16 value and a plain integer scaled afterwards): the
// 64-bit product shifted back by the fraction bits, wrapped to 32 bits.
constexpr std::int32_t fix_mul(std::int32_t a, std::int32_t b) noexcept {
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(p >> fix_frac_bits)));
}

}  // namespace novu
