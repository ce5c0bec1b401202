// demo-capture: the demo's own driver on the headless system, writing frame hashes, pictures and
// sound. The demo loops until a quit key, and its driver is exactly the code the demo runs; so
// when --frames is reached, the present hook itself completes the outputs (hash list flushed,
// WAV sizes filled in) and ends the process with std::exit, the same way the demo's own run ends
// in the process exit that reclaims what it still holds.

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "capture_options.hpp"
#include "capture_output.hpp"
#include "driver/demo.hpp"
#include "image/image.hpp"
#include "image/pnm.hpp"
#include "platform/headless.hpp"

namespace novu {
namespace {

struct Capture {
  CaptureOptions options;
  std::FILE* hashes = nullptr;
  bool has_wav = false;
  WavWriter wav{};
  Image* picture = nullptr;
  std::vector<std::uint32_t> pixels;
  std::string failure;  // the first output that could not be written
};

Capture capture;

void fail(const std::string& what) {
  if (capture.failure.empty()) capture.failure = what;
}

bool open_outputs() {
  const CaptureOptions& o = capture.options;
  if (!o.hashes_path.empty()) {
    capture.hashes = o.hashes_path == "-" ? stdout : std::fopen(o.hashes_path.c_str(), "w");
    if (capture.hashes == nullptr) fail("cannot write the hash list " + o.hashes_path);
  }
  if (!o.wav_path.empty()) {
    capture.has_wav = wav_open(&capture.wav, o.wav_path.c_str());
    if (!capture.has_wav) fail("cannot write the WAV file " + o.wav_path);
  }
  if (!o.ppm_dir.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(o.ppm_dir, ignored);
    if (!std::filesystem::is_directory(o.ppm_dir, ignored)) fail("cannot make the frame folder " + o.ppm_dir);
  }
  return capture.failure.empty();
}

int finish() {
  if (capture.hashes != nullptr) {
    const bool written = std::ferror(capture.hashes) == 0 &&
                         (capture.hashes == stdout ? std::fflush(stdout) : std::fclose(capture.hashes)) == 0;
    if (!written) fail("cannot write the hash list " + capture.options.hashes_path);
    capture.hashes = nullptr;
  }
  if (capture.has_wav && !wav_finish(&capture.wav))
    fail("cannot write the WAV file " + capture.options.wav_path);
  capture.has_wav = false;
  img_destroy(&capture.picture);
  if (capture.failure.empty()) return 0;
  std::fprintf(stderr, "demo-capture: %s\n", capture.failure.c_str());
  return 1;
}

void write_picture(std::uint32_t index, std::int32_t width, std::int32_t height) {
  if (capture.picture == nullptr) capture.picture = img_create();
  if (capture.picture != nullptr && (capture.picture->width != width || capture.picture->height != height)) {
    img_resize(capture.picture, width, height);
  }
  char name[32];
  std::snprintf(name, sizeof name, "/frame-%06" PRIu32 ".ppm", index);
  const std::string path = capture.options.ppm_dir + name;
  if (capture.picture == nullptr || capture.picture->pixels == nullptr) {
    fail("out of memory for the picture " + path);
    return;
  }
  std::copy(capture.pixels.begin(), capture.pixels.end(), capture.picture->pixels);
  if (img_write_ppm_file(capture.picture, path.c_str()) != 1) fail("cannot write the picture " + path);
}

void on_present(void*, const HeadlessFrame& frame) noexcept {
  const CaptureOptions& o = capture.options;
  const SysSurfaceInfo info = sys_surface_info(headless_surface());
  capture.pixels.resize(static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height));
  headless_read_xrgb(capture.pixels.data(), static_cast<std::int32_t>(capture.pixels.size()));
  if (capture.hashes != nullptr) {
    std::fprintf(capture.hashes, "%" PRIu32 " %016" PRIx64 "\n", frame.index,
                 capture_hash(capture.pixels.data(), capture.pixels.size()));
  }
  if (capture.has_wav) wav_append(&capture.wav, frame.audio, static_cast<std::size_t>(frame.audio_bytes));
  if (!o.ppm_dir.empty() && frame.index >= o.ppm_from && frame.index <= o.ppm_to) {
    write_picture(frame.index, info.width, info.height);
  }
  const bool limit_reached = o.has_frame_limit && frame.index + 1 >= o.frame_limit;
  if (limit_reached || !capture.failure.empty()) std::exit(finish());
}

int run(int argc, const char* const* argv) {
  std::string error;
  if (!capture_parse(argc, argv, &capture.options, &error)) {
    std::fprintf(stderr, "demo-capture: %s\nTry 'demo-capture --help' for the options.\n", error.c_str());
    return 2;
  }
  if (capture.options.help) {
    std::fputs(capture_usage, stdout);
    return 0;
  }
  if (!open_outputs()) return finish();
  headless_reset();
  headless_set_present_hook(on_present, nullptr);
  for (const CaptureEvent& e : capture.options.events)
    headless_schedule_event(e.after_present, e.type, e.sym);
  if (demo_main() != demo_exit_after_quit) fail("the demo could not start");
  return finish();
}

}  // namespace
}  // namespace novu

int main(int argc, char** argv) { return novu::run(argc, argv); }
