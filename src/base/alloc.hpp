#pragma once
// The program's one allocation point. Every record and buffer comes from here zero-filled, so a
// failed allocation is always a null result the caller can test, and tests can make any chosen
// allocation fail to exercise the recovery paths.

#include <cstddef>

namespace novu {

// calloc-like: count * size bytes, all zero; null when the product overflows or the heap says no.
void* mem_alloc(std::size_t count, std::size_t size) noexcept;
void mem_free(void* block) noexcept;

// What the program holds from the allocation point right now: a run that leaks or grows shows
// here, whatever the allocator underneath.
struct MemUse {
  long blocks;
  long bytes;
  bool operator==(const MemUse&) const = default;
};
MemUse mem_in_use() noexcept;

template <class T>
T* mem_new(std::size_t count = 1) noexcept {
  return static_cast<T*>(mem_alloc(count, sizeof(T)));
}

// Fault injection for tests: after `successes` more successful allocations, the next one fails
// (once). mem_fail_pending() stays true until that failure has been delivered.
void mem_fail_after(unsigned long successes) noexcept;
void mem_fail_disarm() noexcept;
bool mem_fail_pending() noexcept;

}  // namespace novu
