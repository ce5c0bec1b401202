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
// Appends a reference to the sample (not a copy) under the audio lock.
void audio_queue(AudioOut* audio, Sample* sample) noexcept;
// The frame feed's test and append as one step under the audio lock: queues the sample when the
// queue holds at most max_entries entries. 1 when it queued, else 0.
int audio_queue_if_at_most(AudioOut* audio, Sample* sample, std::int32_t max_entries) noexcept;
// Runs on the audio thread under the audio lock. Writes length / 2 little-endian 16-bit values
// from the queue, dropping each entry when it has been played; silence (zeros) wherever there is
// nothing to play. Allocates nothing and prints nothing.
void audio_callback(void* user_data, std::uint8_t* stream, int length) noexcept;
// Stops the callback (pause, then one pass through the lock), closes the device, and only then
// releases the queue (not the queued samples) and the record.
void audio_close(AudioOut** audio) noexcept;

}  // namespace novu
