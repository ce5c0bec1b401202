#include "effects/vec3d.hpp"

#include "base/alloc.hpp"

namespace novu {

Vec3D* vec3d_create() noexcept { return mem_new<Vec3D>(); }

Vec3D* vec3d_clone(const Vec3D* vector) noexcept {
  if (vector == nullptr) return nullptr;
  Vec3D* copy = mem_new<Vec3D>();
  if (copy != nullptr) *copy = *vector;
  return copy;
}

void vec3d_copy(const Vec3D* source, Vec3D* destination) noexcept {
  if (source != nullptr && destination != nullptr) *destination = *source;
}

int vec3d_equal(const Vec3D* a, const Vec3D* b) noexcept {
  return a != nullptr && b != nullptr && a->x == b->x && a->y == b->y && a->z == b->z ? 1 : 0;
}

void vec3d_destroy(Vec3D** vector) noexcept {
  if (vector == nullptr || *vector == nullptr) return;
  mem_free(*vector);
  *vector = nullptr;
}

}  // namespace novu
