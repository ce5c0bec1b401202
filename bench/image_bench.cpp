#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

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

// The floor: one screen's bytes copied with nothing computed.
void memcpy_floor(benchmark::State& state) {
  std::vector<std::uint32_t> from(screen_side * screen_side, 0x123456), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
    benchmark::ClobberMemory();
  }
}

BENCHMARK(fade_screen);
BENCHMARK(blit_glyph);
BENCHMARK(spread_canvas);
BENCHMARK(memcpy_floor);

// The console table, then every benchmark's CPU time as a multiple of the memcpy floor (medians
// when the run has repetitions). CPU time, because on a shared machine wall time also counts the
// time other processes held the core.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}  // plain text: the output is often kept in logs

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Iteration) iteration_[name] = run.GetAdjustedCPUTime();
      if (run.aggregate_name == "median") median_[name] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const std::map<std::string, double>& times = median_.empty() ? iteration_ : median_;
    const auto floor = times.find("memcpy_floor");
    if (floor == times.end() || floor->second <= 0) return;
    std::printf("\nCPU time as a multiple of memcpy_floor (%s):\n", median_.empty() ? "last run" : "medians");
    for (const auto& [name, time] : times) std::printf("  %-16s %6.2f\n", name.c_str(), time / floor->second);
  }

 private:
  std::map<std::string, double> iteration_;
  std::map<std::string, double> median_;
};

}  // namespace
}  // namespace novu

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  novu::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
