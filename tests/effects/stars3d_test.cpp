#include "effects/stars3d.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "support/pictures.hpp"

namespace novu {
static bool operator==(const Star3D& a, const Star3D& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
namespace {

constexpr std::int32_t one = 0x10000;
Star3D at(std::int32_t x, std::int32_t y, std::int32_t z) { return {x * one, y * one, z * one}; }
Star3D drawn(std::int32_t w, std::int32_t h, std::int32_t d, bool reborn) {
  const int x = std::rand() % w;
  const int y = std::rand() % h;
  return at(x, y, reborn ? d - std::rand() % 16 : std::rand() % d);  // re-born: last 16 layers, far face included
}

// The draw narrows the box to 128 x 128; stars 0-5 leave it: x = width, z = -0.5, x < 0, y < 0, y = height, z = depth.
TEST(Stars3D, ScatterGoesLastToFirstAndUpdateRebirthsLeaversAtOnceInIndexOrder) {
  std::vector<Star3D> field(5), scattered(5), want, stars{at(128, 1, 5), {one, one, one / 2}, {-2, one, 2 * one},
      {one, -3, 2 * one}, at(1, 128, 5), at(1, 1, 257), {0x7FFFFE, 0x7FFFFD, 0x100FFFF}, at(0, 0, 1)};
  Stars3D box{0, 0, 100, 50, 20, 0, 0, 0, 0, 5, field.data()}, s{0, 0, 256, 256, 256, 1, 2, -one, 0, 8, stars.data()};
  stars3d_draw(&s, filled(128, 128, 0).get());
  std::srand(7);
  for (auto w = scattered.rbegin(); w != scattered.rend(); ++w) *w = drawn(100, 50, 20, false);
  for (const auto& a : stars)  // 6 and 7 move by (1, 2, -one) and stay
    want.push_back(&a < &stars[6] ? drawn(128, 128, 256, true) : Star3D{a.x + 1, a.y + 2, a.z - one});
  const int next = std::rand();
  std::srand(7);
  stars3d_scatter(&box);
  stars3d_update(&s);
  EXPECT_EQ(std::tuple(field, stars, std::rand(), s.width, s.height), std::tuple(scattered, want, next, 128, 128));
}

// 257 x 257 (centre 128, 128), offsets (1, -1), depth 256: Z = 0 in place, white; Z = 128 a third of the way in, grey;
// Z = 256 half-way, white, over star 3 drawn before it; Z = 255 black, 48.1 truncated; Z = -256 (g = 0) skipped.
TEST(Stars3D, DrawProjectsTowardsTheCentreShadesByDepthAndLowerIndexWins) {
  std::vector<Star3D> stars{at(224, 32, 0),   at(224, 32, 128), at(224, 32, 256),
                            at(224, 32, 255), at(32, 224, 255), at(224, 32, -256)};
  Stars3D s{1, -1, 256, 256, 256, 0, 0, 0, 0, 6, stars.data()};
  const Img image = filled(257, 257, 0xEEEEEE), want = filled(257, 257, 0xEEEEEE);
  stars3d_draw(&s, image.get());
  for (auto [x, y, grey] : {std::array{224, 32, 255}, {192, 64, 127}, {176, 80, 255}, {80, 176, 0}})
    want->pixels[(y - 1) * 257 + x + 1] = grey * 0x010101u;
  EXPECT_EQ(pixels_of(image.get()), pixels_of(want.get()));
}

}  // namespace
}  // namespace novu
