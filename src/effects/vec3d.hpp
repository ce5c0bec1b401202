#pragma once
// VEC3D: a three-component integer vector owned by its caller.

#include <cstdint>

namespace novu {

struct Vec3D {
  std::int32_t x, y, z;
};

Vec3D* vec3d_create() noexcept;  // all zero; null when the heap is exhausted
// Null for a null vector or an exhausted heap.
Vec3D* vec3d_clone(const Vec3D* vector) noexcept;
void vec3d_copy(const Vec3D* source, Vec3D* destination) noexcept;
// 1 when both exist and all components agree, else 0.
int vec3d_equal(const Vec3D* a, const Vec3D* b) noexcept;
void vec3d_destroy(Vec3D** vector) noexcept;

}  // namespace novu
