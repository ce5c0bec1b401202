#pragma once
// DISTX and DISTY: a picture bent along a sine wave, DISTX shifting every row sideways, DISTY
// every column up or down. The two records are alike; only the axis differs.

#include <cstdint>

#include "effects/cursorx.hpp"
#include "image/image.hpp"

namespace novu {

struct DistX {
  std::int32_t x_offset;   // added to the wave's shift
  std::int32_t y_offset;   // added to every destination row
  CursorX wave;            // one table index per row
  std::int32_t amplitude;  // the shift is (S * amplitude) >> 16
  const Image* source;     // not owned
};

struct DistY {
  std::int32_t x_offset;   // added to every destination column
  std::int32_t y_offset;   // added to the wave's shift
  CursorX wave;            // one table index per column
  std::int32_t amplitude;
  const Image* source;     // not owned
};

// Wave of the sine table's length, speed 1, offset step 16; amplitude 16; no source.
DistX* distx_create() noexcept;
// Draws nothing without a source.
void distx_draw(DistX* distortion, Image* destination) noexcept;
void distx_advance(DistX* distortion) noexcept;
void distx_destroy(DistX** distortion) noexcept;

DistY* disty_create() noexcept;
void disty_draw(DistY* distortion, Image* destination) noexcept;
void disty_advance(DistY* distortion) noexcept;
void disty_destroy(DistY** distortion) noexcept;

}  // namespace novu
