// The embedded pictures and texts, checked for what the drawing code and the scroller rely on:
// sizes, header layout, colours per cell or tile, the strip's turned letters, the text's blocks.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "assets/embedded.hpp"
#include "image/image.hpp"
#include "image/pnm.hpp"

namespace novu {
namespace {

struct Decoded {
  explicit Decoded(const unsigned char* bytes) : image(img_from_pnm(bytes)) {}
  ~Decoded() { img_destroy(&image); }
  Decoded(const Decoded&) = delete;
  Decoded& operator=(const Decoded&) = delete;
  std::uint32_t at(int x, int y) const { return image->pixels[y * image->width + x]; }
  Image* image;
};

struct EmbeddedPicture {
  const char* name;
  const unsigned char* bytes;
  std::size_t size;
  int width;
  int height;
  int comment_lines;
};

const EmbeddedPicture pictures[] = {
    {"font", asset_font_ppm, asset_font_ppm_size, 256, 80, 3},
    {"logo", asset_logo_ppm, asset_logo_ppm_size, 64, 16, 3},
    {"strip", asset_strip_ppm, asset_strip_ppm_size, 8, 64, 4},
};

TEST(EmbeddedPictures, HeaderIsMagicCommentsSizeAndMaximumThenExactlyThePixels) {
  for (const auto& picture : pictures) {
    SCOPED_TRACE(picture.name);
    const std::string_view bytes(reinterpret_cast<const char*>(picture.bytes), picture.size);
    ASSERT_TRUE(bytes.starts_with("P6\n"));
    std::size_t at = 3;
    int comments = 0;
    while (at < bytes.size() && bytes[at] == '#') {
      const std::size_t end = bytes.find('\n', at);
      ASSERT_NE(end, std::string_view::npos);
      at = end + 1;
      ++comments;
    }
    EXPECT_EQ(comments, picture.comment_lines);
    const std::string size_lines = std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
    ASSERT_EQ(bytes.substr(at, size_lines.size()), size_lines);
    EXPECT_EQ(bytes.size() - at - size_lines.size(), static_cast<std::size_t>(picture.width * picture.height * 3));
  }
}

TEST(EmbeddedPictures, DecodeToTheirStatedSize) {
  for (const auto& picture : pictures) {
    SCOPED_TRACE(picture.name);
    const Decoded decoded(picture.bytes);
    ASSERT_NE(decoded.image, nullptr);
    EXPECT_EQ(decoded.image->width, picture.width);
    EXPECT_EQ(decoded.image->height, picture.height);
  }
}

// --- font sheet ---

constexpr int cell = 8;
constexpr int cells_per_row = 32;

struct ColourBand {
  int first;
  int last;
  std::uint32_t colour;
};
const ColourBand bands[] = {{'0', '9', 0x00FF80}, {'A', 'Z', 0x0080FF}, {'a', 'z', 0x80DCFF}};

// The set of colours in the glyph cell of code, and its ink as one row-major mask.
struct Cell {
  std::set<std::uint32_t> colours;
  std::vector<bool> ink;
};

Cell cell_of(const Decoded& sheet, int code) {
  Cell result;
  const int left = code % cells_per_row * cell, top = code / cells_per_row * cell;
  for (int y = 0; y < cell; ++y) {
    for (int x = 0; x < cell; ++x) {
      const std::uint32_t pixel = sheet.at(left + x, top + y);
      if (pixel != 0) result.colours.insert(pixel);
      result.ink.push_back(pixel != 0);
    }
  }
  return result;
}

bool is_band_colour(std::uint32_t colour) {
  for (const auto& band : bands) {
    if (band.colour == colour) return true;
  }
  return false;
}

TEST(FontSheet, PrintableCellsHaveOneColourOfTheirBandAndTheOthersAreEmpty) {
  const Decoded sheet(asset_font_ppm);
  ASSERT_NE(sheet.image, nullptr);
  std::set<std::uint32_t> punctuation_colours;
  for (int code = 0; code < cells_per_row * 10; ++code) {
    SCOPED_TRACE(code);
    const Cell glyph = cell_of(sheet, code);
    if (code < 33 || code > 126) {
      EXPECT_TRUE(glyph.colours.empty());
      continue;
    }
    ASSERT_EQ(glyph.colours.size(), 1u);
    const std::uint32_t colour = *glyph.colours.begin();
    const ColourBand* band = nullptr;
    for (const auto& candidate : bands) {
      if (code >= candidate.first && code <= candidate.last) band = &candidate;
    }
    if (band) {
      EXPECT_EQ(colour, band->colour);
    } else {
      const bool bright = (colour >> 16) == 0xFF || (colour >> 8 & 0xFF) == 0xFF || (colour & 0xFF) == 0xFF;
      EXPECT_TRUE(bright) << std::hex << colour;
      EXPECT_FALSE(is_band_colour(colour)) << std::hex << colour;
      punctuation_colours.insert(colour);
    }
  }
  EXPECT_GE(punctuation_colours.size(), 3u);
}

TEST(FontSheet, NoTwoGlyphsLookAlike) {
  const Decoded sheet(asset_font_ppm);
  ASSERT_NE(sheet.image, nullptr);
  std::vector<std::vector<bool>> seen;
  for (int code = 33; code <= 126; ++code) {
    const Cell glyph = cell_of(sheet, code);
    for (std::size_t other = 0; other < seen.size(); ++other) {
      EXPECT_NE(glyph.ink, seen[other]) << "'" << char(code) << "' looks like '" << char(33 + other) << "'";
    }
    seen.push_back(glyph.ink);
  }
}

// Glyphs keep to the top-left 7 x 7 of their cell, so that neighbours in a line never touch;
// only the descenders and the underscore use the eighth row, and only the underscore the column.
TEST(FontSheet, OnlyDescendersAndTheUnderscoreLeaveTheTopLeftSevenBySeven) {
  const Decoded sheet(asset_font_ppm);
  ASSERT_NE(sheet.image, nullptr);
  const std::string_view may_use_row_7 = "gjpqy_", may_use_column_7 = "_";
  for (int code = 33; code <= 126; ++code) {
    SCOPED_TRACE(char(code));
    const Cell glyph = cell_of(sheet, code);
    bool row_7 = false, column_7 = false;
    for (int i = 0; i < cell; ++i) {
      row_7 = row_7 || glyph.ink[7 * cell + i];
      column_7 = column_7 || glyph.ink[i * cell + 7];
    }
    EXPECT_EQ(row_7, may_use_row_7.find(char(code)) != std::string_view::npos);
    EXPECT_EQ(column_7, may_use_column_7.find(char(code)) != std::string_view::npos);
  }
}

// --- logo strip ---

struct StripCell {
  char character;
  std::uint32_t colour;
};
const StripCell strip_cells_from_top[] = {{'1', 0xFF0000}, {'7', 0xFFA500}, {'4', 0xFFFF00}, {'4', 0x80FF00},
                                          {'U', 0x00FF00}, {'V', 0x00FF81}, {'O', 0x00FFFF}, {'N', 0x0080FF}};

TEST(LogoStrip, EachCellIsTheFontsLetterTurnedCounterClockwiseInItsColour) {
  const Decoded font(asset_font_ppm), strip(asset_strip_ppm);
  ASSERT_NE(font.image, nullptr);
  ASSERT_NE(strip.image, nullptr);
  for (int i = 0; i < 8; ++i) {
    const auto& expected = strip_cells_from_top[i];
    SCOPED_TRACE(expected.character);
    const int code = expected.character;
    const int glyph_left = code % cells_per_row * cell, glyph_top = code / cells_per_row * cell;
    int ink = 0;
    for (int y = 0; y < cell; ++y) {
      for (int x = 0; x < cell; ++x) {
        const std::uint32_t pixel = strip.at(x, i * cell + y);
        // Turned counter-clockwise, the glyph's top row is the cell's left column, read upwards.
        const bool glyph_ink = font.at(glyph_left + cell - 1 - y, glyph_top + x) != 0;
        EXPECT_EQ(pixel != 0, glyph_ink) << "at " << x << "," << y;
        if (pixel != 0) {
          EXPECT_EQ(pixel, expected.colour);
        }
        ink += pixel != 0;
      }
    }
    EXPECT_GT(ink, 0);
  }
}

// --- logo tiles ---

struct LogoTile {
  std::uint32_t letter;
  std::uint32_t plate;
};
const LogoTile logo_tiles[] = {{0xFF0000, 0x8B0000}, {0xFFA500, 0x8B5A00}, {0xFF00FF, 0x8B008B}, {0xFFFF00, 0x8B8B00}};

TEST(LogoTiles, EachTileIsABrightLetterInsideAFrameOfItsDarkerShade) {
  const Decoded logo(asset_logo_ppm);
  ASSERT_NE(logo.image, nullptr);
  for (int t = 0; t < 4; ++t) {
    SCOPED_TRACE(t);
    int letter = 0, plate = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const std::uint32_t pixel = logo.at(t * 16 + x, y);
        ASSERT_TRUE(pixel == logo_tiles[t].letter || pixel == logo_tiles[t].plate) << std::hex << pixel;
        const bool frame = x == 0 || y == 0 || x == 15 || y == 15;
        if (frame) {
          EXPECT_EQ(pixel, logo_tiles[t].plate) << "frame at " << x << "," << y;
        }
        (pixel == logo_tiles[t].letter ? letter : plate)++;
      }
    }
    // A letter heavy enough to survive bending and dotting, on a plate that still shows.
    EXPECT_GT(letter, 50);
    EXPECT_GT(plate, 100);
  }
}

// --- texts ---

struct EmbeddedText {
  const char* name;
  const unsigned char* bytes;
  std::size_t size;
  const char* holds;  // a phrase the text must carry word for word
};

const EmbeddedText texts[] = {
    {"scroll", asset_scroll_text, asset_scroll_text_size, "ESC,Q: EXIT  \n"},
    {"article 3", asset_article3_text, asset_article3_text_size,
     "Everyone has the right to life, liberty and security of person."},
    {"rights", asset_rights_text, asset_rights_text_size, "All rights reserved."},
    {"no warranty", asset_no_warranty_text, asset_no_warranty_text_size, "without warranty of any kind"},
};

std::string_view text_of(const EmbeddedText& text) {
  return std::string_view(reinterpret_cast<const char*>(text.bytes), text.size);
}

TEST(EmbeddedTexts, AreWholeLinesOfCharactersTheFontHas) {
  for (const auto& text : texts) {
    SCOPED_TRACE(text.name);
    const std::string_view bytes = text_of(text);
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(text.bytes)), text.size);  // a C string, NUL only at the end
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\n');
    for (const char c : bytes) EXPECT_TRUE(c == '\n' || (c >= 32 && c <= 126)) << int(c);
    EXPECT_NE(bytes.find(text.holds), std::string_view::npos);
  }
}

const std::string separator(14, ' ');

std::vector<std::string> lines_of(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t end; (end = text.find('\n')) != std::string_view::npos; text.remove_prefix(end + 1)) {
    lines.emplace_back(text.substr(0, end));
  }
  return lines;
}

std::string trimmed(const std::string& line) {
  return line.substr(0, line.find_last_not_of(' ') + 1);
}

// The scroll text's blocks, each ended by a separator line.
std::vector<std::vector<std::string>> scroll_blocks() {
  std::vector<std::vector<std::string>> blocks(1);
  for (const std::string& line : lines_of(text_of(texts[0]))) {
    if (line == separator) {
      blocks.emplace_back();
    } else {
      blocks.back().push_back(line);
    }
  }
  return blocks;
}

enum { lead_in, title, keys, pixels, greetings, article, visit, contact, authors, countdown, blocks_in_all };

TEST(ScrollText, HasItsBlocksInOrderEachEndedByASeparator) {
  EXPECT_GE(asset_scroll_text_size, 1100u);
  EXPECT_LE(asset_scroll_text_size, 1300u);
  const auto blocks = scroll_blocks();
  ASSERT_EQ(blocks.size(), std::size_t{blocks_in_all + 1});
  EXPECT_TRUE(blocks.back().empty()) << "the text ends with a separator";
  const std::size_t lines_per_block[blocks_in_all] = {2, 4, 6, 2, 13, 13, 1, 1, 3, 1};
  for (int b = 0; b < blocks_in_all; ++b) EXPECT_EQ(blocks[b].size(), lines_per_block[b]) << "block " << b;
  EXPECT_EQ(blocks[lead_in], (std::vector<std::string>{"", ""}));
}

TEST(ScrollText, BlocksSayWhatTheyShould) {
  const auto blocks = scroll_blocks();
  ASSERT_EQ(blocks.size(), std::size_t{blocks_in_all + 1});
  EXPECT_EQ(blocks[keys], (std::vector<std::string>{"PRESS KEYS: ", "ESC,Q: EXIT  ", "SPACE: NEXT PART  ",
                                                    "8: SHOW F.P.S. ON/OFF   ", "9: FULL SPEED ON/OFF   ",
                                                    "ASDFG: SCROLL SPEED    "}));
  const struct {
    int block;
    std::size_t line;
    const char* phrase;
  } phrases[] = {
      {title, 0, "NOVU"},      {title, 1, "DEMO 4471"}, {title, 2, "2026-12-06"}, {title, 3, "SDL VERSION"},
      {pixels, 0, "NOVU"},     {pixels, 1, "PIXELS"},   {article, 0, "UNIVERSAL"}, {article, 1, "HUMAN RIGHTS"},
      {article, 2, "1948-12-10"}, {article, 3, "ARTICLE 7"}, {visit, 0, "VISIT"},   {contact, 0, "@"},
      {authors, 2, "RIGHTS"},
  };
  for (const auto& p : phrases) {
    EXPECT_NE(blocks[p.block][p.line].find(p.phrase), std::string::npos) << blocks[p.block][p.line];
  }
  EXPECT_EQ(trimmed(blocks[countdown][0]), "9.8.7.6.5.4.3.2.1.0");
  for (std::size_t i = 1; i + 1 < blocks[greetings].size(); ++i) {
    EXPECT_TRUE(trimmed(blocks[greetings][i]).ends_with(',')) << blocks[greetings][i];
  }
  EXPECT_TRUE(trimmed(blocks[greetings].back()).ends_with("...")) << blocks[greetings].back();
}

TEST(ScrollText, QuotesArticle7WordForWordAndIsUpperCaseElsewhere) {
  const auto blocks = scroll_blocks();
  ASSERT_EQ(blocks.size(), std::size_t{blocks_in_all + 1});
  std::string quoted;
  for (std::size_t i = 4; i < blocks[article].size(); ++i) {
    if (!quoted.empty()) quoted += ' ';
    quoted += trimmed(blocks[article][i]);
  }
  EXPECT_EQ(quoted,
            "All are equal before the law and are entitled without any discrimination to equal protection of the "
            "law. All are entitled to equal protection against any discrimination in violation of this Declaration "
            "and against any incitement to such discrimination.");
  for (int b = 0; b < blocks_in_all; ++b) {
    for (std::size_t i = 0; i < blocks[b].size(); ++i) {
      if (b == article && i >= 4) continue;
      for (const char c : blocks[b][i]) EXPECT_FALSE(c >= 'a' && c <= 'z') << blocks[b][i];
    }
  }
}

// Every address named is a fictional one.
TEST(ScrollText, WebSitesAndMailAddressesAreInTheExampleDomain) {
  int addresses = 0;
  for (const std::string& line : lines_of(text_of(texts[0]))) {
    for (const std::string_view marker : {"WWW.", "@"}) {
      const std::size_t at = line.find(marker);
      if (at == std::string::npos) continue;
      const std::size_t end = line.find_first_of(" ,", at);
      std::string address = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
      while (address.ends_with('.')) address.pop_back();
      EXPECT_TRUE(address.ends_with(".EXAMPLE")) << address;
      ++addresses;
    }
  }
  EXPECT_GE(addresses, 3);
}

}  // namespace
}  // namespace novu
