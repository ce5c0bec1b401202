#include "text/cursor.hpp"

#include "base/alloc.hpp"
#include "base/wrap.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_length = 16;
}  // namespace

Cursor* cursor_create() noexcept {
  Cursor* cursor = mem_new<Cursor>();
  if (cursor == nullptr) return nullptr;
  cursor->length = default_length;
  cursor->step = 1;
  return cursor;
}

void cursor_init(Cursor* cursor, std::int32_t length, std::int32_t step) noexcept {
  if (cursor == nullptr) return;
  cursor->length = length;
  cursor->step = step;
  cursor->position = 0;
}

// Walking back by whole lengths into [0, length) is the floor modulo, in one step however far
// the step reaches.
void cursor_advance(Cursor* cursor) noexcept {
  if (cursor == nullptr || cursor->length <= 0) return;
  cursor->position = mod_floor(wrap_add(cursor->position, cursor->step), cursor->length);
}

void cursor_save(Cursor* cursor) noexcept {
  if (cursor != nullptr) cursor->saved_position = cursor->position;
}

void cursor_restore(Cursor* cursor) noexcept {
  if (cursor != nullptr) cursor->position = cursor->saved_position;
}

std::int32_t cursor_set_position(Cursor* cursor, std::int32_t value) noexcept {
  if (cursor == nullptr || cursor->length <= 0) return 0;
  cursor->position = rem_trunc(value, cursor->length);
  return div_trunc(value, cursor->length);
}

void cursor_destroy(Cursor** cursor) noexcept {
  if (cursor == nullptr || *cursor == nullptr) return;
  mem_free(*cursor);
  *cursor = nullptr;
}

}  // namespace novu
