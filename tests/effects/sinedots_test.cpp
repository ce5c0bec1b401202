#include "effects/sinedots.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <tuple>
#include <utility>
#include <vector>

#include "support/pictures.hpp"

namespace novu {
namespace {
using Six = std::array<std::int32_t, 6>;
using Dots = std::vector<std::pair<int, int>>;
TEST(SineDots, RandomisingDrawsInOrderTheChainSumsThreeProductsBeforeOneShiftAndUpdateWraps) {
  std::array<int, 19> r;
  std::srand(5);
  std::ranges::generate(r, [] { return std::rand(); });
  std::srand(5);
  SineDots* d = sinedots_create();  // which randomises
  EXPECT_EQ(std::rand(), r[18]);
  const Six range = {8, 8, 8, 8, 4, 4}, base = {3, 3, 2, 2, 1, 1}, step = {5, 6, 6, 7, 7, 8};
  for (int k = 0, i = 0; k < 6; ++k, i = 6 * (k / 2) + k % 2)  // wave k / 2: two angles, two speeds, two steps
    EXPECT_EQ(std::tuple(d->angles[k], d->speeds[k], d->steps[k]),
              std::tuple(r[i] % 1024, r[i + 2] % range[k] + base[k], r[i + 4] % 16 + step[k]));
  const auto drawn = [d](std::int32_t n, const Six& a, const Six& steps) {  // the red dots in 128 x 64, row by row
    sinedots_set_count(d, n);
    std::ranges::copy(a, d->angles);
    std::ranges::copy(steps, d->steps);
    const Img image = filled(128, 64, 1);
    sinedots_draw(d, image.get());
    EXPECT_EQ(std::pair(std::to_array(d->angles), std::to_array(d->radii)), std::pair(a, Six{64, 32, 32, 16, 16, 8}));
    Dots lit;
    for (int i = 0; i < 128 * 64; ++i) {
      if (image->pixels[i] == 0xFF0000) lit.emplace_back(i % 128, i / 128);
    }
    return lit;
  };
  const Six far = {1029, -124, -1048, 600, INT32_MAX - 690, INT32_MIN + 1023}, eights = {8, 8, 8, 8, 8, 8};
  // 64 + (32766 * 112 >> 16) is 119, where shifting each product gives 117; y floors to 4, not 5
  EXPECT_EQ(drawn(1, {256, 768, 256, 768, 256, 768}, {}), Dots({{119, 4}}));
  EXPECT_EQ(drawn(3, far, {-7, -1000, -3000, 2100, 3000, INT32_MAX}), Dots({{69, 16}, {76, 16}, {80, 17}}));
  EXPECT_EQ(drawn(5120, {}, eights), drawn(128, {}, eights));  // the working angles wrap: the chain retraces
  std::ranges::copy(Six{30, -10, -1024, 1, 0, -1}, d->speeds);  // from start angles all 0
  sinedots_update(d);
  EXPECT_EQ(std::to_array(d->angles), Six({30, 1014, 0, 1, 0, 1023}));
  sinedots_destroy(&d);
}

}  // namespace
}  // namespace novu
