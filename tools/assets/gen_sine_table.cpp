// Writes assets/sine_table.txt: the 1024 signed 16-bit values of one full turn, one per line.
// The first quarter is 32767 * sin(2 pi i / 1024) rounded half away from zero, except two entries
// that the program's motion was tuned with (129 and 183, each one above the rule). The second
// quarter mirrors the first (so the peak 32766 stands twice), the second half is the negated first.

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "asset_file.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen-sine-table <output.txt>\n");
    return 2;
  }
  int quarter[256];
  for (int i = 0; i < 256; ++i) {
    quarter[i] = static_cast<int>(std::lround(32767.0 * std::sin(2.0 * std::numbers::pi * i / 1024.0)));
  }
  quarter[129] = 23312;
  quarter[183] = 29535;

  int table[1024];
  for (int i = 0; i < 256; ++i) {
    table[i] = quarter[i];
    table[256 + i] = quarter[255 - i];
  }
  for (int i = 0; i < 512; ++i) table[512 + i] = -table[i];

  std::string text;
  for (int v : table) text += std::to_string(v) + "\n";
  return novu::asset_write(argv[1], text) ? 0 : 1;
}
