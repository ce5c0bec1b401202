#include "sound/audio.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "base/alloc.hpp"
#include "sample_values.hpp"
#include "sound/music.hpp"

namespace novu {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t untouched = 0xAA;

// An AudioOut as audio_open leaves it, without a device: the tests call the callback themselves.
struct Detached : AudioOut {
  Detached() : AudioOut{} { queue = array_create(); }
  ~Detached() { array_destroy(&queue); }
};

TEST(AudioCallback, TurnsQueuedSamplesIntoLittleEndianBytesAndSilence) {
  const OwnedSample a = owned({1, -1, 40000}), b = owned({2, 3}), c = owned({4, 5, 6}), empty = owned({});
  // The queue and whether it is paused, the request's length, what it writes (the byte after that
  // must stay untouched), and the entries left and the position in the head afterwards.
  const std::tuple<std::vector<Sample*>, std::uint8_t, int, Bytes, std::int32_t, std::int32_t> cases[] = {
      {{a.get()}, 0, 6, {0x01, 0x00, 0xff, 0xff, 0x40, 0x9c}, 0, 0},
      {{a.get()}, 0, 5, {0x01, 0x00, 0xff, 0xff, untouched}, 1, 2},  // an odd length leaves its last byte
      {{b.get(), c.get()}, 0, 8, {2, 0, 3, 0, 4, 0, 5, 0}, 1, 2},  // the next entry follows directly
      {{b.get(), b.get()}, 0, 8, {2, 0, 3, 0, 2, 0, 3, 0}, 0, 0},
      {{b.get()}, 0, 9, {2, 0, 3, 0, 0, 0, 0, 0, untouched}, 0, 0},  // silence where the queue runs dry
      {{empty.get(), b.get()}, 0, 6, {0, 0, 2, 0, 3, 0}, 0, 0},  // an empty sample plays one zero
      {{}, 0, 5, {0, 0, 0, 0, untouched}, 0, 0},
      {{a.get()}, 1, 5, {0, 0, 0, 0, 0}, 1, 0},  // paused: silence, and nothing is consumed
  };
  for (const auto& [queue, paused, length, written, left, position] : cases) {
    Detached out;
    out.paused = paused;
    for (Sample* s : queue) audio_queue(&out, s);
    Bytes stream(written.size() + 1, untouched);
    audio_callback(&out, stream.data(), length);
    EXPECT_EQ(Bytes(stream.begin(), stream.end() - 1), written) << length;
    EXPECT_EQ(stream.back(), untouched) << "wrote past the request of " << length;
    EXPECT_EQ(std::pair(out.queue->count, out.position), std::pair(left, position)) << length;
  }
}

TEST(AudioQueue, TheFeedQueuesAReferenceWhileTheQueueIsShortAndTheBlockCanGrow) {
  const OwnedSample s = owned({1});
  Detached out;
  mem_fail_after(0);  // the third entry needs a bigger block, which the first try does not get
  for (const int queued : {1, 1, 0, 1, 1, 0}) EXPECT_EQ(audio_queue_if_at_most(&out, s.get(), 3), queued);
  mem_fail_disarm();
  EXPECT_EQ(std::pair(out.queue->count, array_get(out.queue, 3)), std::pair(4, static_cast<void*>(s.get())));
}

// ---- the real device: the system's dummy driver runs a real audio thread ---------------------

void use_audio_driver(const char* name) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", name, 1);
}

// Under the tsan preset this is the race check: the main thread feeds the queue and rewrites the
// loop, event after event, while the audio thread plays it.
TEST(AudioDevice, PlaysTheMusicOnItsOwnThreadWhileTheLoopIsRewritten) {
  use_audio_driver("dummy");
  AudioOut* audio = audio_open();
  ASSERT_NE(audio, nullptr);
  Music* music = music_create();
  sample_set_length(music->loop, 4410);  // a tenth of a second: every callback crosses a loop end
  music->period = 1;  // an event at every step: every callback is followed by a rewrite
  music_add_instrument(music, owned(Values(1500, 8000)).release());
  int queued = 0;
  for (int step = 0; step < 3000; ++step) {
    music_step(music);
    queued += audio_queue_if_at_most(audio, music->loop, 3);
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  audio_close(&audio);
  EXPECT_GT(queued, 6) << "the audio thread played too little of the loop";
  music_destroy(&music);
}

TEST(AudioDevice, OpenGivesNullWithoutAnAudioDriver) {
  // In a fresh process: once the system layer is up in this one, it keeps its audio driver.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  use_audio_driver("no-such-driver");
  EXPECT_EXIT(std::exit(audio_open() == nullptr ? 0 : 1), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace novu
