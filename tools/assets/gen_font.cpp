// Writes assets/font.ppm: the 256 x 80 glyph sheet, 32 cells of 8 x 8 per row, cell n holding the
// glyph of character code n (glyphs.hpp) for the printable codes 33 .. 126. Each class of
// character has its own colour so that the scroller's text reads as bands of colour.

#include <cstdint>

#include "glyphs.hpp"
#include "picture.hpp"

namespace {

using novu::glyph_cell;

constexpr int cells_per_row = 32;
constexpr int first_glyph = 33;
constexpr int last_glyph = 126;

constexpr std::uint32_t digit_colour = 0x00FF80;
constexpr std::uint32_t capital_colour = 0x0080FF;
constexpr std::uint32_t lower_case_colour = 0x80DCFF;
// Punctuation takes these in turn, in code order, so that neighbours differ.
constexpr std::uint32_t punctuation_colours[] = {0xFF5050, 0xFFB000, 0xFF60FF, 0xFFFF40, 0x40FFFF, 0xB080FF};

std::uint32_t colour_of(int code, int& punctuation_seen) {
  if (code >= '0' && code <= '9') return digit_colour;
  if (code >= 'A' && code <= 'Z') return capital_colour;
  if (code >= 'a' && code <= 'z') return lower_case_colour;
  constexpr int palette_size = sizeof punctuation_colours / sizeof punctuation_colours[0];
  return punctuation_colours[punctuation_seen++ % palette_size];
}

}  // namespace

int main(int argc, char** argv) {
  if (!novu::picture_usage_ok(argc, "gen-font")) return 2;
  novu::Picture sheet = novu::picture_make(cells_per_row * glyph_cell, 10 * glyph_cell, 0);
  int punctuation_seen = 0;
  for (int code = first_glyph; code <= last_glyph; ++code) {
    const std::uint32_t colour = colour_of(code, punctuation_seen);
    const int left = code % cells_per_row * glyph_cell, top = code / cells_per_row * glyph_cell;
    for (int y = 0; y < glyph_cell; ++y) {
      for (int x = 0; x < glyph_cell; ++x) {
        if (novu::glyph_ink(code, x, y)) novu::picture_put(sheet, left + x, top + y, colour);
      }
    }
  }
  return novu::picture_write_p6(sheet, argv[1],
                                {"NOVU4471 font sheet, written by tools/assets/gen_font.cpp",
                                 "8 x 8 cells, 32 per row; cell n holds the glyph of character code n",
                                 "digits green, capitals blue, lower case pale blue, punctuation bright"});
}
