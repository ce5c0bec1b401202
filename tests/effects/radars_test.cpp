#include "effects/radars.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <tuple>

#include "support/pictures.hpp"

namespace novu {
namespace {

TEST(Radars, SetCountDrawsAngleThenRadiusAndUpdateTurnsEachAngleByItsSpeed) {
  for (auto [width, sx, sy] : {std::array{3, -3, -3}, {100, -1025, -1025}, {256, 2049, 2049}, {256, 7, -5}}) {
    Radars* radars = radars_create();
    std::tie(radars->width, radars->speed_x, radars->speed_y) = std::tuple(width, sx, sy);  // 7, -5: each its own speed
    std::srand(7);
    std::array<RadarPoint, 40> want{};
    for (RadarPoint& w : want) {
      w.angle_x = std::rand() % 1023;
      w.radius = std::rand() % (width * 3 / 2);  // width 3: 4 radii
    }
    const int next = std::rand();
    std::srand(7);
    radars_set_count(radars, 40);
    EXPECT_EQ(next, std::rand());
    for (std::int32_t frame = 0; frame <= 1100; ++frame, radars_update(radars)) {  // frame 0: as set
      for (std::int32_t i = 0; i < radars->count; ++i) {
        const RadarPoint &p = radars->points[i], &w = want[i];
        const int x = (w.angle_x + frame * sx) & 1023, y = (w.angle_x + 256 + frame * sy) & 1023;  // floor remainders
        ASSERT_EQ((std::array{p.angle_x, p.angle_y, p.radius}), (std::array{x, y, w.radius})) << sx << ", " << sy;
      }
    }
    radars_destroy(&radars);
  }
}

// The centre; 32766 * 10 >> 16 = 4; -327660 >> 16 = -5, not -4; -7.9995 floors to row 0. Black wins, drawn later.
TEST(Radars, DrawShiftsProductsTowardsMinusInfinityAndOverwrites) {
  std::array<RadarPoint, 4> points{{{0, 256, 0}, {256, 512, 10}, {768, 0, 10}, {0, 768, 16}}};
  Radars green{0, 0, 8, 8, 1, 1, 0x00FF00, 4, points.data()}, black{0, 0, 8, 8, 1, 1, 0, 1, points.data()};
  const Img image = filled(16, 14, 0xEEEEEE), want = filled(16, 14, 0xEEEEEE);
  for (Radars* radars : {&green, &black}) radars_draw(radars, image.get());
  for (auto [x, y, colour] : {std::array{8u, 8u, 0u}, {12u, 8u, 0xFF00u}, {3u, 8u, 0xFF00u}, {8u, 0u, 0xFF00u}}) {
    want->pixels[y * 16 + x] = colour;
  }
  EXPECT_EQ(std::tuple(pixels_of(image.get()), green.width, green.height), std::tuple(pixels_of(want.get()), 16, 14));
}

}  // namespace
}  // namespace novu
