#include "effects/vec3d.hpp"

#include <gtest/gtest.h>

#include <tuple>

namespace novu {
TEST(Vec3D, CloneAndCopyTakeEveryComponentAndEqualNeedsBothVectors) {
  Vec3D a{-1, 2, -3}, copy{}, *clone = vec3d_clone(&a), *none = nullptr;
  vec3d_copy(&a, &copy);
  EXPECT_EQ(std::tuple(clone->x, clone->y, clone->z, copy.x, copy.y, copy.z), std::tuple(-1, 2, -3, -1, 2, -3));
  EXPECT_EQ(std::tuple(vec3d_equal(&a, &a), vec3d_equal(&a, none), vec3d_equal(none, none)), std::tuple(1, 0, 0));
  vec3d_destroy(&clone);
}
}  // namespace novu
