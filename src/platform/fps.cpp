#include "platform/fps.hpp"

#include <cstdint>

#include "base/wrap.hpp"
#include "platform/system.hpp"

namespace novu {

std::int32_t fps_target = 0;
std::int32_t fps_period_us = 0;
std::int32_t fps_last_us = 0;
std::int32_t fps_frame_us = 0;
std::int32_t fps_second_us = 0;
std::int32_t fps_second_frames = 0;
std::int32_t fps_shown = 0;
std::int32_t fps_slack_us = 0;

namespace {
constexpr std::int32_t one_second_us = 1000000;
}  // namespace

std::int32_t fps_now_us() noexcept { return static_cast<std::int32_t>(sys_get_ticks() * 1000u); }

std::int32_t fps_measure() noexcept {
  if (fps_target <= 0) fps_target = 1;
  fps_period_us = one_second_us / fps_target;
  const std::int32_t now = fps_now_us();
  fps_frame_us = wrap_sub(now, fps_last_us);
  fps_last_us = now;
  if (std::int64_t{fps_second_us} + fps_frame_us >= one_second_us) {
    // The part of this frame beyond the second is dropped, not carried into the next count.
    fps_shown = fps_second_frames;
    fps_second_frames = 1;
    fps_second_us = 0;
  } else {
    fps_second_us = wrap_add(fps_second_us, fps_frame_us);
    fps_second_frames = wrap_add(fps_second_frames, 1);
  }
  return fps_shown;
}

void fps_pace() noexcept {
  if (fps_frame_us > fps_period_us) {
    // Overruns are never paid back by running faster than the machine allows.
    const std::int32_t slack = wrap_sub(fps_slack_us, wrap_sub(fps_frame_us, fps_period_us));
    fps_slack_us = slack > 0 ? slack : 0;
  } else {
    fps_slack_us = wrap_add(fps_slack_us, wrap_sub(fps_period_us, fps_frame_us));
  }
  // The delay shows up in the next frame time, which corrects the slack; the sub-millisecond
  // rest stays in it so the average frame settles on the period.
  if (fps_slack_us > 0) sys_delay(static_cast<std::uint32_t>(fps_slack_us / 1000));
}

}  // namespace novu
