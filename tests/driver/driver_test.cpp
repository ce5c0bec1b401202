// The whole program on the headless system: the part sequence, the keys and the pacing, seen
// from outside through what the frames do. A frame that reads the clock is a frame of a part;
// the fade-outs read nothing, so a run reads as runs of fade frames (f) and part frames (n).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture_options.hpp"
#include "capture_output.hpp"
#include "driver/demo.hpp"
#include "platform/fps.hpp"
#include "platform/headless.hpp"

namespace novu {
namespace {

// How to run the demo, and what its frames showed.
struct DemoRun {
  std::vector<CaptureEvent> events = {};  // queued as given; the script's presses are added
  std::uint32_t present_ms = 20;
  bool audio_device = true;
  bool hashing = false;
  std::uint32_t budget = 100;  // a run still going after this frame has ignored its quit key
  int status = 0;
  std::string kinds = {};     // 'f' or 'n' per frame
  std::string timeline = {};  // e.g. "f32 n1001 f32": fade-out, a whole part one, the shutdown fade-out
  std::vector<std::uint32_t> delays = {};  // per frame
  std::vector<std::uint64_t> hashes = {};  // per frame, when asked for
  bool heard = false;                      // any sound reached the speaker
  std::int32_t most_queued = 0;            // the longest the audio play queue grew
  int next_random = 0;  // the draw after the run: equal only if the runs drew as many numbers
};

void watch(void* user_data, const HeadlessFrame& frame) noexcept {
  auto* run = static_cast<DemoRun*>(user_data);
  run->kinds += frame.clock_reads == 0 ? 'f' : 'n';
  run->delays.push_back(frame.delay_ms);
  for (std::int32_t i = 0; i < frame.audio_bytes; ++i) run->heard |= frame.audio[i] != 0;
  if (demo_audio != nullptr) run->most_queued = std::max(run->most_queued, demo_audio->queue->count);
  if (run->hashing) {
    static std::uint32_t pixels[256 * 256];
    headless_read_xrgb(pixels, 256 * 256);
    run->hashes.push_back(capture_hash(pixels, 256 * 256));
  }
  if (frame.index >= run->budget) demo_request = demo_request_quit;  // the timeline shows it
}

// A fresh process running the demo; `keys` is in demo-capture's form ("32:space,65:q").
DemoRun run_demo(const std::string& keys, DemoRun run = {}) {
  headless_reset();
  fps_last_us = fps_slack_us = 0;  // what the pacer carried over from the previous run
  headless_set_present_ms(run.present_ms);
  headless_refuse_audio(!run.audio_device);
  bool quits = false;
  std::string error;
  EXPECT_TRUE(capture_parse_keys(keys.c_str(), &run.events, &quits, &error)) << error;
  for (const CaptureEvent& e : run.events) {
    headless_schedule_event(e.after_present, e.type, e.sym);
    run.budget = std::max(run.budget, e.after_present + 100);
  }
  headless_set_present_hook(watch, &run);
  run.status = demo_main();
  run.next_random = std::rand();
  headless_reset();
  for (std::size_t at = 0, end = 0; at < run.kinds.size(); at = end) {
    end = std::min(run.kinds.find_first_not_of(run.kinds[at], at), run.kinds.size());
    if (at != 0) run.timeline += ' ';
    run.timeline += run.kinds.substr(at, 1) + std::to_string(end - at);
  }
  return run;
}

// Space in the first frame of each of the parts 1 .. parts. Part k's first frame ends with
// present 33k - 1 when every earlier part lasted one frame.
std::string skip_parts(int parts) {
  std::string s;
  for (int k = 1; k <= parts; ++k) s += std::to_string(33 * k - 1) + ":space,";
  return s;
}

TEST(Driver, SpaceInPartSevenStartsPartOneAndEveryPartRunsItsFullLengthInOrder) {
  // F2 in part seven's last frame (present 7956) still ends the program.
  const DemoRun run = run_demo(skip_parts(7) + "7956:283");
  EXPECT_EQ(run.status, demo_exit_after_quit);
  EXPECT_EQ(run.timeline, "f32 n1 f32 n1 f32 n1 f32 n1 f32 n1 f32 n1 f32 n1 "
                          "f32 n1001 f32 n1501 f32 n1000 f32 n1000 f32 n1000 f32 n1000 f32 n1000 f32");
}

TEST(Driver, QuitKeysEndAnyPartAfterItsFirstFrameWithAFadeOut) {
  // A key pressed in the last four frames of a fade-out is still down when the first frame polls.
  const char* quit_keys[] = {"q", "Q", "esc", "283"};
  const int early[] = {0, 1, 4};  // presents before the end of the part's first frame
  for (int part = 1; part <= 7; ++part) {
    const std::string keys =
        skip_parts(part - 1) + std::to_string(33 * part - 1 - early[part % 3]) + ":" + quit_keys[part % 4];
    const DemoRun run = run_demo(keys);
    std::string timeline;
    for (int k = 0; k < part; ++k) timeline += "f32 n1 ";
    EXPECT_EQ(run.status, demo_exit_after_quit) << keys;
    EXPECT_EQ(run.timeline, timeline + "f32") << keys;
  }
}

TEST(Driver, AKeyActsOnceAndOnlyWhenStillDownAtTheEndOfAFrame) {
  constexpr std::int32_t down = sys_event_key_down;
  constexpr std::int32_t up = sys_event_key_up;
  struct Case {
    const char* name;
    std::vector<CaptureEvent> events;
    const char* keys;
    const char* timeline;
  } cases[] = {
      {"released in the fade-out: lost", {}, "27:space,40:q", "f32 n9 f32"},
      {"pressed and released in one frame: lost", {{40, down, ' '}, {40, up, ' '}}, "45:q", "f32 n14 f32"},
      {"released one frame later: acts", {{40, down, ' '}, {41, up, ' '}}, "70:q", "f32 n9 f32 n1 f32"},
      {"held from the fade-out on: acts once", {{10, down, ' '}}, "70:q", "f32 n1 f32 n6 f32"},
  };
  for (const Case& c : cases) EXPECT_EQ(run_demo(c.keys, {.events = c.events}).timeline, c.timeline) << c.name;
}

TEST(Driver, OptionKeysFlipTheirFlagsAndNineSwitchesThePacingOffAndOn) {
  // With 5 ms presents the limiter sleeps 15 ms a frame; off, it sleeps not at all; back on, one
  // long delay spends the carried slack and the rate is back at 50. No option key ends the part.
  const std::string keys = "39:8,40:9,41:1,42:2,43:4,44:5,45:o,46:g,47:3,50:9,60:q";
  const DemoRun run = run_demo(keys, {.present_ms = 5});
  std::vector<std::uint32_t> want(run.delays.size(), 0);
  for (std::uint32_t f = 33; f <= 40; ++f) want[f] = 15;
  want[51] = 30;
  for (std::uint32_t f = 52; f <= 60; ++f) want[f] = 15;
  EXPECT_EQ(run.delays, want);
  EXPECT_EQ(run.timeline, "f32 n29 f32");
  EXPECT_EQ(std::vector<std::uint8_t>(DemoFlags, DemoFlags + 4), (std::vector<std::uint8_t>{3, 0, 0, 0}));
  EXPECT_EQ(sdldpy_spare_toggle, 1);
}

TEST(Driver, WithoutAnAudioDeviceItRunsSilentAtThePacedRate) {
  // 5 ms presents: the limiter fills every part frame to 20 ms, with or without sound. The music
  // still steps, drawing its random numbers as always, and the same keys give the same frames.
  const std::string keys = "32:space,65:8,90:space,140:q";
  const DemoRun heard = run_demo(keys, {.present_ms = 5, .hashing = true});
  const DemoRun silent = run_demo(keys, {.present_ms = 5, .audio_device = false, .hashing = true});
  EXPECT_TRUE(heard.heard);
  EXPECT_EQ(heard.most_queued, 4);  // the loop is queued while the queue holds at most 3
  EXPECT_FALSE(silent.heard);
  EXPECT_EQ(silent.timeline, "f32 n1 f32 n26 f32 n18 f32");
  EXPECT_EQ(silent.delays, heard.delays);
  EXPECT_EQ(silent.delays[80], 15u);
  EXPECT_EQ(silent.hashes, heard.hashes);
  EXPECT_EQ(silent.next_random, heard.next_random);
}

TEST(Driver, WithoutAVideoModeItSaysSoInOneLineAndStops) {
  headless_reset();
  headless_refuse_video("no display is available");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(demo_main(), demo_exit_no_display);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(headless_presents(), 0u);
  EXPECT_NE(said.find("no 256 x 256 video mode could be set (no display is available)"), std::string::npos);
  EXPECT_NE(said.find("xvfb-run"), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
  headless_reset();
}

}  // namespace
}  // namespace novu
