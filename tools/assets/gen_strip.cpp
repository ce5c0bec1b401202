// Writes assets/strip.ppm: the 8 x 64 logo strip shown in the bottom-left corner of every frame.
// The program's name stands in eight 8 x 8 cells, each character turned a quarter turn
// counter-clockwise, so that the name reads upwards from the bottom cell, in a rainbow from the
// top (red) to the bottom (blue). The letters are the font's own (glyphs.hpp).

#include <cstdint>

#include "glyphs.hpp"
#include "picture.hpp"

namespace {

using novu::glyph_cell;

constexpr char name[] = "NOVU4471";
constexpr int cells = sizeof name - 1;
constexpr std::uint32_t colours_from_top[cells] = {0xFF0000, 0xFFA500, 0xFFFF00, 0x80FF00,
                                                   0x00FF00, 0x00FF81, 0x00FFFF, 0x0080FF};

}  // namespace

int main(int argc, char** argv) {
  if (!novu::picture_usage_ok(argc, "gen-strip")) return 2;
  novu::Picture strip = novu::picture_make(glyph_cell, cells * glyph_cell, 0);
  for (int cell = 0; cell < cells; ++cell) {
    const char character = name[cells - 1 - cell];  // the top cell holds the name's last character
    for (int y = 0; y < glyph_cell; ++y) {
      for (int x = 0; x < glyph_cell; ++x) {
        // A quarter turn counter-clockwise: the glyph's top row becomes the cell's left column.
        if (novu::glyph_ink(character, glyph_cell - 1 - y, x)) {
          novu::picture_put(strip, x, cell * glyph_cell + y, colours_from_top[cell]);
        }
      }
    }
  }
  return novu::picture_write_p6(strip, argv[1],
                                {"NOVU4471 logo strip, written by tools/assets/gen_strip.cpp",
                                 "eight 8 x 8 cells stacked from top to bottom: 1 7 4 4 U V O N",
                                 "each letter of the font turned a quarter turn counter-clockwise",
                                 "so that the name reads upwards, coloured red at the top to blue"});
}
