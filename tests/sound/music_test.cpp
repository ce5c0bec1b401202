#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/alloc.hpp"
#include "sound/music.hpp"
#include "sound/sample_bank.hpp"

namespace novu {
namespace {

using Values = std::vector<std::int32_t>;

Sample* make(const Values& values) {
  Sample* sample = sample_create();
  sample_set_length(sample, static_cast<std::int32_t>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) sample->values[i] = values[i];
  return sample;
}

Values live(const Sample* sample) { return Values(sample->values, sample->values + sample->length); }

// The five draws of one event, as the generator makes them: instrument, then four coin flips.
std::pair<std::int32_t, std::int32_t> next_event(std::int32_t instruments, std::int32_t length) {
  const std::int32_t index = std::rand() % instruments;
  const std::int32_t a = std::rand() % 2, b = std::rand() % 2, c = std::rand() % 2, d = std::rand() % 2;
  return {index, a * (length >> 3) + b * (length >> 4) + c * (length >> 1) + d * (length >> 2)};
}

// A seed whose first event puts its hit at `offset` of a 40000-value loop.
unsigned seed_for_offset(std::int32_t offset) {
  for (unsigned seed = 1;; ++seed) {
    std::srand(seed);
    if (next_event(1, 40000).second == offset) return seed;
  }
}

// Whether exactly `events` events have drawn since srand(seed): compares the next draw.
bool drawn_events(unsigned seed, int events) {
  const int next = std::rand();
  std::srand(seed);
  for (int i = 0; i < 5 * events; ++i) std::rand();
  return std::rand() == next;
}

// One event done the plain way: loop[i] = floor((3 loop[i] + placed hit[i]) / 4).
void reference_event(Values& loop, const Values& hit, std::int32_t offset) {
  const std::size_t length = loop.size();
  Values placed(length, 0);
  for (std::size_t j = 0; j < hit.size() && j < length; ++j) placed[(static_cast<std::size_t>(offset) + j) % length] = hit[j];
  for (std::size_t i = 0; i < length; ++i) {
    const std::int64_t mixed = 3 * std::int64_t{loop[i]} + placed[i];
    loop[i] = static_cast<std::int32_t>(mixed >= 0 ? mixed / 4 : -((-mixed + 3) / 4));
  }
}

struct OwnedMusic {
  Music* music = music_create();
  explicit OwnedMusic(const std::vector<Values>& instruments = {}) {
    for (const Values& values : instruments) music_add_instrument(music, make(values));
  }
  ~OwnedMusic() { music_destroy(&music); }  // releases the instruments too
  std::int32_t& at(std::int32_t i) { return music->loop->values[i]; }
};

Values nonzero_indices(const Sample* loop) {
  Values indices;
  for (std::int32_t i = 0; i < loop->length; ++i) {
    if (loop->values[i] != 0) indices.push_back(i);
  }
  return indices;
}

TEST(Music, EventsFallOnThe1st301st601stStepAndNeedAnInstrument) {
  OwnedMusic fresh;
  EXPECT_EQ(fresh.music->countdown, 0);
  EXPECT_EQ(fresh.music->period, 300);
  EXPECT_EQ(live(fresh.music->loop), Values(40000, 0));
  music_add_instrument(fresh.music, nullptr);
  music_add_instrument(nullptr, fresh.music->loop);
  EXPECT_EQ(fresh.music->instruments->count, 0);

  struct Case {
    bool instrument;
    int steps, events;
    std::int32_t countdown;
  } cases[] = {{true, 1, 1, 300},   {true, 2, 1, 299},   {true, 300, 1, 1},   {true, 301, 2, 300},
               {true, 601, 3, 300}, {false, 1, 0, 300},  {false, 301, 0, 300}};
  for (const Case& c : cases) {
    OwnedMusic m(c.instrument ? std::vector<Values>{{4, 8}} : std::vector<Values>{});
    std::srand(4471);
    for (int i = 0; i < c.steps; ++i) music_step(m.music);
    EXPECT_TRUE(drawn_events(4471, c.events)) << c.steps << " steps";
    EXPECT_EQ(m.music->countdown, c.countdown) << c.steps << " steps";
    if (!c.instrument) {
      EXPECT_TRUE(nonzero_indices(m.music->loop).empty());
    }
  }
  music_step(nullptr);
}

TEST(Music, AHitEntersAtAQuarterWhileTheLoopDecaysByAQuarter) {
  OwnedMusic m({{4, 8}});
  const unsigned seed = seed_for_offset(0);
  std::srand(seed);
  music_step(m.music);
  EXPECT_EQ(nonzero_indices(m.music->loop), (Values{0, 1}));
  EXPECT_EQ(m.at(0), 1);
  EXPECT_EQ(m.at(1), 2);

  m.at(20000) = -1;  // no hit there: -1 stays, 1 fades out
  m.at(20001) = 1;
  std::srand(seed);
  m.music->countdown = 0;
  music_step(m.music);
  EXPECT_EQ(m.at(0), 1);  // (3 + 4) >> 2
  EXPECT_EQ(m.at(1), 3);  // (6 + 8) >> 2
  EXPECT_EQ(nonzero_indices(m.music->loop), (Values{0, 1, 20000}));
  EXPECT_EQ(m.at(20000), -1);

  OwnedMusic late({Values(11025, 4)});
  std::srand(seed_for_offset(37500));
  music_step(late.music);
  Values wrapped;
  for (std::int32_t i = 0; i <= 8524; ++i) wrapped.push_back(i);
  for (std::int32_t i = 37500; i < 40000; ++i) wrapped.push_back(i);
  EXPECT_EQ(nonzero_indices(late.music->loop), wrapped);
}

TEST(Music, ManyEventsMatchThePlainMixOfRandomHits) {
  std::vector<Values> instruments = {Values(11025), {4, 8}, Values(500, 32767), Values(700, -32768)};
  for (std::size_t j = 0; j < instruments[0].size(); ++j) instruments[0][j] = static_cast<std::int32_t>(j % 200) * 300 - 30000;
  OwnedMusic m(instruments);
  Values loop(40000, 0);
  std::srand(2024);
  for (int event = 0; event < 12; ++event) {
    const auto [index, offset] = next_event(static_cast<std::int32_t>(instruments.size()), 40000);
    reference_event(loop, instruments[static_cast<std::size_t>(index)], offset);
  }
  std::srand(2024);
  for (int step = 0; step < 12 * 300; ++step) music_step(m.music);
  EXPECT_EQ(live(m.music->loop), loop);
  EXPECT_LE(sample_max(m.music->loop), 32767);  // hits in the 16-bit range keep the loop there
  EXPECT_GE(sample_min(m.music->loop), -32768);
}

TEST(Music, WithoutMemoryCreationFailsCleanlyAndAnEventIsSkippedOrWhole) {
  for (unsigned long k = 0;; ++k) {
    mem_fail_after(k);
    Music* music = music_create();
    const bool failed_inside = !mem_fail_pending();
    mem_fail_disarm();
    if (music != nullptr) {
      EXPECT_EQ(music->loop->length, 40000);
      EXPECT_NE(music->instruments, nullptr);
      music_destroy(&music);
    }
    if (!failed_inside) break;
  }

  std::srand(77);
  Values expected(777, 0);
  reference_event(expected, Values(300, 40), next_event(1, 777).second);
  for (unsigned long k = 0;; ++k) {
    OwnedMusic m({Values(300, 40)});
    sample_set_length(m.music->loop, 777);  // the scratch follows the loop's length
    sample_destroy(&music_scratch);         // and this event has to make it
    std::srand(77);
    mem_fail_after(k);
    music_step(m.music);
    const bool failed_inside = !mem_fail_pending();
    mem_fail_disarm();
    if (music_scratch == nullptr) {  // skipped before any draw
      EXPECT_TRUE(nonzero_indices(m.music->loop).empty()) << "allocation " << k;
      EXPECT_TRUE(drawn_events(77, 0)) << "allocation " << k;
    } else {
      EXPECT_EQ(music_scratch->length, 777);
      EXPECT_EQ(live(m.music->loop), expected) << "allocation " << k;
    }
    if (!failed_inside) break;
  }
}

TEST(Music, DestroyReleasesEachOwnedInstrumentOnceAndNeverTheBank) {
  Music* music = music_create();
  Sample* owned = make({1, 2});
  music_add_instrument(music, owned);
  for (std::int32_t i = 0; i < sample_bank.count; ++i) music_add_instrument(music, &sample_bank.samples[i]);
  music_add_instrument(music, owned);
  music_add_instrument(music, music->loop);
  std::srand(0xface5718);
  for (int step = 0; step < 20 * 300; ++step) music_step(music);
  EXPECT_NE(sample_max(music->loop), 0);
  music_destroy(&music);  // a double or static release would stop the sanitizer build here
  EXPECT_EQ(music, nullptr);
  for (const Sample& record : sample_bank.samples) {
    EXPECT_EQ(record.length, sample_bank_length);
    EXPECT_EQ(record.capacity, sample_bank_length);
  }

  for (std::uint8_t verbose : {0, 1}) {
    music_verbose = verbose;
    testing::internal::CaptureStdout();
    music_destroy(&music);
    music_destroy(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), verbose != 0 ? "MUSIC ERROR\nMUSIC ERROR\n" : "");
  }
  music_verbose = 0;
}

}  // namespace
}  // namespace novu
