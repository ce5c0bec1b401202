// The embedded pictures and texts, checked for what the drawing code and the scroller rely on:
// header layout and size, the colours of each cell or tile, the strip's turned letters, the
// scroll text's blocks.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assets/embedded.hpp"
#include "image/pnm.hpp"
#include "support/pictures.hpp"

namespace novu {
namespace {

std::string_view text_of(const unsigned char* bytes, std::size_t size) {
  return {reinterpret_cast<const char*>(bytes), size};
}

TEST(EmbeddedPictures, AreMagicCommentLinesSizeAndMaximumThenExactlyThePixels) {
  struct Picture { const unsigned char* bytes; std::size_t size; int width, height, comment_lines; };
  const Picture pictures[] = {{asset_font_ppm, asset_font_ppm_size, 256, 80, 3},
                              {asset_logo_ppm, asset_logo_ppm_size, 64, 16, 3},
                              {asset_strip_ppm, asset_strip_ppm_size, 8, 64, 4}};
  for (const auto& p : pictures) {
    std::string_view bytes = text_of(p.bytes, p.size);
    ASSERT_TRUE(bytes.starts_with("P6\n"));
    int comments = 0;
    for (bytes.remove_prefix(3); bytes.starts_with('#') && bytes.find('\n') != bytes.npos; ++comments)
      bytes.remove_prefix(bytes.find('\n') + 1);
    EXPECT_EQ(comments, p.comment_lines) << p.width;
    const std::string size_lines = std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
    ASSERT_TRUE(bytes.starts_with(size_lines)) << p.width;
    EXPECT_EQ(bytes.size() - size_lines.size(), 3u * p.width * p.height);
  }
}

// The colours of the area of the given size (a cell by default) at the given top-left corner.
std::set<std::uint32_t> colours_in(const Image* image, int left, int top, int width = 8, int height = 8) {
  std::set<std::uint32_t> colours;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) colours.insert(img_get_pixel(image, x, y));
  return colours;
}

TEST(FontSheet, PrintableCellsHaveOneColourOfTheirBandAndTheOthersAreEmpty) {
  const Img sheet(img_from_pnm(asset_font_ppm));
  std::set<std::uint32_t> punctuation;
  for (int code = 0; code < 32 * 10; ++code) {
    const std::set<std::uint32_t> colours = colours_in(sheet.get(), code % 32 * 8, code / 32 * 8);
    const auto in = [&](int first, int last) { return code >= first && code <= last; };
    const auto band = in('0', '9') ? 0x00FF80u : in('A', 'Z') ? 0x0080FFu : in('a', 'z') ? 0x80DCFFu : 0u;
    if (band != 0)
      EXPECT_EQ(colours, (std::set{0u, band})) << code;
    else if (in(33, 126) && colours.size() == 2)
      punctuation.insert(*colours.rbegin());
    else  // punctuation has one colour on the key colour, the other cells are empty
      EXPECT_TRUE(!in(33, 126) && colours == std::set{0u}) << code;
  }
  for (std::uint32_t band : {0x00FF80u, 0x0080FFu, 0x80DCFFu}) EXPECT_FALSE(punctuation.contains(band));
  EXPECT_GE(punctuation.size(), 3u);  // assorted
}

TEST(LogoStrip, EachCellIsTheFontsLetterTurnedCounterClockwiseInItsColour) {
  const Img font(img_from_pnm(asset_font_ppm)), strip(img_from_pnm(asset_strip_ppm));
  const std::uint32_t colours_from_top[] = {0xFF0000, 0xFFA500, 0xFFFF00, 0x80FF00,
                                             0x00FF00, 0x00FF81, 0x00FFFF, 0x0080FF};
  for (int i = 0; i < 8; ++i) {
    const char character = "NOVU4471"[7 - i];  // read from the bottom cell upwards
    const int left = character % 32 * 8, top = character / 32 * 8;
    EXPECT_EQ(colours_in(strip.get(), 0, i * 8), (std::set{0u, colours_from_top[i]})) << character;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)  // the glyph's top row is the cell's left column, read upwards
        EXPECT_EQ(img_get_pixel(strip.get(), x, i * 8 + y) != 0, img_get_pixel(font.get(), left + 7 - y, top + x) != 0)
            << character << " at " << x << "," << y;
  }
}

TEST(LogoTiles, EachTileIsABrightLetterInsideAFrameOfItsDarkerShade) {
  const Img logo(img_from_pnm(asset_logo_ppm));
  const std::pair<std::uint32_t, std::uint32_t> tiles[] = {  // letter, plate
      {0xFF0000, 0x8B0000}, {0xFFA500, 0x8B5A00}, {0xFF00FF, 0x8B008B}, {0xFFFF00, 0x8B8B00}};
  for (int i = 0, x = 0; i < 4; ++i, x += 16) {
    const auto [letter, plate] = tiles[i];
    EXPECT_EQ(colours_in(logo.get(), x, 0, 16, 16), (std::set{letter, plate})) << i;
    const std::array<int, 4> frame[] = {{x, 0, 16, 1}, {x, 15, 16, 1}, {x, 0, 1, 16}, {x + 15, 0, 1, 16}};
    for (const auto& [left, top, w, h] : frame)
      EXPECT_EQ(colours_in(logo.get(), left, top, w, h), std::set{plate}) << i << ": " << left << "," << top;
  }
}

TEST(EmbeddedTexts, AreCStringsOfWholeLinesOfCharactersTheFontHas) {
  const std::pair<std::string_view, const char*> texts[] = {
      {text_of(asset_scroll_text, asset_scroll_text_size), "ESC,Q: EXIT  \n"},
      {text_of(asset_article3_text, asset_article3_text_size), "right to life, liberty and security"},
      {text_of(asset_rights_text, asset_rights_text_size), "All rights reserved."},
      {text_of(asset_no_warranty_text, asset_no_warranty_text_size), "without warranty of any kind"}};
  for (const auto& [text, phrase] : texts) {
    EXPECT_EQ(std::strlen(text.data()), text.size()) << phrase;  // NUL only at the end
    EXPECT_TRUE(text.ends_with('\n')) << phrase;
    for (const char c : text) EXPECT_TRUE(c == '\n' || (c >= 32 && c <= 126)) << int{c};
    EXPECT_NE(text.find(phrase), text.npos);
  }
}

TEST(ScrollText, HasItsBlocksInOrderWithTheKeyHelpVerbatim) {
  std::vector<std::vector<std::string>> blocks(1);  // each ended by a separator line of 14 spaces
  std::istringstream text{std::string(text_of(asset_scroll_text, asset_scroll_text_size))};
  for (std::string line; std::getline(text, line);) {
    if (line == std::string(14, ' '))
      blocks.emplace_back();
    else
      blocks.back().push_back(line);
  }
  EXPECT_TRUE(asset_scroll_text_size >= 1100 && asset_scroll_text_size <= 1300) << asset_scroll_text_size;
  std::vector<std::size_t> lines_per_block;
  for (const auto& block : blocks) lines_per_block.push_back(block.size());
  ASSERT_EQ(lines_per_block, (std::vector<std::size_t>{2, 4, 6, 2, 13, 13, 1, 1, 3, 1, 0}));
  EXPECT_EQ(blocks[0], (std::vector<std::string>{"", ""}));
  EXPECT_EQ(blocks[2], (std::vector<std::string>{"PRESS KEYS: ", "ESC,Q: EXIT  ", "SPACE: NEXT PART  ",
                                                 "8: SHOW F.P.S. ON/OFF   ", "9: FULL SPEED ON/OFF   ",
                                                 "ASDFG: SCROLL SPEED    "}));
  EXPECT_NE(blocks[5][3].find("ARTICLE 7"), std::string::npos) << blocks[5][3];
  EXPECT_TRUE(blocks[9][0].starts_with("9.8.7.6.5.4.3.2.1.0")) << blocks[9][0];
  for (std::size_t i = 1; i < 13; ++i) {  // greetings, comma-separated, ending with an ellipsis
    const std::string& line = blocks[4][i];
    EXPECT_TRUE(line.substr(0, line.find_last_not_of(' ') + 1).ends_with(i < 12 ? "," : "...")) << line;
  }
  // Upper case but for the quoted article's text; every address named is a fictional one.
  blocks[5].resize(4);
  for (const auto& block : blocks) {
    for (const std::string& line : block) {
      EXPECT_TRUE(std::ranges::none_of(line, [](char c) { return c >= 'a' && c <= 'z'; })) << line;
      const bool address = line.find("WWW.") != line.npos || line.find('@') != line.npos;
      EXPECT_TRUE(!address || line.find(".EXAMPLE") != line.npos) << line;
    }
  }
}

}  // namespace
}  // namespace novu
