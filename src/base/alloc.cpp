#include "base/alloc.hpp"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <limits>

namespace novu {

namespace {
// Remaining successes before the injected failure; negative means disarmed. Atomic because the
// audio thread shares the process, although the callback itself never allocates.
std::atomic<long> fail_countdown{-1};
std::atomic<long> live_blocks{0};
std::atomic<long> live_bytes{0};

bool take_injected_failure() noexcept {
  long left = fail_countdown.load(std::memory_order_relaxed);
  while (left >= 0) {
    const long next = left == 0 ? -1 : left - 1;
    if (fail_countdown.compare_exchange_weak(left, next, std::memory_order_relaxed)) return left == 0;
  }
  return false;
}
}  // namespace

void* mem_alloc(std::size_t count, std::size_t size) noexcept {
  if (take_injected_failure()) return nullptr;
  if (count == 0 || size == 0) count = size = 1;  // a valid, freeable block for empty requests
  if (count > std::numeric_limits<std::size_t>::max() / size) return nullptr;
  void* block = std::calloc(count, size);
  if (block != nullptr) {
    live_blocks.fetch_add(1, std::memory_order_relaxed);
    live_bytes.fetch_add(static_cast<long>(malloc_usable_size(block)), std::memory_order_relaxed);
  }
  return block;
}

void mem_free(void* block) noexcept {
  if (block == nullptr) return;
  live_blocks.fetch_sub(1, std::memory_order_relaxed);
  live_bytes.fetch_sub(static_cast<long>(malloc_usable_size(block)), std::memory_order_relaxed);
  std::free(block);
}

MemUse mem_in_use() noexcept {
  return MemUse{live_blocks.load(std::memory_order_relaxed), live_bytes.load(std::memory_order_relaxed)};
}

void mem_fail_after(unsigned long successes) noexcept {
  fail_countdown.store(static_cast<long>(successes), std::memory_order_relaxed);
}

void mem_fail_disarm() noexcept { fail_countdown.store(-1, std::memory_order_relaxed); }

bool mem_fail_pending() noexcept { return fail_countdown.load(std::memory_order_relaxed) >= 0; }

}  // namespace novu
