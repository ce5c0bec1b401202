// The embedded bank as the music generator receives it: sixteen quarter-second percussive hits,
// each keeping the level, pitch character and envelope the music was balanced with.

#include "sound/sample_bank.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <utility>

namespace novu {
namespace {

// Each recording's lowest and highest value and its sign changes (a few dozen are a low drum body,
// thousands are noise), in bank order.
const std::tuple<std::int32_t, std::int32_t, int> listed[sample_bank_size] = {
    {-28972, 11524, 92},  {-6060, 6081, 161},   {-15842, 19958, 894}, {-26553, 30950, 425},
    {-25984, 22416, 750}, {-10875, 12251, 95},  {-32055, 32067, 1842}, {-20601, 27964, 194},
    {-1524, 19150, 73},   {-12451, 12092, 5487}, {-12451, 12041, 4569}, {-18480, 15897, 42},
    {-19964, 12880, 176}, {-21626, 23700, 335}, {-12254, 11153, 635}, {-6127, 5637, 769},
};

bool within_percent(std::int32_t measured, std::int32_t listed, int percent) {
  return 100 * std::abs(measured - listed) <= percent * std::abs(listed);
}

TEST(SampleBank, SixteenQuarterSecondHitsThatEachKeepTheirCharacter) {
  ASSERT_EQ(sample_bank.count, 16);
  for (int i = 0; i < sample_bank_size; ++i) {
    SCOPED_TRACE(testing::Message() << "recording " << i);
    const auto [listed_lowest, listed_highest, listed_sign_changes] = listed[i];
    const Sample& hit = sample_bank.samples[i];
    ASSERT_EQ(std::pair(hit.length, hit.capacity), std::pair(sample_bank_length, sample_bank_length));
    const std::int32_t *begin = hit.values, *end = hit.values + hit.length;
    const auto [lowest, highest] = std::minmax_element(begin, end);
    const auto louder = [](std::int32_t a, std::int32_t b) { return std::abs(a) < std::abs(b); };
    const std::int32_t* peak = std::max_element(begin, end, louder);
    const std::int32_t* fall = end;  // from here on every value stays below 5 % of the peak
    while (fall != begin && 20 * std::abs(fall[-1]) < std::abs(*peak)) --fall;
    int sign_changes = 0, last_sign = 0;  // zeros are skipped
    for (const std::int32_t* v = begin; v != end; ++v) {
      const int sign = (*v > 0) - (*v < 0);
      if (sign != 0 && sign == -last_sign) ++sign_changes;
      if (sign != 0) last_sign = sign;
    }
    EXPECT_TRUE(*lowest >= INT16_MIN && *highest <= INT16_MAX) << *lowest << " .. " << *highest;
    EXPECT_TRUE(within_percent(*lowest, listed_lowest, 10)) << "lowest " << *lowest;
    EXPECT_TRUE(within_percent(*highest, listed_highest, 10)) << "highest " << *highest;
    EXPECT_TRUE(within_percent(sign_changes, listed_sign_changes, 25)) << sign_changes << " sign changes";
    EXPECT_LT(peak - begin, 1714);
    EXPECT_TRUE(fall - begin >= 4928 && fall - begin <= 10953) << "fades from " << fall - begin;
  }
}

}  // namespace
}  // namespace novu
