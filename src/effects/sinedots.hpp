#pragma once
// SINEDOTS: a long chain of dots along the sum of three sine waves on each axis. Every dot's
// angles are the previous dot's plus fixed steps, and the start angles move on every frame, so
// the figure twists.

#include <cstdint>

#include "image/image.hpp"

namespace novu {

struct SineDots {
  std::int32_t width;      // of the last target
  std::int32_t height;
  std::int32_t angles[6];  // a0..a5: a0, a2, a4 drive x, a1, a3, a5 drive y; in [0, 1024)
  std::int32_t speeds[6];  // per frame
  std::int32_t steps[6];   // per dot
  std::int32_t radii[6];   // x1, y1, x2, y2, x3, y3
  std::uint32_t colour;
  std::int32_t count;
  std::int32_t* dots;  // 4 values per dot, owned; never read, but nothing moves without it
};

// 256 x 256, 16 dots, red, randomised.
SineDots* sinedots_create() noexcept;
SineDots* sinedots_create_if(int flag) noexcept;
void sinedots_set_count(SineDots* dots, std::int32_t count) noexcept;
void sinedots_randomise(SineDots* dots) noexcept;
void sinedots_update(SineDots* dots) noexcept;
void sinedots_draw(SineDots* dots, Image* target) noexcept;
void sinedots_destroy(SineDots** dots) noexcept;

}  // namespace novu
