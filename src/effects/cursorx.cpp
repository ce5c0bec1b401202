#include "effects/cursorx.hpp"

#include "base/alloc.hpp"
#include "base/sine_table.hpp"
#include "base/wrap.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_offset_step = 2;

// The cursor's reduction: the truncating remainder, moved up by `length` when negative. For a
// positive length the result lies in [0, length).
std::int32_t reduce(std::int32_t value, std::int32_t length) noexcept {
  const std::int32_t r = rem_trunc(value, length);
  return r < 0 ? wrap_add(r, length) : r;
}

// A length of 0 freezes the position.
std::int32_t place(CursorX* cursor) noexcept {
  if (cursor->length != 0) cursor->position = reduce(wrap_add(cursor->offset, cursor->phase), cursor->length);
  return cursor->position;
}
}  // namespace

CursorX* cursorx_create() noexcept {
  CursorX* cursor = mem_new<CursorX>();
  if (cursor == nullptr) return nullptr;
  cursor->length = sine_table_length;
  cursor->speed = 1;
  cursor->offset_step = default_offset_step;
  return cursor;
}

std::int32_t cursorx_set_offset(CursorX* cursor, std::int32_t value) noexcept {
  if (cursor == nullptr) return value;
  cursor->offset = value;
  return place(cursor);
}

std::int32_t cursorx_step(CursorX* cursor) noexcept {
  if (cursor == nullptr) return 0;
  cursor->offset = wrap_add(cursor->offset, cursor->offset_step);
  return place(cursor);
}

// The phase walks back into [0, length) by whole lengths, which for a positive length is the
// floor modulo; a negative length would never get there and freezes the cursor like 0.
std::int32_t cursorx_advance(CursorX* cursor) noexcept {
  if (cursor == nullptr) return 0;
  if (cursor->length <= 0) return cursor->position;
  cursor->phase = mod_floor(wrap_add(cursor->phase, cursor->speed), cursor->length);
  return place(cursor);
}

void cursorx_update(CursorX* cursor) noexcept {
  if (cursor != nullptr) place(cursor);
}

// A negative multiple of the length gives the phase `length` itself, not 0.
std::int32_t cursorx_set_phase(CursorX* cursor, std::int32_t value) noexcept {
  if (cursor == nullptr || cursor->length == 0) return value;
  const std::int32_t r = rem_trunc(value, cursor->length);
  cursor->phase = value >= 0 ? r : wrap_add(cursor->length, r);
  return place(cursor);
}

std::int32_t cursorx_restart(CursorX* cursor, std::int32_t value) noexcept {
  if (cursor == nullptr) return value;
  cursor->offset = 0;
  cursorx_set_phase(cursor, value);
  return cursor->position;
}

std::int32_t cursorx_set_length(CursorX* cursor, std::int32_t value) noexcept {
  if (cursor == nullptr || value < 0) return value;
  cursor->length = value;
  return cursorx_set_phase(cursor, cursor->phase);
}

void cursorx_set(CursorX* cursor, std::int32_t length, std::int32_t phase, std::int32_t speed,
                 std::int32_t offset, std::int32_t offset_step) noexcept {
  if (cursor == nullptr) return;
  if (length >= 0) cursorx_set_length(cursor, length);
  cursorx_set_phase(cursor, phase);
  cursor->offset = offset;
  place(cursor);
  cursor->speed = speed;
  cursor->offset_step = offset_step;
}

}  // namespace novu
