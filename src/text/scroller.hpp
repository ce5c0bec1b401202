#pragma once
// SCROLL: one endless line of text moving sideways across an image, one glyph high. The text
// repeats without a seam; a newline shows as a one-glyph gap.

#include <cstdint>

#include "image/image.hpp"
#include "text/cursor.hpp"
#include "text/font.hpp"

namespace novu {

struct Scroller {
  std::int32_t x;            // left edge of the line in the target
  std::int32_t y;            // top edge; the caller moves it at will
  std::int32_t view_width;   // the strip to cover: the target's width at set-up
  std::int32_t line_height;  // the font's glyph height at set-up
  std::int32_t speed;        // pixels per step; positive reads forward (moves left)
  std::int32_t offset;       // pixels the first glyph has moved out past x
  const char* text;          // NUL-terminated, not owned
  Cursor* cursor;            // the character drawn first, owned
  Font* font;                // borrowed after set-up
  Image* target;             // not owned
  Font* own_font;            // the default font made by scroller_create, until set-up frees it
};

// Default text and an owned 6 x 6 font without sheet, speed 1, no target; null when the heap is
// exhausted.
Scroller* scroller_create() noexcept;
// Binds the four; does nothing unless all are given. An empty text is refused too: it has no
// character to start from.
void scroller_setup(Scroller* scroller, const char* text, Font* font, Image* target) noexcept;
void scroller_step(Scroller* scroller) noexcept;
void scroller_draw(Scroller* scroller) noexcept;
void scroller_destroy(Scroller** scroller) noexcept;

}  // namespace novu
