#pragma once
// GAS2D: a gas of particles flying across an area that wraps at every edge. Before each step a
// particle looks at the pixel it would move onto in the picture it was last drawn into; if that
// pixel is lit it stays and takes a new random velocity. The third coordinate only sets the
// brightness.

#include <cstdint>

#include "image/image.hpp"

namespace novu {

struct GasParticle {
  std::int32_t x, y, z;     // 16.16, inside [0, width) x [0, height) x [0, depth) once placed
  std::int32_t vx, vy, vz;  // 16.16 per update
};

struct Gas2D {
  std::int32_t width;   // x wraps at it
  std::int32_t height;  // y wraps at it
  std::int32_t depth;   // z wraps at it
  const Image* image;   // the picture of the last draw, which the update tests; not owned
  std::uint32_t colour; // kept for the record's users; the draw shades by depth
  std::int32_t count;
  GasParticle* particles;  // count particles, owned
};

// Writes "GAS2D error" to standard output, unconditionally.
void gas2d_error() noexcept;

// A 256 x 256 x 256 area with 16 random particles; null when the heap is exhausted.
Gas2D* gas2d_create() noexcept;
// Takes the count even when it gets no particles for it (a count <= 0 or beyond effect_max_count,
// or no memory): the record is then left without any.
void gas2d_set_count(Gas2D* gas, std::int32_t count) noexcept;
void gas2d_scatter(Gas2D* gas) noexcept;
void gas2d_kick(Gas2D* gas, std::int32_t index) noexcept;
// A random position in the area written into the index-th group of three values of the
// particle array read as plain values (three per group, so group 2i + 1 holds particle i's
// velocity).
void gas2d_place_triple(Gas2D* gas, std::int32_t index) noexcept;
void gas2d_update(Gas2D* gas) noexcept;
void gas2d_draw(Gas2D* gas, Image* target) noexcept;
void gas2d_draw_sprites(const Gas2D* gas, Image* target, const Image* sprite) noexcept;
// Null cases write "GAS2D error" and return -1; 0 when the record was released.
int gas2d_destroy(Gas2D** gas) noexcept;

}  // namespace novu
