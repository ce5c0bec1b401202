#pragma once
// One full turn of sine in 1024 steps, signed 16-bit fractions of 32767 (peak 32766), embedded
// from assets/sine_table.txt. Angles everywhere in the program are indices into this table.

#include <cstddef>
#include <cstdint>

namespace novu {

inline constexpr int sine_table_size = 1024;
extern const std::int16_t sine_table[sine_table_size];
extern const std::size_t sine_table_count;  // entries in the embedded file; sine_table_size
// The modulus the effects wrap angles with, kept as data beside the table.
extern const std::int16_t sine_table_length;

}  // namespace novu
