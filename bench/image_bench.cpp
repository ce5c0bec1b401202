#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "image/blit.hpp"
#include "image/image.hpp"

namespace novu {
namespace {

constexpr std::int32_t screen_side = 256;

// Owns an image for the length of one benchmark.
struct Picture {
  Image* image;
  Picture(std::int32_t width, std::int32_t height) : image(img_create()) { img_resize(image, width, height); }
  ~Picture() { img_destroy(&image); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
};

// About half the pixels 0, the rest any colour: what the distortion canvases and logos hold.
void scatter(Image* image, std::uint32_t seed) {
  std::mt19937 random(seed);
  for (std::int32_t i = 0; i < image->width * image->height; ++i) {
    image->pixels[i] = random() % 2 == 0 ? 0 : static_cast<std::uint32_t>(random()) & 0xffffff;
  }
}

void fade_screen(benchmark::State& state) {
  Picture screen(screen_side, screen_side);
  scatter(screen.image, 1);
  // The fade has no data-dependent branch, so a screen that has gone dark costs the same.
  for (auto _ : state) {
    img_fade(screen.image, 8);
    benchmark::ClobberMemory();
  }
}

// A large font glyph: an 8 x 8 letter spread 4 x 4, so at most one pixel in sixteen is not 0.
void blit_glyph(benchmark::State& state) {
  static constexpr std::uint8_t letter[8] = {0x3c, 0x66, 0x66, 0x7e, 0x66, 0x66, 0x66, 0x00};
  Picture glyph(32, 32);
  for (std::int32_t y = 0; y < 32; y += 4) {
    for (std::int32_t x = 0; x < 32; x += 4) {
      if ((letter[y / 4] >> (7 - x / 4) & 1) != 0) img_put_pixel(glyph.image, x, y, 0xffd040);
    }
  }
  Picture screen(screen_side, screen_side);
  for (auto _ : state) {
    img_blit(glyph.image, screen.image, 0, 0, 100, 100, 32, 32);
    benchmark::ClobberMemory();
  }
}

// Part two's call: the 288 x 144 distortion canvas drawn 3 x 3 from (-16, 0).
void spread_canvas(benchmark::State& state) {
  Picture canvas(288, 144);
  scatter(canvas.image, 2);
  Picture screen(screen_side, screen_side);
  for (auto _ : state) {
    img_blit_spread(canvas.image, screen.image, 0, 0, -16, 0, 288, 144, 3, 3);
    benchmark::ClobberMemory();
  }
}

BENCHMARK(fade_screen);
BENCHMARK(blit_glyph);
BENCHMARK(spread_canvas);

}  // namespace
}  // namespace novu
