#include "text/vec2d.hpp"

#include "base/alloc.hpp"

namespace novu {

Vec2D* vec2d_create() noexcept { return mem_new<Vec2D>(); }

Vec2D* vec2d_clone(const Vec2D* vector) noexcept {
  if (vector == nullptr) return nullptr;
  Vec2D* clone = mem_new<Vec2D>();
  if (clone != nullptr) *clone = *vector;
  return clone;
}

void vec2d_copy(const Vec2D* source, Vec2D* destination) noexcept {
  if (source != nullptr && destination != nullptr) *destination = *source;
}

int vec2d_equal(const Vec2D* a, const Vec2D* b) noexcept {
  return a != nullptr && b != nullptr && a->x == b->x && a->y == b->y ? 1 : 0;
}

void vec2d_destroy(Vec2D** vector) noexcept {
  if (vector == nullptr || *vector == nullptr) return;
  mem_free(*vector);
  *vector = nullptr;
}

Vec2DTriple* vec2d_triple_clone(const Vec2DTriple* triple) noexcept {
  if (triple == nullptr) return nullptr;
  Vec2DTriple* clone = mem_new<Vec2DTriple>();
  if (clone != nullptr) *clone = *triple;
  return clone;
}

void vec2d_triple_copy(const Vec2DTriple* source, Vec2DTriple* destination) noexcept {
  if (source != nullptr && destination != nullptr) *destination = *source;
}

}  // namespace novu
