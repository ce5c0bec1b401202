#include "capture_output.hpp"

namespace novu {

namespace {
constexpr std::uint64_t fnv_basis = 0xcbf29ce484222325ull;
constexpr std::uint64_t fnv_prime = 0x100000001b3ull;
constexpr std::uint32_t wav_rate = 44100;
constexpr std::uint16_t wav_bits = 16;
constexpr std::uint32_t wav_header_tail = 36;  // RIFF size = 36 + data bytes

void put16(std::uint8_t* at, std::uint16_t v) noexcept {
  at[0] = static_cast<std::uint8_t>(v);
  at[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t* at, std::uint32_t v) noexcept {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void header(std::uint8_t out[44], std::uint32_t data_bytes) noexcept {
  const std::uint8_t text[] = "RIFF....WAVEfmt ....................data";
  for (int i = 0; i < 40; ++i) out[i] = text[i];
  put32(out + 4, wav_header_tail + data_bytes);
  put32(out + 16, 16);  // PCM format block
  put16(out + 20, 1);   // integer PCM
  put16(out + 22, 1);   // mono
  put32(out + 24, wav_rate);
  put32(out + 28, wav_rate * (wav_bits / 8));
  put16(out + 32, wav_bits / 8);
  put16(out + 34, wav_bits);
  put32(out + 40, data_bytes);
}
}  // namespace

std::uint64_t capture_hash(const std::uint32_t* pixels, std::size_t count) noexcept {
  std::uint64_t hash = fnv_basis;
  for (std::size_t i = 0; i < count; ++i) {
    for (int b = 0; b < 4; ++b) {
      hash ^= (pixels[i] >> (8 * b)) & 0xFF;
      hash *= fnv_prime;
    }
  }
  return hash;
}

bool wav_open(WavWriter* wav, const char* path) noexcept {
  *wav = WavWriter{std::fopen(path, "wb"), 0, false};
  if (wav->file == nullptr) return false;
  std::uint8_t head[44];
  header(head, 0);
  wav->failed = std::fwrite(head, 1, sizeof head, wav->file) != sizeof head;
  return !wav->failed;
}

void wav_append(WavWriter* wav, const std::uint8_t* bytes, std::size_t count) noexcept {
  if (wav->file == nullptr || wav->failed) return;
  if (count > UINT32_MAX - wav_header_tail - wav->data_bytes) {
    wav->failed = true;  // beyond what a WAV header can describe
    return;
  }
  wav->failed = std::fwrite(bytes, 1, count, wav->file) != count;
  wav->data_bytes += static_cast<std::uint32_t>(count);
}

bool wav_finish(WavWriter* wav) noexcept {
  if (wav->file == nullptr) return false;
  std::uint8_t head[44];
  header(head, wav->data_bytes);
  bool ok = !wav->failed && std::fseek(wav->file, 0, SEEK_SET) == 0 &&
            std::fwrite(head, 1, sizeof head, wav->file) == sizeof head;
  ok = std::fclose(wav->file) == 0 && ok;
  wav->file = nullptr;
  return ok;
}

}  // namespace novu
