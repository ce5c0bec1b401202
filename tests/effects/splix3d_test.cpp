#include "effects/splix3d.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "support/pictures.hpp"

namespace novu {
static bool operator==(const Spark& a, const Spark& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
namespace {
constexpr std::int32_t F(std::int32_t n) { return n * 0x10000; }  // n units in 16.16
Spark fresh() {  // a restart as drawn: at the origin; for vx, vy, vz a magnitude, then a sign from the next draw
  Spark p{};
  for (std::int32_t* v : {&p.vx, &p.vy, &p.vz}) {
    *v = std::rand() & 0x3FFFF;
    if (std::rand() & 1) *v = -*v;
  }
  return p;
}

TEST(Splix3D, RestartsOnlyBeyondAFaceDrawingInOrderAndDrawsTruncatedShadedAndOverwritten) {
  Splix3D* s = splix3d_create();
  const auto seeded = [&](auto run) {  // the sparks after `run` from a fixed seed, and the next number
    std::srand(5);
    run();
    return std::pair(std::vector(s->particles, s->particles + s->count), std::rand());
  };
  EXPECT_EQ(seeded([&] { splix3d_reset_all(s); }), seeded([&] { std::generate_n(s->particles, s->count, fresh); }));
  const struct { std::int32_t box, at, speed; bool restarts; } cases[] = {  // a box edge is its low 16 bits, signed
      {256, F(127), F(1), false}, {256, F(127), F(1) + 1, true}, {256, 1 - F(128), -1, false},
      {256, -F(128), -1, true}, {0x10100, F(128), 0, false}, {0xFF00, 0, 0, true}};
  splix3d_set_count(s, 1);
  for (int axis = 0; axis < 3; ++axis) {
    for (const auto& c : cases) {
      std::int32_t v[6] = {3, 3, 3, 3, 3, 3}, *box[] = {&s->box_x, &s->box_y, &s->box_z};
      v[axis] = c.at, v[axis + 3] = c.speed;
      s->box_x = s->box_y = s->box_z = 0x7FFF, *box[axis] = c.box;
      *s->particles = {v[0], v[1], v[2], v[3], v[4], v[5]};
      const Spark moved{v[0] + v[3], v[1] + v[4], v[2] + v[5], v[3], v[4], v[5]};
      const auto after = seeded([&] { splix3d_update(s); });
      EXPECT_EQ(after, seeded([&] { *s->particles = c.restarts ? fresh() : moved; })) << axis << ' ' << c.at;
    }
  }
  const Spark sparks[] = {{0, 0, 0, 0, 0, 0}, {0, 0, F(-128), 0, 0, 0}, {F(2), 0, F(128), 0, 0, 0},
                          {F(2), 0, F(127), 0, 0, 0}, {F(-5), F(5), F(128), 0, 0, 0}, {-1, 0x1FFFF, 0, 0, 0, 0}};
  splix3d_set_count(s, 6);
  std::copy(std::begin(sparks), std::end(sparks), s->particles);
  const Img image = filled(256, 256, 1), want = filled(256, 256, 1);
  // Grey; near face (w = 0) unseen; black over white; far face white, -640 / 256 is -2 not -3; integer parts floored.
  for (auto [x, y, c] : {std::tuple{128, 128, 0x7F7F7Fu}, {129, 128, 0u}, {126, 130, 0xFFFFFFu}, {127, 129, 0x7F7F7Fu}})
    want->pixels[y * 256 + x] = c;
  splix3d_draw(s, image.get());
  EXPECT_EQ(pixels_of(image.get()), pixels_of(want.get()));
  splix3d_destroy(&s);
}
}  // namespace
}  // namespace novu
