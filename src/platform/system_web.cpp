// The system seam in a browser page: what demo-web runs on. Emscripten's SDL 1.2 layer gives the
// canvas, the caption and the sound; the rest is done here, where the page differs from a Linux
// desktop. The layer's screen stores bytes in canvas order (red first) and it has no display
// format, so presenting converts here. Its keys are not SDL 1.2's symbols, so the page's keys
// come from system_web.js instead. The program's blocking frame loop must hand the browser its
// turn: every delay sleeps through the browser's timers, and a present after no delay yields once.
// And the C library's rand() is another generator than the GNU one the demo's pictures come from.

#include <SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <cstring>

#include "platform/system.hpp"

extern "C" {
void novu_web_listen(int on);  // the page's keys into a queue, or no longer
int novu_web_next_key();       // (type << 16) | symbol, or 0 when the queue is empty
void novu_web_yield();         // returns once the browser has had its turn
void novu_web_prepare_sdl();   // the SDL layer's settings: it leaves the keys alone, among others
}

namespace novu {

namespace {
const char* video_error = "";
bool yielded = false;  // since the last present
double start_ms = -1.0;

SDL_Surface* sdl(SysSurface* surface) noexcept { return reinterpret_cast<SDL_Surface*>(surface); }
const SDL_Surface* sdl(const SysSurface* surface) noexcept {
  return reinterpret_cast<const SDL_Surface*>(surface);
}

// The GNU C library's rand(): 31 words of additive feedback, seeded by a Lehmer sequence and run
// 310 draws in, each draw the sum of the words 31 and 3 back, less its lowest bit.
constexpr int rand_words = 31;
constexpr int rand_gap = 3;
constexpr int rand_warm_up = 310;
std::int32_t rand_table[rand_words];
int rand_front = rand_gap;
int rand_rear = 0;
bool rand_seeded = false;

int next_rand() noexcept {
  const std::uint32_t sum =
      static_cast<std::uint32_t>(rand_table[rand_front]) + static_cast<std::uint32_t>(rand_table[rand_rear]);
  rand_table[rand_front] = static_cast<std::int32_t>(sum);
  rand_front = (rand_front + 1) % rand_words;
  rand_rear = (rand_rear + 1) % rand_words;
  return static_cast<int>(sum >> 1);
}

void end_of_present() noexcept {
  if (!yielded) novu_web_yield();
  yielded = false;
}
}  // namespace

SysSurface* sys_set_video_mode(std::int32_t width, std::int32_t height, std::int32_t bpp,
                               std::uint32_t flags) noexcept {
  novu_web_prepare_sdl();
  SDL_Surface* surface = SDL_SetVideoMode(width, height, bpp, flags);
  if (surface == nullptr) {
    video_error = "the page has no canvas to draw on";
    return nullptr;
  }
  novu_web_listen(1);
  return reinterpret_cast<SysSurface*>(surface);
}

void sys_free_surface(SysSurface* surface) noexcept {
  novu_web_listen(0);
  SDL_FreeSurface(sdl(surface));
}

SysSurfaceInfo sys_surface_info(const SysSurface* surface) noexcept {
  const SDL_Surface* s = sdl(surface);
  return SysSurfaceInfo{s->w, s->h, s->pitch, s->format->BitsPerPixel, s->format->Rmask, s->format->Gmask,
                        s->format->Bmask, (s->flags & SDL_DOUBLEBUF) != 0, s->pixels};
}

void sys_set_caption(const char* title, const char* icon) noexcept { SDL_WM_SetCaption(title, icon); }
void sys_lock_surface(SysSurface* surface) noexcept { SDL_LockSurface(sdl(surface)); }
// Unlocking the screen is what puts its pixels on the canvas.
void sys_unlock_surface(SysSurface* surface) noexcept { SDL_UnlockSurface(sdl(surface)); }

void sys_flip(SysSurface* surface) noexcept {
  SDL_Flip(sdl(surface));
  end_of_present();
}

void sys_update_rect(SysSurface* surface, std::int32_t x, std::int32_t y, std::int32_t w,
                     std::int32_t h) noexcept {
  SDL_UpdateRect(sdl(surface), x, y, static_cast<Uint32>(w), static_cast<Uint32>(h));
  end_of_present();
}

// The screen is 32-bit with red in the low byte, whatever was asked, and its alpha byte reaches
// the canvas: every pixel is written opaque. Pixels outside the copy keep what they had.
void sys_blit_xrgb(SysSurface* surface, const std::uint32_t* pixels, std::int32_t width,
                   std::int32_t height, std::int32_t pitch) noexcept {
  SDL_Surface* s = sdl(surface);
  if (s == nullptr || pixels == nullptr || pitch < 0 || s->format->BitsPerPixel != 32) return;
  const std::int32_t w = std::min(width, s->w);
  const std::int32_t h = std::min(height, s->h);
  SDL_LockSurface(s);
  auto* to = static_cast<std::uint8_t*>(s->pixels);
  for (std::int32_t y = 0; y < h && to != nullptr; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * (static_cast<std::size_t>(pitch) / 4);
    auto* out = reinterpret_cast<std::uint32_t*>(to + static_cast<std::size_t>(y) * s->pitch);
    for (std::int32_t x = 0; x < w; ++x) {
      const std::uint32_t p = row[x];
      out[x] = 0xFF000000u | (p & 0x00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
    }
  }
  SDL_UnlockSurface(s);
}

const char* sys_video_error() noexcept { return video_error; }

bool sys_poll_event(SysEvent* event) noexcept {
  // The layer queues the canvas's mouse events, which nothing here wants.
  SDL_Event ignored;
  while (SDL_PollEvent(&ignored) != 0) {
  }
  const int key = novu_web_next_key();
  if (key == 0) return false;
  event->type = key >> 16;
  event->sym = key & 0xFFFF;
  return true;
}

// A page is never sent a stop signal.
void sys_catch_stop_signals() noexcept {}
int sys_stop_signal() noexcept { return 0; }

std::uint32_t sys_get_ticks() noexcept {
  const double now = emscripten_get_now();
  if (start_ms < 0.0) start_ms = now;
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now - start_ms));
}

void sys_delay(std::uint32_t ms) noexcept {
  if (ms == 0) {
    novu_web_yield();
  } else {
    emscripten_sleep(ms);
  }
  yielded = true;
}

int sys_init(std::uint32_t flags) noexcept {
  novu_web_prepare_sdl();
  sys_get_ticks();
  return SDL_Init(flags);
}

int sys_open_audio(const SysAudioSpec* spec) noexcept {
  SDL_AudioSpec request;
  std::memset(&request, 0, sizeof request);
  request.freq = spec->frequency;
  request.format = spec->format;
  request.channels = spec->channels;
  request.samples = spec->samples;
  request.callback = spec->callback;
  request.userdata = spec->user_data;
  return SDL_OpenAudio(&request, nullptr);
}

// The callback runs on the page's one thread, only while the program waits in a delay or a
// present, never inside the lock: the lock has nothing to exclude.
void sys_pause_audio(int pause_on) noexcept { SDL_PauseAudio(pause_on); }
void sys_lock_audio() noexcept {}
void sys_unlock_audio() noexcept {}
void sys_close_audio() noexcept { SDL_CloseAudio(); }

}  // namespace novu

// Replace the C library's own pair at link time; the library declares them without noexcept.
extern "C" void srand(unsigned seed) {
  using namespace novu;
  std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1 : seed);
  rand_table[0] = word;
  for (int i = 1; i < rand_words; ++i) {
    const std::int64_t high = word / 127773;
    const std::int64_t low = word % 127773;
    word = static_cast<std::int32_t>(16807 * low - 2836 * high);
    if (word < 0) word += 2147483647;
    rand_table[i] = word;
  }
  rand_front = rand_gap;
  rand_rear = 0;
  for (int i = 0; i < rand_warm_up; ++i) next_rand();
  rand_seeded = true;
}

// Unseeded, it is seeded with 1, as the C standard has it.
extern "C" int rand() {
  if (!novu::rand_seeded) srand(1);
  return novu::next_rand();
}
