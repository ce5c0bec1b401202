#include "platform/keys.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "base/alloc.hpp"
#include "platform/display.hpp"
#include "platform/headless.hpp"
#include "platform/system.hpp"

namespace novu {
namespace {

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless_reset();
    display = sdldpy_open();
  }
  void TearDown() override {
    sdldpy_keys_destroy(&keys);
    sdldpy_close(&display);
  }
  Display* display = nullptr;
  Keys* keys = nullptr;
};

TEST_F(KeysTest, OneRecordAndOnlyWithADisplay) {
  keys = sdldpy_keys_create();
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(sdldpy_keys_create(), keys);
  for (int i = 0; i < keys_buffer_size; ++i) EXPECT_EQ(keys->buffer[i], 0);
  sdldpy_keys_destroy(&keys);
  EXPECT_EQ(keys, nullptr);
  sdldpy_keys_destroy(&keys);  // harmless twice
  sdldpy_keys_destroy(nullptr);
  sdldpy_close(&display);
  EXPECT_EQ(sdldpy_keys_create(), nullptr);
}

TEST_F(KeysTest, AnExhaustedHeapGivesNoRecordAndLeaksNothing) {
  for (unsigned long successes : {0ul, 1ul}) {
    mem_fail_after(successes);
    EXPECT_EQ(sdldpy_keys_create(), nullptr);
    EXPECT_FALSE(mem_fail_pending());
  }
  keys = sdldpy_keys_create();
  EXPECT_NE(keys, nullptr);
}

TEST_F(KeysTest, TheSlotReflectsTheLastKeyEventOfThePoll) {
  constexpr std::int32_t down = sys_event_key_down;
  constexpr std::int32_t up = sys_event_key_up;
  constexpr std::int32_t other = 12;  // a window-close request, ignored like every non-key event
  struct Case {
    const char* name;
    std::uint8_t before;
    std::vector<SysEvent> events;
    std::uint8_t after;
  } cases[] = {
      {"a press", 0, {{down, 'a'}}, 'a'},
      {"pressed and released in one frame", 0, {{down, 'a'}, {up, 'a'}}, 0},
      {"two presses: the last one wins", 0, {{down, 'a'}, {down, 'b'}}, 'b'},
      {"releasing another key clears", 0, {{down, 'a'}, {up, 'b'}}, 0},
      {"symbols keep their low byte", 0, {{down, 283}}, 27},
      {"F7 looks like space", 0, {{down, 288}}, ' '},
      {"other events are ignored", 'x', {{other, 0}, {down + 10, 'q'}}, 'x'},
      {"a press then other events", 0, {{down, 'q'}, {other, 0}}, 'q'},
      {"no events leave the slot alone", 'z', {}, 'z'},
  };
  keys = sdldpy_keys_create();
  ASSERT_NE(keys, nullptr);
  for (const Case& c : cases) {
    keys->buffer[0] = c.before;
    for (const SysEvent& e : c.events) headless_queue_event(e.type, e.sym);
    sdldpy_keys_poll(keys);
    EXPECT_EQ(keys->buffer[0], c.after) << c.name;
    SysEvent left{};
    EXPECT_FALSE(sys_poll_event(&left)) << c.name << ": the queue is drained";
  }
  sdldpy_keys_poll(nullptr);
}

}  // namespace
}  // namespace novu
