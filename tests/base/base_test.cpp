#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>

#include "base/alloc.hpp"
#include "base/fixed.hpp"
#include "base/sine_table.hpp"
#include "base/wrap.hpp"

namespace novu {
namespace {

constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();

TEST(Alloc, BlocksAreZeroAndTheInjectedFailureHitsExactlyTheChosenCallOnce) {
  mem_fail_after(1);
  auto* first = mem_new<std::uint32_t>(64);
  EXPECT_TRUE(mem_fail_pending());
  EXPECT_EQ(mem_alloc(1, 4), nullptr);
  EXPECT_FALSE(mem_fail_pending());
  void* empty = mem_alloc(0, 4);  // an empty request still gives a block that can be freed
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::count(first, first + 64, 0u), 64);
  EXPECT_NE(empty, nullptr);
  EXPECT_EQ(mem_alloc(std::numeric_limits<std::size_t>::max() / 2, 4), nullptr);
  mem_free(first);
  mem_free(empty);
}

TEST(Wrap, ArithmeticWrapsModulo32BitsAndFixedPointRoundsDown) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {  // got, want
      {wrap_add(int_max, 1), int_min}, {wrap_sub(int_min, 1), int_max}, {wrap_mul(0x10000, 0x10000), 0},
      {wrap_mul(int_max, 2), -2},      {wrap_neg(int_min), int_min},    {wrap_shl(1 << 30, 1), int_min},
      {wrap_shl(-1, 31), int_min},     {wrap_shl(5, 32), 0},            {shr_arith(-5, 2), -2},
      {shr_arith(int_min, 40), -1},    {div_trunc(-7, 2), -3},          {div_trunc(int_min, -1), int_min},
      {div_trunc(9, 0), 0},            {rem_trunc(-7, 2), -1},          {rem_trunc(int_min, -1), 0},
      {mod_floor(-5, 1024), 1019},     {mod_floor(2048, 1024), 0},      {mod_floor(3, 0), 0},
      {fix_from_int(3), 0x30000},      {fix_int(0x2ffff), 2},           {fix_int(-1), -1},
      {fix_int(-0x10000), -1},         {fix_frac(-1), 0xffff},          {fix_mul(0x30000, 0x8000), 0x18000},
      {fix_mul(-0x30000, 0x8000), -0x18000}};
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}

TEST(SineTable, HoldsTheQuarterRuleWithItsTwoExceptionsAndItsSymmetries) {
  ASSERT_EQ(sine_table_count, static_cast<std::size_t>(sine_table_size));
  for (int i = 0; i < 256; ++i) {
    const long rule = std::lround(32767.0 * std::sin(2.0 * std::numbers::pi * i / 1024.0));
    EXPECT_EQ(sine_table[i], rule + (i == 129 || i == 183)) << "entry " << i;
    EXPECT_EQ(sine_table[256 + i], sine_table[255 - i]) << "mirror of " << i;
  }
  for (int i = 0; i < 512; ++i) EXPECT_EQ(sine_table[512 + i], -sine_table[i]) << "entry " << 512 + i;
  EXPECT_EQ(sine_table[128], 23170);
  EXPECT_EQ(sine_table[256], 32766);
}

}  // namespace
}  // namespace novu
