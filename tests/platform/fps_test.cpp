#include "platform/fps.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/headless.hpp"
#include "platform/system.hpp"

namespace novu {
namespace {

class FpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless_reset();
    for (std::int32_t* v : {&fps_period_us, &fps_last_us, &fps_frame_us, &fps_second_us, &fps_second_frames,
                            &fps_shown, &fps_slack_us}) {
      *v = 0;
    }
    fps_target = 50;
  }

  // One frame of the demo's loop: measure, pace, then `work_ms` of drawing and presenting.
  // Returns the delay the pacer asked for.
  std::uint32_t frame(std::uint32_t work_ms, bool limiter = true) {
    fps_measure();
    const std::uint32_t before = sys_get_ticks();
    if (limiter) fps_pace();
    const std::uint32_t delay = sys_get_ticks() - before;
    headless_set_ticks(sys_get_ticks() + work_ms);
    return delay;
  }
};

TEST_F(FpsTest, TheMicrosecondClockWrapsAndDifferencesDoNot) {
  struct Case {
    std::uint32_t from_ms, to_ms;
    std::int32_t frame_us;
  } cases[] = {
      {0, 20, 20000},
      {4294960, 4294980, 20000},  // ticks x 1000 passes 2^32 between the two
      {0xFFFFFFF0u, 4, 20000},    // the millisecond ticks themselves wrap
      {4294967, 4294967 + 71, 71000},
      {1000, 1000, 0},
  };
  for (const Case& c : cases) {
    headless_set_ticks(c.from_ms);
    fps_measure();
    headless_set_ticks(c.to_ms);
    fps_measure();
    EXPECT_EQ(fps_frame_us, c.frame_us) << c.from_ms << " -> " << c.to_ms;
  }
  headless_set_ticks(4294968);
  EXPECT_EQ(fps_now_us(), 704);  // 4,294,968,000 modulo 2^32
}

TEST_F(FpsTest, AZeroOrNegativeTargetCountsAsOne) {
  struct Case {
    std::int32_t target, kept_target, period_us;
  } cases[] = {{50, 50, 20000}, {3, 3, 333333}, {0, 1, 1000000}, {-7, 1, 1000000}};
  for (const Case& c : cases) {
    fps_target = c.target;
    fps_measure();
    EXPECT_EQ(fps_target, c.kept_target);
    EXPECT_EQ(fps_period_us, c.period_us);
  }
}

TEST_F(FpsTest, TheCountShowsTheLastCompletedSecond) {
  struct Case {
    std::uint32_t frame_ms;
    std::int32_t first_shown;  // at the first second boundary (the first frame opens no count)
    std::int32_t settled;
  } cases[] = {{20, 49, 50}, {10, 99, 100}, {40, 24, 25}, {3, 333, 334}, {1000, 0, 1}, {1500, 0, 1}};
  for (const Case& c : cases) {
    SetUp();
    std::vector<std::int32_t> shown;
    for (int i = 0; i < 2000; ++i) {
      headless_set_ticks(sys_get_ticks() + c.frame_ms);
      shown.push_back(fps_measure());
    }
    const auto boundary = std::find_if(shown.begin(), shown.end(), [](std::int32_t s) { return s != 0; });
    if (c.first_shown != 0) {
      ASSERT_NE(boundary, shown.end()) << c.frame_ms;
      EXPECT_EQ(*boundary, c.first_shown) << c.frame_ms;
    }
    EXPECT_EQ(shown.back(), c.settled) << c.frame_ms;
  }
}

TEST_F(FpsTest, ABoundaryDropsTheRestOfTheSecondAndRestartsAtOne) {
  fps_second_us = 990000;
  fps_second_frames = 42;
  fps_last_us = 0;
  headless_set_ticks(15);
  EXPECT_EQ(fps_measure(), 42);
  EXPECT_EQ(fps_second_frames, 1);
  EXPECT_EQ(fps_second_us, 0);
}

TEST_F(FpsTest, SubMillisecondSlackIsCarriedSoFramesAverageThePeriod) {
  // 5.5 ms of work at 50 frames per second: the delays alternate 14 and 15 ms.
  struct Step {
    std::int32_t frame_us, slack_us;
    std::uint32_t delay_ms;
  } steps[] = {
      {5500, 14500, 14}, {19500, 15000, 15}, {20500, 14500, 14}, {19500, 15000, 15}, {20500, 14500, 14}};
  fps_measure();
  for (const Step& s : steps) {
    fps_frame_us = s.frame_us;
    const std::uint32_t before = sys_get_ticks();
    fps_pace();
    EXPECT_EQ(fps_slack_us, s.slack_us);
    EXPECT_EQ(sys_get_ticks() - before, s.delay_ms);
  }
}

TEST_F(FpsTest, SteadyWorkSettlesOnThePeriod) {
  for (const std::uint32_t work_ms : {0u, 5u, 13u, 19u, 20u}) {
    SetUp();
    for (int i = 0; i < 5; ++i) frame(work_ms);
    for (int i = 0; i < 50; ++i) {
      EXPECT_EQ(frame(work_ms), 20 - work_ms) << work_ms;
      EXPECT_EQ(fps_frame_us, 20000) << work_ms;
    }
  }
}

TEST_F(FpsTest, OverrunsAreNeverPaidBack) {
  for (int i = 0; i < 10; ++i) frame(5);
  EXPECT_EQ(fps_slack_us, 15000);
  frame(95);  // one frame of 110 ms in all
  EXPECT_EQ(frame(5), 0u);
  EXPECT_EQ(fps_slack_us, 0);
  // From here on the rate is the target again, not faster to make up for the lost time.
  for (int i = 0; i < 10; ++i) EXPECT_EQ(frame(5), 15u);
  frame(30);  // the first slow frame is still paced by the slack of the quick ones
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(frame(30), 0u);  // a machine slower than the target simply runs as fast as it can
    EXPECT_EQ(fps_slack_us, 0);
  }
}

TEST_F(FpsTest, TheLimiterResumesFromItsSlack) {
  for (int i = 0; i < 10; ++i) frame(5);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(frame(5, false), 0u);
  EXPECT_EQ(fps_slack_us, 15000);
  const std::uint32_t resumed[] = {30, 15, 15, 15};  // one long delay, then the target rate
  for (const std::uint32_t delay : resumed) EXPECT_EQ(frame(5), delay);
}

}  // namespace
}  // namespace novu
