#pragma once
// CURSORX: the wave cursor that walks an index through the sine table. A slow phase moves by
// `speed` once per frame (cursorx_advance), a fast offset by `offset_step` once per drawn line
// (cursorx_step); their sum reduced into [0, length) is the table index.

#include <cstdint>

namespace novu {

struct CursorX {
  std::int32_t length;       // modulus of position; 0 freezes the cursor
  std::int32_t position;     // (phase + offset) reduced into [0, length)
  std::int32_t phase;        // kept in [0, length) by cursorx_advance
  std::int32_t speed;        // added to phase by cursorx_advance
  std::int32_t offset;       // not reduced, may grow
  std::int32_t offset_step;  // added to offset by cursorx_step
};

// Defaults: length sine_table_length, position 0, phase 0, speed 1, offset 0, offset_step 2.
// The owner releases it with mem_free.
CursorX* cursorx_create() noexcept;

// Operations on a null cursor do nothing; those returning a value argument then return it.
std::int32_t cursorx_set_offset(CursorX* cursor, std::int32_t value) noexcept;
std::int32_t cursorx_step(CursorX* cursor) noexcept;
std::int32_t cursorx_advance(CursorX* cursor) noexcept;
void cursorx_update(CursorX* cursor) noexcept;
std::int32_t cursorx_set_phase(CursorX* cursor, std::int32_t value) noexcept;
std::int32_t cursorx_restart(CursorX* cursor, std::int32_t value) noexcept;
std::int32_t cursorx_set_length(CursorX* cursor, std::int32_t value) noexcept;
void cursorx_set(CursorX* cursor, std::int32_t length, std::int32_t phase, std::int32_t speed,
                 std::int32_t offset, std::int32_t offset_step) noexcept;

}  // namespace novu
