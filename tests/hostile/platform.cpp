// SDLDPY and FPS on the headless system.

#include <tuple>

#include "hostile/registry.hpp"
#include "platform/display.hpp"
#include "platform/fps.hpp"
#include "platform/headless.hpp"
#include "platform/keys.hpp"

namespace novu::hostile {
namespace {

Display foreign{256, 256, 32};  // not the open display
auto opened() {
  headless_reset();
  return own<sdldpy_open, sdldpy_close>();
}
// present(display, image) shows no frame on a display not the open one, nor once it is closed,
// nor without an image or its pixels, nor at a height it cannot take.
template <auto present>
void shows_nothing(std::initializer_list<I> heights) {
  Img screen = filled(256, 256, 1);
  Image bare{256, 256, nullptr};
  Display* display = opened().release();
  const std::uint32_t frames = headless_presents();
  for (I h : heights) present(display, filled(256, h, 1).get());
  for (const Image* image : std::initializer_list<const Image*>{nullptr, &bare}) present(display, image);
  present(&foreign, screen.get());
  sdldpy_close(&display);
  present(display, screen.get());
  EXPECT_EQ(headless_presents(), frames);
}

const Rows rows("platform", {
  {"sdldpy_error", [] { reports(sdldpy_verbose, "SDLDPY error", sdldpy_error); }},
  {"sdldpy_open", [] {  // without a video mode the record stays all zero, and a second open gives it again
     fails_cleanly([] { return opened().release(); }, sdldpy_close);
     headless_refuse_video("no display");
     auto display = own<sdldpy_open, sdldpy_close>();
     EXPECT_TRUE(display->width == 0 && display->depth == 0 && sdldpy_open() == display.get()); }},
  {"sdldpy_set_mode", [] {  // refused here or by the system: the record stays
     refuses(foreign, [](Display* d) { sdldpy_set_mode(d, 1, 1); });
     auto display = opened();
     for (I w : extremes)
       for (I h : extremes) keeps([&] { sdldpy_set_mode(display.get(), w, h); }, display.get()); }},
  {"sdldpy_has_video", [] {  // none for no display or one not the open one
     auto display = opened();
     EXPECT_FALSE(sdldpy_has_video(nullptr) || sdldpy_has_video(&foreign)); }},
  {"sdldpy_is_open", [] {  // not once closed
     EXPECT_TRUE(opened() && sdldpy_is_open());
     EXPECT_FALSE(sdldpy_is_open()); }},
  {"sdldpy_video_error", [] {
     headless_refuse_video("no display");
     auto display = own<sdldpy_open, sdldpy_close>();
     EXPECT_STREQ(sdldpy_video_error(), "no display"); }},
  {"sdldpy_present", [] { shows_nothing<sdldpy_present>({128, 257}); }},
  {"sdldpy_present_swap", [] { shows_nothing<sdldpy_present_swap>({128, 257}); }},
  {"sdldpy_present_convert", [] {  // of any size, what fits
     shows_nothing<sdldpy_present_convert>({});
     auto display = opened();
     std::uint32_t word = 1;
     for (Image image : {Image{int_max, int_max, &word}, Image{int_min, -1, &word}}) {
       sdldpy_present_convert(display.get(), &image);
     } }},
  {"sdldpy_close", [] {  // not the open display: nothing happens
     destroys<sdldpy_close>();
     auto display = opened();
     Display* other = &foreign;
     sdldpy_close(&other);
     EXPECT_TRUE(other == &foreign && sdldpy_is_open()); }},
  {"fps_now_us", [] {  // wraps
     headless_set_ticks(0xFFFFFFFF);
     EXPECT_EQ(fps_now_us(), -1000); }},
  {"fps_measure", [] {  // any target and past measure
     for (I target : extremes)
       for (I v : extremes) {
         std::tie(fps_target, fps_last_us, fps_second_us, fps_second_frames, fps_shown) =
             std::tuple{target, v, v, v, v};
         fps_measure();
         EXPECT_TRUE(fps_target >= 1 && fps_period_us == 1000000 / fps_target);
       } }},
  {"fps_pace", [] {  // any frame time, period and slack
     for (I frame : extremes)
       for (I v : extremes) {
         std::tie(fps_frame_us, fps_period_us, fps_slack_us) = std::tuple{frame, v, ~v};
         fps_pace();
       } }},
  {"sdldpy_keys_create", [] {  // none without a display
     EXPECT_EQ(sdldpy_keys_create(), nullptr);
     auto display = opened();
     fails_cleanly(sdldpy_keys_create, sdldpy_keys_destroy); }},
  {"sdldpy_keys_poll", [] {  // any event
     auto display = opened();
     auto keys = own<sdldpy_keys_create, sdldpy_keys_destroy>();
     refuses(Keys{nullptr}, sdldpy_keys_poll);
     for (I type : {sys_event_key_down, sys_event_key_up, int_min, int_max})
       for (I sym : extremes) headless_queue_event(type, sym);
     sdldpy_keys_poll(keys.get()); }},
  {"sdldpy_keys_destroy", destroys<sdldpy_keys_destroy>},
  {"sdldpy_stop_signal", [] { EXPECT_EQ(sdldpy_stop_signal(), 0); }},
});

}  // namespace
}  // namespace novu::hostile
