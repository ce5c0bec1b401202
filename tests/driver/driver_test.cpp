// The whole program on the headless system: the part sequence, the keys and the pacing, seen
// from outside through what the frames do. A frame that reads the clock is a frame of a part;
// the fade-outs read nothing, so a run reads as runs of fade frames (f) and part frames (n).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture_options.hpp"
#include "driver/demo.hpp"
#include "driver/part.hpp"
#include "platform/fps.hpp"
#include "platform/headless.hpp"

namespace novu {
namespace {

// "f32 n1001": each run of equal tokens as the token and the run's length.
std::string runs(const std::vector<std::string>& tokens) {
  std::string text;
  for (std::size_t at = 0, end = 0; at < tokens.size(); at = end) {
    while (end < tokens.size() && tokens[end] == tokens[at]) ++end;
    if (at != 0) text += ' ';
    text += tokens[at] + std::to_string(end - at);
  }
  return text;
}

// How to run the demo, and what its frames showed.
struct DemoRun {
  std::uint32_t present_ms = 20;
  bool audio_device = true;
  std::uint32_t budget = 100;  // a run still going after this frame has ignored its quit key
  std::vector<std::string> kinds = {};     // per frame: "f" a fade-out frame, "n" a part's frame
  std::vector<std::string> delays = {};    // per frame: the limiter's sleep, as "15ms x"
  bool heard = false;                      // any sound reached the speaker
  std::int32_t most_queued = 0;            // the longest the audio play queue grew
  int next_random = 0;  // the draw after the run: equal only if the runs drew as many numbers
};

void watch(void* user_data, const HeadlessFrame& frame) noexcept {
  auto* run = static_cast<DemoRun*>(user_data);
  run->kinds.push_back(frame.clock_reads == 0 ? "f" : "n");
  run->delays.push_back(std::to_string(frame.delay_ms) + "ms x");
  for (std::int32_t i = 0; i < frame.audio_bytes; ++i) run->heard |= frame.audio[i] != 0;
  if (demo_audio != nullptr) run->most_queued = std::max(run->most_queued, demo_audio->queue->count);
  if (frame.index >= run->budget) demo_request = demo_request_quit;  // the kinds show it
}

// A fresh process running the demo; `keys` is in demo-capture's form ("32:space,65:q").
DemoRun run_demo(const std::string& keys, DemoRun run = {}) {
  headless_reset();
  fps_last_us = fps_slack_us = 0;  // what the pacer carried over from the previous run
  headless_set_present_ms(run.present_ms);
  headless_refuse_audio(!run.audio_device);
  std::vector<CaptureEvent> events;
  bool quits = false;
  std::string error;
  EXPECT_TRUE(capture_parse_keys(keys.c_str(), &events, &quits, &error)) << error;
  for (const CaptureEvent& e : events) {
    headless_schedule_event(e.after_present, e.type, e.sym);
    run.budget = std::max(run.budget, e.after_present + 100);
  }
  headless_set_present_hook(watch, &run);
  EXPECT_EQ(demo_main(), demo_exit_after_quit) << keys;  // a quit key or the budget ended it
  run.next_random = std::rand();
  headless_reset();
  return run;
}

// Space in the first frame of each of the parts 1 .. parts. Part k's first frame ends with
// present 33k - 1 when every earlier part lasted one frame.
std::string skip_parts(int parts) {
  std::string s;
  for (int k = 1; k <= parts; ++k) s += std::to_string(33 * k - 1) + ":space,";
  return s;
}

TEST(Driver, QuitKeysEndAnyPartAfterAFadeOutAndSpaceInPartSevenStartsPartOne) {
  // A key pressed in the last four frames of a fade-out is still down when the first frame polls.
  const char* quit_keys[] = {"q", "Q", "esc", "283"};
  const int early[] = {0, 1, 4};  // presents before the end of the part's first frame
  std::string skipped;            // the timeline of the parts left by Space in their first frame
  for (int part = 1; part <= 7; ++part) {
    const std::string keys =
        skip_parts(part - 1) + std::to_string(33 * part - 1 - early[part % 3]) + ":" + quit_keys[part % 4];
    skipped += "f32 n1 ";
    EXPECT_EQ(runs(run_demo(keys).kinds), skipped + "f32") << keys;
  }
  // Then every part runs its full length, in order; F2 in part seven's last frame (present 7956)
  // still ends the program.
  EXPECT_EQ(runs(run_demo(skip_parts(7) + "7956:283").kinds),
            skipped + "f32 n1001 f32 n1501 f32 n1000 f32 n1000 f32 n1000 f32 n1000 f32 n1000 f32");
}

TEST(Driver, OptionKeysFlipTheirFlagsAndNineSwitchesThePacingOffAndOn) {
  // With 5 ms presents the limiter sleeps 15 ms a frame; off, it sleeps not at all; back on, one
  // long delay spends the carried slack and the rate is back at 50. No option key ends the part,
  // nor does a space released within the fade-out; 8, held through a frame without events, acts
  // once.
  const DemoRun run =
      run_demo("27:space,38:8,40:9,41:1,42:2,43:4,44:5,45:o,46:g,47:3,50:9,60:q", {.present_ms = 5});
  EXPECT_EQ(runs(run.delays), "0ms x33 15ms x8 0ms x10 30ms x1 15ms x9 0ms x32");
  EXPECT_EQ(runs(run.kinds), "f32 n29 f32");
  EXPECT_EQ(std::vector<std::uint8_t>(DemoFlags, DemoFlags + 4), (std::vector<std::uint8_t>{3, 0, 0, 0}));
  EXPECT_EQ(sdldpy_spare_toggle, 1);
}

TEST(Driver, WithoutAnAudioDeviceItRunsSilentAtThePacedRate) {
  // 5 ms presents: the limiter fills every part frame to 20 ms, with or without sound. The music
  // still steps, drawing its random numbers as always, so the frames stay the same.
  const std::string keys = "32:space,65:8,90:space,140:q";
  const DemoRun heard = run_demo(keys, {.present_ms = 5});
  const DemoRun silent = run_demo(keys, {.present_ms = 5, .audio_device = false});
  EXPECT_TRUE(heard.heard);
  EXPECT_EQ(heard.most_queued, 4);  // the loop is queued while the queue holds at most 3
  EXPECT_FALSE(silent.heard);
  EXPECT_EQ(runs(silent.delays), "0ms x66 15ms x25 0ms x33 15ms x17 0ms x32");
  EXPECT_EQ(silent.delays, heard.delays);
  EXPECT_EQ(silent.next_random, heard.next_random);
}

TEST(Driver, WithoutAVideoModeItSaysSoInOneSentenceAndStops) {
  headless_reset();
  headless_refuse_video("no display is available");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(demo_main(), demo_exit_no_display);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "NOVU4471 cannot start: no 256 x 256 video mode could be set (no display is available). "
            "It needs a display: run it in a desktop session, or under xvfb-run.\n");
  EXPECT_EQ(headless_presents(), 0u);
}


// Each part's set-up against the rand() draws it is described by, replayed from the same seed.
TEST(Driver, PartSetUpsDrawTheirSpeedsAndShapesInOrder) {
  headless_reset();
  ASSERT_TRUE(demo_init());
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::srand(seed);
    const int dx = std::rand() % 0x3ffff - 0x1ffff, dy = std::rand() % 0x3ffff;
    std::srand(seed);
    demo_part1_shape.setup();
    const int blue[][2] = {{dx, dy}, {dx + (dx >> 1), dy + (dy >> 1)}, {2 * dx, 2 * dy}, {3 * dx, 3 * dy}};
    for (int k = 0; k < 4; ++k) EXPECT_EQ((std::vector{demo_stars_blue[k]->dx, demo_stars_blue[k]->dy}),
                                          (std::vector{blue[k][0], blue[k][1]}));

    std::srand(seed);
    int d[8];
    for (int& v : d) v = std::rand();
    std::srand(seed);
    demo_part2_shape.setup();
    const int ax = 4 + d[0] % 31, ay = 4 + d[2] % 15, flat = d[4] % 7 == 0 ? 0 : 1;
    EXPECT_EQ((std::vector{demo_distx->amplitude, demo_distx->wave.speed, demo_distx->wave.offset_step,
                           demo_disty->amplitude, demo_disty->wave.speed, demo_disty->wave.offset_step,
                           demo_bob->length, demo_bob->speed, demo_bob->offset_step}),
              (std::vector{flat * ax, 4 + d[1] % 15, 35 - ax, flat * ay, 4 + d[3] % 15, 19 - ay, 1024,
                           4 + d[5] % 7, 31 + d[6] % 15}));

    std::srand(seed);
    for (int& v : d) v = std::rand();
    std::srand(seed);
    demo_part3_shape.setup();
    const int sign = d[4] % 2 == 0 ? -1 : 1;
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ((std::vector{demo_radars[k]->speed_x, demo_radars[k]->speed_y}),
                (std::vector{sign * (k + 1 + d[k] % (k + 2)), sign * (k + 1 + d[k] % (k + 2))}));
    }
  }
  demo_shutdown();
  headless_reset();
}
}  // namespace
}  // namespace novu
