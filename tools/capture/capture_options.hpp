#pragma once
// demo-capture's command line: what to run, which keys to press when, and what to write.

#include <cstdint>
#include <string>
#include <vector>

namespace novu {

inline constexpr std::uint32_t capture_key_hold = 5;  // presents between a key's press and release

struct CaptureEvent {
  std::uint32_t after_present;
  std::int32_t type;  // sys_event_key_down or sys_event_key_up
  std::int32_t sym;
};

struct CaptureOptions {
  bool help = false;
  bool has_frame_limit = false;
  std::uint32_t frame_limit = 0;
  std::vector<CaptureEvent> events;  // in the order they are to be queued
  bool presses_quit = false;         // the script holds a key that ends the demo
  std::string hashes_path;           // "-" is standard output
  std::string wav_path;
  std::string ppm_dir;
  std::uint32_t ppm_from = 0;
  std::uint32_t ppm_to = UINT32_MAX;
};

// Key-downs after present F, key-ups after F + capture_key_hold; where both fall after the same
// present the key-ups come first, then the key-downs, each in script order.
bool capture_parse_keys(const char* script, std::vector<CaptureEvent>* events, bool* presses_quit,
                        std::string* error);
// False with a one-line reason for the user when the arguments make no sense.
bool capture_parse(int argc, const char* const* argv, CaptureOptions* options, std::string* error);

extern const char capture_usage[];

}  // namespace novu
