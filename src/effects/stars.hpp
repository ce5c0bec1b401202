#pragma once
// STARS: a flat scrolling starfield. Every star moves by the layer's common velocity and is
// re-born on the edge it enters from when it leaves the picture; several layers with their own
// speeds and colours fake depth.

#include <cstdint>

#include "image/image.hpp"
#include "text/font.hpp"

namespace novu {

struct StarPoint {
  std::int32_t x;  // 16.16 pixels
  std::int32_t y;
};

struct Stars {
  std::int32_t width;   // of the star area; every draw takes the target's
  std::int32_t height;
  std::int32_t dx;      // 16.16 pixels per update
  std::int32_t dy;
  std::uint32_t colour;
  const Font* font;     // for stars_draw_glyphs only; not owned
  std::int32_t count;
  StarPoint* stars;     // count stars, owned
};

// Diagnostics switch: "STARS error" is printed on rejected calls only while it is non-zero.
extern std::uint8_t stars_verbose;
void stars_error() noexcept;

// 256 x 256, dx 0, dy 1.0, white, 16 random stars.
Stars* stars_create() noexcept;
Stars* stars_create_if(int flag) noexcept;
void stars_set_count(Stars* stars, std::int32_t count) noexcept;
void stars_scatter(Stars* stars) noexcept;
void stars_respawn(Stars* stars, std::int32_t index) noexcept;
void stars_update(Stars* stars) noexcept;
void stars_draw(Stars* stars, Image* target) noexcept;
void stars_draw_glyphs(Stars* stars, Image* target) noexcept;
void stars_destroy(Stars** stars) noexcept;

}  // namespace novu
