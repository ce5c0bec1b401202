#pragma once
// SDLDPY, keyboard side: once per frame the system's event queue is drained into a one-byte slot.

#include <cstdint>

namespace novu {

inline constexpr std::int32_t keys_buffer_size = 8;

struct Keys {
  std::uint8_t* buffer;  // keys_buffer_size bytes; byte 0 is the key slot, the rest unused
};

// The one Keys record (the same one on every call); null when no display is open or the heap
// is exhausted.
Keys* sdldpy_keys_create() noexcept;
// After the poll the slot holds the low byte of the last key pressed, or 0 when the last key
// event was a release (of any key). Other events are drained and ignored.
void sdldpy_keys_poll(Keys* keys) noexcept;
void sdldpy_keys_destroy(Keys** keys) noexcept;

// A request to stop from outside the program (SIGINT or SIGTERM, caught from sdldpy_open on):
// the first one's signal number, or 0. It never reaches the key slot.
int sdldpy_stop_signal() noexcept;

}  // namespace novu
