#pragma once
// MUSIC: a 40000-value loop that the audio output plays over and over; every `period` steps one
// random hit of the instrument bank is mixed in at one of 16 random places while the loop decays.

#include <cstdint>

#include "sound/array.hpp"
#include "sound/sample.hpp"

namespace novu {

struct Music {
  std::int32_t countdown;
  std::int32_t period;
  Sample* loop;
  Array* instruments;  // Sample references in registration order
};

extern Sample* music_scratch;
extern std::uint8_t music_verbose;  // "MUSIC ERROR" is printed only while non-zero
void music_error() noexcept;

Music* music_create() noexcept;
void music_add_instrument(Music* music, Sample* instrument) noexcept;
void music_step(Music* music) noexcept;
void music_destroy(Music** music) noexcept;

}  // namespace novu
