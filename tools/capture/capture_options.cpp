#include "capture_options.hpp"

#include <algorithm>
#include <cstring>

#include "platform/system.hpp"

namespace novu {

const char capture_usage[] =
    "Usage: demo-capture [OPTION]...\n"
    "Runs the demo without a screen, on a virtual clock (every frame is 20 ms), and writes what\n"
    "it shows and plays. Every run with the same options gives the same output.\n"
    "\n"
    "  --frames N      stop after exactly N frames (presents, fade-out frames included)\n"
    "  --keys F:K,...  press key K after frame F and release it 5 frames later; K is one\n"
    "                  printable character, space, esc, or a decimal key symbol of two or more\n"
    "                  digits (283 is F2; write the symbol 8 as 08)\n"
    "  --hashes FILE   one line per frame, \"<frame> <FNV-1a 64 of its pixels in hex>\";\n"
    "                  - writes them to standard output\n"
    "  --wav FILE      the sound, as a mono 44100 Hz 16-bit WAV file\n"
    "  --ppm DIR       frames as DIR/frame-NNNNNN.ppm (binary PPM)\n"
    "  --from A        with --ppm: the first frame to write (default 0)\n"
    "  --to B          with --ppm: the last frame to write (default: every frame)\n"
    "  --help          show this text\n"
    "\n"
    "Frames are numbered from 0. Without --frames the run ends when a quit key (q, Q, esc, F2)\n"
    "has acted and the 32-frame fade-out is done.\n"
    "Exit status: 0 done, 1 an output could not be written, 2 bad usage.\n";

namespace {

// Plain decimal digits only, within 32 bits.
bool parse_count(const char* text, std::size_t length, std::uint32_t* value) noexcept {
  if (length == 0) return false;
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (v > UINT32_MAX) return false;
  }
  *value = static_cast<std::uint32_t>(v);
  return true;
}

// Escape, q and Q quit; so does any symbol with one of their codes in its low byte (F2 is 283).
bool quits(std::int32_t sym) noexcept {
  const std::int32_t low = sym & 0xFF;
  return low == 27 || low == 'q' || low == 'Q';
}

bool parse_key(const char* text, std::size_t length, std::int32_t* sym) noexcept {
  if (length == 5 && std::strncmp(text, "space", 5) == 0) {
    *sym = ' ';
    return true;
  }
  if (length == 3 && std::strncmp(text, "esc", 3) == 0) {
    *sym = 27;
    return true;
  }
  if (length == 1) {
    const unsigned char c = static_cast<unsigned char>(text[0]);
    if (c <= ' ' || c > '~') return false;
    *sym = c;
    return true;
  }
  std::uint32_t value = 0;
  if (!parse_count(text, length, &value) || value > INT32_MAX) return false;
  *sym = static_cast<std::int32_t>(value);
  return true;
}

struct ScriptEvent {
  CaptureEvent event;
  int release_first;  // 0 for key-ups, so they sort before the key-downs of the same present
};

}  // namespace

bool capture_parse_keys(const char* script, std::vector<CaptureEvent>* events, bool* presses_quit,
                        std::string* error) {
  std::vector<ScriptEvent> found;
  const char* p = script;
  if (*p == '\0') {
    *error = "--keys needs at least one F:K entry";
    return false;
  }
  while (*p != '\0') {
    const char* colon = std::strchr(p, ':');
    std::uint32_t frame = 0;
    if (colon == nullptr || !parse_count(p, static_cast<std::size_t>(colon - p), &frame)) {
      *error = std::string("--keys: expected a frame number and ':' at \"") + p + "\"";
      return false;
    }
    if (frame > UINT32_MAX - capture_key_hold) {
      *error = std::string("--keys: frame number too large at \"") + p + "\"";
      return false;
    }
    const char* key = colon + 1;
    // A single character may itself be a comma, so an entry ends at the first comma after it.
    const char* end = *key == '\0' ? key : std::strchr(key + 1, ',');
    if (end == nullptr) end = key + std::strlen(key);
    std::int32_t sym = 0;
    if (!parse_key(key, static_cast<std::size_t>(end - key), &sym)) {
      *error = "--keys: unknown key \"" + std::string(key, end) +
               "\" (one printable character, space, esc, or a symbol of two or more digits)";
      return false;
    }
    found.push_back({{frame, sys_event_key_down, sym}, 1});
    found.push_back({{frame + capture_key_hold, sys_event_key_up, sym}, 0});
    if (quits(sym)) *presses_quit = true;
    p = *end == ',' ? end + 1 : end;
    if (*end == ',' && *p == '\0') {
      *error = "--keys: the list ends with a comma";
      return false;
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const ScriptEvent& a, const ScriptEvent& b) {
    if (a.event.after_present != b.event.after_present) return a.event.after_present < b.event.after_present;
    return a.release_first < b.release_first;
  });
  for (const ScriptEvent& s : found) events->push_back(s.event);
  return true;
}

bool capture_parse(int argc, const char* const* argv, CaptureOptions* options, std::string* error) {
  bool seen_from = false;
  bool seen_to = false;
  std::vector<std::string> seen;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    std::string value;
    bool has_value = false;
    const std::size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
      has_value = true;
    }
    if (name == "--help" && !has_value) {
      options->help = true;
      continue;
    }
    static const char* const valued[] = {"--frames", "--keys", "--hashes", "--wav",
                                         "--ppm",    "--from", "--to"};
    if (std::find_if(std::begin(valued), std::end(valued), [&](const char* v) { return name == v; }) ==
        std::end(valued)) {
      *error = "unknown option \"" + std::string(argv[i]) + "\"";
      return false;
    }
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
      *error = name + " is given more than once";
      return false;
    }
    seen.push_back(name);
    if (!has_value) {
      if (i + 1 >= argc) {
        *error = name + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (value.empty()) {
      *error = name + " needs a value";
      return false;
    }
    std::uint32_t number = 0;
    const bool numeric = parse_count(value.c_str(), value.size(), &number);
    if (name == "--frames") {
      if (!numeric || number == 0) {
        *error = "--frames needs a whole number of at least 1, not \"" + value + "\"";
        return false;
      }
      options->has_frame_limit = true;
      options->frame_limit = number;
    } else if (name == "--from" || name == "--to") {
      if (!numeric) {
        *error = name + " needs a frame number, not \"" + value + "\"";
        return false;
      }
      (name == "--from" ? options->ppm_from : options->ppm_to) = number;
      (name == "--from" ? seen_from : seen_to) = true;
    } else if (name == "--keys") {
      if (!capture_parse_keys(value.c_str(), &options->events, &options->presses_quit, error)) return false;
    } else if (name == "--hashes") {
      options->hashes_path = value;
    } else if (name == "--wav") {
      options->wav_path = value;
    } else {
      options->ppm_dir = value;
    }
  }
  if (options->help) return true;
  if ((seen_from || seen_to) && options->ppm_dir.empty()) {
    *error = "--from and --to choose the frames of --ppm, which is missing";
    return false;
  }
  if (options->ppm_from > options->ppm_to) {
    *error = "--from is after --to";
    return false;
  }
  if (!options->has_frame_limit && !options->presses_quit) {
    *error = "nothing would end the run: give --frames N, or a quit key (q, Q, esc, 283) in --keys";
    return false;
  }
  return true;
}

}  // namespace novu
