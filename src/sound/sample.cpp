#include "sound/sample.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/alloc.hpp"
#include "base/wrap.hpp"

namespace novu {

namespace {
constexpr std::int32_t default_capacity = 32;
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

// A record with storage whose live values all lie inside it.
bool has_block(const Sample* sample) noexcept {
  return sample != nullptr && sample->values != nullptr && sample->length >= 0 &&
         sample->length <= sample->capacity;
}

std::size_t bytes(std::int64_t count) noexcept {
  return static_cast<std::size_t>(count) * static_cast<std::size_t>(sample_value_size);
}

std::int32_t* new_block(std::int32_t capacity) noexcept {
  return mem_new<std::int32_t>(static_cast<std::size_t>(capacity));
}

// Puts the sample's values into a fresh zero-filled block of `capacity` values, keeping as many
// live values as fit; `length` is the caller's business. False (and nothing changed) when the
// block cannot be had.
bool replace_block(Sample* sample, std::int32_t capacity) noexcept {
  std::int32_t* block = new_block(capacity);
  if (block == nullptr) return false;
  // Only what the old block holds, whatever length a caller has poked into the record.
  const std::int32_t kept = std::max(0, std::min({sample->length, sample->capacity, capacity}));
  if (sample->values != nullptr) std::memcpy(block, sample->values, bytes(kept));
  mem_free(sample->values);
  sample->values = block;
  sample->capacity = capacity;
  return true;
}

// Installs `block` (`capacity` values, the first `length` live) as the sample's storage.
void install_block(Sample* sample, std::int32_t* block, std::int32_t capacity, std::int32_t length) noexcept {
  mem_free(sample->values);
  sample->values = block;
  sample->capacity = capacity;
  sample->length = length;
}

// A new sample holding a copy of `count` values; its capacity is `count`, or the default for an
// empty one.
Sample* new_sample_from(const std::int32_t* values, std::int32_t count) noexcept {
  Sample* sample = mem_new<Sample>();
  if (sample == nullptr) return nullptr;
  const std::int32_t capacity = count > 0 ? count : default_capacity;
  sample->values = new_block(capacity);
  if (sample->values == nullptr) {
    mem_free(sample);
    return nullptr;
  }
  std::memcpy(sample->values, values, bytes(count));
  sample->capacity = capacity;
  sample->length = count;
  return sample;
}

// new[(i + r) mod length] = old[i] for 0 <= r < length, in a fresh block as the music generator
// expects (its capacity shrinks back to max(32, length)). Without memory the rotation is done in
// place instead: the values are what count, and a rotation that silently did nothing would put a
// hit at the wrong place in the loop.
void rotate_right_by(Sample* sample, std::int32_t r) noexcept {
  const std::int32_t length = sample->length;
  const std::int32_t* old = sample->values;
  const std::int32_t capacity = std::max(default_capacity, length);
  std::int32_t* block = new_block(capacity);
  if (block == nullptr) {
    std::rotate(sample->values, sample->values + (length - r), sample->values + length);
    return;
  }
  std::memcpy(block, old + (length - r), bytes(r));
  std::memcpy(block + r, old, bytes(length - r));
  install_block(sample, block, capacity, length);
}

// Nearest-neighbour enlarging with an integer error term: each source value is repeated
// N / L times or once more, the extra repeats spread evenly.
void enlarge_into(const std::int32_t* source, std::int32_t old_length, std::int32_t* target,
                  std::int32_t new_length) noexcept {
  std::int64_t error = std::int64_t{old_length} - new_length;
  std::int32_t k = 0;
  for (std::int32_t i = 0; i < new_length; ++i) {
    if (error > 0) {
      error -= new_length;
      ++k;
    }
    target[i] = source[k];
    error += old_length;
  }
}

// Keeps new_length values of the source, in order, at evenly spread positions (the first value
// always survives).
void shrink_into(const std::int32_t* source, std::int32_t old_length, std::int32_t* target,
                 std::int32_t new_length) noexcept {
  for (std::int32_t i = 0; i < new_length; ++i) {
    target[i] = source[std::int64_t{i} * old_length / new_length];
  }
}

template <class Better>
std::int32_t extreme(const Sample* sample, Better better) noexcept {
  if (!has_block(sample) || sample->length == 0) return 0;
  std::int32_t best = sample->values[0];
  for (std::int32_t i = 1; i < sample->length; ++i) {
    if (better(sample->values[i], best)) best = sample->values[i];
  }
  return best;
}
}  // namespace

Sample* sample_create() noexcept {
  Sample* sample = mem_new<Sample>();
  if (sample == nullptr) return nullptr;
  sample->values = new_block(default_capacity);
  if (sample->values != nullptr) sample->capacity = default_capacity;
  return sample;
}

void sample_destroy(Sample** sample) noexcept {
  if (sample == nullptr || *sample == nullptr) return;
  mem_free((*sample)->values);
  mem_free(*sample);
  *sample = nullptr;
}

void sample_set_length(Sample* sample, std::int32_t n) noexcept {
  if (sample == nullptr || n < 0) return;
  const bool needs_block = n > sample->capacity || (sample->values == nullptr && n > 0);
  if (needs_block && !replace_block(sample, n)) return;
  sample->length = n;
}

void sample_clear(Sample* sample) noexcept {
  if (!has_block(sample)) return;
  std::memset(sample->values, 0, bytes(sample->length));
}

void sample_add(Sample* a, const Sample* b) noexcept {
  if (!has_block(a) || !has_block(b)) return;
  const std::int32_t n = std::min(a->length, b->length);
  for (std::int32_t i = 0; i < n; ++i) a->values[i] = wrap_add(a->values[i], b->values[i]);
}

void sample_rotate_right(Sample* sample, std::int32_t amount) noexcept {
  if (!has_block(sample) || sample->length == 0 || amount < 0) return;
  rotate_right_by(sample, amount % sample->length);
}

void sample_rotate_left(Sample* sample, std::int32_t amount) noexcept {
  if (!has_block(sample) || sample->length == 0 || amount < 0) return;
  const std::int32_t r = amount % sample->length;
  rotate_right_by(sample, r == 0 ? 0 : sample->length - r);
}

void sample_shift_left(Sample* sample, std::int32_t k) noexcept {
  if (!has_block(sample) || k < 0 || k > 31) return;
  for (std::int32_t i = 0; i < sample->length; ++i) sample->values[i] = wrap_shl(sample->values[i], k);
}

void sample_shift_right(Sample* sample, std::int32_t k) noexcept {
  if (!has_block(sample) || k < 0 || k > 31) return;
  for (std::int32_t i = 0; i < sample->length; ++i) sample->values[i] = shr_arith(sample->values[i], k);
}

std::int32_t sample_get(const Sample* sample, std::int32_t index) noexcept {
  if (!has_block(sample) || index < 0 || index >= sample->length) return 0;
  return sample->values[index];
}

void sample_move(const Sample* source, Sample* destination, std::int32_t n, std::int32_t source_index,
                 std::int32_t destination_index) noexcept {
  if (!has_block(source) || !has_block(destination) || n <= 0 || source_index < 0 || destination_index < 0) return;
  if (std::int64_t{source_index} + n > source->length) return;
  if (std::int64_t{destination_index} + n > destination->length) return;
  // Overlapping ranges of one sample copy like memmove: backward exactly when the destination
  // starts inside the source range.
  std::memmove(destination->values + destination_index, source->values + source_index, bytes(n));
}

void sample_reserve(Sample* sample, std::int32_t n) noexcept {
  if (sample == nullptr || n <= 0) return;
  const std::int32_t kept = sample->values != nullptr ? std::clamp(sample->length, 0, n) : 0;
  if (!replace_block(sample, n)) return;
  sample->length = kept;
}

void sample_set(Sample* sample, std::int32_t value, std::int32_t index) noexcept {
  if (!has_block(sample) || index < 0 || index >= sample->length) return;
  sample->values[index] = value;
}

void sample_insert_at(Sample* sample, std::int32_t value, std::int32_t index) noexcept {
  if (!has_block(sample) || index < 0 || index > sample->length) return;
  if (sample->length >= sample->capacity) {
    const std::int64_t doubled = std::max<std::int64_t>(1, std::int64_t{sample->capacity} * 2);
    if (doubled > int32_max || !replace_block(sample, static_cast<std::int32_t>(doubled))) return;
  }
  std::int32_t* values = sample->values;
  std::memmove(values + index + 1, values + index, bytes(sample->length - index));
  values[index] = value;
  ++sample->length;
}

void sample_remove_at(Sample* sample, std::int32_t index) noexcept {
  if (!has_block(sample) || index < 0 || index >= sample->length) return;
  std::int32_t* values = sample->values;
  std::memmove(values + index, values + index + 1, bytes(sample->length - index - 1));
  --sample->length;
}

void sample_insert_sample(Sample* sample, const Sample* other, std::int32_t at) noexcept {
  if (!has_block(sample) || !has_block(other)) return;
  const std::int32_t old_length = sample->length;
  const std::int32_t inserted = other->length;
  const std::int64_t total = std::int64_t{old_length} + inserted;
  if (total <= 0 || total > int32_max) return;
  std::int32_t* block = new_block(static_cast<std::int32_t>(total));
  if (block == nullptr) return;
  // Built in the fresh block before the old one goes, so inserting a sample into itself reads
  // its values as they were.
  if (at >= 0 && at <= old_length) {
    std::memcpy(block, sample->values, bytes(at));
    std::memcpy(block + at, other->values, bytes(inserted));
    std::memcpy(block + at + inserted, sample->values + at, bytes(old_length - at));
  } else {
    std::memcpy(block, sample->values, bytes(old_length));
  }
  install_block(sample, block, static_cast<std::int32_t>(total), static_cast<std::int32_t>(total));
}

std::int32_t sample_find(const Sample* sample, std::int32_t value, std::int32_t from) noexcept {
  if (!has_block(sample) || from < 0 || from >= sample->length) return -1;
  for (std::int32_t i = from; i < sample->length; ++i) {
    if (sample->values[i] == value) return i;
  }
  return -1;
}

void sample_reverse(Sample* sample) noexcept {
  if (!has_block(sample)) return;
  std::reverse(sample->values, sample->values + sample->length);
}

std::int32_t sample_max(const Sample* sample) noexcept {
  return extreme(sample, [](std::int32_t v, std::int32_t best) { return v > best; });
}

std::int32_t sample_min(const Sample* sample) noexcept {
  return extreme(sample, [](std::int32_t v, std::int32_t best) { return v < best; });
}

void sample_multiply(Sample* a, const Sample* b) noexcept {
  if (!has_block(a) || !has_block(b)) return;
  const std::int32_t n = std::min(a->length, b->length);
  for (std::int32_t i = 0; i < n; ++i) a->values[i] = wrap_mul(a->values[i], b->values[i]);
}

void sample_scale(Sample* sample, std::int32_t k) noexcept {
  if (!has_block(sample)) return;
  for (std::int32_t i = 0; i < sample->length; ++i) sample->values[i] = wrap_mul(sample->values[i], k);
}

void sample_fit_range(Sample* sample, std::int32_t lo, std::int32_t hi) noexcept {
  if (!has_block(sample) || sample->length == 0) return;
  const std::int64_t min = sample_min(sample);
  const std::int64_t spread = std::int64_t{sample_max(sample)} - min;
  // In 64 bits the 16.16 factor cannot overflow, and (v - min) * factor stays within
  // |hi - lo| << 16, so every result lies between lo and hi. Equal values all become lo.
  const std::int64_t factor = spread == 0 ? 0 : (std::int64_t{hi} - lo) * 65536 / spread;
  for (std::int32_t i = 0; i < sample->length; ++i) {
    const std::int64_t offset = ((sample->values[i] - min) * factor) >> 16;
    sample->values[i] = static_cast<std::int32_t>(lo + offset);
  }
}

void sample_resample(Sample* sample, std::int32_t n) noexcept {
  // An empty sample has no value to repeat.
  if (!has_block(sample) || n <= 0 || n == sample->length || sample->length == 0) return;
  std::int32_t* block = new_block(n);
  if (block == nullptr) return;
  if (n > sample->length) {
    enlarge_into(sample->values, sample->length, block, n);
  } else {
    shrink_into(sample->values, sample->length, block, n);
  }
  install_block(sample, block, n, n);
}

int sample_equal(const Sample* a, const Sample* b) noexcept {
  if (!has_block(a) || !has_block(b) || a->length != b->length) return 0;
  return std::memcmp(a->values, b->values, bytes(a->length)) == 0 ? 1 : 0;
}

std::int32_t sample_match_count(const Sample* a, const Sample* b, std::int32_t offset) noexcept {
  if (!has_block(a) || !has_block(b)) return 0;
  if (std::int64_t{offset} < 1 - std::int64_t{b->length} || offset >= a->length) return 0;
  const std::int64_t first = std::max<std::int64_t>(0, -std::int64_t{offset});
  const std::int64_t last = std::min<std::int64_t>(b->length, std::int64_t{a->length} - offset);
  std::int32_t count = 0;
  for (std::int64_t j = first; j < last; ++j) {
    if (b->values[j] == a->values[offset + j]) ++count;
  }
  return count;
}

std::int32_t sample_best_offset(const Sample* a, const Sample* b) noexcept {
  if (!has_block(a) || !has_block(b)) return 0;
  std::int32_t best_offset = -b->length;
  std::int32_t best_count = 0;
  for (std::int32_t offset = 1 - b->length; offset < a->length; ++offset) {
    const std::int32_t count = sample_match_count(a, b, offset);
    if (count > best_count) {
      best_count = count;
      best_offset = offset;
    }
  }
  return best_offset;
}

Sample* sample_slice(const Sample* sample, std::int32_t from, std::int32_t to) noexcept {
  if (!has_block(sample) || from > to) return nullptr;
  from = std::max(from, 0);
  to = std::min(to, sample->length);
  const std::int32_t count = to > from ? to - from : 0;
  return new_sample_from(sample->values + (count > 0 ? from : 0), count);
}

Sample* sample_clone(const Sample* sample) noexcept {
  if (!has_block(sample)) return nullptr;
  return new_sample_from(sample->values, sample->length);
}

}  // namespace novu
