#include "effects/gas2d.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "support/pictures.hpp"

namespace novu {
static bool operator==(const GasParticle& a, const GasParticle& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
namespace {
constexpr std::int32_t F(std::int32_t n) { return n * 0x10000; }  // n pixels in 16.16
constexpr std::int32_t half = 0x8000;
GasParticle kicked(GasParticle p) {  // for vx, vy, vz a magnitude, then a sign from the next draw
  for (std::int32_t* v : {&p.vx, &p.vy, &p.vz}) {
    *v = std::rand() & 0x3FFFF;
    if (std::rand() & 1) *v = -*v;
  }
  return p;
}
GasParticle placed(std::int32_t w, std::int32_t h, std::int32_t d) {  // whole pixels drawn in turn, then a kick
  const std::int32_t x = std::rand() % w << 16, y = std::rand() % h << 16, z = std::rand() % d << 16;
  return kicked({x, y, z, 0, 0, 0});
}

TEST(Gas2D, PlacesFromTheLastParticleWrapsOnceBouncesOffLitPixelsAndDrawsDeepestAsBlack) {
  Gas2D* g = gas2d_create();
  const auto seeded = [&](auto run) {  // the particles after `run` from a fixed seed, and the next number
    std::srand(5);
    run();
    return std::pair(std::vector(g->particles, g->particles + g->count), std::rand());
  };
  EXPECT_EQ(seeded([&] { gas2d_update(g); }), seeded([] {})) << "moved or drew before anything was drawn";
  std::tie(g->width, g->height, g->depth) = std::tuple(7, 5, 3);
  const auto five = seeded([&] { gas2d_set_count(g, 5); });
  EXPECT_EQ(five, seeded([&] { for (int i = 4; i >= 0; --i) g->particles[i] = placed(7, 5, 3); }));
  EXPECT_EQ(seeded([&] { gas2d_kick(g, 4); }), seeded([&] { g->particles[4] = kicked(g->particles[4]); }));
  const GasParticle from[] = {
      {F(7) - half, F(2), 0, F(1), 0, 0}, {half, F(2), 0, -F(1), 0, 0}, {F(1), F(4), F(3) - half, 0, F(1), F(1)},
      {F(1) + half, F(1), F(256) - 1, F(1), 0, 0}, {F(6) + half, F(1), F(129) - 1, F(1), 0, 0}};
  const GasParticle to[] = {{half, F(2), 0, F(1), 0, 0}, {F(7) - half, F(2), 0, -F(1), 0, 0},
                            {F(1), 0, half, 0, F(1), F(1)}};
  std::copy(std::begin(from), std::end(from), g->particles);
  const Img lit = picture(7, 5, [](std::int32_t x, std::int32_t y) { return y == 1 && x % 2 == 0 && x < 4 ? 1u : 0u; });
  g->image = lit.get();  // lit at (0, 1) and (2, 1): the first three wrap once, the last two bounce (after wrapping)
  const auto moved = seeded([&] { gas2d_update(g); });
  EXPECT_EQ(moved, seeded([&] { for (int i = 0; i < 5; ++i) g->particles[i] = i < 3 ? to[i] : kicked(from[i]); }));
  const Img image = filled(7, 5, 1), want = filled(7, 5, 1);  // z in [255, 256) is black
  for (auto [x, y, c] : {std::tuple{0, 2, 0xFFFF00u}, {6, 2, 0xFFFF00u}, {1, 0, 0xFFFF00u}, {1, 1, 0u},
                         {6, 1, 0x7F7F00u}}) want->pixels[y * 7 + x] = c;
  gas2d_draw(g, image.get());
  EXPECT_EQ(pixels_of(image.get()), pixels_of(want.get()));
  gas2d_set_count(g, 1);
  *g->particles = {F(3) + half, F(3) + half, 0, 0x4000, 0x2000, 0};  // slow: bounces on its own pixel until kicked off
  for (int frame = 0; frame < 100; ++frame) {
    gas2d_draw(g, lit.get());
    const GasParticle before = *g->particles, &p = *g->particles;
    gas2d_update(g);
    EXPECT_EQ(lit->pixels[(p.y >> 16) * 7 + (p.x >> 16)] != 0, p.x == before.x && p.y == before.y) << frame;
  }
  EXPECT_NE(std::pair(g->particles->x, g->particles->y), std::pair(F(3) + half, F(3) + half)) << "never moved";
  testing::internal::CaptureStdout();
  EXPECT_EQ(std::pair(gas2d_destroy(nullptr), gas2d_destroy(&g)), std::pair(-1, 0));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "GAS2D error\n");
}
}  // namespace
}  // namespace novu
