#include "sound/array.hpp"

#include <cstdio>
#include <cstring>
#include <limits>

#include "base/alloc.hpp"

namespace novu {

std::uint8_t array_verbose = 0;

void array_error() noexcept {
  if (array_verbose != 0) std::puts("ARRAY error");
}

namespace {
constexpr std::int32_t initial_capacity = 2;

// A record this module could have built: a block, and no more live slots than the block holds.
bool usable(const Array* array) noexcept {
  return array != nullptr && array->items != nullptr && array->count >= 0 && array->count <= array->capacity;
}

bool valid_range(const Array* array, std::int32_t start, std::int32_t end) noexcept {
  return start >= 0 && start < end && end <= array->count;
}

// The capacity reached by doubling until `needed` slots fit, or 0 when doubling cannot get
// there without overflowing the 32-bit capacity field.
std::int32_t doubled_capacity(std::int32_t capacity, std::int64_t needed) noexcept {
  if (capacity <= 0) return 0;
  std::int64_t result = capacity;
  while (result < needed) result *= 2;
  return result <= std::numeric_limits<std::int32_t>::max() ? static_cast<std::int32_t>(result) : 0;
}

// Makes room for `needed` slots with a single allocation, so that a failure leaves the array
// exactly as it was even when several doublings were due.
bool reserve_slots(Array* array, std::int64_t needed) noexcept {
  if (needed <= array->capacity) return true;
  const std::int32_t capacity = doubled_capacity(array->capacity, needed);
  void** items = capacity > 0 ? mem_new<void*>(static_cast<std::size_t>(capacity)) : nullptr;
  if (items == nullptr) {
    array_error();
    return false;
  }
  std::memcpy(items, array->items, static_cast<std::size_t>(array->count) * sizeof(void*));
  mem_free(array->items);
  array->items = items;
  array->capacity = capacity;
  return true;
}

// A new array holding slots start .. end - 1 of `array`, or null.
Array* copy_slots(const Array* array, std::int32_t start, std::int32_t end) noexcept {
  Array* copy = array_create();
  if (copy == nullptr) return nullptr;
  const std::int32_t n = end - start;
  if (!reserve_slots(copy, n)) {
    array_destroy(&copy);
    return nullptr;
  }
  for (std::int32_t i = 0; i < n; ++i) copy->items[i] = array->items[start + i];
  copy->count = n;
  return copy;
}
}  // namespace

Array* array_create() noexcept {
  Array* array = mem_new<Array>();
  if (array == nullptr) {
    array_error();
    return nullptr;
  }
  array->items = mem_new<void*>(initial_capacity);
  if (array->items == nullptr) {
    mem_free(array);
    array_error();
    return nullptr;
  }
  array->capacity = initial_capacity;
  return array;
}

void array_destroy(Array** array) noexcept {
  if (array == nullptr || *array == nullptr) {
    array_error();
    return;
  }
  Array* doomed = *array;
  mem_free(doomed->items);
  doomed->items = nullptr;
  doomed->capacity = 0;
  doomed->count = 0;
  mem_free(doomed);
  *array = nullptr;
}

int array_grow(Array* array) noexcept {
  if (!usable(array)) {
    array_error();
    return 0;
  }
  return reserve_slots(array, std::int64_t{array->capacity} + 1) ? 1 : 0;
}

void array_append(Array* array, void* value) noexcept {
  if (!usable(array)) {
    array_error();
    return;
  }
  if (array->count == array->capacity && array_grow(array) == 0) return;
  array->items[array->count] = value;
  ++array->count;
}

void* array_get(const Array* array, std::int32_t index) noexcept {
  if (!usable(array) || index < 0 || index >= array->count) {
    array_error();
    return nullptr;
  }
  return array->items[index];
}

void array_set(Array* array, void* value, std::int32_t index) noexcept {
  if (!usable(array) || index < 0 || index >= array->count) {
    array_error();
    return;
  }
  array->items[index] = value;
}

void array_insert_at(Array* array, void* value, std::int32_t index) noexcept {
  if (!usable(array) || index < 0 || index > array->count) {
    array_error();
    return;
  }
  if (!reserve_slots(array, std::int64_t{array->count} + 1)) return;
  for (std::int32_t i = array->count; i > index; --i) array->items[i] = array->items[i - 1];
  array->items[index] = value;
  ++array->count;
}

void array_remove_at(Array* array, std::int32_t index) noexcept {
  if (!usable(array) || index < 0 || index >= array->count) {
    array_error();
    return;
  }
  for (std::int32_t i = index; i + 1 < array->count; ++i) array->items[i] = array->items[i + 1];
  --array->count;
  array->items[array->count] = nullptr;
}

void* array_pop(Array* array) noexcept {
  if (!usable(array) || array->count == 0) {
    array_error();
    return nullptr;
  }
  --array->count;
  return array->items[array->count];
}

std::int32_t array_find(const Array* array, const void* value) noexcept {
  if (!usable(array) || value == nullptr) {
    array_error();
    return -1;
  }
  for (std::int32_t i = 0; i < array->count; ++i) {
    if (array->items[i] == value) return i;
  }
  return -1;
}

void array_insert_range(const Array* source, Array* destination, std::int32_t start, std::int32_t end,
                        std::int32_t at) noexcept {
  if (!usable(source) || !usable(destination) || !valid_range(source, start, end) || at < 0 ||
      at > destination->count) {
    array_error();
    return;
  }
  const std::int32_t n = end - start;
  if (!reserve_slots(destination, std::int64_t{destination->count} + n)) return;
  for (std::int32_t i = destination->count - 1; i >= at; --i) destination->items[i + n] = destination->items[i];
  // Slot by slot and through `source` as it is now: when both are the same array the copy reads
  // the slots after the gap has been opened, and earlier writes of this loop.
  for (std::int32_t i = 0; i < n; ++i) destination->items[at + i] = source->items[start + i];
  destination->count += n;
}

void array_remove_range(Array* array, std::int32_t start, std::int32_t end) noexcept {
  if (!usable(array) || !valid_range(array, start, end)) {
    array_error();
    return;
  }
  const std::int32_t n = end - start;
  for (std::int32_t i = end; i < array->count; ++i) array->items[i - n] = array->items[i];
  array->count -= n;
}

Array* array_copy_range(const Array* array, std::int32_t start, std::int32_t end) noexcept {
  if (!usable(array) || !valid_range(array, start, end)) {
    array_error();
    return nullptr;
  }
  return copy_slots(array, start, end);
}

Array* array_clone(const Array* array) noexcept {
  if (!usable(array)) {
    array_error();
    return nullptr;
  }
  return copy_slots(array, 0, array->count);
}

int array_equal(const Array* a, const Array* b) noexcept {
  if (a == b) return 1;
  if (!usable(a) || !usable(b) || a->count != b->count) return 0;
  for (std::int32_t i = 0; i < a->count; ++i) {
    if (a->items[i] != b->items[i]) return 0;
  }
  return 1;
}

}  // namespace novu
