#include "effects/cursorx.hpp"

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "base/alloc.hpp"

namespace novu {
namespace {

using Fields = std::array<std::int32_t, 6>;  // length, position, phase, speed, offset, offset_step

TEST(CursorX, OperationsReduceThePhaseAndPlaceThePosition) {
  const auto to = [](std::int32_t v, auto op) { return [=](CursorX* c) { return op(c, v); }; };
  const struct {
    Fields before;
    std::function<std::int32_t(CursorX*)> operation;
    std::int32_t result;
    Fields after;
  } cases[] = {
      {{1024, 1, 1, -3, 0, 2}, cursorx_advance, 1022, {1024, 1022, 1022, -3, 0, 2}},
      {{1024, 0, 1020, 8, 10, 2}, cursorx_advance, 14, {1024, 14, 4, 8, 10, 2}},
      {{1024, 7, 0, 1, 3, 2}, to(-5, cursorx_set_offset), 1019, {1024, 1019, 0, 1, -5, 2}},
      {{1024, 0, 1020, 1, 0, 8}, cursorx_step, 4, {1024, 4, 1020, 1, 8, 8}},
      {{0, 7, 3, 5, 0, 2}, cursorx_advance, 7, {0, 7, 3, 5, 0, 2}},  // length 0 freezes
      {{0, 7, 3, 5, 0, 2}, cursorx_step, 7, {0, 7, 3, 5, 2, 2}},
      {{1024, 0, 5, 1, 0, 2}, to(-1024, cursorx_set_phase), 0, {1024, 0, 1024, 1, 0, 2}},
      {{1024, 0, 5, 1, 1, 2}, to(-1, cursorx_set_phase), 0, {1024, 0, 1023, 1, 1, 2}},
      {{0, 9, 5, 1, 0, 2}, to(77, cursorx_set_phase), 77, {0, 9, 5, 1, 0, 2}},
      {{1024, 0, 5, 1, 7, 2}, to(5, cursorx_restart), 5, {1024, 5, 5, 1, 0, 2}},
      {{1024, 150, 150, 1, 0, 2}, to(100, cursorx_set_length), 50, {100, 50, 50, 1, 0, 2}},
      {{1024, 3, 3, 1, 0, 2}, to(-1, cursorx_set_length), -1, {1024, 3, 3, 1, 0, 2}},
      {{1024, 0, 0, 1, 0, 2}, [](CursorX* c) { cursorx_set(c, 512, 600, 3, 10, 4); return c->position; }, 98,
       {512, 98, 88, 3, 10, 4}},
  };
  for (const auto& c : cases) {
    CursorX x = {c.before[0], c.before[1], c.before[2], c.before[3], c.before[4], c.before[5]};
    EXPECT_EQ(c.operation(&x), c.result);
    EXPECT_EQ((Fields{x.length, x.position, x.phase, x.speed, x.offset, x.offset_step}), c.after);
  }
}

TEST(CursorX, ADrawReadsLineKAtPhasePlusKPlusOneSteps) {
  CursorX* cursor = cursorx_create();
  EXPECT_EQ((Fields{cursor->length, cursor->speed, cursor->offset_step}), (Fields{1024, 1, 2}));
  cursorx_set(cursor, 1024, 1000, 7, 123, 9);
  for (int frame = 0; frame < 3; ++frame, cursorx_advance(cursor)) {
    cursorx_set_offset(cursor, 0);
    for (std::int32_t k = 0; k < 5; ++k) EXPECT_EQ(cursorx_step(cursor), (1000 + 7 * frame + (k + 1) * 9) % 1024);
  }
  mem_free(cursor);
}

}  // namespace
}  // namespace novu
