#include "text/font.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/pictures.hpp"

namespace novu {
namespace {

// Shaped like the program's font: 32 x 32 cells on a 1024 x 320 sheet whose every pixel tells its
// own position, so a drawn pixel says which sheet pixel it came from.
std::uint32_t at(std::int32_t x, std::int32_t y) { return static_cast<std::uint32_t>(y << 12 | x) + 1; }

struct FontTest : ::testing::Test {
  void SetUp() override {
    font->glyph_width = font->glyph_height = 32;
    font->sheet = picture(1024, 320, at).release();
  }
  void TearDown() override { font_destroy(&font); }
  Font* font = font_create();
};

TEST_F(FontTest, TextAndNumbersDrawTheirCellsOneGlyphWidthApart) {
  // The character whose cell starts each 32-pixel slot of the top row, '.' for nothing drawn.
  const auto slots = [](const Image* d) {
    std::string seen;
    for (std::int32_t x = 0; x < d->width; x += 32) {
      const std::uint32_t v = img_get_pixel(d, x, 0) - 1;
      seen += v + 1 == 0 ? '.' : static_cast<char>((v >> 12) / 32 * 32 + (v & 0xFFF) / 32);
    }
    return seen;
  };
  const std::pair<std::function<void(Image*)>, std::string> cases[] = {
      {[&](Image* d) { font_draw_string(font, "AB\nCD", 0, 0, d); }, "AB......"},
      {[&](Image* d) { font_draw_string(font, "0 \xE9~", 32, 0, d); }, ".0 .~..."},  // 0xE9 only advances
      {[&](Image* d) { font_draw_hex8(font, 0x3C, 0, 0, d); }, "3C......"},
      {[&](Image* d) { font_draw_hex8(font, 0, 64, 0, d); }, "..00...."},
      {[&](Image* d) { font_draw_hex16(font, static_cast<std::uint16_t>(0x12345), 0, 0, d); }, "2345...."},
      {[&](Image* d) { font_draw_hex32(font, 0x89ABCDEF, 0, 0, d); }, "89ABCDEF"},
  };
  for (const auto& [draw, expected] : cases) {
    Img destination = filled(256, 32, 0);
    draw(destination.get());
    EXPECT_EQ(slots(destination.get()), expected);
  }
}

TEST_F(FontTest, GlyphsComeFromTheirCellAndClipAtTheEdges) {
  // Code, x, the cell's top-left on the sheet, the destination columns the glyph covers.
  const std::int32_t cases[][6] = {
      {'A', 0, 32, 64, 0, 31}, {'0', 0, 512, 32, 0, 31}, {'~', 0, 960, 96, 0, 31},
      {'A', -20, 32, 64, 0, 11}, {'A', 250, 32, 64, 250, 255},
  };
  for (const auto& [code, x, cell_x, cell_y, first, last] : cases) {
    Img d = filled(256, 40, 0);
    font_draw_char(font, code, x, 5, d.get());
    for (std::int32_t column = 0; column < 256; ++column) {
      const bool covered = column >= first && column <= last;
      EXPECT_EQ(img_get_pixel(d.get(), column, 5), covered ? at(cell_x + column - x, cell_y) : 0) << code << column;
      EXPECT_EQ(img_get_pixel(d.get(), column, 36), covered ? at(cell_x + column - x, cell_y + 31) : 0);
      EXPECT_EQ(img_get_pixel(d.get(), column, 4) | img_get_pixel(d.get(), column, 37), 0u);
    }
  }
}

}  // namespace
}  // namespace novu
