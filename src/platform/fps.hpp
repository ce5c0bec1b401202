#pragma once
// FPS: frame time in microseconds, the frames-per-second count, and the frame limiter. The clock
// is the system's millisecond ticks x 1000 in 32-bit arithmetic: it wraps every 2^32 us and all
// differences are taken modulo 2^32, so the wrap never disturbs a measurement.

#include <cstdint>

namespace novu {

extern std::int32_t fps_target;         // frames per second; the driver sets 50
extern std::int32_t fps_period_us;      // 1,000,000 / fps_target
extern std::int32_t fps_last_us;        // time stamp of the previous fps_measure
extern std::int32_t fps_frame_us;       // time between the last two fps_measure calls
extern std::int32_t fps_second_us;      // time gathered towards the current second
extern std::int32_t fps_second_frames;  // frames counted in the current second
extern std::int32_t fps_shown;          // frames counted in the last completed second
extern std::int32_t fps_slack_us;       // pacing slack carried from frame to frame

std::int32_t fps_now_us() noexcept;
// Once per frame: updates the frame time and the per-second count; returns fps_shown.
std::int32_t fps_measure() noexcept;
// Sleeps the whole milliseconds of the slack; the sub-millisecond rest is carried to later frames.
void fps_pace() noexcept;

}  // namespace novu
