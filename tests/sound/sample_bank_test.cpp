// The embedded bank as the music generator receives it: sixteen quarter-second percussive hits,
// each keeping the level, pitch character and envelope the music was balanced with.

#include "sound/sample_bank.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/sample.hpp"

namespace novu {
namespace {

// What a hit looks like, measured the same way for every recording:
// - sign_changes: pairs of consecutive non-zero values of opposite sign (zeros are skipped);
// - peak_index: the first index of the largest absolute value;
// - fall_index: one past the last non-zero value whose absolute value is at least 5 % of the
//   peak, so every value from there on stays below 5 % of the peak (0 for silence).
struct Shape {
  std::int32_t lowest;
  std::int32_t highest;
  int sign_changes;
  int peak_index;
  int fall_index;
};

Shape measure(const std::int32_t* values, int n) {
  Shape shape{0, 0, 0, 0, 0};
  std::int32_t peak = 0, last_nonzero = 0;
  for (int i = 0; i < n; ++i) {
    const std::int32_t v = values[i];
    if (v < shape.lowest) shape.lowest = v;
    if (v > shape.highest) shape.highest = v;
    if (std::abs(v) > peak) {
      peak = std::abs(v);
      shape.peak_index = i;
    }
    if (v != 0) {
      if ((v > 0 && last_nonzero < 0) || (v < 0 && last_nonzero > 0)) ++shape.sign_changes;
      last_nonzero = v;
    }
  }
  for (int i = 0; i < n; ++i) {
    if (values[i] != 0 && 20 * std::abs(values[i]) >= peak) shape.fall_index = i + 1;
  }
  return shape;
}

struct MeasureCase {
  const char* what;
  std::vector<std::int32_t> values;
  Shape expected;
};

TEST(SampleBankMeasure, FollowsItsDefinitions) {
  const MeasureCase cases[] = {
      {"zeros between opposite signs still count once", {0, 3, 0, 0, -2, -1, 0, 4}, {-2, 4, 2, 7, 8}},
      {"same sign across zeros is no change", {5, 0, 0, 7, 0, 0}, {0, 7, 0, 3, 4}},
      {"the first of two equal peaks wins", {-9, 1, 9, 0}, {-9, 9, 1, 0, 3}},
      {"exactly 5 % of the peak still counts as sounding", {100, 0, 5, 4, 0}, {0, 100, 0, 0, 3}},
      {"silence", {0, 0, 0}, {0, 0, 0, 0, 0}},
  };
  for (const MeasureCase& c : cases) {
    const Shape got = measure(c.values.data(), static_cast<int>(c.values.size()));
    EXPECT_EQ(got.lowest, c.expected.lowest) << c.what;
    EXPECT_EQ(got.highest, c.expected.highest) << c.what;
    EXPECT_EQ(got.sign_changes, c.expected.sign_changes) << c.what;
    EXPECT_EQ(got.peak_index, c.expected.peak_index) << c.what;
    EXPECT_EQ(got.fall_index, c.expected.fall_index) << c.what;
  }
}

// The character of each recording: its extreme values and how often it crosses zero (a few
// dozen crossings are a low drum body, thousands are cymbal noise).
struct Character {
  const char* hit;
  std::int32_t lowest;
  std::int32_t highest;
  int sign_changes;
};

const Character bank_character[sample_bank_size] = {
    {"deep kick",         -28972,  11524,    92},
    {"conga",              -6060,   6081,   161},
    {"snare",             -15842,  19958,   894},
    {"fat snare",         -26553,  30950,   425},
    {"clap",              -25984,  22416,   750},
    {"mid tom",           -10875,  12251,    95},
    {"crack snare",       -32055,  32067,  1842},
    {"high tom",          -20601,  27964,   194},
    {"boom",               -1524,  19150,    73},
    {"half-open hi-hat",  -12451,  12092,  5487},
    {"cymbal splash",     -12451,  12041,  4569},
    {"sub kick",          -18480,  15897,    42},
    {"bongo slap",        -19964,  12880,   176},
    {"cowbell",           -21626,  23700,   335},
    {"rimshot",           -12254,  11153,   635},
    {"soft clap",          -6127,   5637,   769},
};

bool within_percent(double measured, double listed, double percent) {
  const double allowed = (listed < 0 ? -listed : listed) * percent / 100.0;
  return measured >= listed - allowed && measured <= listed + allowed;
}

TEST(SampleBank, HoldsSixteenQuarterSecondRecordsOverStaticStorage) {
  ASSERT_EQ(sample_bank.count, 16);
  for (int i = 0; i < sample_bank_size; ++i) {
    const Sample& hit = sample_bank.samples[i];
    EXPECT_EQ(hit.length, 11025) << "hit " << i;
    EXPECT_EQ(hit.capacity, 11025) << "hit " << i;
    ASSERT_NE(hit.values, nullptr) << "hit " << i;
    EXPECT_TRUE(sample_in_bank(&hit)) << "hit " << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(hit.values, sample_bank.samples[j].values) << i << " shares " << j;
  }
  Sample* heap = sample_create();
  EXPECT_FALSE(sample_in_bank(heap));
  EXPECT_FALSE(sample_in_bank(nullptr));
  sample_destroy(&heap);
}

TEST(SampleBank, EveryHitKeepsItsCharacter) {
  for (int i = 0; i < sample_bank_size; ++i) {
    const Sample& hit = sample_bank.samples[i];
    ASSERT_EQ(hit.length, sample_bank_length);
    const Character& listed = bank_character[i];
    SCOPED_TRACE(::testing::Message() << "hit " << i << " (" << listed.hit << ")");
    for (int j = 0; j < hit.length; ++j) {
      ASSERT_GE(hit.values[j], INT16_MIN) << "at " << j;
      ASSERT_LE(hit.values[j], INT16_MAX) << "at " << j;
    }
    const Shape shape = measure(hit.values, hit.length);
    EXPECT_TRUE(within_percent(shape.lowest, listed.lowest, 10)) << "lowest " << shape.lowest;
    EXPECT_TRUE(within_percent(shape.highest, listed.highest, 10)) << "highest " << shape.highest;
    EXPECT_TRUE(within_percent(shape.sign_changes, listed.sign_changes, 25)) << "sign changes " << shape.sign_changes;
    // A hit: loudest within its first 1714 values, then dying away below 5 % of that peak
    // somewhere between 4928 and 10953.
    EXPECT_LT(shape.peak_index, 1714);
    EXPECT_GE(shape.fall_index, 4928);
    EXPECT_LE(shape.fall_index, 10953);
    // Mixed into a loop, a hit that starts or stops away from zero clicks, and one that rides on
    // an offset thumps.
    const std::int64_t peak = shape.highest > -shape.lowest ? shape.highest : -shape.lowest;
    EXPECT_LE(100 * std::abs(hit.values[0]), peak) << "first value " << hit.values[0];
    EXPECT_LE(100 * std::abs(hit.values[hit.length - 1]), peak) << "last value " << hit.values[hit.length - 1];
    std::int64_t sum = 0;
    for (int j = 0; j < hit.length; ++j) sum += hit.values[j];
    EXPECT_LE(50 * std::llabs(sum), peak * hit.length) << "mean " << sum / hit.length;
  }
}

}  // namespace
}  // namespace novu
