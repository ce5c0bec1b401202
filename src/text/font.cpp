#include "text/font.hpp"

#include "base/alloc.hpp"
#include "base/wrap.hpp"
#include "image/blit.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_glyph_side = 6;

// Digits of `value`, most significant first, `digits` nibbles of it.
void draw_hex(const Font* font, std::uint32_t value, int digits, std::int32_t x, std::int32_t y,
              Image* destination) noexcept {
  if (font == nullptr) return;
  for (int k = 0; k < digits; ++k) {
    const std::uint32_t digit = value >> (4 * (digits - 1 - k)) & 0xF;
    const std::int32_t code = static_cast<std::int32_t>(digit < 10 ? '0' + digit : 'A' + digit - 10);
    font_draw_char(font, code, wrap_add(x, wrap_mul(k, font->glyph_width)), y, destination);
  }
}
}  // namespace

Font* font_create() noexcept {
  Font* font = mem_new<Font>();
  if (font == nullptr) return nullptr;
  font->glyph_width = default_glyph_side;
  font->glyph_height = default_glyph_side;
  return font;
}

void font_destroy(Font** font) noexcept {
  if (font == nullptr || *font == nullptr) return;
  img_destroy(&(*font)->sheet);
  mem_free(*font);
  *font = nullptr;
}

// The cell of code n starts n glyph widths into the sheet read as one long strip that breaks at
// the sheet's width. Negative codes land left of the sheet, and the clipped copy draws nothing.
void font_draw_char(const Font* font, std::int32_t code, std::int32_t x, std::int32_t y,
                    Image* destination) noexcept {
  if (font == nullptr || !img_has_pixels(font->sheet) || font->sheet->width <= 0) return;
  const std::int32_t along = wrap_mul(code, font->glyph_width);
  const std::int32_t sx = rem_trunc(along, font->sheet->width);
  const std::int32_t sy = wrap_mul(div_trunc(along, font->sheet->width), font->glyph_height);
  img_blit(font->sheet, destination, sx, sy, x, y, font->glyph_width, font->glyph_height);
}

void font_draw_string(const Font* font, const char* text, std::int32_t x, std::int32_t y,
                      Image* destination) noexcept {
  if (font == nullptr || text == nullptr) return;
  for (const char* at = text; *at != '\0' && *at != '\n'; ++at) {
    font_draw_char(font, static_cast<std::int8_t>(*at), x, y, destination);
    x = wrap_add(x, font->glyph_width);
  }
}

void font_draw_hex8(const Font* font, std::uint8_t value, std::int32_t x, std::int32_t y,
                    Image* destination) noexcept {
  draw_hex(font, value, 2, x, y, destination);
}

void font_draw_hex16(const Font* font, std::uint16_t value, std::int32_t x, std::int32_t y,
                     Image* destination) noexcept {
  draw_hex(font, value, 4, x, y, destination);
}

void font_draw_hex32(const Font* font, std::uint32_t value, std::int32_t x, std::int32_t y,
                     Image* destination) noexcept {
  draw_hex(font, value, 8, x, y, destination);
}

}  // namespace novu
