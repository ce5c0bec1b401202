#include "sound/sample.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "base/alloc.hpp"
#include "sample_values.hpp"

namespace novu {
namespace {

using namespace std::string_literals;
using Bytes = std::vector<unsigned char>;

constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t any = -1;  // capacity not checked
const std::optional<Values> rejected;

// The values of a sample just made, which is then released; none for no sample.
std::optional<Values> values_of(Sample* made) {
  const OwnedSample sample(made);
  return made != nullptr ? std::optional(live(made)) : rejected;
}

TEST(Sample, EditsOfTheValues) {
  const OwnedSample other = owned({10, 20});
  // The values before, the edit, the values after and the capacity then (or any).
  const std::tuple<Values, std::function<void(Sample*)>, Values, std::int32_t> cases[] = {
      // what the music generator does to its loop
      {{}, [](Sample* s) { sample_set_length(s, 40000); }, Values(40000, 0), 40000},
      {{1, 2}, [](Sample* s) { sample_set_length(s, 33); sample_set_length(s, 2); }, {1, 2}, 33},
      {{1, 2, 3}, [&](Sample* s) { sample_add(s, other.get()); }, {11, 22, 3}, any},
      {{int_max, int_min}, [](Sample* s) { sample_add(s, s); }, {-2, 0}, any},
      {{1, 2}, [](Sample* s) { sample_clear(s); }, {0, 0}, any},
      {{1, 2, 3, 4, 5}, [](Sample* s) { sample_reserve(s, 99); sample_rotate_right(s, 7); }, {4, 5, 1, 2, 3}, 32},
      {{1, 2, 3}, [](Sample* s) { sample_rotate_right(s, 3); }, {1, 2, 3}, any},
      // without memory in place rather than not at all: the music must not mix a hit out of place
      {{1, 2, 3, 4, 5}, [](Sample* s) { mem_fail_after(0); sample_rotate_right(s, 2); }, {4, 5, 1, 2, 3}, any},
      {{-5, 5, int_min}, [](Sample* s) { sample_shift_right(s, 2); }, {-2, 1, -536870912}, any},
      {{int_min, 7}, [](Sample* s) { sample_shift_right(s, 31); }, {-1, 0}, any},
      {{1 << 30, -1}, [](Sample* s) { sample_shift_left(s, 1); }, {int_min, -2}, any},
      // the rest of the module
      {{}, [](Sample* s) { sample_rotate_right(s, 2); sample_resample(s, 4); }, {}, any},
      {{1, 2, 3, 4, 5}, [](Sample* s) { sample_rotate_left(s, 6); }, {2, 3, 4, 5, 1}, any},
      {{1, 2, 3, 4, 5}, [](Sample* s) { sample_move(s, s, 3, 0, 1); }, {1, 1, 2, 3, 5}, any},
      {{1, 2, 3}, [](Sample* s) { sample_reserve(s, 3); sample_insert_at(s, 9, 0); }, {9, 1, 2, 3}, 6},
      {{1, 2}, [](Sample* s) { sample_insert_sample(s, s, 1); }, {1, 1, 2, 2}, 4},
      {{int_min, 0, int_max}, [](Sample* s) { sample_fit_range(s, int_max, int_min); }, {int_max, -1, int_min}, any},
      {{1, 2, 3}, [](Sample* s) { sample_resample(s, 7); }, {1, 1, 2, 2, 3, 3, 3}, 7},
      {{1, 2, 3, 4, 5}, [](Sample* s) { sample_resample(s, 3); }, {1, 2, 4}, 3}};  // value i * 5 / 3
  for (const auto& [before, edit, after, capacity] : cases) {
    const OwnedSample s = owned(before), t = owned(before);
    edit(s.get());
    EXPECT_EQ(live(s.get()), after);
    EXPECT_EQ(capacity == any ? any : s->capacity, capacity) << testing::PrintToString(after);
    mem_fail_after(0);  // without memory an edit is done whole or not at all
    edit(t.get());
    mem_fail_disarm();
    EXPECT_TRUE(live(t.get()) == after || live(t.get()) == before) << testing::PrintToString(after);
  }
}

TEST(Sample, ReadsComparisonsAndCopies) {
  const OwnedSample hold[] = {owned({3, -7, 9, 9}), owned({1, 2, 3}), owned({2, 3}), owned({1, 5, 1})};
  const Sample *s = hold[0].get(), *a = hold[1].get(), *b = hold[2].get(), *c = hold[3].get();
  EXPECT_EQ(std::tuple(sample_get(s, 3), sample_max(s), sample_min(s)), std::tuple(9, 9, -7));
  EXPECT_EQ(std::tuple(sample_equal(a, b), sample_equal(a, a), sample_best_offset(a, b),
                       sample_best_offset(a, c), sample_best_offset(b, c)),
            std::tuple(0, 1, 1, -2, -3));  // the first of equal counts wins, and no match gives -length
  EXPECT_EQ(values_of(sample_clone(a)), (Values{1, 2, 3}));
  EXPECT_EQ(values_of(sample_slice(a, -5, 2)), (Values{1, 2}));
  mem_fail_after(0);  // a count the text cannot hold is refused before anything is allocated
  EXPECT_EQ(sample_from_text("SAMPLE{1000000000\n1\n}"), nullptr);
  EXPECT_TRUE(mem_fail_pending());
  mem_fail_disarm();
}

// Every text goes through both readers, the bounded one on a heap copy without a terminator so
// that reading one byte more is caught; the canonical ones are also what the writer makes.
TEST(SampleText, RoundTripsAndRejectsTextsThatDoNotHoldTheirCount) {
  const std::tuple<std::string, std::optional<Values>, bool> cases[] = {  // text, values, canonical
      {"SAMPLE{2\n5\n-12\n}\n", Values{5, -12}, true}, {"SAMPLE{}\n", Values{}, true},
      {"SAMPLE{2\n-2147483648\n2147483647\n}\n", Values{int_min, int_max}, true},
      {"junk SAMPLE x { n=3: 1, -2; #3 }", Values{1, -2, 3}, false},
      {"SAMPLE{2\n5\n-", Values{5, 0}, false},  // a '-' without digits is 0
      {"SAMPLE{3\n1\n2\n}\n5\n", rejected, false},  // fewer values than counted in the block
      {"SAMPLE 1 1", rejected, false}, {"SAMPLE{3\n1\n2", rejected, false}, {"SAMPLE{2\n5\0\n6\n}"s, rejected, false},
      {"SAMPLE{4294967297\n1\n}", rejected, false}, {"SAMPLE{1\n2147483648\n}", rejected, false},
      {"SAMPLE{1\n-2147483649\n}", rejected, false}};
  for (const auto& [text, want, canonical] : cases) {
    const std::vector<char> bytes(text.begin(), text.end());
    EXPECT_EQ(values_of(sample_from_text(text.c_str())), want) << text;
    EXPECT_EQ(values_of(sample_from_text_bounded(bytes.data(), bytes.size())), want) << text;
    if (!canonical) continue;
    const std::unique_ptr<char, void (*)(void*)> written(sample_to_text(owned(*want).get()), mem_free);
    EXPECT_STREQ(written.get(), text.c_str());
  }
}

Bytes written(const Values& values, std::int32_t width, char order) {
  std::FILE* file = std::tmpfile();
  sample_write_raw(owned(values).get(), file, width, order);
  Bytes bytes(static_cast<std::size_t>(std::ftell(file)));
  std::rewind(file);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return bytes;
}

TEST(SampleRaw, WritesClippedValuesInTheChosenWidthAndOrderAndReadsPcmBack) {
  const std::tuple<Values, std::int32_t, char, Bytes> writes[] = {
      {{40000, -40000}, 16, 'l', {0xff, 0x7f, 0x00, 0x80}}, {{300, -300, -2}, 8, 'b', {0x7f, 0x80, 0xfe}},
      {{0x1234}, 12, 'x', {0x34, 0x12}},  // any other width is 16, any other order little-endian
      {{0x123456, 9000000, -9000000}, 24, 'l', {0x56, 0x34, 0x12, 0xff, 0xff, 0x7f, 0x00, 0x00, 0x80}},
      {{int_min, -2}, 32, 'b', {0x80, 0x00, 0x00, 0x01, 0xff, 0xff, 0xff, 0xfe}}};
  for (const auto& [values, width, order, bytes] : writes) EXPECT_EQ(written(values, width, order), bytes);
  // Reading takes 8 or 16 bits, signed or unsigned, into the 16-bit range.
  const std::tuple<Bytes, std::int32_t, char, char, Values> reads[] = {
      {{0x00, 0x80}, 16, 'l', 's', {-32768}}, {{0x00, 0x80}, 16, 'l', 'u', {0}},
      {{0x80, 0x00, 0x7f, 0xff}, 16, 'b', 's', {-32768, 32767}},
      {{0xff, 0xff, 0x01}, 16, 'b', 'u', {32767}},  // a last single byte is dropped
      {{0xff, 0x7f, 0x80}, 8, 'l', 's', {-256, 32512, -32768}}, {{0xff, 0x00}, 8, 'b', 'u', {32512, -32768}},
      {Bytes(2050, 0x80), 8, 'l', 'u', Values(2050, 0)}};  // more than the first block holds
  for (auto [bytes, width, order, signedness, want] : reads) {
    std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    EXPECT_EQ(values_of(sample_read_raw(file, width, order, signedness)), want) << width << order << signedness;
    std::fclose(file);
  }
}

}  // namespace
}  // namespace novu
