#pragma once
// ARRAY: a growable list of untyped reference slots (the audio play queue, the instrument bank).
// It never owns what its slots refer to.

#include <cstdint>

namespace novu {

struct Array {
  std::int32_t capacity;
  std::int32_t count;
  void** items;  // capacity slots, 0 .. count - 1 live
};

extern std::uint8_t array_verbose;  // "ARRAY error" is printed on failures only while non-zero
void array_error() noexcept;

Array* array_create() noexcept;
void array_destroy(Array** array) noexcept;
void array_append(Array* array, void* value) noexcept;
void* array_get(const Array* array, std::int32_t index) noexcept;
void array_set(Array* array, void* value, std::int32_t index) noexcept;
void array_insert_at(Array* array, void* value, std::int32_t index) noexcept;
void array_remove_at(Array* array, std::int32_t index) noexcept;
void* array_pop(Array* array) noexcept;
std::int32_t array_find(const Array* array, const void* value) noexcept;
void array_insert_range(const Array* source, Array* destination, std::int32_t start, std::int32_t end,
                        std::int32_t at) noexcept;
void array_remove_range(Array* array, std::int32_t start, std::int32_t end) noexcept;
Array* array_copy_range(const Array* array, std::int32_t start, std::int32_t end) noexcept;
Array* array_clone(const Array* array) noexcept;
int array_equal(const Array* a, const Array* b) noexcept;
int array_grow(Array* array) noexcept;

}  // namespace novu
