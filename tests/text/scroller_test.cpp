#include "text/scroller.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "support/pictures.hpp"

namespace novu {

constexpr std::uint32_t paper = 0xEEEEEE;
constexpr const char* letters = "ABCDEFGHIJKL";
using OwnedScroller = std::unique_ptr<Scroller, decltype([](Scroller* s) { scroller_destroy(&s); })>;

static std::string runs(const Img& image, std::int32_t row) {  // "A30B2": 30 columns of A, 2 of B; "." paper
  std::string out;
  for (std::int32_t x = 0, start = 0; x < image->width; ++x) {
    const std::uint32_t p = img_get_pixel(image.get(), x, row);
    if (x + 1 < image->width && img_get_pixel(image.get(), x + 1, row) == p) continue;
    out += (p == paper ? '.' : static_cast<char>(p)) + std::to_string(x + 1 - start);
    start = x + 1;
  }
  return out;
}

TEST(Cursor, AdvancesIntoRangeAndSetsByTruncatingDivision) {
  const struct Case { std::int32_t length, position, step, advanced, set_to, quotient; } cases[] = {
      {5, 4, 3, 2, 3, 0}, {5, 1, -7, 4, -2, -1}, {5, 0, -5, 0, 0, -1}, {5, 2, 13, 0, 3, 2},
      {7, 6, INT32_MIN, 4, -2, -306783378}, {0, 3, 9, 3, 3, 0}};  // length 0: nothing moves
  for (const Case& c : cases) {  // advancing position by step; setting the position to step
    Cursor cursor{c.length, c.step, c.position, 0}, set{c.length, 1, c.position, 0};
    cursor_advance(&cursor);
    EXPECT_EQ(std::tuple(cursor.position, cursor_set_position(&set, c.step), set.position),
              std::tuple(c.advanced, c.quotient, c.set_to)) << c.length << " " << c.position << " " << c.step;
  }
}

TEST(Scroller, StepsByWholeGlyphsAndDrawsTheTextRepeatingFromTheCursorOnceSetUp) {
  // 32 x 32 cells in the colour 0x5500nn of code nn, all 256 of them; the newline's is empty as in the system's.
  Font* font = font_create();
  font->glyph_width = font->glyph_height = 32;
  font->sheet = picture(8192, 32, [](int x, int) { return x / 32 == '\n' ? 0u : 0x550000u | x / 32; }).release();
  // A step, then a draw of view_width div 32 + 2 glyphs at x - offset + 32 i, leaving the cursor.
  struct Case { const char *text, *row; std::int32_t position, offset, speed, x, view_width, to_position, to_offset; };
  const Case cases[] = {
      {letters, "G30H32I32J32K32L32A32B32C32D32.66", 5, 30, 4, 0, 256, 6, 2},
      {letters, "E3F32G32H32I32J32K32L32A32B32.93", 5, 1, -4, 0, 256, 4, 29},
      {letters, "L2A32B32C32D32E32F32G32H32I32.94", 0, 0, -2, 0, 256, 11, 30},
      {letters, "G32H32I32J32K32L32A32B32C32D32.64", 5, 0, 32, 0, 256, 6, 0},
      {letters, "F32G32H32I32J32K32L32A32B32C32.64", 5, 2, -2, 0, 256, 5, 0},
      {letters, "I28J32K32L32A32B32C32D32E32F32.68", 5, 0, 100, 0, 256, 8, 4},
      {letters, "C1D32E32F32G32H32I32J32K32L32.95", 5, 5, -70, 0, 256, 2, 31},
      {letters, ".32A32B32C32D32E32F32G32H32I32J32.32", 0, 8, 0, 40, 256, 0, 8},
      {letters, "D27E32F32G32H32I32J32.165", 0, 5, 0, -96, 256, 0, 5},
      {"ABC", "C32A32B32C32A32B32C32A32B32C32.64", 2, 0, 0, 0, 256, 2, 0},
      {"A\nB\x80" "C", "A32.32B32.32C32A32.32B32.32C32.64", 0, 0, 0, 0, 256, 0, 0},
      {letters, "A32B32C32.288", 0, 0, 0, 0, 63, 0, 0}};
  for (const Case& c : cases) {
    const Img target = filled(384, 40, paper);
    const OwnedScroller s(scroller_create());
    scroller_setup(s.get(), c.text, font, target.get());
    std::tie(s->cursor->position, s->offset, s->speed, s->x, s->view_width, s->y) =
        std::tuple(c.position, c.offset, c.speed, c.x, c.view_width, 4);
    scroller_step(s.get());
    scroller_draw(s.get());
    EXPECT_EQ(std::tuple(s->cursor->position, s->offset, s->cursor->step, runs(target, 4), runs(target, 35)),
              std::tuple(c.to_position, c.to_offset, 1, c.row, c.row)) << c.text << " " << c.speed;
  }
  const Img target = filled(200, 40, paper);
  const OwnedScroller s(scroller_create()), own(scroller_create());
  s->target = target.get();
  scroller_draw(s.get());  // created, not set up: its own font has no sheet
  EXPECT_EQ(std::tuple(std::string(s->text), s->cursor->length, s->speed, runs(target, 0)),
            std::tuple("A scroll's default text. ", 25, 1, ".200"));
  std::tie(s->x, s->y, s->speed, s->offset) = std::tuple(5, 5, 7, 3);
  scroller_setup(s.get(), "ABC", font, target.get());
  scroller_setup(own.get(), "AB", own->font, target.get());  // handed its own font back, it keeps it
  EXPECT_EQ(std::tuple(s->x, s->y, s->view_width, s->line_height, s->speed, s->offset, s->cursor->length,
                       s->cursor->position, s->font, s->target, s->own_font, own->font, own->line_height),
            std::tuple(0, 0, 200, 32, 7, 3, 3, 0, font, target.get(), nullptr, own->own_font, 6));
  font->glyph_width = 0;  // empty glyphs: no division, no endless line
  scroller_step(s.get());
  scroller_draw(s.get());
  EXPECT_EQ(std::tuple(s->offset, s->cursor->position, runs(target, 0)), std::tuple(3, 0, ".200"));
  font_destroy(&font);
}

}  // namespace novu
