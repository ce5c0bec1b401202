#include "sound/music.hpp"

#include <cstdio>
#include <cstdlib>

#include "base/alloc.hpp"
#include "platform/system.hpp"
#include "sound/sample_bank.hpp"

namespace novu {

Sample* music_scratch = nullptr;
std::uint8_t music_verbose = 0;

void music_error() noexcept {
  if (music_verbose != 0) std::puts("MUSIC ERROR");
}

namespace {
constexpr std::int32_t loop_length = 40000;
constexpr std::int32_t event_period = 300;

// The shared scratch at the loop's length, recreated when a loop of another length asks for it.
// False when it cannot be had.
bool scratch_for(std::int32_t length) noexcept {
  if (music_scratch != nullptr && music_scratch->length == length) return true;
  sample_destroy(&music_scratch);
  music_scratch = sample_create();
  sample_set_length(music_scratch, length);
  if (music_scratch != nullptr && music_scratch->length == length &&
      (length == 0 || music_scratch->values != nullptr)) {
    return true;
  }
  sample_destroy(&music_scratch);
  return false;
}

// rand() % 2 as 0 or 1.
std::int32_t coin() noexcept { return std::rand() % 2; }

// Whether the instrument may be released by this music: not the bank's static records, and a
// sample registered more than once only at its last reference.
bool owns_for_release(const Music* music, const Sample* instrument) noexcept {
  return instrument != nullptr && instrument != music->loop && !sample_in_bank(instrument) &&
         array_find(music->instruments, instrument) < 0;
}
}  // namespace

Music* music_create() noexcept {
  Music* music = mem_new<Music>();
  if (music == nullptr) return nullptr;
  music->period = event_period;
  music->loop = sample_create();
  sample_set_length(music->loop, loop_length);
  music->instruments = array_create();
  if (music->loop == nullptr || music->loop->length != loop_length || music->instruments == nullptr) {
    sample_destroy(&music->loop);
    if (music->instruments != nullptr) array_destroy(&music->instruments);
    mem_free(music);
    return nullptr;
  }
  return music;
}

void music_add_instrument(Music* music, Sample* instrument) noexcept {
  if (music == nullptr || instrument == nullptr || music->instruments == nullptr) return;
  array_append(music->instruments, instrument);
}

void music_step(Music* music) noexcept {
  if (music == nullptr) return;
  if (music->countdown > 1) {
    --music->countdown;
    return;
  }
  music->countdown = music->period;
  const std::int32_t instruments = music->instruments != nullptr ? music->instruments->count : 0;
  Sample* loop = music->loop;
  if (instruments <= 0 || loop == nullptr) return;
  const std::int32_t length = loop->length;
  if (!scratch_for(length)) return;
  sample_clear(music_scratch);

  const std::int32_t index = std::rand() % instruments;
  const std::int32_t a = coin();
  const std::int32_t b = coin();
  const std::int32_t c = coin();
  const std::int32_t d = coin();
  const std::int32_t offset = a * (length >> 3) + b * (length >> 4) + c * (length >> 1) + d * (length >> 2);

  const Sample* hit = static_cast<const Sample*>(array_get(music->instruments, index));
  if (hit == nullptr) return;
  sample_add(music_scratch, hit);
  sample_rotate_right(music_scratch, offset);
  sample_add(music_scratch, loop);

  // loop = (3 * loop + placed hit) >> 2, as one rewrite that the audio thread never sees half
  // done. The passes only change values in place: the loop's block stays where the callback
  // reads it.
  sys_lock_audio();
  sample_shift_left(loop, 1);
  sample_add(loop, music_scratch);
  sample_shift_right(loop, 2);
  sys_unlock_audio();
}

void music_destroy(Music** music) noexcept {
  if (music == nullptr || *music == nullptr) {
    music_error();
    return;
  }
  Music* doomed = *music;
  if (doomed->instruments != nullptr) {
    while (doomed->instruments->count > 0) {
      auto* instrument = static_cast<Sample*>(array_pop(doomed->instruments));
      if (owns_for_release(doomed, instrument)) sample_destroy(&instrument);
    }
    array_destroy(&doomed->instruments);
  }
  sample_destroy(&doomed->loop);
  mem_free(doomed);
  *music = nullptr;
}

}  // namespace novu
