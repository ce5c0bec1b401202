// The system seam without a screen: what demo-capture and the tests run on. A virtual clock, a
// scripted event queue, an in-memory surface of any requested format and an emulated audio
// device that pulls sound from the program's callback at every present.
//
// The emulated system allocates with the standard library, outside the program's allocation
// point, just as the real media layer does: fault injection in tests only ever hits the
// program's own allocations.

#include <algorithm>
#include <bit>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/headless.hpp"
#include "platform/system.hpp"

namespace novu {

// Where a colour channel sits in a pixel of the surface: worked out once, used per pixel.
struct HeadlessField {
  std::uint32_t mask;
  int shift;  // of the mask's lowest bit
  int bits;   // in the mask
};

struct SysSurface {
  SysSurfaceInfo info;
  std::vector<std::uint8_t> memory;
  int locks;
  HeadlessField red, green, blue;
};

namespace {

struct Scheduled {
  std::uint32_t after_present;
  SysEvent event;
};

struct AudioDevice {
  std::recursive_mutex lock;  // the callback runs under it, like the real device's audio lock
  bool open = false;
  bool paused = true;
  bool refuse = false;
  SysAudioSpec spec{};
  std::vector<std::uint8_t> buffered;
  std::size_t played = 0;  // bytes of `buffered` already handed out
};

struct Machine {
  HeadlessFormat format = headless_format_xrgb;
  std::string refusal;
  bool refusing = false;
  const char* video_error = "";
  std::unique_ptr<SysSurface> surface;
  std::uint32_t last_flags = 0;
  std::string caption, icon;

  std::uint32_t ticks = 0;
  std::uint32_t present_ms = headless_present_ms;
  std::uint32_t presents = 0;
  std::uint32_t clock_reads = 0;
  std::uint32_t delay_ms = 0;

  std::vector<Scheduled> scheduled;  // ordered by after_present, then by scheduling order
  std::deque<SysEvent> queue;
  std::uint32_t signal_after = 0;  // the stop signal arrives after this present
  int signal = 0;                  // scheduled, not yet arrived
  int stop_signal = 0;             // arrived

  HeadlessPresentHook hook = nullptr;
  void* hook_data = nullptr;
  std::vector<std::uint8_t> frame_audio =
      std::vector<std::uint8_t>(static_cast<std::size_t>(headless_frames_per_present) * 2);
};

Machine machine;
AudioDevice audio;

std::int32_t bytes_per_pixel(const SysSurfaceInfo& info) noexcept { return info.bits_per_pixel / 8; }

HeadlessField field_of(std::uint32_t mask) noexcept {
  return mask == 0 ? HeadlessField{0, 0, 8} : HeadlessField{mask, std::countr_zero(mask), std::popcount(mask)};
}

// A mask's share of an 8-bit channel, the way the media layer maps colours: the low bits of
// channels wider than the mask are dropped.
std::uint32_t to_field(std::uint32_t channel, const HeadlessField& f) noexcept {
  const std::uint32_t scaled = f.bits <= 8 ? channel >> (8 - f.bits) : channel << (f.bits - 8);
  return (scaled << f.shift) & f.mask;
}

std::uint32_t from_field(std::uint32_t value, const HeadlessField& f) noexcept {
  const std::uint32_t field = (value & f.mask) >> f.shift;
  return f.bits <= 8 ? field << (8 - f.bits) : field >> (f.bits - 8);
}

std::uint8_t* pixel_at(SysSurface* surface, std::int32_t x, std::int32_t y) noexcept {
  const SysSurfaceInfo& info = surface->info;
  return surface->memory.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(info.pitch) +
         static_cast<std::size_t>(x) * static_cast<std::size_t>(bytes_per_pixel(info));
}

void store_pixel(SysSurface* surface, std::int32_t x, std::int32_t y, std::uint32_t xrgb) noexcept {
  const SysSurfaceInfo& info = surface->info;
  const std::uint32_t value = to_field((xrgb >> 16) & 0xFF, surface->red) |
                              to_field((xrgb >> 8) & 0xFF, surface->green) | to_field(xrgb & 0xFF, surface->blue);
  std::uint8_t* bytes = pixel_at(surface, x, y);
  for (std::int32_t b = 0; b < bytes_per_pixel(info); ++b)
    bytes[b] = static_cast<std::uint8_t>(value >> (8 * b));
}

std::uint32_t load_pixel(SysSurface* surface, std::int32_t x, std::int32_t y) noexcept {
  const SysSurfaceInfo& info = surface->info;
  const std::uint8_t* bytes = pixel_at(surface, x, y);
  std::uint32_t value = 0;
  for (std::int32_t b = 0; b < bytes_per_pixel(info); ++b) value |= std::uint32_t{bytes[b]} << (8 * b);
  return from_field(value, surface->red) << 16 | from_field(value, surface->green) << 8 |
         from_field(value, surface->blue);
}

bool format_usable(const HeadlessFormat& format, std::int32_t width) noexcept {
  const std::int32_t bpp = format.bits_per_pixel;
  if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  return format.pitch == 0 || format.pitch >= width * (bpp / 8);
}

void release_scheduled_events(std::uint32_t present) noexcept {
  auto first_later = std::find_if(machine.scheduled.begin(), machine.scheduled.end(),
                                  [present](const Scheduled& s) { return s.after_present > present; });
  for (auto it = machine.scheduled.begin(); it != first_later; ++it) machine.queue.push_back(it->event);
  machine.scheduled.erase(machine.scheduled.begin(), first_later);
}

void end_of_present(SysSurface* surface, bool flipped) noexcept {
  if (surface == nullptr || surface != machine.surface.get()) return;
  const std::uint32_t index = machine.presents++;
  machine.ticks += machine.present_ms;
  headless_play_audio(machine.frame_audio.data(), headless_frames_per_present);
  const HeadlessFrame frame{
      index,   machine.clock_reads,        machine.delay_ms,
      flipped, machine.frame_audio.data(), static_cast<std::int32_t>(machine.frame_audio.size())};
  machine.clock_reads = 0;
  machine.delay_ms = 0;
  if (machine.hook != nullptr) machine.hook(machine.hook_data, frame);
  release_scheduled_events(index);
  if (machine.signal != 0 && machine.stop_signal == 0 && index >= machine.signal_after) {
    machine.stop_signal = machine.signal;
  }
}

void close_audio_device() noexcept {
  std::lock_guard<std::recursive_mutex> guard(audio.lock);
  audio.open = false;
  audio.paused = true;
  audio.buffered.clear();
  audio.played = 0;
}

}  // namespace

// ---- video ----------------------------------------------------------------------------------

SysSurface* sys_set_video_mode(std::int32_t width, std::int32_t height, std::int32_t /*bpp*/,
                               std::uint32_t flags) noexcept {
  machine.last_flags = flags;
  machine.surface.reset();  // a new mode replaces the old surface, as on the real system
  if (machine.refusing) {
    machine.video_error = machine.refusal.c_str();
    return nullptr;
  }
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || !format_usable(machine.format, width)) {
    machine.video_error = "the requested video mode is not available";
    return nullptr;
  }
  const HeadlessFormat& format = machine.format;
  const std::int32_t pitch = format.pitch != 0 ? format.pitch : width * (format.bits_per_pixel / 8);
  auto surface = std::make_unique<SysSurface>();
  surface->memory.assign(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height), 0);
  surface->info = SysSurfaceInfo{width,
                                 height,
                                 pitch,
                                 format.bits_per_pixel,
                                 format.red_mask,
                                 format.green_mask,
                                 format.blue_mask,
                                 format.double_buffered,
                                 surface->memory.data()};
  surface->red = field_of(format.red_mask);
  surface->green = field_of(format.green_mask);
  surface->blue = field_of(format.blue_mask);
  machine.surface = std::move(surface);
  return machine.surface.get();
}

void sys_free_surface(SysSurface* surface) noexcept {
  if (surface != nullptr && surface == machine.surface.get()) machine.surface.reset();
}

SysSurfaceInfo sys_surface_info(const SysSurface* surface) noexcept {
  return surface != nullptr ? surface->info : SysSurfaceInfo{};
}

void sys_set_caption(const char* title, const char* icon) noexcept {
  machine.caption = title != nullptr ? title : "";
  machine.icon = icon != nullptr ? icon : "";
}

void sys_lock_surface(SysSurface* surface) noexcept {
  if (surface != nullptr) ++surface->locks;
}

void sys_unlock_surface(SysSurface* surface) noexcept {
  if (surface != nullptr && surface->locks > 0) --surface->locks;
}

void sys_flip(SysSurface* surface) noexcept { end_of_present(surface, true); }

void sys_update_rect(SysSurface* surface, std::int32_t, std::int32_t, std::int32_t, std::int32_t) noexcept {
  end_of_present(surface, false);
}

void sys_blit_xrgb(SysSurface* surface, const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                   std::int32_t pitch) noexcept {
  // Like the real system, a blit onto a locked surface fails.
  if (surface == nullptr || pixels == nullptr || surface->locks != 0 || pitch < 0) return;
  const std::int32_t w = std::min(width, surface->info.width);
  const std::int32_t h = std::min(height, surface->info.height);
  const std::size_t row_words = static_cast<std::size_t>(pitch) / 4;
  for (std::int32_t y = 0; y < h; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * row_words;
    for (std::int32_t x = 0; x < w; ++x) store_pixel(surface, x, y, row[x]);
  }
}

const char* sys_video_error() noexcept { return machine.video_error; }

// ---- events and time ------------------------------------------------------------------------

// Nothing to catch: stop signals arrive only when a test schedules one.
void sys_catch_stop_signals() noexcept {}
int sys_stop_signal() noexcept { return machine.stop_signal; }

bool sys_poll_event(SysEvent* event) noexcept {
  if (machine.queue.empty()) return false;
  *event = machine.queue.front();
  machine.queue.pop_front();
  return true;
}

std::uint32_t sys_get_ticks() noexcept {
  ++machine.clock_reads;
  return machine.ticks;
}

void sys_delay(std::uint32_t ms) noexcept {
  machine.ticks += ms;
  machine.delay_ms += ms;
}

// ---- init and audio -------------------------------------------------------------------------

int sys_init(std::uint32_t) noexcept { return 0; }

int sys_open_audio(const SysAudioSpec* spec) noexcept {
  std::lock_guard<std::recursive_mutex> guard(audio.lock);
  if (audio.refuse || audio.open || spec == nullptr || spec->callback == nullptr) return -1;
  audio.spec = *spec;
  audio.open = true;
  audio.paused = true;  // a freshly opened device stays silent until unpaused
  audio.buffered.clear();
  audio.played = 0;
  return 0;
}

void sys_pause_audio(int pause_on) noexcept {
  std::lock_guard<std::recursive_mutex> guard(audio.lock);
  audio.paused = pause_on != 0;
}

void sys_lock_audio() noexcept { audio.lock.lock(); }
void sys_unlock_audio() noexcept { audio.lock.unlock(); }
void sys_close_audio() noexcept { close_audio_device(); }

// ---- controls -------------------------------------------------------------------------------

void headless_reset() noexcept {
  machine.surface.reset();
  machine = Machine{};
  close_audio_device();
  audio.refuse = false;
}

void headless_set_format(const HeadlessFormat& format) noexcept { machine.format = format; }

void headless_refuse_video(const char* reason) noexcept {
  machine.refusing = reason != nullptr;
  machine.refusal = reason != nullptr ? reason : "";
}

void headless_refuse_audio(bool refuse) noexcept {
  std::lock_guard<std::recursive_mutex> guard(audio.lock);
  audio.refuse = refuse;
}

void headless_set_present_ms(std::uint32_t ms) noexcept { machine.present_ms = ms; }
void headless_set_ticks(std::uint32_t ms) noexcept { machine.ticks = ms; }

void headless_set_present_hook(HeadlessPresentHook hook, void* user_data) noexcept {
  machine.hook = hook;
  machine.hook_data = user_data;
}

void headless_queue_event(std::int32_t type, std::int32_t sym) noexcept {
  machine.queue.push_back({type, sym});
}

void headless_schedule_event(std::uint32_t after_present, std::int32_t type, std::int32_t sym) noexcept {
  const SysEvent event{type, sym};
  if (after_present < machine.presents) {
    machine.queue.push_back(event);
    return;
  }
  auto later = std::find_if(machine.scheduled.begin(), machine.scheduled.end(),
                            [after_present](const Scheduled& s) { return s.after_present > after_present; });
  machine.scheduled.insert(later, Scheduled{after_present, event});
}

void headless_schedule_stop_signal(std::uint32_t after_present, int signal) noexcept {
  machine.signal_after = after_present;
  machine.signal = signal;
}

std::uint32_t headless_presents() noexcept { return machine.presents; }
SysSurface* headless_surface() noexcept { return machine.surface.get(); }
std::uint32_t headless_last_video_flags() noexcept { return machine.last_flags; }
const char* headless_caption() noexcept { return machine.caption.c_str(); }
const char* headless_icon_caption() noexcept { return machine.icon.c_str(); }

bool headless_read_xrgb(std::uint32_t* out, std::int32_t count) noexcept {
  SysSurface* surface = machine.surface.get();
  if (surface == nullptr || out == nullptr) return false;
  const SysSurfaceInfo& info = surface->info;
  if (count < info.width * info.height) return false;
  const bool stored_as_read = info.bits_per_pixel == 32 && info.red_mask == 0xFF0000 &&
                              info.green_mask == 0x00FF00 && info.blue_mask == 0x0000FF;
  for (std::int32_t y = 0; y < info.height; ++y) {
    if (stored_as_read) {
      std::memcpy(out + y * info.width, pixel_at(surface, 0, y), static_cast<std::size_t>(info.width) * 4);
      continue;
    }
    for (std::int32_t x = 0; x < info.width; ++x) out[y * info.width + x] = load_pixel(surface, x, y);
  }
  return true;
}

void headless_play_audio(std::uint8_t* out, std::int32_t frames) noexcept {
  if (out == nullptr || frames <= 0) return;
  std::lock_guard<std::recursive_mutex> guard(audio.lock);
  const std::size_t wanted = static_cast<std::size_t>(frames) * 2;
  while (audio.buffered.size() - audio.played < wanted) {
    const std::size_t start = audio.buffered.size();
    audio.buffered.resize(start + headless_audio_block_bytes, 0);
    if (audio.open && !audio.paused) {
      audio.spec.callback(audio.spec.user_data, audio.buffered.data() + start, headless_audio_block_bytes);
    }
  }
  std::memcpy(out, audio.buffered.data() + audio.played, wanted);
  audio.played += wanted;
  if (audio.played >= 4 * headless_audio_block_bytes) {
    audio.buffered.erase(audio.buffered.begin(),
                         audio.buffered.begin() + static_cast<std::ptrdiff_t>(audio.played));
    audio.played = 0;
  }
}

bool headless_audio_is_open() noexcept {
  std::lock_guard<std::recursive_mutex> guard(audio.lock);
  return audio.open;
}

bool headless_audio_is_paused() noexcept {
  std::lock_guard<std::recursive_mutex> guard(audio.lock);
  return audio.paused;
}

}  // namespace novu
