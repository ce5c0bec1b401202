// The whole program on the headless system: the part sequence, the keys and the pacing, seen
// from outside through what the frames do. A frame that reads the clock is a frame of a part;
// the fade-outs read nothing, so a run reads as runs of fade frames (f) and part frames (n).

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "capture_options.hpp"
#include "capture_output.hpp"
#include "driver/demo.hpp"
#include "platform/fps.hpp"
#include "platform/headless.hpp"

namespace novu {
namespace {

constexpr std::uint32_t frame_budget = 20000;  // far beyond any case; then q is pressed, the case fails

struct DemoRun {
  int status = 0;
  std::string timeline;  // e.g. "f32 n1001 f32": fade-out, a whole part one, the shutdown fade-out
  std::vector<std::uint32_t> delays;  // per frame
  std::vector<std::uint64_t> hashes;  // per frame
  bool hashing = false;
  bool heard = false;  // any sound reached the speaker
  bool over_budget = false;
  char last_kind = 0;
  std::uint32_t run_length = 0;
};

void close_run(DemoRun* run) {
  if (run->run_length == 0) return;
  if (!run->timeline.empty()) run->timeline += ' ';
  run->timeline += run->last_kind + std::to_string(run->run_length);
}

void watch(void* user_data, const HeadlessFrame& frame) noexcept {
  auto* run = static_cast<DemoRun*>(user_data);
  const char kind = frame.clock_reads == 0 ? 'f' : 'n';
  if (kind != run->last_kind) {
    close_run(run);
    run->last_kind = kind;
    run->run_length = 0;
  }
  ++run->run_length;
  run->delays.push_back(frame.delay_ms);
  for (std::int32_t i = 0; i < frame.audio_bytes; ++i) run->heard |= frame.audio[i] != 0;
  if (run->hashing) {
    static std::uint32_t pixels[256 * 256];
    headless_read_xrgb(pixels, 256 * 256);
    run->hashes.push_back(capture_hash(pixels, 256 * 256));
  }
  if (frame.index == frame_budget) {
    run->over_budget = true;
    headless_schedule_event(frame.index, sys_event_key_down, 'q');
  }
}

void fresh_process() {
  headless_reset();
  for (std::int32_t* v : {&fps_target, &fps_period_us, &fps_last_us, &fps_frame_us, &fps_second_us,
                          &fps_second_frames, &fps_shown, &fps_slack_us}) {
    *v = 0;
  }
}

// `keys` uses demo-capture's script form ("32:space,65:q"); `raw` events are queued as given.
DemoRun run_demo(const std::string& keys, const std::vector<CaptureEvent>& raw = {},
                 std::uint32_t present_ms = 20, bool hashing = false, bool audio_device = true) {
  fresh_process();
  headless_set_present_ms(present_ms);
  headless_refuse_audio(!audio_device);
  std::vector<CaptureEvent> events = raw;
  bool quits = false;
  std::string error;
  if (!keys.empty()) {
    EXPECT_TRUE(capture_parse_keys(keys.c_str(), &events, &quits, &error)) << error;
  }
  for (const CaptureEvent& e : events) headless_schedule_event(e.after_present, e.type, e.sym);
  DemoRun run;
  run.hashing = hashing;
  headless_set_present_hook(watch, &run);
  run.status = demo_main();
  close_run(&run);
  EXPECT_FALSE(run.over_budget) << keys;
  EXPECT_EQ(demo_display, nullptr);
  EXPECT_EQ(demo_keyboard, nullptr);
  EXPECT_EQ(screen, nullptr);
  headless_reset();
  return run;
}

std::string repeat(const std::string& piece, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

// Space in the first frame of each of the parts 1 .. parts, as a script prefix. The first frame
// of part k ends with present 33k - 1 when every earlier part lasted one frame.
std::string skip_parts(int parts) {
  std::string s;
  for (int k = 1; k <= parts; ++k) s += std::to_string(33 * k - 1) + ":space,";
  return s;
}

TEST(Driver, QuitKeysEndAnyPartAfterTheCurrentFrameWithAFadeOut) {
  const char* quit_keys[] = {"q", "Q", "esc", "283"};
  for (int part = 1; part <= 7; ++part) {
    const std::uint32_t first_frame = 33 * part - 1;
    struct Press {
      const char* key;
      std::uint32_t offset;  // frames into the part
    };
    std::vector<Press> presses;
    for (const char* key : quit_keys) presses.push_back({key, 0});
    presses.push_back({quit_keys[part % 4], 300});
    for (const Press& p : presses) {
      const std::string keys = skip_parts(part - 1) + std::to_string(first_frame + p.offset) + ":" + p.key;
      const DemoRun run = run_demo(keys);
      EXPECT_EQ(run.status, 1) << keys;
      EXPECT_EQ(run.timeline, repeat("f32 n1 ", part - 1) + "f32 n" + std::to_string(p.offset + 1) + " f32")
          << keys;
    }
  }
}

TEST(Driver, PartsRunTheirFullLengthInOrderAndStartAgain) {
  // Part one 1001 frames, part two 1501, the others 1000; after part seven comes part one.
  const DemoRun run = run_demo("7758:q");
  EXPECT_EQ(run.timeline, "f32 n1001 f32 n1501 f32 n1000 f32 n1000 f32 n1000 f32 n1000 f32 n1000 f32 n1 f32");
}

TEST(Driver, SpaceInPartSevenStartsPartOne) {
  const DemoRun run =
      run_demo(skip_parts(7) + "1296:q");  // part one again, whole, then part two's first frame
  EXPECT_EQ(run.timeline, repeat("f32 n1 ", 7) + "f32 n1001 f32 n1 f32");
}

TEST(Driver, KeysTimedAroundTheEndOfAPart) {
  struct Case {
    const char* keys;
    const char* timeline;
  } cases[] = {
      {"1032:q", "f32 n1001 f32"},                      // quit in part one's last frame
      {"32:space,1565:esc", "f32 n1 f32 n1501 f32"},    // quit in part two's last frame
      {"1032:space,1565:q", "f32 n1001 f32 n501 f32"},  // space in the last frame: part two runs as usual
      {"32:288,65:q", "f32 n1 f32 n1 f32"},             // F7 acts as space
  };
  for (const Case& c : cases) {
    const DemoRun run = run_demo(c.keys);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.timeline, c.timeline) << c.keys;
  }
}

TEST(Driver, AKeyPressedDuringAFadeOutActsAtTheEndOfTheFirstFrame) {
  // Held five frames: pressed in the last four frames of the fade-out it is still down when the
  // part's first frame polls; pressed earlier its release reaches the same poll and it is lost.
  struct Case {
    const char* keys;
    const char* timeline;
  } cases[] = {
      {"27:space,1065:q", "f32 n1001 f32 n1 f32"}, {"28:space,65:q", "f32 n1 f32 n1 f32"},
      {"31:space,65:q", "f32 n1 f32 n1 f32"},      {"32:space,65:q", "f32 n1 f32 n1 f32"},
      {"1062:q", "f32 n1001 f32 n1 f32"},  // pressed in part two's fade-out
  };
  for (const Case& c : cases) EXPECT_EQ(run_demo(c.keys).timeline, c.timeline) << c.keys;
}

TEST(Driver, OnlyAKeyStillDownAtThePollActsAndItActsOnce) {
  constexpr std::int32_t down = sys_event_key_down;
  constexpr std::int32_t up = sys_event_key_up;
  struct Case {
    const char* name;
    std::vector<CaptureEvent> raw;
    const char* keys;
    const char* timeline;
  } cases[] = {
      {"pressed and released within one frame is lost",
       {{40, down, ' '}, {40, up, ' '}},
       "1065:q",
       "f32 n1001 f32 n1 f32"},
      {"released one frame later acts", {{40, down, ' '}, {41, up, ' '}}, "73:q", "f32 n9 f32 n1 f32"},
      {"held for thousands of frames acts once", {{32, down, ' '}}, "1565:q", "f32 n1 f32 n1501 f32"},
      {"releasing another key clears the slot",
       {{40, down, ' '}, {40, up, 'x'}},
       "1065:q",
       "f32 n1001 f32 n1 f32"},
  };
  for (const Case& c : cases) EXPECT_EQ(run_demo(c.keys, c.raw).timeline, c.timeline) << c.name;
}

TEST(Driver, OptionKeysFlipTheirFlagsAndNothingElse) {
  struct Case {
    const char* keys;
    std::uint8_t flags[4];
    std::uint8_t spare;
  } cases[] = {
      {"100:q", {0x02, 0x03, 0x01, 0x01}, 0},
      {"40:8,100:q", {0x03, 0x03, 0x01, 0x01}, 0},
      {"40:8,50:8,100:q", {0x02, 0x03, 0x01, 0x01}, 0},
      {"40:9,100:q", {0x00, 0x03, 0x01, 0x01}, 0},
      {"40:1,50:2,60:4,70:5,80:o,100:q", {0x02, 0x00, 0x00, 0x00}, 1},
      {"40:a,50:s,60:d,70:f,80:g,90:x,100:q", {0x02, 0x03, 0x01, 0x01}, 0},
  };
  for (const Case& c : cases) {
    const DemoRun run = run_demo(c.keys);
    EXPECT_EQ(run.timeline, "f32 n69 f32") << c.keys << ": no option key ends the part";
    EXPECT_EQ(std::memcmp(DemoFlags, c.flags, 4), 0) << c.keys;
    EXPECT_EQ(sdldpy_spare_toggle, c.spare) << c.keys;
  }
}

TEST(Driver, NineSwitchesTheLimiterOffAndOn) {
  // With 5 ms presents the limiter sleeps 15 ms a frame; off, it sleeps not at all; back on, one
  // long delay spends the carried slack and the rate is back at 50.
  const DemoRun run = run_demo("40:9,50:9,60:q", {}, 5);
  std::vector<std::uint32_t> want(run.delays.size(), 0);
  for (std::uint32_t f = 33; f <= 40; ++f) want[f] = 15;
  want[51] = 30;
  for (std::uint32_t f = 52; f <= 60; ++f) want[f] = 15;
  EXPECT_EQ(run.delays, want);
  EXPECT_EQ(run.timeline, "f32 n29 f32");
}

TEST(Driver, TheSameKeysGiveTheSameFrames) {
  const std::string keys = "32:space,65:8,80:9,90:space,123:q";
  const DemoRun first = run_demo(keys, {}, 20, true);
  const DemoRun second = run_demo(keys, {}, 20, true);
  EXPECT_EQ(first.hashes.size(), 32u + 1 + 32 + 26 + 32 + 1 + 32);
  EXPECT_EQ(first.hashes, second.hashes);
}

TEST(Driver, WithoutAnAudioDeviceItRunsSilentAtThePacedRate) {
  // 5 ms presents: the limiter fills every part frame to 20 ms, with or without sound, and the
  // music still steps (its random draws keep the pictures the same).
  const DemoRun heard = run_demo("700:q", {}, 5, true);
  const DemoRun silent = run_demo("700:q", {}, 5, true, false);
  EXPECT_TRUE(heard.heard);
  EXPECT_FALSE(silent.heard);
  EXPECT_EQ(silent.timeline, "f32 n669 f32");
  EXPECT_EQ(silent.delays, heard.delays);
  EXPECT_EQ(silent.delays[400], 15u);
  EXPECT_EQ(silent.hashes, heard.hashes);
}

TEST(Driver, WithoutAVideoModeItSaysSoAndStops) {
  fresh_process();
  headless_refuse_video("no display is available");
  ::testing::internal::CaptureStderr();
  const int status = demo_main();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, demo_exit_no_display);
  EXPECT_NE(status, demo_exit_after_quit);
  EXPECT_EQ(headless_presents(), 0u);
  EXPECT_FALSE(sdldpy_is_open());
  EXPECT_NE(said.find("no 256 x 256 video mode could be set (no display is available)"), std::string::npos)
      << said;
  EXPECT_NE(said.find("xvfb-run"), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line";
  headless_reset();
}

TEST(Driver, TheKeyTableActsOnTheFirstMatchOnly) {
  struct Case {
    std::uint8_t key;
    std::uint8_t request;
    std::uint8_t flags[4];
    std::uint8_t spare;
  } cases[] = {
      {'q', 1, {0x02, 0x03, 0x01, 0x01}, 0}, {'Q', 1, {0x02, 0x03, 0x01, 0x01}, 0},
      {27, 1, {0x02, 0x03, 0x01, 0x01}, 0},  {' ', 2, {0x02, 0x03, 0x01, 0x01}, 0},
      {'1', 0, {0x02, 0x03, 0x01, 0x00}, 0}, {'2', 0, {0x02, 0x03, 0x00, 0x01}, 0},
      {'4', 0, {0x02, 0x02, 0x01, 0x01}, 0}, {'5', 0, {0x02, 0x01, 0x01, 0x01}, 0},
      {'8', 0, {0x03, 0x03, 0x01, 0x01}, 0}, {'9', 0, {0x00, 0x03, 0x01, 0x01}, 0},
      {'o', 0, {0x02, 0x03, 0x01, 0x01}, 1}, {'3', 0, {0x02, 0x03, 0x01, 0x01}, 0},
      {0, 0, {0x02, 0x03, 0x01, 0x01}, 0},   {'x', 0, {0x02, 0x03, 0x01, 0x01}, 0},
  };
  for (const Case& c : cases) {
    std::memcpy(DemoFlags, demo_flags_initial, 4);
    demo_request = 0;
    sdldpy_spare_toggle = 0;
    demo_handle_key(c.key);
    EXPECT_EQ(demo_request, c.request) << int{c.key};
    EXPECT_EQ(std::memcmp(DemoFlags, c.flags, 4), 0) << int{c.key};
    EXPECT_EQ(sdldpy_spare_toggle, c.spare) << int{c.key};
  }
  demo_request = 0;
  sdldpy_spare_toggle = 0;
}

}  // namespace
}  // namespace novu
