#include "effects/stars.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "support/pictures.hpp"

namespace novu {
bool operator==(StarPoint a, StarPoint b) { return a.x == b.x && a.y == b.y; }
namespace {
using Points = std::vector<StarPoint>;
std::vector<int> draws(unsigned seed, int n) {  // the first n after srand(seed), then seeded again
  std::srand(seed);
  std::vector<int> r(n);
  for (int& v : r) v = std::rand();
  std::srand(seed);
  return r;
}

TEST(Stars, PlacementDrawsTwicePerStarXFirst) {
  Stars* s = nullptr;
  for (const auto [op, n, w, h] : {std::array{0, 16, 256, 256}, {1, 5, 100, 3}, {2, 5, 7, 3}}) {
    const std::vector<int> r = draws(op + 1, 2 * n + 1);
    if (op == 0) s = stars_create();
    if (op > 0) s->width = w, s->height = h, op == 1 ? stars_set_count(s, n) : stars_scatter(s);
    for (int i = 0; i < n; ++i) EXPECT_EQ(s->stars[i], StarPoint(r[2 * i] % w << 16, r[2 * i + 1] % h << 16));
    EXPECT_EQ((std::array{s->count, s->dy, std::rand()}), (std::array{n, 0x10000, r[2 * n]}));  // dy is 1.0 at first
  }
  testing::internal::CaptureStdout();
  stars_error();
  stars_verbose = 1;
  stars_error();
  stars_verbose = 0;
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "STARS error\n");  // only while the switch is on
  stars_destroy(&s);
}

// Drawn into 10 x 8, then updated. Expected -1 - k: draw k as a random inner column or row; r: third draw % m.
TEST(Stars, DrawThenUpdateRebirthsLeaversInOrderOnTheEdgeTheyEnterFrom) {
  struct Case { std::int32_t dx, dy; int m, r; Points want; int used; Points at = {{100 << 16, 100 << 16}}; };
  const std::int32_t x9 = 9 << 16, y7 = 7 << 16;
  Case cases[] = {{0x10000, 0, 1, 0, {{0, -2}, {x9, 2}, {0, -4}}, 4, {{x9 | 0xFFFF, 1}, {8 << 16, 2}, {x9, 3}}},
                  {0, 0x8000, 1, 0, {{4, y7 | 0x8000}, {-1, 0}}, 2, {{4, y7}, {5, y7 | 0x8000}}},
                  {-1, 0, 1, 0, {{x9, -2}}, 2, {{0, 2 << 16 | 0xFFFF}}}, {0, -1, 1, 0, {{-1, y7}}, 2, {{0, 0}}},
                  {1, 0, 1, 0, {{0, -2}}, 2, {{INT32_MAX, 0}}}, {0, 0, 1, 0, {{-1, -2}}, 2},
                  // weights 4, 5 and 1 (-1.5), 2 (+1.5): the heavier edge while r is below its weight
                  {0x30000, 0x40000, 9, 4, {{-1, 0}}, 3}, {0x30000, 0x40000, 9, 5, {{0, -2}}, 3},
                  {-0x18000, 0x18000, 3, 1, {{-1, 0}}, 3}, {-0x18000, 0x18000, 3, 2, {{x9, -2}}, 3},
                  {0x18000, -0x18000, 3, 1, {{0, -2}}, 3}, {0x18000, -0x18000, 3, 2, {{-1, y7}}, 3},
                  // equal weights favour y; weights 0 and 0 still draw r and take the x edge
                  {0x10000, 0x10000, 4, 1, {{-1, 0}}, 3}, {-0x8000, -0x8000, 1, 0, {{x9, -2}}, 3}};
  for (Case& c : cases) {
    const Img image = filled(10, 8, 0), lit = picture(10, 8, [&c](std::int32_t x, std::int32_t y) {
      return std::ranges::any_of(c.at, [&](StarPoint p) { return p.x >> 16 == x && p.y >> 16 == y; }) ? 1u : 0u; });
    std::vector<int> r;
    for (unsigned seed = 1; (r = draws(seed, 5))[2] % c.m != c.r || r[0] % 10 % 9 == 0 || r[1] % 8 % 7 == 0; ++seed) {}
    for (StarPoint& p : c.want) p = {p.x < 0 ? r[-1 - p.x] % 10 << 16 : p.x, p.y < 0 ? r[-1 - p.y] % 8 << 16 : p.y};
    Stars s{256, 256, c.dx, c.dy, 1, nullptr, static_cast<std::int32_t>(c.at.size()), c.at.data()};
    stars_draw(&s, image.get());
    stars_update(&s);
    EXPECT_EQ(pixels_of(image.get()), pixels_of(lit.get()));
    EXPECT_EQ(std::pair(c.at, std::rand()), std::pair(c.want, r[c.used])) << c.dx << ", " << c.dy << " r " << c.r;
  }
}

}  // namespace
}  // namespace novu
