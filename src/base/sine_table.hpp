#pragma once
// One full turn of sine in 1024 steps, signed 16-bit fractions of 32767 (peak 32766), embedded
// from assets/sine_table.txt. Angles everywhere in the program are indices into this table.

#include <cstddef>
#include <cstdint>

namespace novu {

inline constexpr int sine_table_size = 1024;
extern const std::int16_t sine_table[sine_table_size];
extern const std::size_t sine_table_count;  // entries in the embedded file; sine_table_size
// The modulus the effects wrap angles with. A constant, so that wrapping by it compiles to a
// mask wherever the compiler can prove that gives the same result.
inline constexpr std::int16_t sine_table_length = sine_table_size;

static_assert((sine_table_size & (sine_table_size - 1)) == 0, "sine_at masks its index");
// The table entry of an angle. The effects bring their angles into [0, 1024) first, so the mask
// changes nothing for them; it only keeps a stray angle (a cursor given another length) inside.
inline std::int32_t sine_at(std::int32_t angle) noexcept { return sine_table[angle & (sine_table_size - 1)]; }

}  // namespace novu
