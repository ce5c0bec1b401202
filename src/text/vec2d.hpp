#pragma once
// VEC2D: a two-component integer vector, and a record of three such points, owned by the caller.

#include <cstdint>

namespace novu {

struct Vec2D {
  std::int32_t x, y;
};

struct Vec2DTriple {
  std::int32_t x0, y0, x1, y1, x2, y2;
};

Vec2D* vec2d_create() noexcept;  // all zero; null when the heap is exhausted
Vec2D* vec2d_clone(const Vec2D* vector) noexcept;  // null for a null vector
void vec2d_copy(const Vec2D* source, Vec2D* destination) noexcept;
// 1 when both exist and both components agree, else 0.
int vec2d_equal(const Vec2D* a, const Vec2D* b) noexcept;
void vec2d_destroy(Vec2D** vector) noexcept;

Vec2DTriple* vec2d_triple_clone(const Vec2DTriple* triple) noexcept;  // release with mem_free
void vec2d_triple_copy(const Vec2DTriple* source, Vec2DTriple* destination) noexcept;

}  // namespace novu
