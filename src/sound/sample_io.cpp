// The Sample's outside forms: the "SAMPLE{...}" text block and headerless PCM files.

#include <cstring>
#include <limits>

#include "base/alloc.hpp"
#include "sound/sample.hpp"

namespace novu {

namespace {
constexpr char text_tag[] = "SAMPLE";
constexpr std::size_t text_tag_size = sizeof text_tag - 1;
constexpr std::int64_t int32_max = std::numeric_limits<std::int32_t>::max();

// ---- text form ------------------------------------------------------------------------------

// Writes value in decimal followed by a newline at out (when out is not null); returns the
// number of characters that takes.
std::size_t put_line(char* out, std::int64_t value) noexcept {
  char digits[24];
  std::size_t n = 0;
  std::uint64_t magnitude = value < 0 ? static_cast<std::uint64_t>(-value) : static_cast<std::uint64_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  const std::size_t size = n + (value < 0 ? 1 : 0) + 1;
  if (out != nullptr) {
    if (value < 0) *out++ = '-';
    while (n > 0) *out++ = digits[--n];
    *out = '\n';
  }
  return size;
}

// Everything after the header, or its size when out is null.
std::size_t put_body(char* out, const Sample* sample) noexcept {
  if (sample->length == 0) {
    if (out != nullptr) std::memcpy(out, "}\n", 2);
    return 2;
  }
  std::size_t size = put_line(out, sample->length);
  for (std::int32_t i = 0; i < sample->length; ++i) {
    size += put_line(out != nullptr ? out + size : nullptr, sample->values[i]);
  }
  if (out != nullptr) std::memcpy(out + size, "}\n", 2);
  return size + 2;
}

// A forward-only reader over untrusted text: it never looks at or past `end`.
struct Cursor {
  const char* at;
  const char* end;

  bool done() const noexcept { return at == end; }
  bool digit() const noexcept { return !done() && *at >= '0' && *at <= '9'; }

  // Moves past the next occurrence of `c`; false when there is none.
  bool skip_past(char c) noexcept {
    while (!done() && *at != c) ++at;
    if (done()) return false;
    ++at;
    return true;
  }

  // Reads a run of decimal digits no larger than `limit` (no digits: 0); false on overflow.
  bool read_digits(std::int64_t limit, std::int64_t* value) noexcept {
    std::int64_t result = 0;
    for (; digit(); ++at) {
      result = result * 10 + (*at - '0');
      if (result > limit) return false;
    }
    *value = result;
    return true;
  }
};

// Positions the cursor at the start of the next value ('-' or a digit) inside the block; false
// when the block's closing brace or the end of the text comes first.
bool find_value(Cursor& cursor) noexcept {
  while (!cursor.done() && *cursor.at != '}' && *cursor.at != '-' && !cursor.digit()) ++cursor.at;
  return !cursor.done() && *cursor.at != '}';
}

// The count, or -1 when the text is malformed. An empty block ("SAMPLE{}") has count 0; each
// value takes at least one character, so a count beyond what the text can hold is refused
// before anything is allocated.
std::int64_t read_count(Cursor& cursor) noexcept {
  while (!cursor.done() && *cursor.at != '}' && !cursor.digit()) ++cursor.at;
  if (cursor.done()) return -1;
  if (*cursor.at == '}') return 0;
  std::int64_t count = 0;
  if (!cursor.read_digits(int32_max, &count)) return -1;
  if (count > cursor.end - cursor.at) return -1;
  return count;
}

bool read_value(Cursor& cursor, std::int32_t* value) noexcept {
  const bool negative = *cursor.at == '-';
  if (negative) ++cursor.at;
  std::int64_t magnitude = 0;
  if (!cursor.read_digits(negative ? int32_max + 1 : int32_max, &magnitude)) return false;
  *value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

// An empty sample with room for exactly `count` values (the default capacity for none).
Sample* sample_for_count(std::int32_t count) noexcept {
  Sample* sample = sample_create();
  if (sample == nullptr) return nullptr;
  if (count > 0) sample_reserve(sample, count);
  if (sample->values == nullptr || sample->capacity < count) sample_destroy(&sample);
  return sample;
}

// ---- raw PCM --------------------------------------------------------------------------------

constexpr std::size_t chunk_size = 4096;

struct Chunk {
  std::FILE* file;
  unsigned char bytes[chunk_size];
  std::size_t used;

  void flush() noexcept {
    if (used > 0) std::fwrite(bytes, 1, used, file);
    used = 0;
  }
};

std::int32_t clip(std::int32_t value, std::int32_t lo, std::int32_t hi) noexcept {
  return value < lo ? lo : value > hi ? hi : value;
}

// The value as written at `width` bits: clipped to that width, except that 32 bits only keeps
// the range symmetric.
std::uint32_t raw_value(std::int32_t value, std::int32_t width) noexcept {
  switch (width) {
    case 8: return static_cast<std::uint32_t>(clip(value, -128, 127));
    case 24: return static_cast<std::uint32_t>(clip(value, -8388608, 8388607));
    case 32: return static_cast<std::uint32_t>(value == std::numeric_limits<std::int32_t>::min() ? value + 1 : value);
    default: return static_cast<std::uint32_t>(clip(value, -32768, 32767));
  }
}

// Appends one value, doubling the capacity when the block is full; false without memory.
bool push_value(Sample* sample, std::int32_t value) noexcept {
  if (sample->length == sample->capacity) {
    const std::int64_t doubled = std::int64_t{sample->capacity} * 2;
    if (doubled > int32_max) return false;
    sample_reserve(sample, static_cast<std::int32_t>(doubled));
    if (sample->length == sample->capacity) return false;
  }
  sample->values[sample->length++] = value;
  return true;
}

std::int32_t decode(unsigned first, unsigned second, std::int32_t width, char byte_order, char signedness) noexcept {
  if (width == 8) {
    const std::int32_t byte = signedness == 's' ? static_cast<std::int8_t>(first) : static_cast<std::int32_t>(first);
    return byte * 256 - (signedness == 'u' ? 32768 : 0);
  }
  const unsigned word = byte_order == 'l' ? first | second << 8 : first << 8 | second;
  return signedness == 's' ? static_cast<std::int16_t>(word) : static_cast<std::int32_t>(word) - 32768;
}
}  // namespace

char* sample_to_text(const Sample* sample) noexcept {
  if (sample == nullptr || sample->values == nullptr || sample->length < 0 || sample->length > sample->capacity) {
    return nullptr;
  }
  const std::size_t size = text_tag_size + 1 + put_body(nullptr, sample);
  char* text = mem_new<char>(size + 1);
  if (text == nullptr) return nullptr;
  std::memcpy(text, "SAMPLE{", text_tag_size + 1);
  put_body(text + text_tag_size + 1, sample);
  return text;
}

Sample* sample_from_text(const char* text) noexcept {
  if (text == nullptr) return nullptr;
  return sample_from_text_bounded(text, std::strlen(text));
}

Sample* sample_from_text_bounded(const char* text, std::size_t size) noexcept {
  if (text == nullptr) return nullptr;
  const char* end = static_cast<const char*>(std::memchr(text, '\0', size));
  Cursor cursor{text, end != nullptr ? end : text + size};
  const auto tag_fits = [&cursor](const char* at) {
    return cursor.end - at >= static_cast<std::ptrdiff_t>(text_tag_size);
  };
  while (tag_fits(cursor.at) && std::memcmp(cursor.at, text_tag, text_tag_size) != 0) ++cursor.at;
  if (!tag_fits(cursor.at)) return nullptr;
  cursor.at += text_tag_size;
  if (!cursor.skip_past('{')) return nullptr;
  const std::int64_t count = read_count(cursor);
  if (count < 0) return nullptr;
  Sample* sample = sample_for_count(static_cast<std::int32_t>(count));
  if (sample == nullptr) return nullptr;
  for (std::int32_t i = 0; i < count; ++i) {
    // Fewer values than the count promised: the text is truncated, and no value is invented.
    if (!find_value(cursor) || !read_value(cursor, &sample->values[i])) {
      sample_destroy(&sample);
      return nullptr;
    }
  }
  sample->length = static_cast<std::int32_t>(count);
  return sample;
}

void sample_write_raw(const Sample* sample, std::FILE* file, std::int32_t width, char byte_order) noexcept {
  if (sample == nullptr || sample->values == nullptr || file == nullptr || sample->length <= 0 ||
      sample->length > sample->capacity) {
    return;
  }
  const int size = width == 8 ? 1 : width == 24 ? 3 : width == 32 ? 4 : 2;
  const std::int32_t bits = size * 8;
  Chunk chunk{file, {}, 0};
  for (std::int32_t i = 0; i < sample->length; ++i) {
    const std::uint32_t value = raw_value(sample->values[i], bits);
    if (chunk.used + static_cast<std::size_t>(size) > chunk_size) chunk.flush();
    for (int b = 0; b < size; ++b) {
      const int shift = byte_order == 'b' ? 8 * (size - 1 - b) : 8 * b;
      chunk.bytes[chunk.used++] = static_cast<unsigned char>(value >> shift);
    }
  }
  chunk.flush();
}

Sample* sample_read_raw(std::FILE* file, std::int32_t width, char byte_order, char signedness) noexcept {
  const bool valid = file != nullptr && (width == 8 || width == 16) && (byte_order == 'b' || byte_order == 'l') &&
                     (signedness == 's' || signedness == 'u');
  if (!valid) return nullptr;
  Sample* sample = sample_for_count(1024);
  if (sample == nullptr) return nullptr;
  const std::size_t size = width == 8 ? 1 : 2;
  unsigned char bytes[chunk_size];
  std::size_t pending = 0;  // bytes of an unfinished value carried into the next chunk
  for (;;) {
    const std::size_t got = std::fread(bytes + pending, 1, chunk_size - pending, file);
    const std::size_t available = pending + got;
    std::size_t at = 0;
    for (; available - at >= size; at += size) {
      const std::int32_t value = decode(bytes[at], size == 2 ? bytes[at + 1] : 0, width, byte_order, signedness);
      if (!push_value(sample, value)) {
        sample_destroy(&sample);
        return nullptr;
      }
    }
    pending = available - at;
    if (pending > 0) std::memmove(bytes, bytes + at, pending);
    if (got == 0) break;
  }
  if (std::ferror(file) != 0) sample_destroy(&sample);
  return sample;
}

}  // namespace novu
