#pragma once
// Sine, exponential and a noise source built from + - * / only, so that a generator using them
// writes the same bytes on every machine: the C library's transcendental functions may round
// differently from one version or platform to the next, IEEE basic arithmetic may not.

#include <cmath>
#include <cstdint>

namespace novu::exact {

inline constexpr double pi = 3.14159265358979323846;

// sin(x); the series is summed on [-pi/2, pi/2], where 8 terms keep the error below 1e-9.
inline double sine(double x) {
  const double turns = std::floor(x / (2.0 * pi) + 0.5);  // floor is exact: no rounding inside
  double r = x - turns * (2.0 * pi);
  if (r > pi / 2.0) r = pi - r;
  if (r < -pi / 2.0) r = -pi - r;
  const double r2 = r * r;
  double sum = 1.0;
  for (int k = 15; k >= 3; k -= 2) sum = 1.0 - sum * r2 / (k * (k - 1));
  return r * sum;
}

inline double cosine(double x) { return sine(x + pi / 2.0); }

// sin(2 pi turns) for a phase counted in whole turns.
inline double sine_turns(double turns) { return sine(2.0 * pi * (turns - std::floor(turns))); }

// e^x: halve x until it is small, sum the series, then square back.
inline double exponential(double x) {
  int halvings = 0;
  while (x > 0.5 || x < -0.5) {
    x /= 2.0;
    ++halvings;
  }
  double sum = 1.0;
  for (int k = 14; k >= 1; --k) sum = 1.0 + sum * x / k;
  while (halvings-- > 0) sum *= sum;
  return sum;
}

// xorshift32: one fixed, portable sequence per seed (the seed must not be 0).
struct Noise {
  std::uint32_t state;
  // Uniform in [-1, 1).
  double next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 2147483648.0 - 1.0;
  }
};

}  // namespace novu::exact
