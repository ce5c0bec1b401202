#pragma once
// SPLIX3D: a 3D burst of sparks. Particles leave the centre of a cube in random straight lines,
// are drawn in perspective as greys shaded by depth, and start again from the centre once they
// leave the cube.

#include <cstdint>

#include "image/image.hpp"

namespace novu {

struct Spark {
  std::int32_t x, y, z;     // 16.16 units; one unit is one pixel at depth 0
  std::int32_t vx, vy, vz;  // 16.16 units per update
};

struct Splix3D {
  std::int32_t centre_x;  // screen position of the projection centre
  std::int32_t centre_y;
  std::int32_t distance;  // viewer distance, also the depth shift of the cube
  std::int32_t box_x;     // cube edges; only the low 16 bits count, as a signed number
  std::int32_t box_y;
  std::int32_t box_z;
  std::int32_t count;
  Spark* particles;  // count particles, owned
};

// Centre (128, 128), distance 128, a 256-unit cube, 10 fresh particles; null when the heap is
// exhausted.
Splix3D* splix3d_create() noexcept;
// A count <= 0 (or beyond effect_max_count) changes nothing; when the new particles find no
// room the record is left without any.
void splix3d_set_count(Splix3D* splix, std::int32_t count) noexcept;
void splix3d_reset_particle(Splix3D* splix, std::int32_t index) noexcept;
void splix3d_reset_all(Splix3D* splix) noexcept;
void splix3d_update(Splix3D* splix) noexcept;
void splix3d_draw(const Splix3D* splix, Image* target) noexcept;
void splix3d_draw_sprites(const Splix3D* splix, Image* target, const Image* sprite) noexcept;
// The demo keeps its bursts until exit; this lets everyone else give one back.
void splix3d_destroy(Splix3D** splix) noexcept;

}  // namespace novu
