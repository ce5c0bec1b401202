#include "platform/fps.hpp"

#include <gtest/gtest.h>

#include "platform/headless.hpp"
#include "platform/system.hpp"

namespace novu {
namespace {

// A fresh pacer at 50 frames per second, on a clock at 0.
void restart() {
  headless_reset();
  fps_last_us = fps_second_us = fps_second_frames = fps_shown = fps_slack_us = 0;
  fps_target = 50;
}

TEST(Fps, TheCountShowsTheLastFullSecondAcrossClockWrapsAndDropsWhatLiesBeyondIt) {
  struct Case {
    std::uint32_t start_ms, frame_ms;
    int frames;
    std::int32_t shown;
  } cases[] = {
      {0, 20, 49, 0}, {0, 20, 50, 49}, {0, 20, 100, 50},  // the very first frame opens no count
      {0, 30, 68, 34}, {0, 1500, 2, 1},  // the 20 ms beyond the first second are not carried
      // In the first second ticks x 1000 passes 2^31, or 2^32; or the ticks themselves wrap.
      {2147000, 20, 50, 49}, {4294000, 20, 50, 49}, {0xFFFFFE00, 20, 50, 49},
  };
  for (const Case& c : cases) {
    restart();
    headless_set_ticks(c.start_ms);
    fps_last_us = static_cast<std::int32_t>(c.start_ms * 1000u);
    std::int32_t shown = -1;
    for (int i = 0; i < c.frames; ++i) {
      headless_set_ticks(sys_get_ticks() + c.frame_ms);
      shown = fps_measure();
    }
    EXPECT_EQ(shown, c.shown) << c.frames << " frames of " << c.frame_ms << " ms from " << c.start_ms;
  }
}

TEST(Fps, SlackBelowAMillisecondIsCarriedAndOverrunsAreNeverPaidBack) {
  struct Step {
    std::int32_t frame_us, slack_us;
    std::uint32_t delay_ms;
  } steps[] = {
      // 5.5 ms of work at 50 frames per second: the delays alternate 14 and 15 ms.
      {5500, 14500, 14}, {19500, 15000, 15}, {20500, 14500, 14}, {19500, 15000, 15},
      // A 110 ms frame, then 5 ms of work again: the rate is the target, not faster to catch up.
      {110000, 0, 0}, {5000, 15000, 15}, {20000, 15000, 15},
  };
  restart();
  fps_measure();  // sets the period
  for (const Step& s : steps) {
    fps_frame_us = s.frame_us;
    const std::uint32_t before = sys_get_ticks();
    fps_pace();
    EXPECT_EQ(fps_slack_us, s.slack_us) << s.frame_us;
    EXPECT_EQ(sys_get_ticks() - before, s.delay_ms) << s.frame_us;
  }
}

}  // namespace
}  // namespace novu
