#include "text/scroller.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/alloc.hpp"
#include "base/wrap.hpp"

namespace novu {

namespace {
constexpr char default_text[] = "A scroll's default text. ";
constexpr std::int32_t default_text_length = sizeof default_text - 1;

void release_parts(Scroller* scroller) noexcept {
  cursor_destroy(&scroller->cursor);
  font_destroy(&scroller->own_font);
}
}  // namespace

Scroller* scroller_create() noexcept {
  Scroller* scroller = mem_new<Scroller>();
  if (scroller == nullptr) return nullptr;
  scroller->cursor = cursor_create();
  scroller->own_font = font_create();
  if (scroller->cursor == nullptr || scroller->own_font == nullptr) {
    release_parts(scroller);
    mem_free(scroller);
    return nullptr;
  }
  scroller->text = default_text;
  cursor_init(scroller->cursor, default_text_length, 1);
  scroller->font = scroller->own_font;
  scroller->speed = 1;
  return scroller;
}

// The new cursor comes first, so that running out of memory leaves the old binding working.
void scroller_setup(Scroller* scroller, const char* text, Font* font, Image* target) noexcept {
  if (scroller == nullptr || text == nullptr || font == nullptr || target == nullptr) return;
  const std::size_t length = std::strlen(text);
  if (length == 0 || length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return;
  Cursor* cursor = cursor_create();
  if (cursor == nullptr) return;
  cursor_init(cursor, static_cast<std::int32_t>(length), 1);
  cursor_destroy(&scroller->cursor);
  // Handed back its own default font, the scroller keeps owning it rather than bind a freed one.
  if (scroller->own_font != font) font_destroy(&scroller->own_font);
  scroller->text = text;
  scroller->cursor = cursor;
  scroller->x = 0;
  scroller->y = 0;
  scroller->view_width = target->width;
  scroller->line_height = font->glyph_height;
  scroller->target = target;
  scroller->font = font;
}

// A speed of a glyph width or more moves the cursor by several characters at once.
void scroller_step(Scroller* scroller) noexcept {
  if (scroller == nullptr || scroller->text == nullptr || scroller->cursor == nullptr ||
      scroller->font == nullptr || scroller->font->glyph_width <= 0)
    return;
  const std::int32_t g = scroller->font->glyph_width;
  std::int32_t offset = wrap_add(scroller->offset, scroller->speed);
  if (offset >= g) {
    scroller->cursor->step = div_trunc(offset, g);
    cursor_advance(scroller->cursor);
    offset = rem_trunc(offset, g);
  } else if (offset < 0) {
    offset = wrap_sub(offset, g);
    scroller->cursor->step = div_trunc(offset, g);
    cursor_advance(scroller->cursor);
    offset = rem_trunc(offset, g) + g;
  }
  scroller->offset = offset;
}

// Glyphs wholly left of the target are passed over by moving the cursor past them in one go,
// and the first glyph at or beyond its right edge ends the line: none of them would draw a
// pixel, and a line poked far outside or far wider than the target must not cost time per glyph.
void scroller_draw(Scroller* scroller) noexcept {
  if (scroller == nullptr || scroller->text == nullptr || scroller->cursor == nullptr ||
      scroller->target == nullptr || scroller->font == nullptr || scroller->font->glyph_width <= 0)
    return;
  Cursor* cursor = scroller->cursor;
  // A position outside the text would be read outside it.
  if (cursor->position < 0 || cursor->position >= cursor->length) return;
  const std::int64_t g = scroller->font->glyph_width;
  const std::int64_t count = wrap_add(div_trunc(scroller->view_width, scroller->font->glyph_width), 2);
  const std::int64_t left = std::int64_t{scroller->x} - scroller->offset;
  const std::int64_t hidden = left < 0 ? std::min(-left / g, count < 0 ? 0 : count) : 0;
  cursor_save(cursor);
  cursor->step = 1;
  cursor->position = static_cast<std::int32_t>((cursor->position + hidden % cursor->length) % cursor->length);
  for (std::int64_t i = hidden; i < count; ++i) {
    const std::int64_t at = left + i * g;
    if (at >= scroller->target->width) break;
    font_draw_char(scroller->font, static_cast<std::int8_t>(scroller->text[cursor->position]),
                   static_cast<std::int32_t>(at), scroller->y, scroller->target);
    cursor_advance(cursor);
  }
  cursor_restore(cursor);
}

void scroller_destroy(Scroller** scroller) noexcept {
  if (scroller == nullptr || *scroller == nullptr) return;
  release_parts(*scroller);
  mem_free(*scroller);
  *scroller = nullptr;
}

}  // namespace novu
