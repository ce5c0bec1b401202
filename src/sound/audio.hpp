#pragma once
// Audio output: one mono 44100 Hz signed 16-bit little-endian stream, fed from a play queue of
// Sample references by the callback on the system's audio thread.

#include <cstdint>

#include "sound/array.hpp"
#include "sound/sample.hpp"

namespace novu {

struct AudioOut {
  std::int32_t rate;
  std::int32_t sample_depth;
  std::int32_t position;  // next value of the queue's head Sample; audio thread only
  Array* queue;           // Sample references, not owned; shared with the callback under the audio lock
  std::uint8_t sign;
  std::uint8_t byte_order;
  std::uint8_t paused;
};

AudioOut* audio_open() noexcept;  // the program's only system-wide init; null without a device
void audio_queue(AudioOut* audio, Sample* sample) noexcept;
void audio_callback(void* user_data, std::uint8_t* stream, int length) noexcept;
void audio_close(AudioOut** audio) noexcept;

}  // namespace novu
