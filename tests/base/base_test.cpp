#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "base/alloc.hpp"
#include "base/fixed.hpp"
#include "base/sine_table.hpp"
#include "base/wrap.hpp"

namespace novu {
namespace {

constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();

TEST(Alloc, InjectedFailureHitsExactlyTheChosenCallOnce) {
  mem_fail_after(2);
  void* first = mem_alloc(1, 4);
  void* second = mem_alloc(1, 4);
  EXPECT_TRUE(mem_fail_pending());
  void* third = mem_alloc(1, 4);
  EXPECT_FALSE(mem_fail_pending());
  void* fourth = mem_alloc(1, 4);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(third, nullptr);
  EXPECT_NE(fourth, nullptr);
  for (void* block : {first, second, fourth}) mem_free(block);
}

TEST(Alloc, BlocksAreZeroAndOverflowingRequestsFail) {
  auto* words = mem_new<std::uint32_t>(64);
  ASSERT_NE(words, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(words[i], 0u);
  mem_free(words);
  EXPECT_EQ(mem_alloc(std::numeric_limits<std::size_t>::max() / 2, 4), nullptr);
  void* empty = mem_alloc(0, 4);  // an empty request still gives a block that can be freed
  EXPECT_NE(empty, nullptr);
  mem_free(empty);
}

TEST(Wrap, ArithmeticWrapsModulo32Bits) {
  struct Case {
    std::int32_t got, want;
  } cases[] = {
      {wrap_add(int_max, 1), int_min},     {wrap_sub(int_min, 1), int_max},
      {wrap_mul(0x10000, 0x10000), 0},     {wrap_mul(int_max, 2), -2},
      {wrap_neg(int_min), int_min},        {wrap_shl(1 << 30, 1), int_min},
      {wrap_shl(-1, 31), int_min},         {wrap_shl(5, 32), 0},
      {shr_arith(-5, 2), -2},              {shr_arith(int_min, 40), -1},
      {div_trunc(-7, 2), -3},              {div_trunc(int_min, -1), int_min},
      {div_trunc(9, 0), 0},                {rem_trunc(-7, 2), -1},
      {rem_trunc(int_min, -1), 0},         {mod_floor(-5, 1024), 1019},
      {mod_floor(2048, 1024), 0},          {mod_floor(3, 0), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Fixed, IntegerPartRoundsTowardMinusInfinity) {
  EXPECT_EQ(fix_from_int(3), 0x30000);
  EXPECT_EQ(fix_int(0x2ffff), 2);
  EXPECT_EQ(fix_int(-1), -1);
  EXPECT_EQ(fix_int(-0x10000), -1);
  EXPECT_EQ(fix_frac(-1), 0xffff);
  EXPECT_EQ(fix_mul(fix_from_int(3), fix_one / 2), 0x18000);
  EXPECT_EQ(fix_mul(fix_from_int(-3), fix_one / 2), -0x18000);
}

TEST(SineTable, HoldsTheQuarterRuleWithItsTwoExceptions) {
  ASSERT_EQ(sine_table_count, static_cast<std::size_t>(sine_table_size));
  EXPECT_EQ(sine_table_length, 1024);
  for (int i = 0; i < 256; ++i) {
    long rule = std::lround(32767.0 * std::sin(2.0 * std::numbers::pi * i / 1024.0));
    if (i == 129 || i == 183) ++rule;
    EXPECT_EQ(sine_table[i], rule) << "entry " << i;
    EXPECT_EQ(sine_table[256 + i], sine_table[255 - i]) << "mirror of " << i;
  }
  for (int i = 0; i < 512; ++i) EXPECT_EQ(sine_table[512 + i], -sine_table[i]) << "entry " << 512 + i;
  const int first[] = {0, 201, 402, 603, 804, 1005, 1206, 1407, 1608, 1809};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(sine_table[i], first[i]);
  EXPECT_EQ(sine_table[128], 23170);
  EXPECT_EQ(sine_table[255], 32766);
  EXPECT_EQ(sine_table[256], 32766);
  EXPECT_EQ(sine_table[511], 0);
  EXPECT_EQ(sine_table[768], -32766);
}

}  // namespace
}  // namespace novu
