#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/alloc.hpp"
#include "sound/sample.hpp"

namespace novu {
namespace {

using Values = std::vector<std::int32_t>;
using Bytes = std::vector<unsigned char>;
using Edit = std::function<void(Sample*)>;

constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t any = -1;  // capacity not checked

Sample* make(const Values& values) {
  Sample* sample = sample_create();
  sample_set_length(sample, static_cast<std::int32_t>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) sample->values[i] = values[i];
  return sample;
}

Values live(const Sample* sample) { return Values(sample->values, sample->values + sample->length); }

struct Owned {
  Sample* sample;
  explicit Owned(const Values& values) : sample(make(values)) {}
  explicit Owned(Sample* adopted) : sample(adopted) {}
  ~Owned() { sample_destroy(&sample); }
};

// Runs `create` with each of its allocations failing in turn: every result is null or passes
// `check`, nothing leaks, and the run without a failure gives a sample.
void each_allocation_failing(const std::function<Sample*()>& create, const std::function<void(const Sample*)>& check) {
  for (unsigned long k = 0;; ++k) {
    mem_fail_after(k);
    Owned made(create());
    const bool failed_inside = !mem_fail_pending();
    mem_fail_disarm();
    if (made.sample != nullptr) check(made.sample);
    if (!failed_inside) {
      EXPECT_NE(made.sample, nullptr);
      return;
    }
  }
}

TEST(Sample, LengthGrowsTheBlockExactlyAndNeverShrinksIt) {
  Owned s(sample_create());
  EXPECT_EQ(s.sample->length, 0);
  EXPECT_EQ(s.sample->capacity, 32);
  sample_set_length(s.sample, 40000);
  EXPECT_EQ(s.sample->capacity, 40000);
  EXPECT_EQ(sample_max(s.sample), 0);
  EXPECT_EQ(sample_min(s.sample), 0);
  s.sample->values[12] = 7;
  sample_set_length(s.sample, 10);
  EXPECT_EQ(s.sample->capacity, 40000);
  sample_set_length(s.sample, 13);  // values past the length stay in the block
  EXPECT_EQ(sample_get(s.sample, 12), 7);
  sample_set_length(s.sample, -1);
  EXPECT_EQ(s.sample->length, 13);
}

TEST(Sample, EditsOfTheValues) {
  const Owned other({10, 20}), big({1, 1, 1, 1, 1, 1});
  const Edit rotate_right_2 = [](Sample* s) { sample_rotate_right(s, 2); };
  struct Case {
    const char* name;
    Values before;
    Edit edit;
    Values want;
    std::int32_t capacity;
  } cases[] = {
      {"add", {1, 2, 3}, [&](Sample* s) { sample_add(s, other.sample); }, {11, 22, 3}, any},
      {"add into shorter", {1}, [&](Sample* s) { sample_add(s, other.sample); }, {11}, any},
      {"add wraps", {int_max, int_min}, [](Sample* s) { sample_add(s, s); }, {-2, 0}, any},
      {"multiply", {2, 3, 4}, [&](Sample* s) { sample_multiply(s, other.sample); }, {20, 60, 4}, any},
      {"multiply wraps", {0x10000, int_max}, [](Sample* s) { sample_multiply(s, s); }, {0, 1}, any},
      {"scale wraps", {1, 2, 3}, [](Sample* s) { sample_scale(s, int_max); }, {int_max, -2, 2147483645}, any},
      {"clear", {1, 2}, [](Sample* s) { sample_clear(s); }, {0, 0}, any},
      {"rotate right", {1, 2, 3, 4, 5}, rotate_right_2, {4, 5, 1, 2, 3}, 32},
      {"rotate right past length", {1, 2, 3, 4, 5}, [](Sample* s) { sample_rotate_right(s, 7); }, {4, 5, 1, 2, 3}, any},
      {"rotate right negative", {1, 2, 3}, [](Sample* s) { sample_rotate_right(s, -1); }, {1, 2, 3}, any},
      {"rotate left", {1, 2, 3, 4, 5}, [](Sample* s) { sample_rotate_left(s, 6); }, {2, 3, 4, 5, 1}, any},
      {"rotate left negative", {1, 2, 3}, [](Sample* s) { sample_rotate_left(s, -3); }, {1, 2, 3}, any},
      {"rotate empty", {}, rotate_right_2, {}, any},
      {"rotate shrinks capacity to 32",
       {1, 2},
       [&](Sample* s) {
         sample_reserve(s, 40000);
         rotate_right_2(s);
       },
       {1, 2},
       32},
      {"rotate long", Values(40, 1), rotate_right_2, Values(40, 1), 40},
      {"shift right rounds down", {-5, 5, int_min}, [](Sample* s) { sample_shift_right(s, 2); }, {-2, 1, -536870912}, any},
      {"shift right 31", {int_min, 7}, [](Sample* s) { sample_shift_right(s, 31); }, {-1, 0}, any},
      {"shift right 32", {-5}, [](Sample* s) { sample_shift_right(s, 32); }, {-5}, any},
      {"shift left wraps", {1 << 30, -1}, [](Sample* s) { sample_shift_left(s, 1); }, {int_min, -2}, any},
      {"shift left negative", {3}, [](Sample* s) { sample_shift_left(s, -2); }, {3}, any},
      {"move between samples", {0, 0, 0, 0}, [&](Sample* s) { sample_move(big.sample, s, 2, 0, 1); }, {0, 1, 1, 0}, any},
      {"move up within", {1, 2, 3, 4, 5}, [](Sample* s) { sample_move(s, s, 3, 0, 1); }, {1, 1, 2, 3, 5}, any},
      {"move down within", {1, 2, 3, 4, 5}, [](Sample* s) { sample_move(s, s, 3, 1, 0); }, {2, 3, 4, 4, 5}, any},
      {"move past destination", {0, 0}, [&](Sample* s) { sample_move(other.sample, s, 2, 0, 1); }, {0, 0}, any},
      {"reserve smaller", {1, 2, 3}, [](Sample* s) { sample_reserve(s, 2); }, {1, 2}, 2},
      {"reserve larger", {1, 2, 3}, [](Sample* s) { sample_reserve(s, 50); }, {1, 2, 3}, 50},
      {"reserve 0", {1, 2, 3}, [](Sample* s) { sample_reserve(s, 0); }, {1, 2, 3}, 32},
      {"set", {1, 2, 3}, [](Sample* s) { sample_set(s, 9, 2); }, {1, 2, 9}, any},
      {"insert into a full block doubles it",
       {1, 2, 3},
       [](Sample* s) {
         sample_reserve(s, 3);
         sample_insert_at(s, 9, 0);
       },
       {9, 1, 2, 3},
       6},
      {"insert at end", {1, 2, 3}, [](Sample* s) { sample_insert_at(s, 9, 3); }, {1, 2, 3, 9}, 32},
      {"insert past end", {1, 2, 3}, [](Sample* s) { sample_insert_at(s, 9, 4); }, {1, 2, 3}, any},
      {"remove", {1, 2, 3}, [](Sample* s) { sample_remove_at(s, 1); }, {1, 3}, any},
      {"remove past end", {1, 2, 3}, [](Sample* s) { sample_remove_at(s, 3); }, {1, 2, 3}, any},
      {"insert sample", {1, 2, 3}, [&](Sample* s) { sample_insert_sample(s, other.sample, 1); }, {1, 10, 20, 2, 3}, 5},
      {"insert sample at end", {1}, [&](Sample* s) { sample_insert_sample(s, other.sample, 1); }, {1, 10, 20}, 3},
      {"insert sample outside", {1}, [&](Sample* s) { sample_insert_sample(s, other.sample, 2); }, {1, 0, 0}, 3},
      {"insert sample into itself", {1, 2}, [](Sample* s) { sample_insert_sample(s, s, 1); }, {1, 1, 2, 2}, 4},
      {"reverse", {1, 2, 3}, [](Sample* s) { sample_reverse(s); }, {3, 2, 1}, any},
      {"fit range", {0, 5, 10}, [](Sample* s) { sample_fit_range(s, 0, 100); }, {0, 50, 100}, any},
      {"fit range truncates", {0, 1, 3}, [](Sample* s) { sample_fit_range(s, 0, 1); }, {0, 0, 0}, any},
      {"fit range of equal values", {4, 4}, [](Sample* s) { sample_fit_range(s, -2, 2); }, {-2, -2}, any},
      {"fit range at the extremes",
       {int_min, 0, int_max},
       [](Sample* s) { sample_fit_range(s, int_max, int_min); },
       {int_max, -1, int_min},
       any},
      {"resample 2 to 4", {1, 2}, [](Sample* s) { sample_resample(s, 4); }, {1, 1, 2, 2}, 4},
      {"resample 3 to 7", {1, 2, 3}, [](Sample* s) { sample_resample(s, 7); }, {1, 1, 2, 2, 3, 3, 3}, 7},
      {"resample 6 to 3", {1, 2, 3, 4, 5, 6}, [](Sample* s) { sample_resample(s, 3); }, {1, 3, 5}, 3},
      {"resample to 0", {1, 2, 3}, [](Sample* s) { sample_resample(s, 0); }, {1, 2, 3}, any},
      {"resample empty", {}, [](Sample* s) { sample_resample(s, 4); }, {}, any},
  };
  for (const Case& c : cases) {
    Owned s(c.before);
    c.edit(s.sample);
    EXPECT_EQ(live(s.sample), c.want) << c.name;
    if (c.capacity != any) {
      EXPECT_EQ(s.sample->capacity, c.capacity) << c.name;
    }
  }
}

TEST(Sample, ReadsAndComparisons) {
  Owned s({3, -7, 9, 9}), empty(Values{}), a({1, 2, 3}), a2({1, 2, 3}), b({2, 3}), none({7, 8}), one({1}),
      ties({1, 1});
  Sample no_block{0, 0, nullptr};
  const std::pair<std::int32_t, std::int32_t> gets[] = {{-1, 0}, {0, 3}, {3, 9}, {4, 0}};
  for (const auto& [index, value] : gets) EXPECT_EQ(sample_get(s.sample, index), value) << index;
  EXPECT_EQ(sample_get(nullptr, 0), 0);
  EXPECT_EQ(sample_get(&no_block, 0), 0);

  struct Find {
    std::int32_t value, from, index;
  } finds[] = {{9, 0, 2}, {9, 3, 3}, {3, 1, -1}, {4, 0, -1}, {3, -1, -1}, {3, 4, -1}};
  for (const Find& f : finds) EXPECT_EQ(sample_find(s.sample, f.value, f.from), f.index) << f.value << " " << f.from;

  const std::tuple<const Sample*, std::int32_t, std::int32_t> extremes[] = {
      {s.sample, 9, -7}, {empty.sample, 0, 0}, {nullptr, 0, 0}, {&no_block, 0, 0}};
  for (const auto& [sample, max, min] : extremes) {
    EXPECT_EQ(sample_max(sample), max);
    EXPECT_EQ(sample_min(sample), min);
  }

  struct Pair {
    const Sample* x;
    const Sample* y;
    std::int32_t offset, result;
  };
  const Pair equals[] = {{a.sample, a2.sample, 0, 1}, {a.sample, b.sample, 0, 0},      {a.sample, s.sample, 0, 0},
                         {a.sample, a.sample, 0, 1},  {a.sample, nullptr, 0, 0},       {&no_block, &no_block, 0, 0}};
  for (const Pair& p : equals) EXPECT_EQ(sample_equal(p.x, p.y), p.result);
  const Pair matches[] = {{a.sample, b.sample, 1, 2},  {a.sample, b.sample, 0, 0},  {a.sample, b.sample, 2, 0},
                          {a.sample, b.sample, -1, 0}, {a.sample, b.sample, -2, 0}, {a.sample, b.sample, 3, 0},
                          {b.sample, a.sample, -1, 2}, {a.sample, a2.sample, 0, 3}};
  for (const Pair& p : matches) EXPECT_EQ(sample_match_count(p.x, p.y, p.offset), p.result) << p.offset;
  const Pair bests[] = {{a.sample, b.sample, 0, 1},     {b.sample, a.sample, 0, -1}, {a.sample, none.sample, 0, -2},
                        {ties.sample, one.sample, 0, 0}, {a.sample, nullptr, 0, 0}};
  for (const Pair& p : bests) EXPECT_EQ(sample_best_offset(p.x, p.y), p.result);
}

TEST(Sample, SlicesAndClonesOwnExactlySizedCopies) {
  Owned s({1, 2, 3, 4, 5});
  struct Case {
    std::function<Sample*()> copy;
    Values want;
    std::int32_t capacity;
  } cases[] = {
      {[&] { return sample_slice(s.sample, 1, 3); }, {2, 3}, 2},
      {[&] { return sample_slice(s.sample, -5, 100); }, {1, 2, 3, 4, 5}, 5},
      {[&] { return sample_slice(s.sample, 3, 3); }, {}, 32},
      {[&] { return sample_slice(s.sample, 7, 9); }, {}, 32},
      {[&] { return sample_clone(s.sample); }, {1, 2, 3, 4, 5}, 5},
      {[] {
         Owned empty(Values{});
         return sample_clone(empty.sample);
       },
       {},
       32},
  };
  for (const Case& c : cases) {
    Owned copy(c.copy());
    ASSERT_NE(copy.sample, nullptr);
    EXPECT_EQ(live(copy.sample), c.want);
    EXPECT_EQ(copy.sample->capacity, c.capacity);
    EXPECT_NE(copy.sample->values, s.sample->values);
  }
  EXPECT_EQ(sample_slice(s.sample, 4, 2), nullptr);
}

TEST(Sample, AFailedAllocationChangesNothing) {
  const Edit allocating[] = {
      [](Sample* s) { sample_set_length(s, 100); },
      [](Sample* s) { sample_reserve(s, 100); },
      [](Sample* s) { sample_insert_at(s, 9, 0); },
      [](Sample* s) { sample_insert_sample(s, s, 1); },
      [](Sample* s) { sample_resample(s, 9); },
  };
  for (const Edit& edit : allocating) {
    Owned s({1, 2, 3});
    sample_reserve(s.sample, 3);
    const std::int32_t* block = s.sample->values;
    mem_fail_after(0);
    edit(s.sample);
    EXPECT_FALSE(mem_fail_pending());
    mem_fail_disarm();
    EXPECT_EQ(s.sample->values, block);
    EXPECT_EQ(s.sample->capacity, 3);
    EXPECT_EQ(live(s.sample), (Values{1, 2, 3}));
  }

  // A rotation without a fresh block still rotates: the music must not mix a hit out of place.
  for (const bool right : {true, false}) {
    Owned s({1, 2, 3, 4, 5});
    mem_fail_after(0);
    right ? sample_rotate_right(s.sample, 2) : sample_rotate_left(s.sample, 2);
    EXPECT_FALSE(mem_fail_pending());
    mem_fail_disarm();
    EXPECT_EQ(live(s.sample), right ? (Values{4, 5, 1, 2, 3}) : (Values{3, 4, 5, 1, 2}));
  }

  Owned s({1, 2, 3});
  each_allocation_failing([&] { return sample_clone(s.sample); },
                          [](const Sample* made) { EXPECT_EQ(live(made), (Values{1, 2, 3})); });
  each_allocation_failing([&] { return sample_slice(s.sample, 0, 2); },
                          [](const Sample* made) { EXPECT_EQ(live(made), (Values{1, 2})); });
  // sample_create alone may give a record without a block; a later length brings one
  mem_fail_after(1);
  Owned partial(sample_create());
  mem_fail_disarm();
  ASSERT_NE(partial.sample, nullptr);
  EXPECT_EQ(partial.sample->capacity, 0);
  sample_clear(partial.sample);
  sample_set_length(partial.sample, 4);
  EXPECT_EQ(partial.sample->capacity, 4);
}

// ---- text form ------------------------------------------------------------------------------

TEST(SampleText, WritesTheCountThenOneValuePerLineAndReadsItBack) {
  const std::pair<Values, const char*> cases[] = {
      {{5, -12}, "SAMPLE{2\n5\n-12\n}\n"},
      {{}, "SAMPLE{}\n"},
      {{int_min, int_max, 0}, "SAMPLE{3\n-2147483648\n2147483647\n0\n}\n"},
  };
  for (const auto& [values, want] : cases) {
    Owned s(values);
    char* text = sample_to_text(s.sample);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, want);
    Owned back(sample_from_text(text));
    ASSERT_NE(back.sample, nullptr);
    EXPECT_EQ(live(back.sample), values);
    mem_free(text);
  }
  EXPECT_EQ(sample_to_text(nullptr), nullptr);
  Owned s({1});
  mem_fail_after(0);
  EXPECT_EQ(sample_to_text(s.sample), nullptr);
  mem_fail_disarm();
}

TEST(SampleText, ReadsTolerantlyButNeverInventsValues) {
  const Values null_result = {-99};
  const std::pair<const char*, Values> cases[] = {
      {"junk SAMPLE x { n=3: 1, -2; #3 }", {1, -2, 3}},
      {"SAMPLE{2\n- 4\n}", {0, 4}},  // a bare '-' is a value without digits
      {"SAMPLE{}\n", {}},
      {"SAMPLE{1 7}SAMPLE{1 8}", {7}},
      {"sample{1 1}", null_result},
      {"SAMPLE 1 1", null_result},
      {"SAMPLE{", null_result},
      {"SAMPLE{3\n1\n2\n}\n", null_result},  // fewer values than counted
      {"SAMPLE{3\n1\n2", null_result},
      {"SAMPLE{2\n1\n}\n5\n", null_result},  // values past the block do not count
      {"SAMPLE{4294967297\n1\n}", null_result},
      {"SAMPLE{1\n2147483648\n}", null_result},
      {"SAMPLE{1\n-2147483649\n}", null_result},
      {"SAMPLE{1000000000\n1\n}", null_result},  // more values than the text can hold
      {"", null_result},
  };
  for (const auto& [text, want] : cases) {
    Owned s(sample_from_text(text));
    EXPECT_EQ(s.sample != nullptr ? live(s.sample) : null_result, want) << text;
    if (s.sample != nullptr) {
      EXPECT_EQ(s.sample->capacity, want.empty() ? 32 : static_cast<std::int32_t>(want.size())) << text;
    }
  }
  EXPECT_EQ(sample_from_text(nullptr), nullptr);

  // The bounded reader on exactly `size` heap bytes, so that reading one more would be caught.
  const std::string text = "SAMPLE{2\n5\n-12\n}\n";
  const std::pair<std::size_t, Values> bounded[] = {
      {text.size(), {5, -12}}, {14, {5, -12}}, {12, {5, 0}}, {11, null_result}, {8, null_result}, {0, null_result}};
  for (const auto& [size, want] : bounded) {
    const std::vector<char> bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
    Owned s(sample_from_text_bounded(bytes.data(), bytes.size()));
    EXPECT_EQ(s.sample != nullptr ? live(s.sample) : null_result, want) << size;
  }
  const char embedded_nul[] = "SAMPLE{2\n5\0\n6\n}";
  EXPECT_EQ(sample_from_text_bounded(embedded_nul, sizeof embedded_nul), nullptr);

  std::string long_text = "SAMPLE{40\n";
  Values want;
  for (std::int32_t i = 0; i < 40; ++i) {
    long_text += std::to_string(i - 20) + "\n";
    want.push_back(i - 20);
  }
  each_allocation_failing([&] { return sample_from_text(long_text.c_str()); },
                          [&](const Sample* s) { EXPECT_EQ(live(s), want); });
}

// ---- raw PCM --------------------------------------------------------------------------------

Bytes written(const Values& values, std::int32_t width, char order) {
  Owned s(values);
  std::FILE* file = std::tmpfile();
  sample_write_raw(s.sample, file, width, order);
  Bytes bytes(static_cast<std::size_t>(std::ftell(file)));
  std::rewind(file);
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);
  return bytes;
}

Sample* read_back(const Bytes& bytes, std::int32_t width, char order, char signedness) {
  std::FILE* file = std::tmpfile();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  Sample* sample = sample_read_raw(file, width, order, signedness);
  std::fclose(file);
  return sample;
}

TEST(SampleRaw, WritesClippedValuesInTheChosenWidthAndOrder) {
  struct Case {
    Values values;
    std::int32_t width;
    char order;
    Bytes bytes;
  } cases[] = {
      {{40000}, 16, 'l', {0xff, 0x7f}},
      {{-40000, 0x1234}, 16, 'b', {0x80, 0x00, 0x12, 0x34}},
      {{0x1234}, 12, 'x', {0x34, 0x12}},  // any other width is 16, any other order little-endian
      {{300, -300, -2}, 8, 'b', {0x7f, 0x80, 0xfe}},
      {{0x123456}, 24, 'b', {0x12, 0x34, 0x56}},
      {{0x123456, 9000000, -9000000}, 24, 'l', {0x56, 0x34, 0x12, 0xff, 0xff, 0x7f, 0x00, 0x00, 0x80}},
      {{int_min, int_max}, 32, 'l', {0x01, 0x00, 0x00, 0x80, 0xff, 0xff, 0xff, 0x7f}},
      {{-2}, 32, 'b', {0xff, 0xff, 0xff, 0xfe}},
      {{}, 16, 'l', {}},
  };
  for (const Case& c : cases) EXPECT_EQ(written(c.values, c.width, c.order), c.bytes) << c.width << c.order;
}

TEST(SampleRaw, ReadsEightAndSixteenBitPcmIntoTheSixteenBitRange) {
  const Values null_result = {-99};
  struct Case {
    Bytes bytes;
    std::int32_t width;
    char order, signedness;
    Values want;
  } cases[] = {
      {{0x00, 0x80}, 16, 'l', 's', {-32768}},
      {{0x00, 0x80}, 16, 'l', 'u', {0}},
      {{0x80, 0x00, 0x7f, 0xff}, 16, 'b', 's', {-32768, 32767}},
      {{0xff, 0xff}, 16, 'b', 'u', {32767}},
      {{0x01, 0x02, 0x03}, 16, 'l', 's', {0x0201}},  // a last single byte is dropped
      {{0xff, 0x7f, 0x80}, 8, 'l', 's', {-256, 32512, -32768}},
      {{0xff, 0x00}, 8, 'b', 'u', {32512, -32768}},
      {{}, 16, 'l', 's', {}},
      {{0x00}, 24, 'l', 's', null_result},
      {{0x00}, 16, 'x', 's', null_result},
      {{0x00}, 16, 'l', 'x', null_result},
  };
  for (const Case& c : cases) {
    Owned s(read_back(c.bytes, c.width, c.order, c.signedness));
    EXPECT_EQ(s.sample != nullptr ? live(s.sample) : null_result, c.want) << c.width << c.order << c.signedness;
  }
  EXPECT_EQ(sample_read_raw(nullptr, 16, 'l', 's'), nullptr);

  Values values;
  for (std::int32_t i = 0; i < 5000; ++i) values.push_back((i * 37) % 65536 - 32768);
  for (char order : {'l', 'b'}) {
    Owned back(read_back(written(values, 16, order), 16, order, 's'));
    ASSERT_NE(back.sample, nullptr);
    EXPECT_EQ(live(back.sample), values);
    EXPECT_EQ(back.sample->capacity, 8192);  // 1024, doubled whenever full
  }
  const Bytes bytes = written(values, 16, 'l');
  each_allocation_failing([&] { return read_back(bytes, 16, 'l', 's'); },
                          [&](const Sample* s) { EXPECT_EQ(live(s), values); });
}

}  // namespace
}  // namespace novu
