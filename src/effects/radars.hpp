#pragma once
// RADARS: a disc of dots turning around a centre. Every point keeps an x and a y angle a quarter
// turn apart; advancing both by the same speed turns it on its circle.

#include <cstdint>

#include "image/image.hpp"

namespace novu {

struct RadarPoint {
  std::int32_t angle_x;  // sine table indices, kept in [0, 1024)
  std::int32_t angle_y;
  std::int32_t radius;   // half-pixels
};

struct Radars {
  std::int32_t width;  // of the target area; every draw takes the target's
  std::int32_t height;
  std::int32_t centre_x;
  std::int32_t centre_y;
  std::int32_t speed_x;  // table steps per update
  std::int32_t speed_y;
  std::uint32_t colour;
  std::int32_t count;
  RadarPoint* points;  // count points, owned
};

// 256 x 256 centred at (128, 128), speeds 1, white, 16 random points.
Radars* radars_create() noexcept;
Radars* radars_create_if(int flag) noexcept;
void radars_set_count(Radars* radars, std::int32_t count) noexcept;
void radars_reset_point(Radars* radars, std::int32_t index) noexcept;
void radars_scatter(Radars* radars) noexcept;
void radars_update(Radars* radars) noexcept;
void radars_draw(Radars* radars, Image* target) noexcept;
void radars_destroy(Radars** radars) noexcept;

}  // namespace novu
