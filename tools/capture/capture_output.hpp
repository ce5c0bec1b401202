#pragma once
// demo-capture's outputs: the frame hash and the WAV stream.

#include <cstdint>
#include <cstdio>

namespace novu {

// FNV-1a 64 over the pixels as stored: row by row, each 0x00RRGGBB word as 4 little-endian bytes.
std::uint64_t capture_hash(const std::uint32_t* pixels, std::size_t count) noexcept;

// A mono 44100 Hz 16-bit PCM WAV file written as the sound arrives; the sizes in its header are
// filled in by wav_finish.
struct WavWriter {
  std::FILE* file;
  std::uint32_t data_bytes;
  bool failed;
};

bool wav_open(WavWriter* wav, const char* path) noexcept;
void wav_append(WavWriter* wav, const std::uint8_t* bytes, std::size_t count) noexcept;
bool wav_finish(WavWriter* wav) noexcept;  // false when anything could not be written

}  // namespace novu
