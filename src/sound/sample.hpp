#pragma once
// SAMPLE: sound as a growable run of signed 32-bit values (one per 44100 Hz output sample, kept in
// the 16-bit range by its users), with the mixing arithmetic of the music generator and the text
// and raw PCM forms. Arithmetic on values wraps in 32 bits.

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace novu {

struct Sample {
  std::int32_t length;
  std::int32_t capacity;
  std::int32_t* values;  // capacity values, 0 .. length - 1 live
};

inline constexpr std::int32_t sample_value_size = 4;

// A record may borrow static storage (the sample bank): such a record may be read, and its
// values changed in place, but nothing that replaces or frees the block may be applied to it.

// Used by the demo
Sample* sample_create() noexcept;
void sample_destroy(Sample** sample) noexcept;
void sample_set_length(Sample* sample, std::int32_t n) noexcept;
void sample_clear(Sample* sample) noexcept;
void sample_add(Sample* a, const Sample* b) noexcept;
// Rotations use a fresh block of max(32, length) values (rotating in place when none can be
// had); a negative amount or an empty sample changes nothing.
void sample_rotate_right(Sample* sample, std::int32_t amount) noexcept;
// Shift counts outside 0 .. 31 change nothing.
void sample_shift_left(Sample* sample, std::int32_t k) noexcept;
void sample_shift_right(Sample* sample, std::int32_t k) noexcept;
std::int32_t sample_get(const Sample* sample, std::int32_t index) noexcept;

// The rest of the module
void sample_move(const Sample* source, Sample* destination, std::int32_t n, std::int32_t source_index,
                 std::int32_t destination_index) noexcept;
void sample_reserve(Sample* sample, std::int32_t n) noexcept;
void sample_set(Sample* sample, std::int32_t value, std::int32_t index) noexcept;
void sample_insert_at(Sample* sample, std::int32_t value, std::int32_t index) noexcept;
void sample_remove_at(Sample* sample, std::int32_t index) noexcept;
void sample_insert_sample(Sample* sample, const Sample* other, std::int32_t at) noexcept;
void sample_rotate_left(Sample* sample, std::int32_t amount) noexcept;
std::int32_t sample_find(const Sample* sample, std::int32_t value, std::int32_t from) noexcept;
void sample_reverse(Sample* sample) noexcept;
std::int32_t sample_max(const Sample* sample) noexcept;
std::int32_t sample_min(const Sample* sample) noexcept;
void sample_multiply(Sample* a, const Sample* b) noexcept;
void sample_scale(Sample* sample, std::int32_t k) noexcept;
// 64-bit intermediates; when all values are equal they all become lo.
void sample_fit_range(Sample* sample, std::int32_t lo, std::int32_t hi) noexcept;
// Enlarging repeats values nearest-neighbour; shrinking keeps n evenly spread values in order.
// An empty sample stays empty.
void sample_resample(Sample* sample, std::int32_t n) noexcept;
int sample_equal(const Sample* a, const Sample* b) noexcept;
std::int32_t sample_match_count(const Sample* a, const Sample* b, std::int32_t offset) noexcept;
std::int32_t sample_best_offset(const Sample* a, const Sample* b) noexcept;
Sample* sample_slice(const Sample* sample, std::int32_t from, std::int32_t to) noexcept;
Sample* sample_clone(const Sample* sample) noexcept;
char* sample_to_text(const Sample* sample) noexcept;  // release with mem_free
// Reads the first "SAMPLE{count values...}" block. Null when there is none, when a number does not
// fit in 32 bits, when the count exceeds what the text could hold, or when the block ends (its
// '}' or the end of the text) before `count` values have been read: a truncated text gives no
// sample rather than one with invented values.
Sample* sample_from_text(const char* text) noexcept;
// The same for text from outside that need not be NUL-terminated: never reads past text + size.
Sample* sample_from_text_bounded(const char* text, std::size_t size) noexcept;
// Headerless PCM: width 8, 24 or 32 (anything else is 16), byte order 'b' or little-endian;
// values are clipped to the width (32 bits only turns INT32_MIN into -INT32_MAX).
void sample_write_raw(const Sample* sample, std::FILE* file, std::int32_t width, char byte_order) noexcept;
// Width 8 or 16, byte order 'b' or 'l', signedness 's' or 'u', else null; 8-bit input is scaled
// into the 16-bit range. Reads to the end of the file; null on a read error.
Sample* sample_read_raw(std::FILE* file, std::int32_t width, char byte_order, char signedness) noexcept;

}  // namespace novu
