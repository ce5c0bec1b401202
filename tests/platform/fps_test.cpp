#include "platform/fps.hpp"

#include <gtest/gtest.h>

#include "platform/headless.hpp"
#include "platform/system.hpp"

namespace novu {
namespace {

class FpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless_reset();
    fps_last_us = fps_second_us = fps_second_frames = fps_shown = fps_slack_us = 0;
    fps_target = 50;
  }
};

TEST_F(FpsTest, TheClockWrapsUnnoticedAndATargetBelowOneCountsAsOne) {
  // Between the two measures ticks x 1000 passes 2^31, then 2^32; then the ticks themselves wrap.
  for (const std::uint32_t from_ms : {0u, 2147480u, 4294960u, 0xFFFFFFF0u}) {
    headless_set_ticks(from_ms);
    fps_measure();
    headless_set_ticks(from_ms + 20);
    fps_measure();
    EXPECT_EQ(fps_frame_us, 20000) << from_ms;
  }
  for (const std::int32_t target : {0, -7}) {
    fps_target = target;
    fps_measure();
    EXPECT_EQ(fps_period_us, 1000000) << target;
  }
}

TEST_F(FpsTest, TheCountShowsTheLastFullSecondAndDropsWhatLiesBeyondIt) {
  struct Case {
    std::uint32_t frame_ms;
    int frames;
    std::int32_t shown;
  } cases[] = {
      {20, 49, 0}, {20, 50, 49}, {20, 100, 50},  // the very first frame opens no count
      {30, 34, 33}, {30, 68, 34},                // the 20 ms beyond the first second are not carried
      {1500, 2, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    std::int32_t shown = -1;
    for (int i = 0; i < c.frames; ++i) {
      headless_set_ticks(sys_get_ticks() + c.frame_ms);
      shown = fps_measure();
    }
    EXPECT_EQ(shown, c.shown) << c.frames << " frames of " << c.frame_ms << " ms";
  }
}

TEST_F(FpsTest, SlackBelowAMillisecondIsCarriedAndOverrunsAreNeverPaidBack) {
  struct Step {
    std::int32_t frame_us, slack_us;
    std::uint32_t delay_ms;
  } steps[] = {
      // 5.5 ms of work at 50 frames per second: the delays alternate 14 and 15 ms.
      {5500, 14500, 14}, {19500, 15000, 15}, {20500, 14500, 14}, {19500, 15000, 15},
      // A 110 ms frame, then 5 ms of work again: the rate is the target, not faster to catch up.
      {110000, 0, 0}, {5000, 15000, 15}, {20000, 15000, 15},
  };
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
