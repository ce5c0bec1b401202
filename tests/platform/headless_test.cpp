// The emulated audio device is what demo-capture's sound is made of: when it pulls from the
// program's callback is part of that tool's promise. (Its clock and event queue are tested
// through the whole program, in the driver's tests.)

#include "platform/headless.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "platform/system.hpp"

namespace novu {
namespace {

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless_reset();
    surface = sys_set_video_mode(4, 4, 0, sys_video_windowed);
    ASSERT_NE(surface, nullptr);
  }
  void TearDown() override { headless_reset(); }
  void present() { sys_update_rect(surface, 0, 0, 0, 0); }
  SysSurface* surface = nullptr;
};

// Writes a running byte count, so any gap or repeat in the played stream shows.
struct Counter {
  int calls = 0;
  int last_length = 0;
  std::uint8_t next = 1;
};

void count_bytes(void* user_data, std::uint8_t* stream, int length) noexcept {
  auto* counter = static_cast<Counter*>(user_data);
  ++counter->calls;
  counter->last_length = length;
  for (int i = 0; i < length; ++i) stream[i] = counter->next++;
}

struct Played {
  std::vector<std::uint8_t> bytes;
};

void record(void* user_data, const HeadlessFrame& frame) noexcept {
  auto* played = static_cast<Played*>(user_data);
  played->bytes.insert(played->bytes.end(), frame.audio, frame.audio + frame.audio_bytes);
}

TEST_F(HeadlessTest, TheDevicePullsWholeBlocksOnlyWhenItRunsShort) {
  Counter counter;
  Played played;
  headless_set_present_hook(record, &played);
  const SysAudioSpec spec{44100, 0x8010, 1, 4096, count_bytes, &counter};
  ASSERT_EQ(sys_open_audio(&spec), 0);
  EXPECT_TRUE(headless_audio_is_paused());  // opened devices start paused
  sys_pause_audio(0);
  const int presents = 30;
  for (int i = 0; i < presents; ++i) present();
  const int bytes = presents * headless_frames_per_present * 2;
  EXPECT_EQ(counter.calls, (bytes + headless_audio_block_bytes - 1) / headless_audio_block_bytes);
  EXPECT_EQ(counter.last_length, headless_audio_block_bytes);
  ASSERT_EQ(played.bytes.size(), static_cast<std::size_t>(bytes));
  std::uint8_t expected = 1;
  for (std::size_t i = 0; i < played.bytes.size(); ++i, ++expected) ASSERT_EQ(played.bytes[i], expected) << i;
}

TEST_F(HeadlessTest, NoDeviceOrAPausedOneIsSilentAndCallsNothing) {
  Counter counter;
  Played played;
  headless_set_present_hook(record, &played);
  present();  // no device yet
  const SysAudioSpec spec{44100, 0x8010, 1, 4096, count_bytes, &counter};
  ASSERT_EQ(sys_open_audio(&spec), 0);
  EXPECT_EQ(sys_open_audio(&spec), -1);  // one device at a time
  present();                             // open but still paused
  EXPECT_EQ(counter.calls, 0);
  for (std::uint8_t b : played.bytes) ASSERT_EQ(b, 0);
  // Already buffered silence plays out first: sound starts with the first block pulled afterwards.
  sys_pause_audio(0);
  for (int i = 0; i < 10; ++i) present();
  EXPECT_GE(counter.calls, 1);
  sys_close_audio();
  EXPECT_FALSE(headless_audio_is_open());
  const int calls = counter.calls;
  played.bytes.clear();
  for (int i = 0; i < 10; ++i) present();
  EXPECT_EQ(counter.calls, calls);
  for (std::uint8_t b : played.bytes) ASSERT_EQ(b, 0);

  headless_refuse_audio(true);
  EXPECT_EQ(sys_open_audio(&spec), -1);
}

}  // namespace
}  // namespace novu
