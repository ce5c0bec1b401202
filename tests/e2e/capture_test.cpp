// demo-capture as its users see it: the command line, the files it writes, its exit statuses.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "capture_options.hpp"
#include "image/pnm.hpp"
#include "platform/system.hpp"
#include "sound/sample_bank.hpp"

namespace novu {
namespace {

namespace fs = std::filesystem;

std::string file_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `value` as `size` little-endian bytes.
std::string le_bytes(std::uint32_t value, int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

// The lines "<frame> <16 lowercase hex digits>" for frames 0 .. count - 1, and nothing else.
void expect_hash_lines(const std::string& text, std::uint32_t count) {
  std::istringstream lines(text);
  std::uint32_t frame = 0;
  for (std::string line; std::getline(lines, line); ++frame) {
    ASSERT_TRUE(std::regex_match(line, std::regex(std::to_string(frame) + " [0-9a-f]{16}"))) << line;
  }
  EXPECT_EQ(frame, count);
}

// Scripts and the events they queue: "F+S" a key-down of symbol S after present F, "F-S" its key-up.
TEST(CaptureKeys, ScriptsBecomePressesHeldFiveFramesWithReleasesFirst) {
  struct Case {
    const char* script;
    const char* events;
    bool quits;
  } cases[] = {
      {"3:q", "3+113 8-113", true},
      {"0:8,1:08,2:283", "0+56 1+8 2+283 5-56 6-8 7-283", true},
      {"10:space,10:esc", "10+32 10+27 15-32 15-27", true},
      {"7:,,9:Q", "7+44 9+81 12-44 14-81", true},
      {"5:c,0:a,0:b", "0+97 0+98 5-97 5-98 5+99 10-99", false},  // releases first, then presses
  };
  for (const Case& c : cases) {
    std::vector<CaptureEvent> events;
    bool quits = false;
    std::string error, seen;
    ASSERT_TRUE(capture_parse_keys(c.script, &events, &quits, &error)) << c.script << ": " << error;
    for (const CaptureEvent& e : events) {
      if (!seen.empty()) seen += ' ';
      seen += std::to_string(e.after_present);
      seen += e.type == sys_event_key_down ? "+" : e.type == sys_event_key_up ? "-" : "?";
      seen += std::to_string(e.sym);
    }
    EXPECT_EQ(seen, c.events) << c.script;
    EXPECT_EQ(quits, c.quits) << c.script;
  }
  std::vector<CaptureEvent> events;
  bool quits = false;
  std::string error;
  for (const char* script : {"", "q", "10:", ":q", "x:q", "10:qq", "10:q,", "-1:q", "10:\t", "10:spacebar",
                             "4294967291:q", "10:99999999999", "1 0:q"}) {
    EXPECT_FALSE(capture_parse_keys(script, &events, &quits, &error)) << '"' << script << '"';
  }
}

class CaptureRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  // Runs demo-capture and returns its exit status; `said` is what it wrote on standard output and
  // standard error.
  int capture(const std::string& arguments) {
    const std::string command = DEMO_CAPTURE " " + arguments + " >" + (dir / "said").string() + " 2>&1";
    const int status = std::system(command.c_str());
    said = file_text(dir / "said");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const fs::path dir = fs::temp_directory_path() / ("novu-capture-" + std::to_string(getpid()));
  std::string said;
};

TEST_F(CaptureRun, TheExitStatusAndTheReasonForIt) {
  struct Case {
    const char* arguments;
    int status;
    const char* mentions;
  } cases[] = {
      {"--help", 0, "Exit status"},
      {"--frames", 2, "--frames needs a value"}, {"--frames 0", 2, "--frames needs a whole number"},
      {"--frames 5 --frames 6", 2, "more than once"},
      {"--bogus", 2, "unknown option"}, {"--help=yes", 2, "unknown option"},
      {"--keys 10:x", 2, "nothing would end the run"}, {"--keys 10:", 2, "unknown key"},
      {"--frames 5 --from 2", 2, "--ppm"}, {"--frames 5 --ppm d --from 4 --to 3", 2, "--from is after --to"},
      {"--frames 3 --wav /dev/null/a.wav", 1, "cannot write the WAV file"},
      {"--frames 3 --hashes /dev/null/h.txt", 1, "cannot write the hash list"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(capture(c.arguments), c.status) << c.arguments;
    EXPECT_NE(said.find(c.mentions), std::string::npos) << c.arguments << " said: " << said;
  }
}

TEST_F(CaptureRun, ARunEndsAfterExactlyNFramesOrAQuitKeysFadeOutWithEveryOutputComplete) {
  EXPECT_EQ(capture("--keys 32:q --hashes -"), 0);
  expect_hash_lines(said, 32 + 1 + 32);  // fade-out, the frame with the key, the shutdown fade-out

  const fs::path hashes = dir / "h.txt", wav = dir / "a.wav", frames = dir / "frames";
  const std::string outputs = " --hashes " + hashes.string() + " --wav " + wav.string();
  EXPECT_EQ(capture("--frames 40 --keys 35:8 --from 37 --to 39 --ppm " + frames.string() + outputs), 0);
  expect_hash_lines(file_text(hashes), 40);
  const std::string sound = file_text(wav);
  const std::uint32_t data = 40 * 882 * 2;
  ASSERT_EQ(sound.size(), 44 + data);
  const std::string header = "RIFF" + le_bytes(36 + data, 4) + "WAVEfmt " + le_bytes(16, 4) + le_bytes(1, 2) +
                             le_bytes(1, 2) + le_bytes(44100, 4) + le_bytes(88200, 4) + le_bytes(2, 2) +
                             le_bytes(16, 2) + "data" + le_bytes(data, 4);
  EXPECT_EQ(sound.substr(0, 44), header);  // PCM, mono, 44100 Hz, 16-bit

  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(frames)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"frame-000037.ppm", "frame-000038.ppm", "frame-000039.ppm"}));
  Image* picture = img_read_pnm_file((frames / "frame-000038.ppm").c_str());
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width * picture->height, 256 * 256);
  img_destroy(&picture);
}

// The music as it reaches the speaker. The loop is first queued by the tail of the first frame of
// part one (present 32), right after the music's first event; further events follow every 300
// frames. The emulated device pulls 4096-frame blocks whenever fewer than 882 frames are
// buffered, so each event is heard from the first block pulled after its present on, and the
// loop plays back to back without a gap.
TEST_F(CaptureRun, TheStreamIsSilentUntilTheFirstFeedThenPlaysEachEventsLoop) {
  constexpr int presents = 700;
  ASSERT_EQ(capture("--frames " + std::to_string(presents) + " --wav " + (dir / "music.wav").string()), 0);
  const std::string bytes = file_text(dir / "music.wav");
  ASSERT_EQ(bytes.size(), 44u + presents * 882 * 2);
  const auto* sample = reinterpret_cast<const std::uint8_t*>(bytes.data()) + 44;  // little-endian
  std::vector<std::int16_t> stream(presents * 882);
  for (std::size_t i = 0; i < stream.size(); ++i) {
    stream[i] = static_cast<std::int16_t>(sample[2 * i] | sample[2 * i + 1] << 8);
  }

  // Where in the stream the first block pulled after each present begins.
  std::vector<std::size_t> heard_from(presents, stream.size());
  std::size_t consumed = 0, buffered = 0;
  int waiting = 0;  // presents before this one whose next block has not been pulled yet
  for (int present = 0; present < presents; ++present) {
    for (; buffered < 882; buffered += 4096) {
      for (; waiting < present; ++waiting) heard_from[waiting] = consumed + buffered;
    }
    consumed += 882;
    buffered -= 882;
  }

  // Nothing but the program's start draws random numbers before these events.
  std::srand(0xface5718);
  std::vector<std::int32_t> loop(40000, 0);
  auto event = [&loop] {
    const Sample& hit = sample_bank.samples[std::rand() % sample_bank.count];
    const int a = std::rand() % 2, b = std::rand() % 2, c = std::rand() % 2, d = std::rand() % 2;
    const int offset = 2500 * (2 * a + b + 8 * c + 4 * d);
    std::vector<std::int32_t> placed(40000, 0);
    for (int i = 0; i < hit.length; ++i) placed[(offset + i) % 40000] = hit.values[i];
    for (int i = 0; i < 40000; ++i) loop[i] = (3 * loop[i] + placed[i]) >> 2;
  };

  const std::size_t first_feed = heard_from[32];
  for (std::size_t at = 0; at < first_feed; ++at) ASSERT_EQ(stream[at], 0) << "sample " << at;
  for (int present = 32; present < presents; present += 300) {
    const std::vector<std::int32_t> before = loop;
    event();
    EXPECT_NE(loop, before) << "the event after present " << present << " changed nothing";
    const std::size_t until = present + 300 < presents ? heard_from[present + 300] : stream.size();
    for (std::size_t at = heard_from[present]; at < until; ++at) {
      ASSERT_EQ(stream[at], loop[(at - first_feed) % 40000]) << "sample " << at;
    }
  }
}

}  // namespace
}  // namespace novu
