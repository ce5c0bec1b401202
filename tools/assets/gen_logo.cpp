// Writes assets/logo.ppm: the group's name NOVU as four 16 x 16 tiles side by side. Each tile is a
// bold letter (three-pixel stems, two-pixel bars) in a bright colour, set inside a two-pixel frame
// of the darker shade of the same hue that also fills the counters. Part two bends this picture
// with two sine waves and shows it enlarged three times as dots: heavy strokes keep it legible,
// and since no pixel is 0 the tiles stay a solid plate however far the waves shift them.

#include <cstdint>
#include <string_view>

#include "picture.hpp"

namespace {

constexpr int tile = 16;
constexpr int tiles = 4;

// '#' is the letter, '.' the frame and background; tiles are separated by one space.
constexpr std::string_view logo[tile] = {
    "................ ................ ................ ................",
    "................ ................ ................ ................",
    "..#####....###.. ....########.... ..###......###.. ..###......###..",
    "..#####....###.. ...##########... ..###......###.. ..###......###..",
    "..######...###.. ..####....####.. ..###......###.. ..###......###..",
    "..######...###.. ..###......###.. ..###......###.. ..###......###..",
    "..###.###..###.. ..###......###.. ...###....###... ..###......###..",
    "..###.###..###.. ..###......###.. ...###....###... ..###......###..",
    "..###..###.###.. ..###......###.. ....###..###.... ..###......###..",
    "..###..###.###.. ..###......###.. ....###..###.... ..###......###..",
    "..###...######.. ..###......###.. .....######..... ..###......###..",
    "..###...######.. ..####....####.. .....######..... ..####....####..",
    "..###....#####.. ...##########... ......####...... ...##########...",
    "..###....#####.. ....########.... .......##....... ....########....",
    "................ ................ ................ ................",
    "................ ................ ................ ................",
};

struct TileColours {
  std::uint32_t letter;
  std::uint32_t plate;  // frame and background
};
constexpr TileColours colours[tiles] = {
    {0xFF0000, 0x8B0000}, {0xFFA500, 0x8B5A00}, {0xFF00FF, 0x8B008B}, {0xFFFF00, 0x8B8B00}};

constexpr bool logo_well_formed() {
  for (const std::string_view row : logo) {
    if (static_cast<int>(row.size()) != tiles * (tile + 1) - 1) return false;
    for (int i = 0; i < static_cast<int>(row.size()); ++i) {
      const bool gap = i % (tile + 1) == tile;
      if (gap ? row[i] != ' ' : row[i] != '#' && row[i] != '.') return false;
    }
  }
  return true;
}
static_assert(logo_well_formed(), "every logo row is four tiles of sixteen '#' and '.'");

}  // namespace

int main(int argc, char** argv) {
  if (!novu::picture_usage_ok(argc, "gen-logo")) return 2;
  novu::Picture picture = novu::picture_make(tiles * tile, tile, 0);
  for (int y = 0; y < tile; ++y) {
    for (int t = 0; t < tiles; ++t) {
      for (int x = 0; x < tile; ++x) {
        const bool letter = logo[y][static_cast<std::size_t>(t * (tile + 1) + x)] == '#';
        novu::picture_put(picture, t * tile + x, y, letter ? colours[t].letter : colours[t].plate);
      }
    }
  }
  return novu::picture_write_p6(picture, argv[1],
                                {"NOVU4471 logo tiles, written by tools/assets/gen_logo.cpp",
                                 "four 16 x 16 tiles: the letters N O V U in bright colours",
                                 "on a frame and background of the darker shade of each hue"});
}
