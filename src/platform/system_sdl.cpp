// The system seam on SDL 1.2: what demo-windowed and demo-fullscreen run on.

#include <SDL.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/system.hpp"

namespace novu {

namespace {
const char* video_error = "";
volatile std::sig_atomic_t stop_signal = 0;

extern "C" void on_stop_signal(int signal) {
  if (stop_signal == 0) stop_signal = signal;
}

SDL_Surface* sdl(SysSurface* surface) noexcept { return reinterpret_cast<SDL_Surface*>(surface); }
const SDL_Surface* sdl(const SysSurface* surface) noexcept {
  return reinterpret_cast<const SDL_Surface*>(surface);
}

// With no display, SDL quietly falls back to an invisible off-screen driver; a demo nobody can
// see is no success, so that driver is accepted only when the user asked for it by name.
bool video_driver_usable() noexcept {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    video_error = "no display is available";
    return false;
  }
  char name[32] = "";
  SDL_VideoDriverName(name, sizeof name);
  const char* requested = std::getenv("SDL_VIDEODRIVER");
  const bool invisible = std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0;
  if (invisible && (requested == nullptr || std::strcmp(requested, name) != 0)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    video_error = "no display is available";
    return false;
  }
  return true;
}
}  // namespace

SysSurface* sys_set_video_mode(std::int32_t width, std::int32_t height, std::int32_t bpp,
                               std::uint32_t flags) noexcept {
  if (!video_driver_usable()) return nullptr;
  SDL_Surface* surface = SDL_SetVideoMode(width, height, bpp, flags);
  if (surface == nullptr) video_error = SDL_GetError();
  return reinterpret_cast<SysSurface*>(surface);
}

void sys_free_surface(SysSurface* surface) noexcept { SDL_FreeSurface(sdl(surface)); }

SysSurfaceInfo sys_surface_info(const SysSurface* surface) noexcept {
  const SDL_Surface* s = sdl(surface);
  return SysSurfaceInfo{s->w, s->h, s->pitch, s->format->BitsPerPixel, s->format->Rmask, s->format->Gmask,
                        s->format->Bmask, (s->flags & SDL_DOUBLEBUF) != 0, s->pixels};
}

void sys_set_caption(const char* title, const char* icon) noexcept { SDL_WM_SetCaption(title, icon); }
void sys_lock_surface(SysSurface* surface) noexcept { SDL_LockSurface(sdl(surface)); }
void sys_unlock_surface(SysSurface* surface) noexcept { SDL_UnlockSurface(sdl(surface)); }
void sys_flip(SysSurface* surface) noexcept { SDL_Flip(sdl(surface)); }

void sys_update_rect(SysSurface* surface, std::int32_t x, std::int32_t y, std::int32_t w,
                     std::int32_t h) noexcept {
  SDL_UpdateRect(sdl(surface), x, y, static_cast<Uint32>(w), static_cast<Uint32>(h));
}

void sys_blit_xrgb(SysSurface* surface, const std::uint32_t* pixels, std::int32_t width,
                   std::int32_t height, std::int32_t pitch) noexcept {
  // SDL only reads the borrowed pixels during the blit; the const_cast never leads to a write.
  SDL_Surface* borrowed = SDL_CreateRGBSurfaceFrom(const_cast<std::uint32_t*>(pixels), width, height, 32,
                                                   pitch, 0xFF0000, 0x00FF00, 0x0000FF, 0);
  if (borrowed == nullptr) return;
  SDL_Surface* converted = SDL_DisplayFormat(borrowed);
  if (converted != nullptr) {
    SDL_UpperBlit(converted, nullptr, sdl(surface), nullptr);
    SDL_FreeSurface(converted);
  }
  SDL_FreeSurface(borrowed);
}

const char* sys_video_error() noexcept { return video_error; }

bool sys_poll_event(SysEvent* event) noexcept {
  SDL_Event e;
  if (SDL_PollEvent(&e) == 0) return false;
  event->type = e.type;
  event->sym = (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) ? static_cast<std::int32_t>(e.key.keysym.sym) : 0;
  return true;
}

// Installed before the media layer starts, which leaves handlers it finds in place alone; the
// hint tells it not to install its own anyway. A signal the demo was started with ignored (as a
// shell does with SIGINT for background jobs) stays ignored.
void sys_catch_stop_signals() noexcept {
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
  for (int signal : {SIGINT, SIGTERM}) {
    struct sigaction action {};
    if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) continue;
    action.sa_handler = on_stop_signal;
    action.sa_flags = 0;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

int sys_stop_signal() noexcept { return stop_signal; }

std::uint32_t sys_get_ticks() noexcept { return SDL_GetTicks(); }
void sys_delay(std::uint32_t ms) noexcept { SDL_Delay(ms); }
int sys_init(std::uint32_t flags) noexcept { return SDL_Init(flags); }

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

void sys_pause_audio(int pause_on) noexcept { SDL_PauseAudio(pause_on); }
void sys_lock_audio() noexcept { SDL_LockAudio(); }
void sys_unlock_audio() noexcept { SDL_UnlockAudio(); }
void sys_close_audio() noexcept { SDL_CloseAudio(); }

}  // namespace novu
