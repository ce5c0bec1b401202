#include "platform/keys.hpp"

#include "base/alloc.hpp"
#include "platform/display.hpp"
#include "platform/system.hpp"

namespace novu {

namespace {
Keys* the_keys = nullptr;
}  // namespace

Keys* sdldpy_keys_create() noexcept {
  if (!sdldpy_is_open()) return nullptr;
  if (the_keys != nullptr) return the_keys;
  Keys* keys = mem_new<Keys>();
  if (keys == nullptr) return nullptr;
  keys->buffer = mem_new<std::uint8_t>(keys_buffer_size);
  if (keys->buffer == nullptr) {
    mem_free(keys);
    return nullptr;
  }
  the_keys = keys;
  return keys;
}

void sdldpy_keys_poll(Keys* keys) noexcept {
  if (keys == nullptr || keys->buffer == nullptr) return;
  SysEvent event{};
  while (sys_poll_event(&event)) {
    if (event.type == sys_event_key_down) {
      keys->buffer[0] = static_cast<std::uint8_t>(event.sym & 0xFF);
    } else if (event.type == sys_event_key_up) {
      keys->buffer[0] = 0;
    }
  }
}

int sdldpy_stop_signal() noexcept { return sys_stop_signal(); }

void sdldpy_keys_destroy(Keys** keys) noexcept {
  if (keys == nullptr || *keys == nullptr) return;
  if (*keys == the_keys) the_keys = nullptr;
  mem_free((*keys)->buffer);
  mem_free(*keys);
  *keys = nullptr;
}

}  // namespace novu
