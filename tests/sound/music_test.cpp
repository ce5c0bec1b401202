#include "sound/music.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "sample_values.hpp"
#include "sound/sample_bank.hpp"
#include "support/alloc_failures.hpp"

namespace novu {
namespace {

// Destroying a music destroys the instruments it owns.
using OwnedMusic = std::unique_ptr<Music, decltype([](Music* music) { music_destroy(&music); })>;

OwnedMusic music_with(const std::vector<Values>& instruments) {
  OwnedMusic music(music_create());
  for (const Values& values : instruments) music_add_instrument(music.get(), make_sample(values));
  return music;
}

// The five draws of one event as the generator makes them: the instrument, then four coins.
std::pair<std::int32_t, std::int32_t> next_event(std::int32_t instruments, std::int32_t length) {
  const std::int32_t index = std::rand() % instruments;
  const std::int32_t a = std::rand() % 2, b = std::rand() % 2, c = std::rand() % 2, d = std::rand() % 2;
  return {index, a * (length >> 3) + b * (length >> 4) + c * (length >> 1) + d * (length >> 2)};
}

// A seed whose first event puts its hit at `offset` of a 40000-value loop.
unsigned seed_for_offset(std::int32_t offset) {
  unsigned seed = 0;
  do std::srand(++seed);
  while (next_event(1, 40000).second != offset);
  return seed;
}

// Whether exactly `events` events have drawn since srand(seed): compares the next draw.
bool drawn_events(unsigned seed, int events) {
  const int next = std::rand();
  std::srand(seed);
  for (int i = 0; i < 5 * events; ++i) std::rand();
  return std::rand() == next;
}

TEST(Music, EventsFallOnThe1st301st601stStepEachDrawingFiveNumbers) {
  const std::tuple<bool, int, int> cases[] = {  // an instrument, steps, events
      {true, 1, 1}, {true, 2, 1}, {true, 300, 1}, {true, 301, 2}, {true, 601, 3}, {false, 301, 0}};
  for (const auto& [instrument, steps, events] : cases) {
    const OwnedMusic m = music_with(instrument ? std::vector<Values>{{4, 8}} : std::vector<Values>{});
    std::srand(4471);
    for (int i = 0; i < steps; ++i) music_step(m.get());
    EXPECT_TRUE(drawn_events(4471, events)) << steps << " steps";
  }
}

TEST(Music, AHitEntersAtAQuarterWhileTheLoopDecaysByAQuarter) {
  const OwnedMusic m = music_with({{4, 8}});
  m->loop->values[20000] = -1;  // no hit there: -1 stays, 1 fades out
  m->loop->values[20001] = 1;
  Values want(40000, 0);
  want[20000] = -1;
  for (const auto& [first, second] : {std::pair(1, 2), std::pair(1, 3)}) {  // (3 + 4) >> 2, (6 + 8) >> 2
    std::srand(seed_for_offset(0));
    m->countdown = 0;
    music_step(m.get());
    std::tie(want[0], want[1]) = std::pair(first, second);
    EXPECT_EQ(live(m->loop), want);
  }
  const OwnedMusic late = music_with({Values(11025, 4)});  // at the last step it wraps to the start
  std::srand(seed_for_offset(37500));
  music_step(late.get());
  const std::pair<std::int32_t, std::int32_t> edges[] = {{0, 1}, {8524, 1}, {8525, 0}, {37499, 0}, {37500, 1}};
  for (const auto& [index, value] : edges) EXPECT_EQ(late->loop->values[index], value) << index;
}

// Silence, three instruments of one value each: after one event the only sound is the drawn one.
TEST(Music, AnEventPlacesTheDrawnInstrumentAtTheDrawnStep) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const OwnedMusic m = music_with({{400}, {800}, {1200}});
    std::srand(seed);
    const auto [index, offset] = next_event(3, 40000);
    std::srand(seed);
    music_step(m.get());
    Values want(40000, 0);
    want[static_cast<std::size_t>(offset)] = 100 * (index + 1);
    EXPECT_EQ(live(m->loop), want) << "seed " << seed;
  }
}

TEST(Music, WithoutMemoryCreationFailsCleanlyAndAnEventIsSkippedBeforeItsDraws) {
  each_allocation_failing([](auto arm) {
    arm();
    const OwnedMusic m(music_create());
    EXPECT_TRUE(m != nullptr ? live(m->loop) == Values(40000, 0) : !mem_fail_pending());
  });
  const OwnedMusic m = music_with({{400}});
  each_allocation_failing([&m](auto arm) {
    sample_destroy(&music_scratch);  // this event has to make it
    sample_clear(m->loop);
    m->countdown = 0;
    std::srand(77);
    arm();
    music_step(m.get());
    const bool skipped = music_scratch == nullptr;
    EXPECT_FALSE(skipped && mem_fail_pending()) << "skipped without a failure";
    EXPECT_TRUE(drawn_events(77, skipped ? 0 : 1));
    EXPECT_EQ(sample_max(m->loop), skipped ? 0 : 100);
  });
}

TEST(Music, DestroyReleasesEachOwnedInstrumentOnceAndNeverTheBank) {
  const OwnedMusic m = music_with({{1, 2}});
  auto* owned_hit = static_cast<Sample*>(array_get(m->instruments, 0));
  for (Sample* s : {&sample_bank.samples[0], owned_hit, &sample_bank.samples[15], m->loop}) {
    music_add_instrument(m.get(), s);
  }
}  // a second or a static release would stop the program here

}  // namespace
}  // namespace novu
