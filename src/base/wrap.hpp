#pragma once
// Signed 32-bit arithmetic that wraps modulo 2^32 the way the program's algorithms expect, written
// through unsigned arithmetic so that no signed overflow (undefined behaviour) ever happens.

#include <cstdint>

namespace novu {

constexpr std::int32_t wrap_add(std::int32_t a, std::int32_t b) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrap_sub(std::int32_t a, std::int32_t b) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrap_mul(std::int32_t a, std::int32_t b) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrap_neg(std::int32_t a) noexcept { return wrap_sub(0, a); }

// Shift counts are taken modulo 32 by no one: callers pass 0..31, anything else gives 0.
constexpr std::int32_t wrap_shl(std::int32_t a, int count) noexcept {
  if (count < 0 || count > 31) return 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << count);
}

// Arithmetic (sign-propagating) right shift; counts beyond 31 leave only the sign.
constexpr std::int32_t shr_arith(std::int32_t a, int count) noexcept {
  if (count < 0) return a;
  if (count > 31) count = 31;
  return a >> count;
}

// Truncating division and remainder that cannot trap: INT32_MIN / -1 wraps to INT32_MIN (its
// remainder is 0), and a zero divisor gives 0.
constexpr std::int32_t div_trunc(std::int32_t a, std::int32_t b) noexcept {
  if (b == 0) return 0;
  if (b == -1) return wrap_neg(a);
  return a / b;
}

constexpr std::int32_t rem_trunc(std::int32_t a, std::int32_t b) noexcept {
  if (b == 0 || b == -1) return 0;
  return a % b;
}

// a modulo m brought into [0, m) for m > 0; 0 for m <= 0.
constexpr std::int32_t mod_floor(std::int32_t a, std::int32_t m) noexcept {
  if (m <= 0) return 0;
  const std::int32_t r = a % m;
  return r < 0 ? r + m : r;
}

}  // namespace novu
