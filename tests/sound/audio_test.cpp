#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "base/alloc.hpp"
#include "platform/system.hpp"
#include "sound/audio.hpp"
#include "sound/music.hpp"

namespace novu {
namespace {

using Values = std::vector<std::int32_t>;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t untouched = 0xAA;

Sample* make(const Values& values) {
  Sample* sample = sample_create();
  sample_set_length(sample, static_cast<std::int32_t>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) sample->values[i] = values[i];
  return sample;
}

// An AudioOut as audio_open leaves it, without a device: the tests call the callback themselves.
struct Detached {
  AudioOut audio{};
  Detached() { audio.queue = array_create(); }
  ~Detached() { array_destroy(&audio.queue); }
};

TEST(AudioCallback, TurnsQueuedSamplesIntoLittleEndianBytesAndSilence) {
  Sample* a = make({1, -1, 40000});
  Sample* b = make({2, 3});
  Sample* c = make({4, 5, 6});
  Sample* empty = make({});
  Sample* wide = make({0x12345, -70000});
  struct Case {
    const char* name;
    std::vector<Sample*> queue;
    std::uint8_t paused;
    int length;
    Bytes want;
    std::int32_t left, position;
  } cases[] = {
      {"whole sample", {a}, 0, 6, {0x01, 0x00, 0xff, 0xff, 0x40, 0x9c}, 0, 0},
      {"odd length", {a}, 0, 5, {0x01, 0x00, 0xff, 0xff, untouched}, 1, 2},
      {"one byte", {a}, 0, 1, {untouched}, 1, 0},
      {"next entry follows directly", {b, c}, 0, 8, {0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00}, 1, 2},
      {"same sample twice", {b, b}, 0, 8, {0x02, 0x00, 0x03, 0x00, 0x02, 0x00, 0x03, 0x00}, 0, 0},
      {"runs dry mid-request", {b}, 0, 9, {0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, untouched}, 0, 0},
      {"empty sample plays one zero", {empty, b}, 0, 6, {0x00, 0x00, 0x02, 0x00, 0x03, 0x00}, 0, 0},
      {"values wrap to 16 bits", {wide}, 0, 4, {0x45, 0x23, 0x90, 0xee}, 0, 0},
      {"empty queue is silence", {}, 0, 5, {0x00, 0x00, 0x00, 0x00, untouched}, 0, 0},
      {"paused is silence", {a}, 1, 5, {0x00, 0x00, 0x00, 0x00, 0x00}, 1, 0},
      {"nothing requested", {a}, 0, 0, {}, 1, 0},
      {"negative request", {a}, 0, -2, {}, 1, 0},
  };
  for (const Case& t : cases) {
    Detached out;
    out.audio.paused = t.paused;
    for (Sample* s : t.queue) audio_queue(&out.audio, s);
    Bytes stream(t.want.size() + 2, untouched);
    audio_callback(&out.audio, stream.data(), t.length);
    EXPECT_EQ(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(t.want.size())), t.want) << t.name;
    EXPECT_EQ(stream[t.want.size()], untouched) << t.name << ": wrote past the request";
    EXPECT_EQ(out.audio.queue->count, t.left) << t.name;
    EXPECT_EQ(out.audio.position, t.position) << t.name;
  }

  // Request by request the position carries on, and a change to a queued sample is heard.
  Detached out;
  audio_queue(&out.audio, a);
  audio_queue(&out.audio, a);
  std::vector<int> heard;
  for (int call = 0; call < 6; ++call) {
    if (call == 3) sample_set(a, 9, 0);
    std::uint8_t bytes[2];
    audio_callback(&out.audio, bytes, 2);
    heard.push_back(bytes[0]);
  }
  EXPECT_EQ(heard, (std::vector<int>{0x01, 0xff, 0x40, 0x09, 0xff, 0x40}));
  std::uint8_t bytes[2] = {untouched, untouched};
  audio_callback(nullptr, bytes, 2);
  audio_callback(&out.audio, nullptr, 2);
  EXPECT_EQ(bytes[0], untouched);
  for (Sample* s : {a, b, c, empty, wide}) sample_destroy(&s);
}

TEST(AudioQueue, QueuesByReferenceAndOnlyWhileShortWhenAsked) {
  Sample* s = make({1});
  for (std::int32_t waiting = 0; waiting <= 5; ++waiting) {
    Detached out;
    for (std::int32_t i = 0; i < waiting; ++i) audio_queue(&out.audio, s);
    const int queued = audio_queue_if_at_most(&out.audio, s, 3);
    EXPECT_EQ(queued, waiting <= 3 ? 1 : 0) << waiting;
    EXPECT_EQ(out.audio.queue->count, waiting + queued) << waiting;
    EXPECT_EQ(array_get(out.audio.queue, 0), s);
  }

  AudioOut no_queue{};
  audio_queue(&no_queue, s);  // the queue is made when missing
  ASSERT_NE(no_queue.queue, nullptr);
  EXPECT_EQ(no_queue.queue->count, 1);
  array_destroy(&no_queue.queue);

  Detached out;
  audio_queue(&out.audio, nullptr);
  audio_queue(nullptr, s);
  EXPECT_EQ(audio_queue_if_at_most(&out.audio, s, -1), 0);
  EXPECT_EQ(audio_queue_if_at_most(&out.audio, nullptr, 3), 0);
  audio_queue(&out.audio, s);
  audio_queue(&out.audio, s);
  mem_fail_after(0);  // the third entry needs a bigger block
  EXPECT_EQ(audio_queue_if_at_most(&out.audio, s, 3), 0);
  mem_fail_disarm();
  EXPECT_EQ(out.audio.queue->count, 2);
  sample_destroy(&s);
}

// ---- the real device: SDL's dummy driver runs a real audio thread ---------------------------

void use_drivers(const char* audio_driver) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", audio_driver, 1);
}

TEST(AudioDevice, OpensPlaysTheQueueOnItsOwnThreadAndCloses) {
  use_drivers("dummy");
  AudioOut* audio = audio_open();
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(audio->rate, 44100);
  EXPECT_EQ(audio->sample_depth, 16);
  EXPECT_EQ(audio->sign, 's');
  EXPECT_EQ(audio->byte_order, 'l');
  Sample* s = make(Values(1000, 100));
  audio_queue(audio, s);
  audio_queue(audio, s);
  // Read the way the main thread must: under the audio lock.
  const auto waiting = [audio] {
    sys_lock_audio();
    const std::int32_t count = audio->queue->count;
    sys_unlock_audio();
    return count;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (waiting() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(waiting(), 0) << "the audio thread never played the queue";
  audio_close(&audio);
  EXPECT_EQ(audio, nullptr);
  audio_close(&audio);
  sample_destroy(&s);
}

TEST(AudioDevice, OpenGivesNullWithoutADriverOrMemoryAndLeaksNothing) {
  // In a fresh process: once the system layer is up in this one, it keeps its audio driver.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        use_drivers("no-such-driver");
        std::exit(audio_open() == nullptr ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");

  use_drivers("dummy");
  for (unsigned long k = 0;; ++k) {
    mem_fail_after(k);
    AudioOut* audio = audio_open();
    const bool failed_inside = !mem_fail_pending();
    mem_fail_disarm();
    if (!failed_inside) {
      ASSERT_NE(audio, nullptr);
      audio_close(&audio);
      break;
    }
    EXPECT_EQ(audio, nullptr) << "allocation " << k;
  }
}

// Under the tsan preset this is the race check: the main thread feeds the queue and rewrites the
// loop while the audio thread plays it.
TEST(AudioDevice, MusicRewritesTheLoopWhileTheAudioThreadPlaysIt) {
  use_drivers("dummy");
  AudioOut* audio = audio_open();
  ASSERT_NE(audio, nullptr);
  Music* music = music_create();
  ASSERT_NE(music, nullptr);
  sample_set_length(music->loop, 4410);  // a tenth of a second: every callback crosses a loop end
  music->period = 10;
  for (std::int32_t level : {8000, -6000, 12000}) music_add_instrument(music, make(Values(1500, level)));
  int queued = 0;
  for (int step = 0; step < 3000; ++step) {
    music_step(music);
    queued += audio_queue_if_at_most(audio, music->loop, 3);
    std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  audio_close(&audio);
  EXPECT_GT(queued, 6) << "the audio thread played too little of the loop";
  EXPECT_NE(sample_max(music->loop), 0);
  music_destroy(&music);  // releases the instruments
}

}  // namespace
}  // namespace novu
