#include "sound/audio.hpp"

#include <cstring>

#include "base/alloc.hpp"
#include "platform/system.hpp"

namespace novu {

namespace {
constexpr std::int32_t output_rate = 44100;
constexpr std::uint16_t format_s16_little = 0x8010;
constexpr std::uint16_t frames_per_callback = 4096;

// The queue's head without a diagnostic when the queue is empty: the callback prints nothing.
Sample* head_of(const Array* queue) noexcept {
  return queue != nullptr && queue->count > 0 ? static_cast<Sample*>(array_get(queue, 0)) : nullptr;
}

// Appends under the audio lock when the queue holds at most `limit` entries (no limit when
// negative); creates the queue if it is missing. 1 when the sample was queued.
int queue_locked(AudioOut* audio, Sample* sample, std::int32_t limit) noexcept {
  if (audio == nullptr || sample == nullptr) return 0;
  sys_lock_audio();
  if (audio->queue == nullptr) audio->queue = array_create();
  int queued = 0;
  if (audio->queue != nullptr && (limit < 0 || audio->queue->count <= limit)) {
    const std::int32_t before = audio->queue->count;
    array_append(audio->queue, sample);
    queued = audio->queue->count > before ? 1 : 0;
  }
  sys_unlock_audio();
  return queued;
}
}  // namespace

AudioOut* audio_open() noexcept {
  if (sys_init(sys_init_everything) != 0) return nullptr;
  AudioOut* audio = mem_new<AudioOut>();
  if (audio == nullptr) return nullptr;
  // Complete before the device exists: the system may call the callback as soon as the device
  // is open, before playback is unpaused.
  audio->rate = output_rate;
  audio->sample_depth = 16;
  audio->sign = 's';
  audio->byte_order = 'l';
  audio->paused = 0;
  audio->queue = array_create();
  const SysAudioSpec request{output_rate, format_s16_little, 1, frames_per_callback, audio_callback, audio};
  if (audio->queue == nullptr || sys_open_audio(&request) < 0) {
    if (audio->queue != nullptr) array_destroy(&audio->queue);
    mem_free(audio);
    return nullptr;
  }
  sys_pause_audio(0);
  return audio;
}

void audio_queue(AudioOut* audio, Sample* sample) noexcept { queue_locked(audio, sample, -1); }

int audio_queue_if_at_most(AudioOut* audio, Sample* sample, std::int32_t max_entries) noexcept {
  if (max_entries < 0) return 0;
  return queue_locked(audio, sample, max_entries);
}

void audio_callback(void* user_data, std::uint8_t* stream, int length) noexcept {
  auto* audio = static_cast<AudioOut*>(user_data);
  if (audio == nullptr || stream == nullptr || length <= 0) return;
  const int values = length / 2;
  Sample* head = head_of(audio->queue);
  if (head == nullptr || audio->paused == 1) {
    // Silence rather than whatever the stream held; a paused stream is zeroed to its last byte.
    std::memset(stream, 0, static_cast<std::size_t>(audio->paused == 1 ? length : values * 2));
    return;
  }
  for (int i = 0; i < values; ++i) {
    const auto v = static_cast<std::uint32_t>(sample_get(head, audio->position));
    stream[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
    stream[2 * i + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    // Never beyond the head's length, so that no position a record may hold can overflow.
    audio->position = audio->position < head->length ? audio->position + 1 : head->length;
    if (audio->position >= head->length) {
      array_remove_at(audio->queue, 0);
      audio->position = 0;
      head = head_of(audio->queue);
      if (head == nullptr) {
        // The queue ran dry mid-request: the rest of the request is silence.
        std::memset(stream + 2 * (i + 1), 0, static_cast<std::size_t>(values - i - 1) * 2);
        return;
      }
    }
  }
}

void audio_close(AudioOut** audio) noexcept {
  if (audio == nullptr || *audio == nullptr) return;
  // Pause, then take the lock once: a callback still running has finished when it is granted,
  // and every later round of the audio thread sees the pause, so the callback never runs again.
  // The lock is released before closing: closing destroys the lock and waits for the audio
  // thread, which may itself be waiting for that lock.
  sys_pause_audio(1);
  sys_lock_audio();
  sys_unlock_audio();
  sys_close_audio();
  if ((*audio)->queue != nullptr) array_destroy(&(*audio)->queue);
  mem_free(*audio);
  *audio = nullptr;
}

}  // namespace novu
