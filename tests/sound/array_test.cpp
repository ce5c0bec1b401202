#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "base/alloc.hpp"
#include "sound/array.hpp"

namespace novu {
namespace {

using Slots = std::vector<std::intptr_t>;
using Edit = std::function<void(Array*)>;

void* slot(std::intptr_t value) { return reinterpret_cast<void*>(value); }

Slots live(const Array* array) {
  Slots out;
  for (std::int32_t i = 0; i < array->count; ++i) out.push_back(reinterpret_cast<std::intptr_t>(array->items[i]));
  return out;
}

struct Owned {
  Array* array = array_create();
  explicit Owned(const Slots& values) {
    for (std::intptr_t v : values) array_append(array, slot(v));
  }
  ~Owned() {
    if (array != nullptr) array_destroy(&array);
  }
  Slots live() const { return novu::live(array); }
};

TEST(Array, AppendDoublesTheCapacityOnlyWhenFull) {
  const std::pair<int, std::int32_t> cases[] = {{0, 2}, {2, 2}, {3, 4}, {4, 4}, {5, 8}, {9, 16}};
  for (const auto& [appends, capacity] : cases) {
    Slots values;
    for (int i = 1; i <= appends; ++i) values.push_back(i * 10);
    Owned a(values);
    EXPECT_EQ(a.array->capacity, capacity) << appends;
    EXPECT_EQ(a.live(), values);
  }
}

TEST(Array, EditsChangeOnlyWhatTheyMayAndRefuseBadArguments) {
  const Owned other({7, 8, 9});
  struct Case {
    const char* name;
    Edit edit;
    Slots after;
    std::int32_t capacity;
  } cases[] = {
      {"set", [](Array* a) { array_set(a, slot(5), 2); }, {1, 2, 5, 4}, 4},
      {"set past end", [](Array* a) { array_set(a, slot(5), 4); }, {1, 2, 3, 4}, 4},
      {"insert front", [](Array* a) { array_insert_at(a, slot(5), 0); }, {5, 1, 2, 3, 4}, 8},
      {"insert at count", [](Array* a) { array_insert_at(a, slot(5), 4); }, {1, 2, 3, 4, 5}, 8},
      {"insert past end", [](Array* a) { array_insert_at(a, slot(5), 5); }, {1, 2, 3, 4}, 4},
      {"remove first", [](Array* a) { array_remove_at(a, 0); }, {2, 3, 4}, 4},
      {"remove past end", [](Array* a) { array_remove_at(a, 4); }, {1, 2, 3, 4}, 4},
      {"remove range", [](Array* a) { array_remove_range(a, 1, 3); }, {1, 4}, 4},
      {"remove all", [](Array* a) { array_remove_range(a, 0, 4); }, {}, 4},
      {"remove empty range", [](Array* a) { array_remove_range(a, 2, 2); }, {1, 2, 3, 4}, 4},
      {"remove range past end", [](Array* a) { array_remove_range(a, 3, 5); }, {1, 2, 3, 4}, 4},
      {"insert range", [&](Array* a) { array_insert_range(other.array, a, 0, 3, 1); }, {1, 7, 8, 9, 2, 3, 4}, 8},
      {"insert range at end", [&](Array* a) { array_insert_range(other.array, a, 2, 3, 4); }, {1, 2, 3, 4, 9}, 8},
      {"insert range needing two doublings",
       [](Array* a) {
         Owned big({5, 6, 7, 8, 9, 10});
         array_insert_range(big.array, a, 0, 6, 0);
       },
       {5, 6, 7, 8, 9, 10, 1, 2, 3, 4},
       16},
      {"insert reversed range", [&](Array* a) { array_insert_range(other.array, a, 2, 1, 0); }, {1, 2, 3, 4}, 4},
      {"insert range past source", [&](Array* a) { array_insert_range(other.array, a, 0, 4, 0); }, {1, 2, 3, 4}, 4},
      {"insert range past destination", [&](Array* a) { array_insert_range(other.array, a, 0, 1, 5); }, {1, 2, 3, 4}, 4},
      // one array as source and destination: the copy reads the slots after the gap has opened,
      // including the ones it has just written
      {"self, gap before the range", [](Array* a) { array_insert_range(a, a, 2, 4, 0); }, {1, 2, 1, 2, 3, 4}, 8},
      {"self, gap inside the range", [](Array* a) { array_insert_range(a, a, 0, 2, 1); }, {1, 1, 1, 2, 3, 4}, 8},
      {"self, gap after the range", [](Array* a) { array_insert_range(a, a, 1, 3, 4); }, {1, 2, 3, 4, 2, 3}, 8},
  };
  for (const Case& c : cases) {
    Owned a({1, 2, 3, 4});
    c.edit(a.array);
    EXPECT_EQ(a.live(), c.after) << c.name;
    EXPECT_EQ(a.array->capacity, c.capacity) << c.name;
  }
}

TEST(Array, ReadsGetPopAndFind) {
  Owned a({5, 0, 6, 5});
  const std::pair<std::int32_t, std::intptr_t> gets[] = {{-1, 0}, {0, 5}, {2, 6}, {4, 0}};
  for (const auto& [index, value] : gets) EXPECT_EQ(array_get(a.array, index), slot(value)) << index;
  const std::pair<std::intptr_t, std::int32_t> finds[] = {{5, 0}, {6, 2}, {7, -1}, {0, -1}};
  for (const auto& [value, index] : finds) EXPECT_EQ(array_find(a.array, slot(value)), index) << value;

  EXPECT_EQ(array_pop(a.array), slot(5));
  EXPECT_EQ(a.array->items[3], slot(5));  // pop leaves its slot alone
  array_remove_at(a.array, 2);
  EXPECT_EQ(a.array->items[2], nullptr);  // remove clears the vacated slot
  EXPECT_EQ(a.live(), (Slots{5, 0}));
  array_pop(a.array);
  array_pop(a.array);
  EXPECT_EQ(array_pop(a.array), nullptr);
}

TEST(Array, CopiesHoldTheSameReferencesInTheirOwnStorage) {
  Owned a({1, 2, 3, 4, 5}), same({1, 2, 3, 4, 5}), other({1, 2, 3, 4, 6}), empty1({}), empty2({});
  const std::function<Array*()> copies[] = {
      [&] { return array_clone(a.array); },
      [&] { return array_copy_range(a.array, 0, 5); },
      [&] { return array_clone(empty1.array); },
      [&] { return array_copy_range(a.array, 1, 3); },
  };
  const Slots wants[] = {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {}, {2, 3}};
  for (int i = 0; i < 4; ++i) {
    Array* copy = copies[i]();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(live(copy), wants[i]);
    EXPECT_NE(copy->items, a.array->items);
    array_destroy(&copy);
  }
  EXPECT_EQ(array_copy_range(a.array, 3, 3), nullptr);
  EXPECT_EQ(array_copy_range(a.array, 0, 6), nullptr);

  struct Eq {
    const Array* x;
    const Array* y;
    int equal;
  } equals[] = {{nullptr, nullptr, 1},      {a.array, nullptr, 0},      {a.array, a.array, 1},
                {a.array, same.array, 1},   {a.array, other.array, 0},  {a.array, empty1.array, 0},
                {empty1.array, empty2.array, 1}};
  for (const Eq& e : equals) EXPECT_EQ(array_equal(e.x, e.y), e.equal);
}

TEST(Array, FailuresReportOnlyWhileVerbose) {
  Owned a({1});
  Array* destroyed = array_create();
  array_destroy(&destroyed);
  EXPECT_EQ(destroyed, nullptr);
  const Edit failures[] = {
      [](Array* x) { array_get(x, 1); },
      [](Array* x) { array_insert_at(x, slot(1), 2); },
      [](Array* x) { array_find(x, nullptr); },
      [](Array* x) { array_remove_range(x, 0, 0); },
      [](Array* x) { array_insert_range(x, x, 0, 2, 0); },
      [](Array*) { array_grow(nullptr); },
      [&](Array*) { array_destroy(&destroyed); },  // a second destroy
      [](Array*) { array_destroy(nullptr); },
      [](Array* x) {
        array_pop(x);
        array_pop(x);  // the second one fails
      },
  };
  for (std::uint8_t verbose : {0, 1}) {
    array_verbose = verbose;
    for (const Edit& failure : failures) {
      Owned victim({1});
      testing::internal::CaptureStdout();
      failure(victim.array);
      EXPECT_EQ(testing::internal::GetCapturedStdout(), verbose != 0 ? "ARRAY error\n" : "");
    }
  }
  array_verbose = 0;
}

TEST(Array, AFailedAllocationLeavesTheArrayExactlyAsItWas) {
  const Edit growing[] = {
      [](Array* a) { array_append(a, slot(9)); },
      [](Array* a) { array_insert_at(a, slot(9), 1); },
      [](Array* a) { array_insert_range(a, a, 0, 4, 2); },  // two doublings in one allocation
      [](Array* a) { EXPECT_EQ(array_grow(a), 0); },
  };
  for (const Edit& grow : growing) {
    Owned a({1, 2, 3, 4});
    void** items = a.array->items;
    mem_fail_after(0);
    grow(a.array);
    EXPECT_FALSE(mem_fail_pending());
    mem_fail_disarm();
    EXPECT_EQ(a.array->items, items);
    EXPECT_EQ(a.array->capacity, 4);
    EXPECT_EQ(a.live(), (Slots{1, 2, 3, 4}));
  }

  const Owned source({1, 2, 3, 4, 5});
  const std::function<Array*()> creators[] = {
      [] { return array_create(); },
      [&] { return array_clone(source.array); },
      [&] { return array_copy_range(source.array, 1, 5); },
  };
  for (const auto& create : creators) {
    for (unsigned long k = 0;; ++k) {
      mem_fail_after(k);
      Array* made = create();
      const bool failed_inside = !mem_fail_pending();
      mem_fail_disarm();
      if (!failed_inside) {
        ASSERT_NE(made, nullptr);
        array_destroy(&made);
        break;
      }
      EXPECT_EQ(made, nullptr) << "allocation " << k;
    }
  }
}

}  // namespace
}  // namespace novu
