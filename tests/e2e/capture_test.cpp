// demo-capture as its users see it: the command line, the files it writes, its exit statuses.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
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

struct Result {
  int status;
  std::string out;
};

// Runs demo-capture with the given arguments (a shell word list); standard error is dropped
// unless `with_errors`, then it is captured along with standard output.
Result capture(const std::string& arguments, bool with_errors = false) {
  const std::string command =
      std::string(DEMO_CAPTURE) + " " + arguments + (with_errors ? " 2>&1" : " 2>/dev/null");
  Result result{-1, ""};
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<std::uint8_t> file_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

class CaptureRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("novu-capture-" + std::to_string(getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST(CaptureKeys, ScriptsBecomePressesHeldFiveFrames) {
  constexpr std::int32_t D = sys_event_key_down;
  constexpr std::int32_t U = sys_event_key_up;
  struct Case {
    const char* script;
    std::vector<CaptureEvent> events;
    bool quits;
  } cases[] = {
      {"3:q", {{3, D, 'q'}, {8, U, 'q'}}, true},
      {"0:8,1:08", {{0, D, '8'}, {1, D, 8}, {5, U, '8'}, {6, U, 8}}, false},
      {"10:space,10:esc", {{10, D, 32}, {10, D, 27}, {15, U, 32}, {15, U, 27}}, true},
      {"7:283", {{7, D, 283}, {12, U, 283}}, true},
      {"7:,", {{7, D, ','}, {12, U, ','}}, false},
      {"7:,,9:Q", {{7, D, ','}, {9, D, 'Q'}, {12, U, ','}, {14, U, 'Q'}}, true},
      // Where a release and a press fall after the same frame, releases come first.
      {"5:b,0:a", {{0, D, 'a'}, {5, U, 'a'}, {5, D, 'b'}, {10, U, 'b'}}, false},
      {"0:a,0:b,5:c", {{0, D, 'a'}, {0, D, 'b'}, {5, U, 'a'}, {5, U, 'b'}, {5, D, 'c'}, {10, U, 'c'}}, false},
  };
  for (const Case& c : cases) {
    std::vector<CaptureEvent> events;
    bool quits = false;
    std::string error;
    ASSERT_TRUE(capture_parse_keys(c.script, &events, &quits, &error)) << c.script << ": " << error;
    ASSERT_EQ(events.size(), c.events.size()) << c.script;
    for (std::size_t i = 0; i < events.size(); ++i) {
      EXPECT_EQ(events[i].after_present, c.events[i].after_present) << c.script << " #" << i;
      EXPECT_EQ(events[i].type, c.events[i].type) << c.script << " #" << i;
      EXPECT_EQ(events[i].sym, c.events[i].sym) << c.script << " #" << i;
    }
    EXPECT_EQ(quits, c.quits) << c.script;
  }
}

TEST(CaptureKeys, MalformedScriptsAreRejected) {
  for (const char* script : {"", "q", "10", "10:", ":q", "x:q", "10:qq", "10:ab,20:q", "10:q,", "10:q,,",
                             "-1:q", "10:\t", "10:spacebar", "4294967291:q", "10:99999999999", "1 0:q"}) {
    std::vector<CaptureEvent> events;
    bool quits = false;
    std::string error;
    EXPECT_FALSE(capture_parse_keys(script, &events, &quits, &error)) << '"' << script << '"';
    EXPECT_FALSE(error.empty()) << script;
  }
}

TEST(CaptureCommandLine, BadUsageSaysWhyAndExitsWithTwo) {
  struct Case {
    const char* arguments;
    const char* mentions;
  } cases[] = {
      {"--frames", "--frames needs a value"},
      {"--frames 0", "--frames"},
      {"--frames ten", "--frames"},
      {"--frames=-3", "--frames"},
      {"--frames 5 --frames 6", "more than once"},
      {"--bogus", "unknown option"},
      {"frames", "unknown option"},
      {"--keys 10:x", "nothing would end the run"},
      {"--keys 10:", "unknown key"},
      {"--frames 5 --from 2", "--ppm"},
      {"--frames 5 --ppm d --from 4 --to 3", "--from is after --to"},
      {"--frames 5 --to x --ppm d", "--to"},
      {"--help=yes", "unknown option"},
  };
  for (const Case& c : cases) {
    const Result r = capture(c.arguments, true);
    EXPECT_EQ(r.status, 2) << c.arguments;
    EXPECT_NE(r.out.find(c.mentions), std::string::npos) << c.arguments << " said: " << r.out;
    EXPECT_NE(r.out.find("--help"), std::string::npos) << c.arguments;
  }
}

TEST(CaptureCommandLine, HelpDescribesEveryOption) {
  const Result r = capture("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* option :
       {"--frames", "--keys", "--hashes", "--wav", "--ppm", "--from", "--to", "Exit status"}) {
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  }
}

TEST_F(CaptureRun, AQuitKeyEndsTheRunAfterTheFadeOut) {
  const Result r = capture("--keys 32:q --hashes -");
  EXPECT_EQ(r.status, 0);
  const std::regex line("([0-9]+) ([0-9a-f]{16})");
  std::istringstream lines(r.out);
  std::string text;
  std::uint32_t expected = 0;
  while (std::getline(lines, text)) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    EXPECT_EQ(std::stoul(m[1]), expected++);
  }
  EXPECT_EQ(expected, 32u + 1 + 32);  // fade-out, the frame with the key, the shutdown fade-out
}

TEST_F(CaptureRun, FramesStopsAfterExactlyThatManyAndEveryOutputIsComplete) {
  const fs::path hashes = dir / "h.txt";
  const fs::path wav = dir / "a.wav";
  const fs::path frames = dir / "frames";
  const Result r = capture("--frames 40 --keys 35:8 --hashes " + hashes.string() + " --wav " + wav.string() +
                           " --ppm " + frames.string() + " --from 37 --to 39");
  EXPECT_EQ(r.status, 0);

  std::ifstream list(hashes);
  std::string last;
  int lines = 0;
  for (std::string text; std::getline(list, text); ++lines) last = text;
  EXPECT_EQ(lines, 40);
  EXPECT_EQ(last.substr(0, 3), "39 ");

  const std::vector<std::uint8_t> sound = file_bytes(wav);
  const std::uint32_t data = 40 * 882 * 2;
  ASSERT_EQ(sound.size(), 44 + data);
  EXPECT_EQ(std::string(sound.begin(), sound.begin() + 4), "RIFF");
  EXPECT_EQ(le32(sound, 4), 36 + data);
  EXPECT_EQ(std::string(sound.begin() + 8, sound.begin() + 16), "WAVEfmt ");
  struct Field {
    std::size_t at;
    std::uint32_t value;
  } fields[] = {{16, 16}, {20, 1 | 1 << 16}, {24, 44100}, {28, 88200}, {32, 2 | 16 << 16}, {40, data}};
  for (const Field& f : fields) EXPECT_EQ(le32(sound, f.at), f.value) << "byte " << f.at;
  EXPECT_EQ(std::string(sound.begin() + 36, sound.begin() + 40), "data");

  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(frames)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"frame-000037.ppm", "frame-000038.ppm", "frame-000039.ppm"}));
  Image* picture = img_read_pnm_file((frames / "frame-000038.ppm").c_str());
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width, 256);
  EXPECT_EQ(picture->height, 256);
  img_destroy(&picture);
}

// The music as it reaches the speaker. The loop is first queued by the tail of the first frame of
// part one (present 32), right after the music's first event; further events follow every 300
// frames. The emulated device pulls 4096-frame blocks whenever fewer than 882 frames are
// buffered, so each event is heard from the first block pulled after its present on, and the
// loop plays back to back without a gap.
TEST_F(CaptureRun, TheStreamIsSilentUntilTheFirstFeedThenPlaysEachEventsLoop) {
  constexpr int presents = 700;
  const fs::path wav = dir / "music.wav";
  ASSERT_EQ(capture("--frames " + std::to_string(presents) + " --wav " + wav.string()).status, 0);
  const std::vector<std::uint8_t> bytes = file_bytes(wav);
  ASSERT_EQ(bytes.size(), 44u + presents * 882 * 2);
  std::vector<std::int32_t> stream;
  for (std::size_t at = 44; at + 1 < bytes.size(); at += 2) {
    stream.push_back(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8));
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

TEST_F(CaptureRun, AnUnwritableOutputFailsWithOne) {
  for (const std::string& arguments : {"--frames 3 --wav " + (dir / "missing" / "a.wav").string(),
                                       "--frames 3 --hashes " + (dir / "missing" / "h.txt").string()}) {
    const Result r = capture(arguments, true);
    EXPECT_EQ(r.status, 1) << arguments;
    EXPECT_NE(r.out.find("cannot write"), std::string::npos) << r.out;
  }
}

}  // namespace
}  // namespace novu
