#pragma once
// FONT: fixed-size glyphs cut from a glyph sheet in which the glyph of character code n sits in
// cell n of a grid read left to right, top to bottom. Glyphs keep the sheet's colours; 0 is
// transparent.

#include <cstdint>

#include "image/image.hpp"

namespace novu {

struct Font {
  std::int32_t glyph_width;  // cell width, also the pen advance
  std::int32_t glyph_height;
  Image* sheet;  // owned
};

// 6 x 6 cells, no sheet. The caller sets the cell size and hands over a sheet.
Font* font_create() noexcept;
// Destroys the sheet too.
void font_destroy(Font** font) noexcept;

// Codes are signed: bytes 0x80-0xFF of a text are -128..-1, whose cells lie left of the sheet,
// so they draw nothing.
void font_draw_char(const Font* font, std::int32_t code, std::int32_t x, std::int32_t y,
                    Image* destination) noexcept;
// Up to the first newline or NUL; the pen advances a glyph width per byte.
void font_draw_string(const Font* font, const char* text, std::int32_t x, std::int32_t y,
                      Image* destination) noexcept;
// Upper-case hexadecimal digits, most significant first, one cell each, no leading-zero
// suppression.
void font_draw_hex8(const Font* font, std::uint8_t value, std::int32_t x, std::int32_t y,
                    Image* destination) noexcept;
void font_draw_hex16(const Font* font, std::uint16_t value, std::int32_t x, std::int32_t y,
                     Image* destination) noexcept;
void font_draw_hex32(const Font* font, std::uint32_t value, std::int32_t x, std::int32_t y,
                     Image* destination) noexcept;

}  // namespace novu
