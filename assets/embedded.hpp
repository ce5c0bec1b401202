#pragma once
// The assets of this folder as the program holds them, made at build time by novu-embed.
// Byte assets are followed by a NUL that their size does not count.

#include <cstddef>
#include <cstdint>

namespace novu {

// sine_table.txt is declared, with its meaning, in src/base/sine_table.hpp.

}  // namespace novu
