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
  for (std::int32_t i = 0; i < array->capacity; ++i) {
    out += (i == array->count ? " | " : " ") + std::to_string(reinterpret_cast<std::intptr_t>(array->items[i]));
  }
  return out.substr(1) + (array->count == array->capacity ? " |" : "");
}

const std::string as_filled = "1 2 3 4 |";  // four appends to a new array: it grew once, from 2 to 4

TEST(Array, EditsMoveAndGrowInOneStepOrNotAtAll) {
  const OwnedArray six = filled({5, 6, 7, 8, 9, 10});
  // Each edit of a filled array and the layout it leaves.
  const std::pair<std::function<void(Array*)>, std::string> cases[] = {
      {[](Array* a) { array_append(a, slot(5)); }, "1 2 3 4 5 | 0 0 0"},
      {[](Array* a) { array_set(a, slot(5), 2); }, "1 2 5 4 |"},
      {[](Array* a) { array_insert_at(a, slot(5), 0); }, "5 1 2 3 4 | 0 0 0"},
      {[](Array* a) { array_insert_at(a, slot(5), 4); }, "1 2 3 4 5 | 0 0 0"},
      // removing clears the vacated slot, popping leaves it
      {[](Array* a) { array_remove_at(a, 0); array_pop(a); }, "2 3 | 4 0"},
      {[](Array* a) { array_remove_range(a, 1, 3); }, "1 4 | 3 4"},
      // the block doubles twice, in one step
      {[&](Array* a) { array_insert_range(six.get(), a, 1, 6, 1); }, "1 6 7 8 9 10 2 3 4 | 0 0 0 0 0 0 0"},
      // One array as source and destination: the copy reads the slots after the gap has opened.
      {[](Array* a) { array_insert_range(a, a, 2, 4, 0); }, "1 2 1 2 3 4 | 0 0"},
      {[](Array* a) { array_insert_range(a, a, 0, 2, 1); }, "1 1 1 2 3 4 | 0 0"},
  };
  for (const auto& [edit, after] : cases) {
    // And with each allocation failing in turn: an edit that gets no room changes nothing, and
    // says so while verbose.
    each_allocation_failing([&edit, &after](auto arm) {
      const OwnedArray a = filled({1, 2, 3, 4});
      array_verbose = 1;
      testing::internal::CaptureStdout();
      arm();
      edit(a.get());
      array_verbose = 0;
      EXPECT_EQ(layout(a.get()), mem_fail_pending() ? after : as_filled);
      EXPECT_EQ(testing::internal::GetCapturedStdout(), layout(a.get()) == as_filled ? "ARRAY error\n" : "");
    });
  }
}

TEST(Array, ReadsComparisonsAndCopies) {
  const OwnedArray hold[] = {filled({5, 0, 6}), filled({5, 0, 6}), filled({5, 0, 7}), filled({}), filled({})};
  Array *a = hold[0].get(), *same = hold[1].get(), *other = hold[2].get(), *empty = hold[3].get();
  EXPECT_EQ(std::tuple(array_get(a, 1), array_get(a, 2), array_find(a, slot(5)), array_find(a, slot(7))),
            std::tuple(slot(0), slot(6), 0, -1));
  EXPECT_EQ(std::tuple(array_equal(a, same), array_equal(a, other), array_equal(empty, hold[4].get())),
            std::tuple(1, 0, 1));
  EXPECT_EQ(layout(OwnedArray(array_create()).get()), "| 0 0");
  EXPECT_EQ(layout(OwnedArray(array_clone(a)).get()), "5 0 6 | 0");
  EXPECT_EQ(layout(OwnedArray(array_copy_range(a, 1, 3)).get()), "0 6 |");
  EXPECT_EQ(array_pop(a), slot(6));
}

}  // namespace
}  // namespace novu
