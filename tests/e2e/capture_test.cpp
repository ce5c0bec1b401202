// demo-capture as its users see it: the command line, the files it writes, its exit statuses.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// How many lines `text` has when each reads "<frame> <16 lowercase hex digits>" with the frames
// numbered from 0; -1 when any line does not.
int hash_lines(const std::string& text) {
  std::istringstream lines(text);
  int frame = 0;
  for (std::string line; std::getline(lines, line); ++frame) {
    const std::string head = std::to_string(frame) + ' ';
    const bool hex = line.find_first_not_of("0123456789abcdef", head.size()) == std::string::npos;
    if (!line.starts_with(head) || line.size() != head.size() + 16 || !hex) return -1;
  }
  return frame;
}

// Scripts and the events they queue: "F+S" a key-down of symbol S after present F, "F-S" its key-up.
TEST(CaptureKeys, ScriptsBecomePressesHeldFiveFramesWithReleasesFirst) {
  struct {
    const char *script, *events;
    bool quits;
  } cases[] = {
      {"0:8,1:08,2:283", "0+56 1+8 2+283 5-56 6-8 7-283", true},
      {"7:,,9:Q,9:space,9:esc", "7+44 9+81 9+32 9+27 12-44 14-81 14-32 14-27", true},
      {"5:c,0:a,0:b", "0+97 0+98 5-97 5-98 5+99 10-99", false},  // releases first, then presses
  };
  for (const auto& c : cases) {
    std::vector<CaptureEvent> events;
    bool quits = false;
    std::string error, seen;
    ASSERT_TRUE(capture_parse_keys(c.script, &events, &quits, &error)) << c.script << ": " << error;
    for (const CaptureEvent& e : events) {
      const char* kind = e.type == sys_event_key_down ? "+" : e.type == sys_event_key_up ? "-" : "?";
      if (!seen.empty()) seen += ' ';
      seen += std::to_string(e.after_present) + kind + std::to_string(e.sym);
    }
    EXPECT_EQ(seen, c.events) << c.script;
    EXPECT_EQ(quits, c.quits) << c.script;
  }
}

class CaptureRun : public ::testing::Test {
 protected:
  void TearDown() override { fs::remove_all(dir); }
  // demo-capture's exit status; `said` is what it wrote on standard output and standard error.
  int capture(const std::string& arguments) {
    fs::create_directories(dir);
    const int status = std::system((DEMO_CAPTURE " " + arguments + " >" + (dir / "said").string() + " 2>&1").c_str());
    said = file_text(dir / "said");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const fs::path dir = fs::temp_directory_path() / ("novu-capture-" + std::to_string(getpid()));
  std::string said;
};

TEST_F(CaptureRun, TheExitStatusAndTheReasonForIt) {
  struct {
    const char* arguments;
    int status;
    const char* mentions;
  } cases[] = {
      {"--help", 0, "Exit status"}, {"--bogus", 2, "unknown option"},
      {"--frames 0", 2, "--frames needs a whole number"},
      {"--frames 5 --ppm d --from 4 --to 3", 2, "--from is after --to"},
      {"--keys 10:x", 2, "nothing would end the run"}, {"--keys x:q", 2, "expected a frame number"},
      {"--keys 10:qq", 2, "unknown key"}, {"--keys 10:q,", 2, "ends with a comma"},
      // The release would come after present 2^32; should the script pass, --frames ends the run.
      {"--frames 1 --keys 4294967291:q", 2, "too large"},
      {"--frames 3 --wav /dev/null/a.wav", 1, "cannot write the WAV file"},
      {"--frames 3 --hashes /dev/null/h.txt", 1, "cannot write the hash list"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capture(c.arguments), c.status) << c.arguments;
    EXPECT_NE(said.find(c.mentions), std::string::npos) << c.arguments << " said: " << said;
  }
}

TEST_F(CaptureRun, ARunEndsAfterExactlyNFramesOrAQuitKeysFadeOutWithEveryOutputComplete) {
  EXPECT_EQ(capture("--keys 32:q --hashes -"), 0);
  EXPECT_EQ(hash_lines(said), 32 + 1 + 32);  // fade-out, the frame with the key, the shutdown fade-out
  const std::string quit_run = said;

  const fs::path hashes = dir / "h.txt", frames = dir / "frames";
  const std::string outputs = " --hashes " + hashes.string() + " --ppm " + frames.string();
  EXPECT_EQ(capture("--frames 40 --keys 32:q --from 37 --to 39" + outputs), 0);
  const std::string listed = file_text(hashes);
  EXPECT_EQ(hash_lines(listed), 40);
  EXPECT_EQ(listed, quit_run.substr(0, listed.size())) << "the same keys give the same frames";
  EXPECT_EQ(std::distance(fs::directory_iterator(frames), fs::directory_iterator()), 3);
  for (const char* name : {"frame-000037.ppm", "frame-000038.ppm", "frame-000039.ppm"}) {
    Image* picture = img_read_pnm_file((frames / name).c_str());
    EXPECT_TRUE(picture != nullptr && picture->width == 256 && picture->height == 256) << name;
    img_destroy(&picture);
  }
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
  const std::uint32_t data = presents * 882 * 2;
  ASSERT_EQ(bytes.size(), 44 + data);
  auto le_bytes = [](std::uint32_t value, int size) {
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
  };
  const std::string header = "RIFF" + le_bytes(36 + data, 4) + "WAVEfmt " + le_bytes(16, 4) + le_bytes(1, 2) +
                             le_bytes(1, 2) + le_bytes(44100, 4) + le_bytes(88200, 4) + le_bytes(2, 2) +
                             le_bytes(16, 2) + "data" + le_bytes(data, 4);
  EXPECT_EQ(bytes.substr(0, 44), header);  // PCM, mono, 44100 Hz, 16-bit
  const auto* sample = reinterpret_cast<const std::uint8_t*>(bytes.data()) + 44;  // little-endian
  std::vector<std::int16_t> stream(presents * 882);
  for (std::size_t i = 0; i < stream.size(); ++i)
    stream[i] = static_cast<std::int16_t>(sample[2 * i] | sample[2 * i + 1] << 8);

  // Where in the stream the first block pulled after each present begins.
  std::vector<std::size_t> heard_from(presents, stream.size());
  std::size_t consumed = 0, buffered = 0;
  int waiting = 0;  // presents before this one whose next block has not been pulled yet
  for (int present = 0; present < presents; ++present) {
    for (; buffered < 882; buffered += 4096)
      for (; waiting < present; ++waiting) heard_from[waiting] = consumed + buffered;
    consumed += 882;
    buffered -= 882;
  }

  // Each event mixes one of the 16 hits, placed at one of 16 offsets 2500 apart, into the
  // decayed loop. Which ones, rand() decides among the effects' own draws; the test finds them:
  // one candidate must give exactly the loop heard from the event on.
  const std::size_t first_feed = heard_from[32];
  for (std::size_t at = 0; at < first_feed; ++at) ASSERT_EQ(stream[at], 0) << "sample " << at;
  std::vector<std::int32_t> loop(40000, 0);
  auto heard = [&](const std::vector<std::int32_t>& candidate, std::size_t from, std::size_t until) {
    for (std::size_t at = from; at < until; ++at)
      if (stream[at] != candidate[(at - first_feed) % 40000]) return false;
    return true;
  };
  for (int present = 32; present < presents; present += 300) {
    const std::size_t from = heard_from[present];
    const std::size_t until = present + 300 < presents ? heard_from[present + 300] : stream.size();
    bool found = false;
    for (int tried = 0; tried < 16 * sample_bank.count && !found; ++tried) {  // each hit at each place
      const Sample& hit = sample_bank.samples[tried / 16];
      std::vector<std::int32_t> placed(40000, 0), candidate(40000);
      for (int i = 0; i < hit.length; ++i) placed[(2500 * (tried % 16) + i) % 40000] = hit.values[i];
      for (int i = 0; i < 40000; ++i) candidate[i] = (3 * loop[i] + placed[i]) >> 2;
      if (candidate != loop && heard(candidate, from, std::min(until, from + 40000))) {
        found = heard(candidate, from, until);
        loop = candidate;
      }
    }
    EXPECT_TRUE(found) << "no hit and place give what was heard after present " << present;
  }
}

}  // namespace
}  // namespace novu
