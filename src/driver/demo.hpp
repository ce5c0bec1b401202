#pragma once
// PROGRAM: the demo's entry, its start-up and shutdown orders, the endless sequence of the seven
// parts, and the frame loop they share. All objects live in module-level variables for the run.

#include <cstdint>

#include "effects/cursorx.hpp"
#include "effects/distort.hpp"
#include "effects/gas2d.hpp"
#include "effects/radars.hpp"
#include "effects/sinedots.hpp"
#include "effects/splix3d.hpp"
#include "effects/stars.hpp"
#include "effects/stars3d.hpp"
#include "image/image.hpp"
#include "platform/display.hpp"
#include "platform/keys.hpp"
#include "sound/audio.hpp"
#include "sound/music.hpp"
#include "text/font.hpp"
#include "text/scroller.hpp"

namespace novu {

inline constexpr std::int32_t screen_width = 256;
inline constexpr std::int32_t screen_height = 256;

inline constexpr int demo_exit_after_quit = 1;
// Stopped by a signal (SIGINT, SIGTERM): this plus the signal's number, as shells report it.
inline constexpr int demo_exit_after_signal = 128;
// No video mode could be set (typically: started without a display); a sentence on standard
// error says so.
inline constexpr int demo_exit_no_display = 3;
// The heap ran out before the display, the keyboard and the screen existed: without them there is
// nothing to show and no key to stop it with. A sentence on standard error says so. Any other
// object that cannot be made is simply missing: its effect draws nothing, or the demo runs silent.
inline constexpr int demo_exit_no_memory = 4;

inline constexpr std::uint8_t demo_request_go_on = 0;
inline constexpr std::uint8_t demo_request_quit = 1;
inline constexpr std::uint8_t demo_request_next_part = 2;

// 0 go on, 1 quit, 2 next part; the sequence tests only the lowest bit (odd: quit).
extern std::uint8_t demo_request;

// Byte 0: bit 0 draws the frame counter, bit 1 runs the frame limiter. Bytes 1-3 are spare
// toggles that keys flip and nothing reads.
inline constexpr std::uint8_t demo_flags_initial[4] = {0x02, 0x03, 0x01, 0x01};
inline constexpr std::uint8_t demo_flag_counter = 0x01;
inline constexpr std::uint8_t demo_flag_limiter = 0x02;
extern std::uint8_t DemoFlags[4];

extern Display* demo_display;
extern Keys* demo_keyboard;
extern Image* screen;
// The frame furniture: the audio device (null when none could be opened), the music fed to it,
// the font of the frame counter and the scroller, and the logo strip picture drawn in the
// bottom-left corner of every frame.
extern AudioOut* demo_audio;
extern Music* demo_music;
extern Font* demo_font;
extern Image* demo_logo_strip;

// The parts' objects, made at start-up in a fixed order. Any of them may be null when the heap
// ran out; the effects then draw nothing.
inline constexpr int demo_layers = 4;
extern Stars* demo_stars_blue[demo_layers];  // part one
extern CursorX* demo_bob;                    // part two: the scroller's bounce
extern Scroller* demo_scroller;
extern Stars* demo_stars_grey[demo_layers];
extern Image* demo_logo;       // the logo tiles centred in a 96 x 48 picture
extern Image* demo_wave;       // the logo bent sideways, 96 x 48
extern Image* demo_big_wave;   // then bent up and down, 288 x 144
extern DistX* demo_distx;
extern DistY* demo_disty;
extern Radars* demo_radars[demo_layers];  // part three
extern Splix3D* demo_splix[demo_layers];  // part four
extern SineDots* demo_sinedots;           // part five
extern Gas2D* demo_gas;                   // part six
extern Stars3D* demo_stars3d;             // part seven

// The whole program: start-up, the parts again and again until a quit key or a stop signal,
// shutdown. Returns the exit status: demo_exit_after_quit, demo_exit_after_signal + the signal,
// or demo_exit_no_display.
int demo_main() noexcept;

// Creates every object in the fixed order that is also the order of the random draws. False
// (and nothing left open) when the demo cannot run: demo_start_failure() then says why, as the
// exit status. Flags and request start afresh, so a second run in one process starts like the
// first.
bool demo_init() noexcept;
int demo_start_failure() noexcept;
void demo_shutdown() noexcept;

void demo_part1() noexcept;
void demo_part2() noexcept;
void demo_part3() noexcept;
void demo_part4() noexcept;
void demo_part5() noexcept;
void demo_part6() noexcept;
void demo_part7() noexcept;

void demo_fade_out() noexcept;
void demo_frame_tail() noexcept;
// The same without pacing and presenting: what a frame costs the program itself.
void demo_frame_tail_unshown() noexcept;
void demo_handle_key(std::uint8_t key) noexcept;

// The keys a, s, d, f, g steer part two's scroller in every part.
void demo_set_scroll_speed(std::int32_t pixels_per_frame) noexcept;

}  // namespace novu
