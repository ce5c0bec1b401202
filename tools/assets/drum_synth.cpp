#include "drum_synth.hpp"

#include "exact_math.hpp"

namespace novu::drums {
namespace {

using exact::exponential;

double decay(double t_ms, double time_constant_ms) {
  return time_constant_ms > 0.0 ? exponential(-t_ms / time_constant_ms) : 0.0;
}

// Zero-delay-feedback state-variable filter: stays stable up to the Nyquist frequency, which the
// cymbal bands need.
struct Filter {
  double a1, a2, a3, k, state1 = 0.0, state2 = 0.0;
  Pass pass;

  Filter(Pass pass_, double cutoff_hz, double resonance) : pass(pass_) {
    const double w = exact::pi * cutoff_hz / rate;
    const double g = exact::sine(w) / exact::cosine(w);
    k = 1.0 / resonance;
    a1 = 1.0 / (1.0 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
  }

  double step(double in) {
    const double v3 = in - state2;
    const double v1 = a1 * state1 + a2 * v3;
    const double v2 = state2 + a2 * state1 + a3 * v3;
    state1 = 2.0 * v1 - state1;
    state2 = 2.0 * v2 - state2;
    return pass == Pass::band ? v1 : in - k * v1 - v2;
  }
};

double noise_envelope(const NoiseBand& noise, double t_ms) {
  if (noise.bursts <= 1) return decay(t_ms, noise.decay_ms);
  // Every burst is a sharp slap that has nearly died when the next one comes; the last one
  // leaves the long ring of the room behind it at half its level.
  const double last_burst_ms = (noise.bursts - 1) * noise.burst_gap_ms;
  const double since = t_ms < last_burst_ms ? t_ms - std::floor(t_ms / noise.burst_gap_ms) * noise.burst_gap_ms
                                            : t_ms - last_burst_ms;
  const double slap = decay(since, noise.burst_gap_ms / 4.0);
  return t_ms < last_burst_ms ? slap : 0.5 * (slap + decay(since, noise.decay_ms));
}

struct NoiseSource {
  const NoiseBand& band;
  exact::Noise white;
  Filter filter;
  double phases[6] = {};

  NoiseSource(const NoiseBand& band_, std::uint32_t seed)
      : band(band_), white{seed}, filter(band_.pass, band_.cutoff_hz, band_.resonance) {}

  double step() {
    double metal = 0.0;
    for (int i = 0; i < 6 && band.metal_hz[i] > 0.0; ++i) {
      phases[i] += band.metal_hz[i] / rate;
      phases[i] -= std::floor(phases[i]);
      metal += phases[i] < 0.5 ? 1.0 : -1.0;
    }
    // A third of the squares' sum keeps the metal near the white noise's level when they mix.
    return filter.step((1.0 - band.metal) * white.next() + band.metal * metal / 3.0);
  }
};

// A raised-cosine fade over the last 20 ms, down to 0 at the very last value.
void fade_out_end(std::vector<double>& wave) {
  const int fade = rate / 50;
  for (int k = 0; k < fade && k < static_cast<int>(wave.size()); ++k) {
    wave[wave.size() - 1 - k] *= 0.5 * (1.0 - exact::cosine(exact::pi * k / fade));
  }
}

}  // namespace

std::vector<double> drum_render(const Drum& drum, int n) {
  std::vector<double> wave(n);
  NoiseSource noise(drum.noise, drum.seed);
  double phases[3] = {};
  for (int i = 0; i < n; ++i) {
    const double t_ms = 1000.0 * i / rate;
    double v = 0.0;
    for (int p = 0; p < 3; ++p) {
      const Partial& partial = drum.partials[p];
      if (partial.level == 0.0) continue;
      const double hz = partial.end_hz + (partial.start_hz - partial.end_hz) * decay(t_ms, partial.glide_ms);
      v += partial.level * decay(t_ms, partial.decay_ms) * exact::sine_turns(phases[p]);
      phases[p] += hz / rate;
      phases[p] -= std::floor(phases[p]);
    }
    if (drum.noise.level != 0.0) v += drum.noise.level * noise_envelope(drum.noise, t_ms) * noise.step();
    if (t_ms < drum.click_ms) {
      v += drum.click_level * 0.5 * (1.0 - exact::cosine(2.0 * exact::pi * t_ms / drum.click_ms));
    }
    if (t_ms < drum.attack_ms) v *= t_ms / drum.attack_ms;
    wave[i] = v;
  }
  fade_out_end(wave);
  return wave;
}

}  // namespace novu::drums
