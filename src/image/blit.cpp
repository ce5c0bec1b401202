#include "image/blit.hpp"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "base/alloc.hpp"
#include "base/sine_table.hpp"
#include "base/wrap.hpp"

namespace novu {

namespace {

// All clipping is done in 64 bits: coordinates, sizes and steps are arbitrary 32-bit values, and
// their sums and products must not wrap into something that looks inside an image.
using Wide = std::int64_t;

// Where a copy starts along one axis on each side, and how many pixels it covers (none if <= 0).
struct Span {
  Wide source;
  Wide destination;
  Wide count;
};

constexpr Span empty_span{0, 0, 0};

std::uint32_t* row_of(const Image* image, Wide y) noexcept {
  return image->pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width);
}

bool valid_row(const Image* image, std::int32_t row) noexcept { return row >= 0 && row < image->height; }

bool valid_column(const Image* image, std::int32_t column) noexcept {
  return column >= 0 && column < image->width;
}

// One axis of a one-to-one copy: offset i of [0, length) pairs source s + i with destination
// d + i, and exactly the offsets where both lie inside their images are kept.
Span clip_span(Wide source_size, Wide destination_size, Wide s, Wide d, Wide length) noexcept {
  const Wide first = std::max({Wide{0}, -s, -d});
  const Wide last = std::min({length, source_size - s, destination_size - d});
  return Span{s + first, d + first, last - first};
}

// One axis of the spread copy. A negative destination start is resolved so that everything kept
// lands one step further on than the plain mapping would put it: the dotted pictures built this
// way have always been drawn so, and their callers place them accordingly.
Span spread_span(Wide source_size, Wide destination_size, Wide s, Wide d, Wide length, Wide step) noexcept {
  const Wide reach = length * step;
  if (d >= destination_size || d + reach < 0 || s >= source_size || s + reach < 0) return empty_span;
  if (s < 0) {
    length += s;
    d -= s * step;
    s = 0;
  }
  if (s + length >= source_size) length = source_size - s;
  if (d < 0) {
    const Wide q = d / step;      // toward zero, so q <= 0
    const Wide r = d - q * step;  // -step < r <= 0
    length += q;
    s -= q;
    d = step + r;
  }
  if (length <= 0) return empty_span;
  // Rounding down also drops a last column that would still have fitted: kept as drawn so far.
  if (d + length * step > destination_size) length = (destination_size - d) / step;
  return Span{s, d, length};
}

struct KeyedStore {
  // Written back unconditionally so that the loop carries no branch and vectorises.
  void operator()(std::uint32_t& to, std::uint32_t from) const noexcept { to = from != 0 ? from : to; }
};

// For lines that step through memory, which do not vectorise anyway: most of what the demo
// copies that way is 0, and a skipped store costs less than writing a pixel back.
struct SparseKeyedStore {
  void operator()(std::uint32_t& to, std::uint32_t from) const noexcept {
    if (from != 0) to = from;
  }
};

struct OrStore {
  void operator()(std::uint32_t& to, std::uint32_t from) const noexcept { to |= from; }
};

struct BlendStore {
  void operator()(std::uint32_t& to, std::uint32_t from) const noexcept {
    if (from != 0) to = ((from >> 1) & 0x7f7f7fu) + ((to >> 1) & 0x7f7f7fu);
  }
};

// Whether a run of source pixels is all key colour, so a copy of it changes nothing (every store
// here leaves the destination alone where the source is 0): the dotted glyphs and canvases are
// mostly such rows, and the test is one vectorised pass of loads.
bool all_key(const std::uint32_t* from, std::size_t count) noexcept {
  std::uint32_t lit = 0;
  for (std::size_t i = 0; i < count; ++i) lit |= from[i];
  return lit == 0;
}

template <class Store>
void copy_rect(const Image* source, Image* destination, Span x, Span y, Store store) noexcept {
  if (x.count <= 0 || y.count <= 0) return;
  const auto width = static_cast<std::size_t>(x.count);
  for (Wide j = 0; j < y.count; ++j) {
    const std::uint32_t* from = row_of(source, y.source + j) + x.source;
    if (all_key(from, width)) continue;
    std::uint32_t* to = row_of(destination, y.destination + j) + x.destination;
    for (std::size_t i = 0; i < width; ++i) store(to[i], from[i]);
  }
}

// Pixel j of a source line (count pixels, from_stride apart) goes to pixel (offset + j) mod
// length of a destination line (to_stride apart); count <= length and offset < length.
template <class Store>
void wrap_line(const std::uint32_t* from, std::size_t from_stride, std::uint32_t* to, std::size_t to_stride,
               std::size_t count, std::size_t length, std::size_t offset, Store store) noexcept {
  const std::size_t before_wrap = std::min(count, length - offset);
  for (std::size_t j = 0; j < before_wrap; ++j) store(to[(offset + j) * to_stride], from[j * from_stride]);
  for (std::size_t j = before_wrap; j < count; ++j) {
    store(to[(j - before_wrap) * to_stride], from[j * from_stride]);
  }
}

template <class Store>
void row_wrap(const Image* source, Image* destination, std::int32_t source_row, std::int32_t destination_row,
              std::int32_t x_offset, Store store) noexcept {
  if (!img_has_pixels(source) || !img_has_pixels(destination) || !valid_row(source, source_row) ||
      !valid_row(destination, destination_row)) {
    img_error();
    return;
  }
  const auto count = static_cast<std::size_t>(std::min(source->width, destination->width));
  if (all_key(row_of(source, source_row), count)) return;
  wrap_line(row_of(source, source_row), 1, row_of(destination, destination_row), 1, count,
            static_cast<std::size_t>(destination->width),
            static_cast<std::size_t>(mod_floor(x_offset, destination->width)), store);
}

// A source line scaled to a destination line by a run table from img_step_runs(source length,
// destination length). Enlarging, runs[i] says how often source pixel i repeats; shrinking,
// runs[k] says how many source pixels destination pixel k stands for, and it shows the first of
// them. The table's last counter closes the walk (it is always 1) and is not used.
void scale_line(const std::uint32_t* from, std::size_t from_length, std::uint32_t* to, std::size_t to_length,
                const std::int32_t* runs) noexcept {
  std::size_t position = 0;
  if (from_length <= to_length) {
    for (std::size_t i = 0; i < from_length; ++i) {
      for (std::int32_t r = 0; r < runs[i]; ++r) to[position++] = from[i];
    }
  } else {
    for (std::size_t k = 0; k < to_length; ++k) {
      to[k] = from[position];
      position += static_cast<std::size_t>(runs[k]);
    }
  }
}

Wide magnitude(Wide v) noexcept { return v < 0 ? -v : v; }

Wide sign(Wide v) noexcept { return (v > 0) - (v < 0); }

// The new side of a rotated picture: about the square root of 2 times the old one.
Wide rotated_side(std::int32_t side) noexcept { return (Wide{side} * 92667) >> 16; }

// A product of a sine-table fraction and an integer, back to an integer, rounded to nearest.
Wide sine_product(Wide fraction, Wide value) noexcept { return (fraction * value + (Wide{1} << 14)) >> 15; }

}  // namespace

void img_blit(const Image* source, Image* destination, std::int32_t source_x, std::int32_t source_y,
              std::int32_t destination_x, std::int32_t destination_y, std::int32_t width,
              std::int32_t height) noexcept {
  if (!img_has_pixels(source) || !img_has_pixels(destination)) {
    img_error();
    return;
  }
  const Span x = clip_span(source->width, destination->width, source_x, destination_x, width);
  const Span y = clip_span(source->height, destination->height, source_y, destination_y, height);
  copy_rect(source, destination, x, y, KeyedStore{});
}

void img_blit_spread(const Image* source, Image* destination, std::int32_t source_x, std::int32_t source_y,
                     std::int32_t destination_x, std::int32_t destination_y, std::int32_t width,
                     std::int32_t height, std::int32_t x_step, std::int32_t y_step) noexcept {
  if (!img_has_pixels(source) || !img_has_pixels(destination) || x_step <= 0 || y_step <= 0) {
    img_error();
    return;
  }
  const Span x = spread_span(source->width, destination->width, source_x, destination_x, width, x_step);
  const Span y = spread_span(source->height, destination->height, source_y, destination_y, height, y_step);
  if (x.count <= 0 || y.count <= 0) return;
  const auto x_stride = static_cast<std::size_t>(x_step);
  for (Wide i = 0; i < y.count; ++i) {
    const std::uint32_t* from = row_of(source, y.source + i) + x.source;
    if (all_key(from, static_cast<std::size_t>(x.count))) continue;
    std::uint32_t* to = row_of(destination, y.destination + i * y_step) + x.destination;
    for (std::size_t j = 0; j < static_cast<std::size_t>(x.count); ++j) {
      SparseKeyedStore{}(to[j * x_stride], from[j]);
    }
  }
}

void img_blit_row_wrap(const Image* source, Image* destination, std::int32_t source_row,
                       std::int32_t destination_row, std::int32_t x_offset) noexcept {
  row_wrap(source, destination, source_row, destination_row, x_offset, KeyedStore{});
}

void img_or_row_wrap(const Image* source, Image* destination, std::int32_t source_row,
                     std::int32_t destination_row, std::int32_t x_offset) noexcept {
  row_wrap(source, destination, source_row, destination_row, x_offset, OrStore{});
}

void img_blit_column_wrap(const Image* source, Image* destination, std::int32_t source_column,
                          std::int32_t destination_column, std::int32_t y_offset) noexcept {
  if (!img_has_pixels(source) || !img_has_pixels(destination) || !valid_column(source, source_column) ||
      !valid_column(destination, destination_column)) {
    img_error();
    return;
  }
  wrap_line(source->pixels + source_column, static_cast<std::size_t>(source->width),
            destination->pixels + destination_column, static_cast<std::size_t>(destination->width),
            static_cast<std::size_t>(std::min(source->height, destination->height)),
            static_cast<std::size_t>(destination->height),
            static_cast<std::size_t>(mod_floor(y_offset, destination->height)), SparseKeyedStore{});
}

void img_blit_columns_wrap(const Image* source, Image* destination, std::int32_t source_column,
                           std::int32_t destination_column, std::int32_t count,
                           const std::int32_t* y_offsets) noexcept {
  if (y_offsets == nullptr || count <= 0) return;
  // An image copied into itself must see each column's copy before the next column is read.
  if (source == destination || !img_has_pixels(source) || !img_has_pixels(destination)) {
    for (std::int32_t k = 0; k < count; ++k) {
      img_blit_column_wrap(source, destination, wrap_add(source_column, k), wrap_add(destination_column, k),
                           y_offsets[k]);
    }
    return;
  }
  // The columns inside both images form one run, k in [first, last).
  const Wide first = std::max({Wide{0}, -Wide{source_column}, -Wide{destination_column}});
  const Wide last = std::min({Wide{count}, source->width - Wide{source_column}, destination->width - Wide{destination_column}});
  for (Wide k = 0; k < count; ++k) {
    if (k < first || k >= last) img_error();
  }
  if (first >= last) return;
  const auto height = static_cast<Wide>(destination->height);
  const Wide rows = std::min<Wide>(source->height, height);
  const auto width = static_cast<std::size_t>(last - first);
  for (Wide j = 0; j < rows; ++j) {
    const std::uint32_t* from = row_of(source, j) + source_column + first;
    if (all_key(from, width)) continue;
    for (std::size_t k = 0; k < width; ++k) {
      if (from[k] == 0) continue;
      Wide row = mod_floor(y_offsets[first + static_cast<Wide>(k)], destination->height) + j;
      if (row >= height) row -= height;
      row_of(destination, row)[destination_column + first + static_cast<Wide>(k)] = from[k];
    }
  }
}

void img_blend_blit(const Image* source, Image* destination, std::int32_t destination_x,
                    std::int32_t destination_y) noexcept {
  if (!img_has_pixels(source) || !img_has_pixels(destination)) {
    img_error();
    return;
  }
  const Span x = clip_span(source->width, destination->width, 0, destination_x, source->width);
  const Span y = clip_span(source->height, destination->height, 0, destination_y, source->height);
  copy_rect(source, destination, x, y, BlendStore{});
}

void img_copy_row(const Image* source, Image* destination, std::int32_t source_row,
                  std::int32_t destination_row) noexcept {
  if (!img_has_pixels(source) || !img_has_pixels(destination) || !valid_row(source, source_row) ||
      !valid_row(destination, destination_row)) {
    img_error();
    return;
  }
  const auto count = static_cast<std::size_t>(std::min(source->width, destination->width));
  std::memmove(row_of(destination, destination_row), row_of(source, source_row),
               count * sizeof(std::uint32_t));
}

void img_resample(const Image* source, Image* destination) noexcept {
  if (!img_has_pixels(source) || !img_has_pixels(destination)) {
    img_error();
    return;
  }
  const auto source_width = static_cast<std::size_t>(source->width);
  const auto source_height = static_cast<std::size_t>(source->height);
  const auto width = static_cast<std::size_t>(destination->width);
  const auto height = static_cast<std::size_t>(destination->height);
  if (source_width == 0 || source_height == 0 || width == 0 || height == 0) return;
  std::int32_t* column_runs = img_step_runs(source->width, destination->width);
  std::int32_t* row_runs = img_step_runs(source->height, destination->height);
  if (column_runs != nullptr && row_runs != nullptr) {
    if (source_height <= height) {
      // Enlarging: each source row is scaled once and its copies are plain block copies.
      std::size_t y = 0;
      for (std::size_t j = 0; j < source_height; ++j) {
        std::uint32_t* first = row_of(destination, static_cast<Wide>(y));
        scale_line(row_of(source, static_cast<Wide>(j)), source_width, first, width, column_runs);
        for (std::size_t r = 1; r < static_cast<std::size_t>(row_runs[j]); ++r) {
          std::memcpy(first + r * width, first, width * sizeof(std::uint32_t));
        }
        y += static_cast<std::size_t>(row_runs[j]);
      }
    } else {
      std::size_t j = 0;
      for (std::size_t y = 0; y < height; ++y) {
        std::uint32_t* to = row_of(destination, static_cast<Wide>(y));
        scale_line(row_of(source, static_cast<Wide>(j)), source_width, to, width, column_runs);
        j += static_cast<std::size_t>(row_runs[y]);
      }
    }
  }
  mem_free(column_runs);
  mem_free(row_runs);
}

// Positive angles turn the picture clockwise as seen on the screen (y grows downward): each
// destination pixel samples the source at its own offset from the centre turned the other way.
// Both centres are at (side / 2) rounded down, and the sine products are rounded to nearest, so an
// angle of 0 or 1024 gives the source unchanged in the middle of the larger picture.
Image* img_rotate(const Image* source, std::int32_t angle) noexcept {
  if (!img_has_pixels(source)) {
    img_error();
    return nullptr;
  }
  const Wide width = rotated_side(source->width);
  const Wide height = rotated_side(source->height);
  if (width > img_max_pixels || height > img_max_pixels || width * height > img_max_pixels) {
    img_error();
    return nullptr;
  }
  Image* rotated = img_create();
  if (rotated == nullptr) return nullptr;
  img_resize(rotated, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
  if (rotated->pixels == nullptr) {
    img_destroy(&rotated);
    return nullptr;
  }
  const std::int32_t turn = mod_floor(angle, sine_table_size);
  const Wide sine = sine_table[turn];
  const Wide cosine = sine_table[(turn + sine_table_size / 4) % sine_table_size];
  for (Wide y = 0; y < height; ++y) {
    const Wide dy = y - height / 2;
    std::uint32_t* to = row_of(rotated, y);
    for (Wide x = 0; x < width; ++x) {
      const Wide dx = x - width / 2;
      const Wide sx = sine_product(cosine, dx) + sine_product(sine, dy) + source->width / 2;
      const Wide sy = sine_product(cosine, dy) - sine_product(sine, dx) + source->height / 2;
      if (sx >= 0 && sx < source->width && sy >= 0 && sy < source->height) to[x] = row_of(source, sy)[sx];
    }
  }
  return rotated;
}

std::int32_t* img_line_points(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) noexcept {
  const Wide dx = Wide{x1} - x0;
  const Wide dy = Wide{y1} - y0;
  const bool x_major = magnitude(dx) >= magnitude(dy);
  const Wide major = std::max(magnitude(dx), magnitude(dy));
  const Wide minor = std::min(magnitude(dx), magnitude(dy));
  // A line longer than the largest picture has no use, and its length word must fit 32 bits.
  if (major > img_max_pixels) {
    img_error();
    return nullptr;
  }
  auto* list = mem_new<std::int32_t>(static_cast<std::size_t>(2 * major + 3));
  if (list == nullptr) {
    img_error();
    return nullptr;
  }
  list[0] = static_cast<std::int32_t>(2 * major + 2);
  Wide x = x0;
  Wide y = y0;
  Wide& along = x_major ? x : y;
  Wide& across = x_major ? y : x;
  const Wide along_step = sign(x_major ? dx : dy);
  const Wide across_step = sign(x_major ? dy : dx);
  Wide error = major / 2;
  for (Wide k = 0;; ++k) {
    list[1 + 2 * k] = static_cast<std::int32_t>(x);
    list[2 + 2 * k] = static_cast<std::int32_t>(y);
    if (k == major) break;
    along += along_step;
    error -= minor;
    if (error <= 0) {
      across += across_step;
      error += major;
    }
  }
  return list;
}

std::int32_t* img_step_runs(std::int32_t a, std::int32_t b) noexcept {
  Wide counters = magnitude(a);
  Wide steps = magnitude(b);
  if (counters > steps) std::swap(counters, steps);
  if (steps > img_max_pixels) {
    img_error();
    return nullptr;
  }
  auto* runs = mem_new<std::int32_t>(static_cast<std::size_t>(counters + 1));
  if (runs == nullptr) {
    img_error();
    return nullptr;
  }
  // After k steps the error has moved the walk floor(k * counters / steps) counters on, so the
  // steps + 1 increments never pass the last counter.
  Wide error = steps;
  std::size_t current = 0;
  for (Wide step = 0; step <= steps; ++step) {
    ++runs[current];
    error -= counters;
    if (error <= 0) {
      ++current;
      error += steps;
    }
  }
  return runs;
}

}  // namespace novu
