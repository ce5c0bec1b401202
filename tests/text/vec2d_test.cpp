#include "text/vec2d.hpp"

#include <gtest/gtest.h>

#include <tuple>

#include "base/alloc.hpp"

namespace novu {

// Copies of the clones: whole only if both the clone and the copy carry every field.
TEST(Vec2D, ComparesOnlyWhatExistsAndCopiesEveryField) {
  Vec2D a{3, -4}, b{3, 5}, copied{}, *clone = vec2d_clone(&a);
  Vec2DTriple t{1, 2, 3, -4, 5, -6}, u{}, *triple = vec2d_triple_clone(&t);
  vec2d_copy(clone, &copied);
  vec2d_triple_copy(triple, &u);
  EXPECT_EQ(std::tuple(copied.x, copied.y, u.x0, u.y0, u.x1, u.y1, u.x2, u.y2), std::tuple(3, -4, 1, 2, 3, -4, 5, -6));
  EXPECT_EQ(std::tuple(vec2d_equal(&a, &a), vec2d_equal(&a, &b), vec2d_equal(&a, nullptr), vec2d_equal(nullptr, nullptr)),
            std::tuple(1, 0, 0, 0));
  vec2d_destroy(&clone);
  mem_free(triple);
}

}  // namespace novu
