#pragma once
// A small percussion synthesiser: every hit is a mix of gliding sine partials (the drum's body and
// shell modes), a filtered noise or metal band (wires, hands, cymbals) and a beater click, under
// exponential envelopes. Rendering uses only exact_math.hpp, so it repeats bit for bit.

#include <array>
#include <cstdint>
#include <vector>

namespace novu::drums {

inline constexpr int rate = 44100;

// A sine whose pitch glides exponentially from start_hz to end_hz while its level decays.
struct Partial {
  double level;  // signed: the sign chooses the polarity of the first lobe
  double start_hz;
  double end_hz;
  double glide_ms;  // time constant of the glide
  double decay_ms;  // time constant of the level
};

enum class Pass { band, high };

// Noise (white, or square waves at fixed pitches: "metal") through a resonant filter. With
// bursts > 1 the band restarts that many times, burst_gap_ms apart, before its long decay: a clap.
struct NoiseBand {
  double level = 0.0;
  double decay_ms = 0.0;
  Pass pass = Pass::band;
  double cutoff_hz = 1000.0;
  double resonance = 0.7;  // the filter's Q
  double metal = 0.0;      // share of the metal in the source; the rest is white noise
  std::array<double, 6> metal_hz = {};  // unused pitches are 0
  int bursts = 1;
  double burst_gap_ms = 0.0;
};

struct Drum {
  Partial partials[3] = {};  // unused ones have level 0
  NoiseBand noise = {};
  double click_level = 0.0;  // a raised-cosine beater pulse at the start, signed
  double click_ms = 0.0;
  double attack_ms = 0.3;  // the mix fades in over this time, so the hit starts from 0
  std::uint32_t seed = 1;  // of the white noise, non-zero
};

// The hit's waveform (at no particular scale), n values long, faded to 0 over its last 20 ms so
// that it stops without a click.
std::vector<double> drum_render(const Drum& drum, int n);

}  // namespace novu::drums
