#include "sound/music.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "sample_values.hpp"
#include "support/alloc_failures.hpp"

namespace novu {
namespace {

// Destroying a music destroys the instruments it owns.
using OwnedMusic = std::unique_ptr<Music, decltype([](Music* music) { music_destroy(&music); })>;

OwnedMusic music_with(const std::vector<Values>& instruments) {
  OwnedMusic music(music_create());
  for (const Values& values : instruments) music_add_instrument(music.get(), owned(values).release());
  return music;
}

// A seed whose first event draws instrument `index` of `count` and puts it at `offset` of a
// 40000-value loop: the instrument, then four coins worth 2, 1, 8 and 4 steps of 2500.
unsigned seed_for(std::int32_t index, std::int32_t count, std::int32_t offset) {
  for (unsigned seed = 1;; ++seed) {
    std::srand(seed);
    const std::int32_t drawn = std::rand() % count;
    const std::int32_t a = std::rand() % 2, b = std::rand() % 2, c = std::rand() % 2, d = std::rand() % 2;
    if (drawn == index && 2500 * (2 * a + b + 8 * c + 4 * d) == offset) return seed;
  }
}

// How many numbers rand() has given since srand(seed).
int draws_since(unsigned seed) {
  const int next = std::rand();
  std::srand(seed);
  int draws = 0;
  while (std::rand() != next) ++draws;
  return draws;
}

TEST(Music, EventsFallOnThe1st301st601stStepEachDrawingFiveNumbers) {
  const std::tuple<bool, int, int> cases[] = {  // an instrument, steps, events
      {true, 1, 1}, {true, 2, 1}, {true, 300, 1}, {true, 301, 2}, {true, 601, 3}, {false, 301, 0}};
  for (const auto& [instrument, steps, events] : cases) {
    const OwnedMusic m = music_with(instrument ? std::vector<Values>{{4, 8}} : std::vector<Values>{});
    std::srand(4471);
    for (int i = 0; i < steps; ++i) music_step(m.get());
    EXPECT_EQ(draws_since(4471), 5 * events) << steps << " steps";
  }
}

TEST(Music, AHitEntersAtAQuarterWhileTheLoopDecaysByAQuarter) {
  const OwnedMusic m = music_with({{4, 8}});
  m->loop->values[20000] = -1;  // no hit there: -1 stays, 1 fades out
  m->loop->values[20001] = 1;
  Values want(40000, 0);
  want[20000] = -1;
  for (const auto& [first, second] : {std::pair(1, 2), std::pair(1, 3)}) {  // (3 + 4) >> 2, (6 + 8) >> 2
    std::srand(seed_for(0, 1, 0));
    m->countdown = 0;
    music_step(m.get());
    std::tie(want[0], want[1]) = std::pair(first, second);
    EXPECT_EQ(live(m->loop), want);
  }
}

// Silence and three quarter-second instruments: after one event the only sound is the drawn one at
// the drawn step, running on past the loop's end to its start (from the last step, 37500, to 8524).
TEST(Music, AnEventPlacesTheDrawnInstrumentAtTheDrawnStep) {
  for (std::int32_t step = 0; step < 16; ++step) {
    const OwnedMusic m = music_with({Values(11025, 400), Values(11025, 800), Values(11025, 1200)});
    std::srand(seed_for(step % 3, 3, 2500 * step));
    music_step(m.get());
    Values want(40000, 0);
    for (std::int32_t i = 0; i < 11025; ++i) want[(2500 * step + i) % 40000] = 100 * (step % 3 + 1);
    EXPECT_EQ(live(m->loop), want) << "step " << step;
  }
}

TEST(Music, WithoutMemoryAnEventIsSkippedBeforeItsDraws) {
  each_allocation_failing([](auto arm) {
    const OwnedMusic m = music_with({{400}});
    sample_destroy(&music_scratch);  // this event has to make it
    std::srand(77);
    arm();
    music_step(m.get());
    const bool skipped = music_scratch == nullptr && !mem_fail_pending();  // only a failure may skip it
    EXPECT_EQ(draws_since(77), skipped ? 0 : 5);
    EXPECT_EQ(sample_max(m->loop), skipped ? 0 : 100);
  });
}

TEST(Music, DestroyReleasesTheLoopOnceWhenItIsAlsoAnInstrument) {
  const OwnedMusic m = music_with({});
  music_add_instrument(m.get(), m->loop);
}  // a second release would stop the program here

}  // namespace
}  // namespace novu
