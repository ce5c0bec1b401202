#pragma once
// STARS3D: the flight through a box of stars. All stars move by one common velocity, are drawn
// in perspective as greys that brighten as they come closer, and are re-born at the far end of
// the box when they leave it.

#include <cstdint>

#include "image/image.hpp"

namespace novu {

struct Star3D {
  std::int32_t x, y, z;  // 16.16 units; z = 0 is the plane nearest the viewer
};

struct Stars3D {
  std::int32_t x_offset;  // added to every projected position
  std::int32_t y_offset;
  std::int32_t width;     // of the box; every draw takes the target's
  std::int32_t height;
  std::int32_t depth;     // of the box, also the viewer distance
  std::int32_t vx;        // 16.16 units per update
  std::int32_t vy;
  std::int32_t vz;
  std::uint32_t colour;   // kept for the record's users; the draw shades by depth
  std::int32_t count;
  Star3D* stars;  // count stars, owned
};

// A 256 x 256 x 256 box flown through at 3 units per update, 16 random stars.
Stars3D* stars3d_create() noexcept;
Stars3D* stars3d_create_if(int flag) noexcept;
void stars3d_set_count(Stars3D* stars, std::int32_t count) noexcept;
void stars3d_scatter(Stars3D* stars) noexcept;
void stars3d_respawn(Stars3D* stars, std::int32_t index) noexcept;
void stars3d_update(Stars3D* stars) noexcept;
void stars3d_draw(Stars3D* stars, Image* target) noexcept;
void stars3d_destroy(Stars3D** stars) noexcept;

}  // namespace novu
