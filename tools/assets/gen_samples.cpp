// Writes assets/samples/00.wav .. 15.wav: the music's sixteen percussive hits, each a quarter of a
// second (11025 values) of mono 16-bit 44100 Hz PCM in a canonical 44-byte WAV header. Every hit is
// synthesised (drum_synth.hpp) and then scaled to the levels the music was balanced with: one side
// of the waveform meets its level, the other follows from the drum's own shape.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "asset_file.hpp"
#include "drum_synth.hpp"

namespace {

using novu::drums::Drum;
using novu::drums::NoiseBand;
using novu::drums::Pass;

constexpr int hit_length = 11025;

struct Hit {
  int lowest;   // the level of the loudest negative value
  int highest;  // the level of the loudest positive value
  Drum drum;
};

// The cymbals' square waves: six pitches with no simple ratios between them ring metallic.
constexpr std::array<double, 6> cymbal_hz = {205, 304, 369, 522, 540, 800};

// Partials are {level, start Hz, end Hz, glide ms, decay ms}. Seeds were picked among takes that
// differ only in their noise, for the take whose two sides come closest to their levels.
// clang-format off
const Hit hits[16] = {
  // 00 Deep kick: a low body dropping from a zap, a beater thud, a softly ringing head
  {-28972, 11524,
   {.partials = {{-1.0, 900, 62, 10, 50}, {-0.09, 200, 200, 1, 300}},
    .click_level = -1.6, .click_ms = 3}},
  // 01 Conga: an open hand tone with a little slap
  {-6060, 6081,
   {.partials = {{1.0, 420, 330, 15, 70}, {0.25, 660, 660, 1, 30}},
    .noise = {.level = 0.15, .decay_ms = 8, .cutoff_hz = 2000, .resonance = 1},
    .attack_ms = 0.5, .seed = 2}},
  // 02 Snare: tuned body with bright wires
  {-15842, 19958,
   {.partials = {{1.0, 260, 185, 20, 60}, {0.5, 330, 330, 1, 40}},
    .noise = {.level = 1.5, .decay_ms = 70, .cutoff_hz = 3000},
    .click_level = 0.3, .click_ms = 2, .attack_ms = 0.5, .seed = 71}},
  // 03 Fat snare: deep body, darker wires
  {-26553, 30950,
   {.partials = {{1.0, 300, 200, 15, 70}},
    .noise = {.level = 1.3, .decay_ms = 75, .cutoff_hz = 2000},
    .click_level = 0.3, .click_ms = 2, .attack_ms = 0.5, .seed = 70}},
  // 04 Clap: four quick hand slaps and their room
  {-25984, 22416,
   {.noise = {.level = 1.0, .decay_ms = 65, .cutoff_hz = 900, .resonance = 4, .bursts = 4, .burst_gap_ms = 9},
    .seed = 194}},
  // 05 Mid tom
  {-10875, 12251,
   {.partials = {{1.0, 280, 185, 25, 80}, {0.2, 300, 280, 10, 40}},
    .click_level = 0.1, .click_ms = 2, .attack_ms = 0.5}},
  // 06 Crack snare: a hard hit, wires to the top
  {-32055, 32067,
   {.partials = {{1.0, 330, 220, 10, 50}},
    .noise = {.level = 1.3, .decay_ms = 80, .cutoff_hz = 3500},
    .seed = 57}},
  // 07 High tom
  {-20601, 27964,
   {.partials = {{1.0, 520, 385, 20, 75}},
    .click_level = 0.5, .click_ms = 2, .attack_ms = 0.5}},
  // 08 Boom: a padded beater thud over a long low ring
  {-1524, 19150,
   {.partials = {{0.082, 170, 166, 10, 300}},
    .click_level = 1.0, .click_ms = 6}},
  // 09 Half-open hi-hat
  {-12451, 12092,
   {.noise = {.level = 1.0, .decay_ms = 60, .pass = Pass::high, .cutoff_hz = 3000, .metal = 0.5,
              .metal_hz = cymbal_hz},
    .seed = 247}},
  // 10 Cymbal splash: short and bright
  {-12451, 12041,
   {.noise = {.level = 1.0, .decay_ms = 60, .cutoff_hz = 9000, .resonance = 0.5, .metal = 0.6,
              .metal_hz = cymbal_hz},
    .seed = 135}},
  // 11 Sub kick: a long, deep sine drop
  {-18480, 15897,
   {.partials = {{-1.0, 400, 62, 12, 70}},
    .click_level = -0.15, .click_ms = 2}},
  // 12 Bongo slap
  {-19964, 12880,
   {.partials = {{-1.0, 500, 350, 10, 60}},
    .noise = {.level = 0.2, .decay_ms = 5, .cutoff_hz = 3000, .resonance = 1},
    .click_level = -0.6, .click_ms = 1.5, .seed = 13}},
  // 13 Cowbell: two detuned square tones through a woody band
  {-21626, 23700,
   {.noise = {.level = 1.0, .decay_ms = 60, .cutoff_hz = 600, .resonance = 1.5, .metal = 1.0, .metal_hz = {540, 800}},
    .click_level = 0.75, .click_ms = 1}},
  // 14 Rimshot: stick on rim and head
  {-12254, 11153,
   {.partials = {{1.0, 500, 480, 5, 50}, {0.6, 1700, 1700, 1, 60}},
    .noise = {.level = 0.3, .decay_ms = 10, .cutoff_hz = 3000, .resonance = 1},
    .click_level = -0.4, .click_ms = 1, .seed = 13}},
  // 15 Soft clap: three slaps, a small room
  {-6127, 5637,
   {.noise = {.level = 1.0, .decay_ms = 60, .cutoff_hz = 1000, .resonance = 4, .bursts = 3, .burst_gap_ms = 10},
    .seed = 269}},
};
// clang-format on

// Scales the wave as loud as it goes without either side passing the hit's level for that side
// (so one side meets its level exactly), and rounds to 16-bit values: nothing is ever clipped.
std::vector<std::int16_t> to_pcm(const std::vector<double>& wave, const Hit& hit) {
  double lowest = -1e-9, highest = 1e-9;
  for (double v : wave) {
    lowest = v < lowest ? v : lowest;
    highest = v > highest ? v : highest;
  }
  const double down = hit.lowest / lowest, up = hit.highest / highest;
  const double scale = down < up ? down : up;
  std::vector<std::int16_t> pcm;
  for (double v : wave) pcm.push_back(static_cast<std::int16_t>(std::floor(v * scale + 0.5)));
  return pcm;
}

void put_le(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

void put_tag(std::string& out, const char* tag) { out.append(tag, 4); }

// The canonical 44-byte header: RIFF, "fmt " (PCM, mono, 44100 Hz, 16-bit), data.
std::string wav_bytes(const std::vector<std::int16_t>& pcm) {
  const std::uint32_t data_size = static_cast<std::uint32_t>(pcm.size() * 2);
  std::string out;
  put_tag(out, "RIFF");
  put_le(out, 36 + data_size, 4);
  put_tag(out, "WAVE");
  put_tag(out, "fmt ");
  put_le(out, 16, 4);
  put_le(out, 1, 2);                         // PCM
  put_le(out, 1, 2);                         // mono
  put_le(out, novu::drums::rate, 4);
  put_le(out, novu::drums::rate * 2, 4);     // bytes per second
  put_le(out, 2, 2);                         // bytes per frame
  put_le(out, 16, 2);                        // bits per value
  put_tag(out, "data");
  put_le(out, data_size, 4);
  for (std::int16_t v : pcm) put_le(out, static_cast<std::uint16_t>(v), 2);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen-samples <output folder>\n");
    return 2;
  }
  for (int i = 0; i < 16; ++i) {
    const auto wave = novu::drums::drum_render(hits[i].drum, hit_length);
    const std::string name = std::string(i < 10 ? "/0" : "/") + std::to_string(i) + ".wav";
    if (!novu::asset_write(argv[1] + name, wav_bytes(to_pcm(wave, hits[i])))) return 1;
  }
  return 0;
}
