#include "driver/demo.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "assets/embedded.hpp"
#include "base/alloc.hpp"
#include "image/blit.hpp"
#include "image/image.hpp"
#include "image/pnm.hpp"
#include "platform/fps.hpp"
#include "sound/sample_bank.hpp"

namespace novu {

std::uint8_t demo_request = demo_request_go_on;
Display* demo_display = nullptr;
Keys* demo_keyboard = nullptr;
Image* screen = nullptr;
AudioOut* demo_audio = nullptr;
Music* demo_music = nullptr;
Font* demo_font = nullptr;
Image* demo_logo_strip = nullptr;
Stars* demo_stars_blue[demo_layers] = {};
CursorX* demo_bob = nullptr;
Scroller* demo_scroller = nullptr;
Stars* demo_stars_grey[demo_layers] = {};
Image* demo_logo = nullptr;
Image* demo_wave = nullptr;
Image* demo_big_wave = nullptr;
DistX* demo_distx = nullptr;
DistY* demo_disty = nullptr;
Radars* demo_radars[demo_layers] = {};
Splix3D* demo_splix[demo_layers] = {};
SineDots* demo_sinedots = nullptr;
Gas2D* demo_gas = nullptr;
Stars3D* demo_stars3d = nullptr;

namespace {
constexpr unsigned random_seed = 0xface5718;
constexpr std::int32_t frames_per_second = 50;
constexpr std::int32_t glyph_side = 32;
constexpr std::int32_t font_sheet_scale = 4;
constexpr std::int32_t logo_margin = 32;  // the logo picture is centred in a canvas this much larger
constexpr std::int32_t big_wave_scale = 3;
constexpr std::int32_t initial_scroll_speed = 4;

struct LayerLook {
  std::int32_t dx, dy;  // 16.16; part one replaces its layers' speeds before they are used
  std::uint32_t colour;
};
constexpr LayerLook blue_layers[demo_layers] = {
    {0x20000, 0x20000, 0x000080}, {0x30000, 0x40000, 0x0000ff}, {0x40000, 0x60000, 0x0040ff}, {0x50000, 0x80000, 0x0080ff}};
constexpr LayerLook grey_layers[demo_layers] = {
    {0x20000, 0, 0x808080}, {0x30000, 0, 0xa0a0a0}, {0x40000, 0, 0xd0d0d0}, {0x50000, 0, 0xffffff}};
constexpr std::int32_t blue_stars = 256, grey_stars = 64;

struct RadarLook {
  std::int32_t speed;  // on both axes; part three replaces it before it is used
  std::uint32_t colour;
};
constexpr RadarLook radar_looks[demo_layers] = {{2, 0x00ff00}, {3, 0x00ff80}, {4, 0x80ff00}, {5, 0xc0ffc0}};
constexpr std::int32_t radar_points = 256;
constexpr std::int32_t splix_sparks = 256;
constexpr std::int32_t sine_dots = 5120;
constexpr std::int32_t stars_3d = 1024;
constexpr std::int32_t gas_particles = 1024;

// Every layer is created before any gets its real count: the creations' random draws come first.
void make_layers(Stars* (&layers)[demo_layers], const LayerLook (&looks)[demo_layers], std::int32_t count) noexcept {
  for (Stars*& layer : layers) layer = stars_create();
  for (int i = 0; i < demo_layers; ++i) {
    if (layers[i] == nullptr) continue;
    layers[i]->width = screen_width;
    layers[i]->height = screen_height;
    layers[i]->dx = looks[i].dx;
    layers[i]->dy = looks[i].dy;
    layers[i]->colour = looks[i].colour;
  }
  for (Stars* layer : layers) stars_set_count(layer, count);
}

void make_radars() noexcept {
  for (Radars*& radar : demo_radars) radar = radars_create();
  for (int i = 0; i < demo_layers; ++i) {
    if (demo_radars[i] == nullptr) continue;
    demo_radars[i]->centre_x = screen_width / 2;
    demo_radars[i]->centre_y = screen_height / 2;
    demo_radars[i]->speed_x = demo_radars[i]->speed_y = radar_looks[i].speed;
    demo_radars[i]->colour = radar_looks[i].colour;
  }
  for (Radars* radar : demo_radars) radars_set_count(radar, radar_points);
}

// 32 x 32 cells on the 256 x 80 sheet spread to four times its size, so every glyph is a grid
// of dots four pixels apart.
Font* make_font() noexcept {
  Font* font = font_create();
  if (font == nullptr) return nullptr;
  font->glyph_width = font->glyph_height = glyph_side;
  Image* picture = img_from_pnm(asset_font_ppm);
  if (picture == nullptr) return font;
  font->sheet = img_create();
  img_resize(font->sheet, font_sheet_scale * picture->width, font_sheet_scale * picture->height);
  img_blit_spread(picture, font->sheet, 0, 0, 0, 0, picture->width, picture->height, font_sheet_scale,
                  font_sheet_scale);
  img_destroy(&picture);
  return font;
}

Scroller* make_scroller() noexcept {
  Scroller* scroller = scroller_create();
  scroller_setup(scroller, reinterpret_cast<const char*>(asset_scroll_text), demo_font, screen);
  if (scroller != nullptr) scroller->speed = initial_scroll_speed;
  return scroller;
}

Image* make_logo() noexcept {
  Image* picture = img_from_pnm(asset_logo_ppm);
  if (picture == nullptr) return nullptr;
  Image* logo = img_create();
  img_resize(logo, picture->width + logo_margin, picture->height + logo_margin);
  if (logo != nullptr) {
    img_blit(picture, logo, 0, 0, (logo->width - picture->width) / 2, (logo->height - picture->height) / 2,
             picture->width, picture->height);
  }
  img_destroy(&picture);
  return logo;
}

Image* make_canvas(const Image* like, std::int32_t scale) noexcept {
  Image* canvas = img_create();
  if (like != nullptr) img_resize(canvas, scale * like->width, scale * like->height);
  return canvas;
}

// Both bend waves start with these values; part two replaces them before they are used.
template <class Distortion>
Distortion* shape_wave(Distortion* distortion, const Image* source) noexcept {
  if (distortion == nullptr) return nullptr;
  distortion->source = source;
  distortion->wave.speed = 4;
  distortion->wave.offset_step = 8;
  distortion->amplitude = 16;
  return distortion;
}

void make_splix() noexcept {
  for (Splix3D*& splix : demo_splix) splix = splix3d_create();
  for (Splix3D* splix : demo_splix) splix3d_set_count(splix, splix_sparks);
}

SineDots* make_sinedots() noexcept {
  SineDots* dots = sinedots_create();
  sinedots_set_count(dots, sine_dots);
  return dots;
}

// An effect over the whole screen: its area is the screen's before its real count is drawn.
template <class Effect>
Effect* screen_sized(Effect* effect, void (*set_count)(Effect*, std::int32_t) noexcept, std::int32_t count) noexcept {
  if (effect == nullptr) return nullptr;
  effect->width = screen_width;
  effect->height = screen_height;
  set_count(effect, count);
  return effect;
}

int start_failure = 0;

void report(int failure) noexcept {
  if (failure == demo_exit_no_memory) {
    std::fputs("NOVU4471 cannot start: the system ran out of memory while it was starting.\n", stderr);
    return;
  }
  const char* reason = sdldpy_video_error();
  if (reason == nullptr || reason[0] == '\0') reason = "the display could not be opened";
  std::fprintf(stderr,
               "NOVU4471 cannot start: no %d x %d video mode could be set (%s). It needs a display: "
               "run it in a desktop session, or under xvfb-run.\n",
               screen_width, screen_height, reason);
}

// Closes what a start that cannot go on has opened, last first.
bool give_up(int failure) noexcept {
  img_destroy(&screen);
  if (demo_audio != nullptr) audio_close(&demo_audio);
  sdldpy_keys_destroy(&demo_keyboard);
  sdldpy_close(&demo_display);
  start_failure = failure;
  return false;
}
}  // namespace

int demo_start_failure() noexcept { return start_failure; }

// The step numbers are those of the start-up order, which is also the order of the random draws.
bool demo_init() noexcept {
  std::memcpy(DemoFlags, demo_flags_initial, sizeof DemoFlags);
  demo_request = demo_request_go_on;

  start_failure = 0;

  std::srand(random_seed);                                     // 1
  demo_display = sdldpy_open();                                // 2
  if (demo_display == nullptr) return give_up(demo_exit_no_memory);
  sdldpy_set_mode(demo_display, screen_width, screen_height);  // 3
  if (!sdldpy_has_video(demo_display)) return give_up(demo_exit_no_display);
  demo_keyboard = sdldpy_keys_create();  // 4
  demo_audio = audio_open();  // 5: also where the system as a whole is initialised
  screen = img_create();      // 6
  img_resize(screen, demo_display->width, demo_display->height);
  if (demo_keyboard == nullptr || !img_has_pixels(screen)) return give_up(demo_exit_no_memory);
  demo_music = music_create();  // 7
  for (std::int32_t i = 0; i < sample_bank.count; ++i) music_add_instrument(demo_music, &sample_bank.samples[i]);
  demo_font = make_font();                                    // 8
  demo_bob = cursorx_create();                                // 9
  demo_scroller = make_scroller();                            // 10
  make_layers(demo_stars_blue, blue_layers, blue_stars);      // 11
  make_layers(demo_stars_grey, grey_layers, grey_stars);      // 12
  make_radars();                                              // 13
  demo_logo = make_logo();                                    // 14
  demo_wave = make_canvas(demo_logo, 1);                      // 15
  demo_big_wave = make_canvas(demo_logo, big_wave_scale);     // 16
  demo_logo_strip = img_from_pnm(asset_strip_ppm);            // 17
  demo_distx = shape_wave(distx_create(), demo_logo);         // 18
  demo_disty = shape_wave(disty_create(), demo_wave);         // 19
  make_splix();                                               // 20
  demo_sinedots = make_sinedots();                            // 21
  demo_stars3d = screen_sized(stars3d_create(), stars3d_set_count, stars_3d);  // 22
  demo_gas = screen_sized(gas2d_create(), gas2d_set_count, gas_particles);      // 23
  fps_target = frames_per_second;                             // 24
  return true;
}

void demo_shutdown() noexcept {
  demo_fade_out();  // 1
  distx_destroy(&demo_distx);  // 2
  disty_destroy(&demo_disty);
  for (Stars*& layer : demo_stars_blue) stars_destroy(&layer);  // 3
  for (Stars*& layer : demo_stars_grey) stars_destroy(&layer);
  for (Radars*& radar : demo_radars) radars_destroy(&radar);  // 4
  stars3d_destroy(&demo_stars3d);  // 5
  if (demo_gas != nullptr) gas2d_destroy(&demo_gas);  // it reports a missing gas, always
  font_destroy(&demo_font);  // 6
  img_destroy(&demo_wave);   // 7
  img_destroy(&demo_big_wave);
  img_destroy(&screen);
  sdldpy_keys_destroy(&demo_keyboard);  // 8
  sdldpy_close(&demo_display);          // 9
  if (demo_audio != nullptr) audio_close(&demo_audio);  // 10
  // The order above leaves these to the process exit; releasing them keeps the leak checker
  // meaningful. The music goes after the device, whose queue refers to its loop.
  if (demo_music != nullptr) music_destroy(&demo_music);
  sample_destroy(&music_scratch);  // the music's shared working buffer, kept between its events
  img_destroy(&demo_logo_strip);
  for (Splix3D*& splix : demo_splix) splix3d_destroy(&splix);
  sinedots_destroy(&demo_sinedots);
  scroller_destroy(&demo_scroller);
  mem_free(demo_bob);
  demo_bob = nullptr;
  img_destroy(&demo_logo);
}

int demo_main() noexcept {
  if (!demo_init()) {
    report(start_failure);
    return start_failure;
  }
  static constexpr void (*parts[])() noexcept = {demo_part1, demo_part2, demo_part3, demo_part4,
                                                 demo_part5, demo_part6, demo_part7};
  for (std::size_t next = 0;; next = (next + 1) % std::size(parts)) {
    parts[next]();
    if ((demo_request & 1) != 0) break;
    demo_request = demo_request_go_on;
  }
  demo_shutdown();
  const int signal = sdldpy_stop_signal();
  return signal != 0 ? demo_exit_after_signal + signal : demo_exit_after_quit;
}

}  // namespace novu
