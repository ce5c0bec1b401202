#pragma once
// IMG copies between images: keyed and clipped rectangles, spread (dotted) enlargement, rows and
// columns shifted with wrap-around, and the variants the demo does not call.

#include <cstdint>

#include "image/image.hpp"

namespace novu {

void img_blit(const Image* source, Image* destination, std::int32_t source_x, std::int32_t source_y,
              std::int32_t destination_x, std::int32_t destination_y, std::int32_t width,
              std::int32_t height) noexcept;
void img_blit_spread(const Image* source, Image* destination, std::int32_t source_x, std::int32_t source_y,
                     std::int32_t destination_x, std::int32_t destination_y, std::int32_t width,
                     std::int32_t height, std::int32_t x_step, std::int32_t y_step) noexcept;
void img_blit_row_wrap(const Image* source, Image* destination, std::int32_t source_row,
                       std::int32_t destination_row, std::int32_t x_offset) noexcept;
void img_blit_column_wrap(const Image* source, Image* destination, std::int32_t source_column,
                          std::int32_t destination_column, std::int32_t y_offset) noexcept;
// img_blit_column_wrap for `count` neighbouring columns at once, column k with y_offsets[k]: the
// same pixels, but the source is read a row at a time and rows of key colour are passed over.
void img_blit_columns_wrap(const Image* source, Image* destination, std::int32_t source_column,
                           std::int32_t destination_column, std::int32_t count,
                           const std::int32_t* y_offsets) noexcept;
void img_or_row_wrap(const Image* source, Image* destination, std::int32_t source_row,
                     std::int32_t destination_row, std::int32_t x_offset) noexcept;
void img_blend_blit(const Image* source, Image* destination, std::int32_t destination_x,
                    std::int32_t destination_y) noexcept;
void img_copy_row(const Image* source, Image* destination, std::int32_t source_row,
                  std::int32_t destination_row) noexcept;
void img_resample(const Image* source, Image* destination) noexcept;
Image* img_rotate(const Image* source, std::int32_t angle) noexcept;
// New list: element 0 is 2n + 2, then the n + 1 points (x, y). Release with mem_free.
std::int32_t* img_line_points(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) noexcept;
// New table of |a| + 1 counters (a and b swapped when |a| > |b|). Release with mem_free.
std::int32_t* img_step_runs(std::int32_t a, std::int32_t b) noexcept;

}  // namespace novu
