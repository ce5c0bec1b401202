#include "sound/array.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "support/alloc_failures.hpp"

namespace novu {
namespace {

void* slot(std::intptr_t value) { return reinterpret_cast<void*>(value); }

using OwnedArray = std::unique_ptr<Array, decltype([](Array* array) { array_destroy(&array); })>;

OwnedArray filled(std::initializer_list<std::intptr_t> values) {
  OwnedArray array(array_create());
  for (std::intptr_t v : values) array_append(array.get(), slot(v));
  return array;
}

// Every slot of the block with a bar after the live ones: "1 2 | 0 0" is a count of 2 in 4 slots.
std::string layout(const Array* array) {
  std::string out;
  for (std::int32_t i = 0; i <= array->capacity; ++i) {
    if (i == array->count) out += "| ";
    if (i < array->capacity) out += std::to_string(reinterpret_cast<std::intptr_t>(array->items[i])) += ' ';
  }
  return out.substr(0, out.size() - 1);
}

// The layout of what an operation made, which is released again ("null" for nothing).
std::string adopt(Array* made) {
  const std::string shape = made != nullptr ? layout(made) : "null";
  if (made != nullptr) array_destroy(&made);
  EXPECT_EQ(made, nullptr);
  return shape;
}

const std::string as_filled = "1 2 3 4 |";  // four appends to a new array: it grew once, from 2 to 4

TEST(Array, EditsMoveGrowAndRefuseAsDocumented) {
  const OwnedArray other = filled({7, 8, 9}), six = filled({5, 6, 7, 8, 9, 10});
  // Each edit of a filled array, and the layout it leaves: the ones that leave it as filled were
  // refused and say so while verbose.
  const std::pair<std::function<void(Array*)>, std::string> cases[] = {
      {[](Array* a) { array_append(a, slot(5)); }, "1 2 3 4 5 | 0 0 0"},
      {[](Array* a) { array_set(a, slot(5), 2); }, "1 2 5 4 |"},
      {[](Array* a) { array_set(a, slot(5), 4); }, as_filled},
      {[](Array* a) { array_insert_at(a, slot(5), 0); }, "5 1 2 3 4 | 0 0 0"},
      {[](Array* a) { array_insert_at(a, slot(5), 4); }, "1 2 3 4 5 | 0 0 0"},
      {[](Array* a) { array_insert_at(a, slot(5), 5); }, as_filled},
      {[](Array* a) { array_remove_at(a, 0); }, "2 3 4 | 0"},  // the vacated slot is cleared
      {[](Array* a) { array_pop(a); }, "1 2 3 | 4"},  // and popping leaves it
      {[](Array* a) { array_remove_range(a, 1, 3); }, "1 4 | 3 4"},
      {[](Array* a) { array_remove_range(a, 3, 5); }, as_filled},
      {[&](Array* a) { array_insert_range(other.get(), a, 0, 3, 1); }, "1 7 8 9 2 3 4 | 0"},
      {[&](Array* a) { array_insert_range(six.get(), a, 1, 6, 4); }, "1 2 3 4 6 7 8 9 10 | 0 0 0 0 0 0 0"},
      {[&](Array* a) { array_insert_range(other.get(), a, 2, 1, 0); }, as_filled},
      {[&](Array* a) { array_insert_range(other.get(), a, 0, 4, 0); }, as_filled},
      // One array as source and destination: the copy reads the slots after the gap has opened.
      {[](Array* a) { array_insert_range(a, a, 2, 4, 0); }, "1 2 1 2 3 4 | 0 0"},
      {[](Array* a) { array_insert_range(a, a, 0, 2, 1); }, "1 1 1 2 3 4 | 0 0"},
      {[](Array*) { array_append(nullptr, slot(5)); }, as_filled},
      {[](Array*) { Array* none = nullptr; array_destroy(&none); }, as_filled},
  };
  for (const auto& [edit, after] : cases) {
    array_verbose = 1;
    const OwnedArray a = filled({1, 2, 3, 4}), b = filled({1, 2, 3, 4});
    testing::internal::CaptureStdout();
    edit(a.get());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), after == as_filled ? "ARRAY error\n" : "") << after;
    EXPECT_EQ(layout(a.get()), after);
    array_verbose = 0;  // and quiet, without memory: an edit that needed room changes nothing
    testing::internal::CaptureStdout();
    mem_fail_after(0);
    edit(b.get());
    EXPECT_EQ(layout(b.get()), mem_fail_pending() ? after : as_filled);
    mem_fail_disarm();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  }
}

TEST(Array, ReadsComparisonsAndCopies) {
  const OwnedArray hold[] = {filled({5, 0, 6}), filled({5, 0, 6}), filled({5, 0, 7}), filled({}), filled({})};
  Array *a = hold[0].get(), *same = hold[1].get(), *other = hold[2].get(), *empty = hold[3].get();
  EXPECT_EQ(std::tuple(array_get(a, -1), array_get(a, 1), array_get(a, 3), array_pop(empty)),
            std::tuple(nullptr, slot(0), nullptr, nullptr));
  EXPECT_EQ(std::tuple(array_find(a, slot(5)), array_find(a, slot(7)), array_find(a, nullptr)),
            std::tuple(0, -1, -1));  // a search for 0 fails even where a slot holds 0
  EXPECT_EQ(std::tuple(array_equal(nullptr, nullptr), array_equal(a, nullptr), array_equal(a, same),
                       array_equal(a, other), array_equal(empty, hold[4].get())),
            std::tuple(1, 0, 1, 0, 1));
  const std::pair<std::function<Array*()>, std::string> makers[] = {
      {[] { return array_create(); }, "| 0 0"},
      {[&] { return array_clone(a); }, "5 0 6 | 0"},
      {[&] { return array_copy_range(a, 1, 3); }, "0 6 |"}};
  for (const auto& [make, want] : makers) {
    EXPECT_EQ(adopt(make()), want);
    expect_each_allocation_failure_handled([&make](auto arm) {  // or nothing, without memory
      arm();
      return adopt(make()) == "null";
    });
  }
  EXPECT_EQ(adopt(array_copy_range(a, 2, 2)), "null");
  EXPECT_EQ(adopt(array_copy_range(a, 0, 4)), "null");
  EXPECT_EQ(array_pop(a), slot(6));
}

}  // namespace
}  // namespace novu
