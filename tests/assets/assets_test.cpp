// The embedded pictures and texts, checked for what the drawing code and the scroller rely on:
// header layout and size, the colours of each cell or tile, the strip's turned letters, the
// scroll text's blocks.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
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
  const Picture pictures[] = {
      {asset_font_ppm, asset_font_ppm_size, 256, 80, 3},
      {asset_logo_ppm, asset_logo_ppm_size, 64, 16, 3},
      {asset_strip_ppm, asset_strip_ppm_size, 8, 64, 4}};
  for (const auto& p : pictures) {
    std::string_view bytes = text_of(p.bytes, p.size);
    ASSERT_TRUE(bytes.starts_with("P6\n"));
    bytes.remove_prefix(3);
    int comments = 0;
    for (; bytes.starts_with('#') && bytes.find('\n') != bytes.npos; ++comments)
      bytes.remove_prefix(bytes.find('\n') + 1);
    EXPECT_EQ(comments, p.comment_lines) << p.width;
    const std::string size_lines = std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
    ASSERT_TRUE(bytes.starts_with(size_lines)) << p.width;
    EXPECT_EQ(bytes.size() - size_lines.size(), 3u * p.width * p.height);
  }
}

// The colours, key colour left out, of the 8 x 8 area at the given top-left corner.
std::set<std::uint32_t> colours_in(const Image* image, int left, int top) {
  std::set<std::uint32_t> colours;
  for (int y = top; y < top + 8; ++y)
    for (int x = left; x < left + 8; ++x) colours.insert(img_get_pixel(image, x, y));
  colours.erase(0);
  return colours;
}

TEST(FontSheet, PrintableCellsHaveOneColourOfTheirBandAndTheOthersAreEmpty) {
  const Img sheet(img_from_pnm(asset_font_ppm));
  const std::set<std::uint32_t> bands = {0x00FF80, 0x0080FF, 0x80DCFF};
  std::set<std::uint32_t> punctuation;
  for (int code = 0; code < 32 * 10; ++code) {
    const std::set<std::uint32_t> colours = colours_in(sheet.get(), code % 32 * 8, code / 32 * 8);
    const auto in = [&](char first, char last) { return code >= first && code <= last; };
    const std::uint32_t band = in('0', '9') ? 0x00FF80 : in('A', 'Z') ? 0x0080FF
                               : in('a', 'z') ? 0x80DCFF : 0u;
    if (code < 33 || code > 126 || band != 0) {
      EXPECT_EQ(colours, code < 33 || code > 126 ? std::set<std::uint32_t>{} : std::set{band}) << code;
      continue;
    }
    ASSERT_EQ(colours.size(), 1u) << code;
    const std::uint32_t colour = *colours.begin();
    EXPECT_TRUE((colour >> 16) == 0xFF || (colour >> 8 & 0xFF) == 0xFF || (colour & 0xFF) == 0xFF) << code;
    EXPECT_FALSE(bands.contains(colour)) << code;
    punctuation.insert(colour);
  }
  EXPECT_GE(punctuation.size(), 3u);  // assorted
}

TEST(LogoStrip, EachCellIsTheFontsLetterTurnedCounterClockwiseInItsColour) {
  const Img font(img_from_pnm(asset_font_ppm)), strip(img_from_pnm(asset_strip_ppm));
  const std::pair<char, std::uint32_t> cells_from_top[] = {{'1', 0xFF0000}, {'7', 0xFFA500}, {'4', 0xFFFF00},
                                                           {'4', 0x80FF00}, {'U', 0x00FF00}, {'V', 0x00FF81},
                                                           {'O', 0x00FFFF}, {'N', 0x0080FF}};
  for (int i = 0; i < 8; ++i) {
    const auto [character, colour] = cells_from_top[i];
    EXPECT_EQ(colours_in(strip.get(), 0, i * 8), std::set{colour}) << character;
    const int left = character % 32 * 8, top = character / 32 * 8;
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {  // the glyph's top row is the cell's left column, read upwards
        const bool ink = img_get_pixel(font.get(), left + 7 - y, top + x) != 0;
        EXPECT_EQ(img_get_pixel(strip.get(), x, i * 8 + y) != 0, ink) << character << " at " << x << "," << y;
      }
    }
  }
}

TEST(LogoTiles, EachTileIsABrightLetterInsideAFrameOfItsDarkerShade) {
  const Img logo(img_from_pnm(asset_logo_ppm));
  const std::pair<std::uint32_t, std::uint32_t> tiles[] = {  // letter, plate
      {0xFF0000, 0x8B0000}, {0xFFA500, 0x8B5A00}, {0xFF00FF, 0x8B008B}, {0xFFFF00, 0x8B8B00}};
  int letters[4] = {};
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 64; ++x) {
      const auto [letter, plate] = tiles[x / 16];
      const std::uint32_t pixel = img_get_pixel(logo.get(), x, y);
      const bool frame = x % 16 == 0 || x % 16 == 15 || y == 0 || y == 15;
      EXPECT_TRUE(pixel == plate || (pixel == letter && !frame)) << x << "," << y;
      letters[x / 16] += pixel == letter;
    }
  }
  // Letters heavy enough to survive bending and dotting, on plates that still show.
  for (int letter : letters) EXPECT_TRUE(letter > 50 && letter < 256 - 100) << letter;
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
  std::string_view text = text_of(asset_scroll_text, asset_scroll_text_size);
  for (std::size_t end; (end = text.find('\n')) != text.npos; text.remove_prefix(end + 1)) {
    const std::string line(text.substr(0, end));
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
  // Upper case but for the quoted article; every address named is a fictional one.
  const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    for (std::size_t i = 0; i < blocks[b].size(); ++i) {
      const std::string& line = blocks[b][i];
      EXPECT_TRUE((b == 5 && i >= 4) || std::none_of(line.begin(), line.end(), lower)) << line;
      const bool address = line.find("WWW.") != line.npos || line.find('@') != line.npos;
      EXPECT_TRUE(!address || line.find(".EXAMPLE") != line.npos) << line;
    }
  }
}

}  // namespace
}  // namespace novu
