// The work around the frames: the music's event step, one request of the audio callback, the
// demo's start-up, and presenting one frame to the two surface formats a display most often
// gives. All of it runs on the headless system.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "driver/demo.hpp"
#include "image/image.hpp"
#include "platform/display.hpp"
#include "platform/headless.hpp"
#include "sound/audio.hpp"
#include "sound/music.hpp"
#include "sound/sample_bank.hpp"

namespace novu {
namespace {

// The music as the demo makes it: the bank's instruments in their order.
Music* demo_like_music() noexcept {
  Music* music = music_create();
  if (music == nullptr) return nullptr;
  for (std::int32_t i = 0; i < sample_bank.count; ++i) music_add_instrument(music, &sample_bank.samples[i]);
  return music;
}

// Only one step in the music's period mixes a hit; every timed step here is that one.
void music_event(benchmark::State& state) {
  headless_reset();
  Music* music = demo_like_music();
  if (music == nullptr) {
    state.SkipWithError("no music");
    return;
  }
  for (auto _ : state) {
    music->countdown = 1;
    music_step(music);
    benchmark::ClobberMemory();
  }
  music_destroy(&music);
}

// One request as the device makes it (4096 sample frames), with the loop topped up in the queue
// the way every frame does, so the callback always plays sound rather than silence.
void audio_request(benchmark::State& state) {
  constexpr int request_bytes = 4096 * 2;
  constexpr std::int32_t queue_low = 3;
  headless_reset();
  AudioOut* audio = audio_open();
  Music* music = demo_like_music();
  if (audio == nullptr || music == nullptr) {
    state.SkipWithError("no audio device or no music");
  } else {
    std::vector<std::uint8_t> stream(request_bytes);
    for (auto _ : state) {
      audio_queue_if_at_most(audio, music->loop, queue_low);
      audio_callback(audio, stream.data(), request_bytes);
      benchmark::ClobberMemory();
    }
  }
  if (audio != nullptr) audio_close(&audio);
  if (music != nullptr) music_destroy(&music);
  headless_reset();
}

void startup(benchmark::State& state) {
  headless_reset();
  for (auto _ : state) {
    if (!demo_init()) {
      state.SkipWithError("the demo did not start");
      break;
    }
    state.PauseTiming();
    demo_shutdown();
    headless_reset();
    state.ResumeTiming();
  }
  headless_reset();
}

// Presenting includes the headless system's own end of frame (its clock, its idle sound device),
// a small fixed cost beside the 262,144 bytes.
void present(benchmark::State& state, const HeadlessFormat& format) {
  headless_reset();
  headless_set_format(format);
  Display* display = sdldpy_open();
  Image* image = img_create();
  img_resize(image, screen_width, screen_height);
  if (!sdldpy_has_video(display) || !img_has_pixels(image)) {
    state.SkipWithError("no video mode or no image");
  } else {
    for (std::int32_t i = 0; i < image->width * image->height; ++i) {
      image->pixels[i] = static_cast<std::uint32_t>(i) * 0x010203u & 0xffffff;
    }
    for (auto _ : state) {
      sdldpy_present(display, image);
      benchmark::ClobberMemory();
    }
  }
  img_destroy(&image);
  if (display != nullptr) sdldpy_close(&display);
  headless_reset();
}

constexpr HeadlessFormat rgb565{16, 0, 0xF800, 0x07E0, 0x001F, false};

BENCHMARK(music_event);
BENCHMARK(audio_request)->Name("audio_callback");
BENCHMARK(startup)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(present, xrgb32, headless_format_xrgb)->Name("present_xrgb32");
BENCHMARK_CAPTURE(present, rgb16, rgb565)->Name("present_rgb16");

}  // namespace
}  // namespace novu
