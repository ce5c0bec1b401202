#include "base/alloc.hpp"

#include <atomic>
#include <cstdlib>
#include <limits>

namespace novu {

namespace {
// Remaining successes before the injected failure; negative means disarmed. Atomic because the
// audio thread shares the process, although the callback itself never allocates.
std::atomic<long> fail_countdown{-1};

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
  return std::calloc(count, size);
}

void mem_free(void* block) noexcept { std::free(block); }

void mem_fail_after(unsigned long successes) noexcept {
  fail_countdown.store(static_cast<long>(successes), std::memory_order_relaxed);
}

void mem_fail_disarm() noexcept { fail_countdown.store(-1, std::memory_order_relaxed); }

bool mem_fail_pending() noexcept { return fail_countdown.load(std::memory_order_relaxed) >= 0; }

}  // namespace novu
