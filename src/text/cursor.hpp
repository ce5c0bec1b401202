#pragma once
// CURSOR: a small wrapping index, the scroller's place in its text.

#include <cstdint>

namespace novu {

struct Cursor {
  std::int32_t length;  // positions run 0 .. length - 1
  std::int32_t step;    // added by cursor_advance; may be negative
  std::int32_t position;
  std::int32_t saved_position;
};

// length 16, step 1, position 0.
Cursor* cursor_create() noexcept;
void cursor_init(Cursor* cursor, std::int32_t length, std::int32_t step) noexcept;
// A cursor without positions (length <= 0) stays where it is.
void cursor_advance(Cursor* cursor) noexcept;
void cursor_save(Cursor* cursor) noexcept;
void cursor_restore(Cursor* cursor) noexcept;
// position = value mod length (truncating); returns value div length. Without positions it
// changes nothing and returns 0.
std::int32_t cursor_set_position(Cursor* cursor, std::int32_t value) noexcept;
void cursor_destroy(Cursor** cursor) noexcept;

}  // namespace novu
