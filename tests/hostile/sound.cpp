// ARRAY, SAMPLE, MUSIC and the audio output on the headless audio device.

#include "hostile/registry.hpp"
#include "platform/headless.hpp"
#include "sound/audio.hpp"
#include "sound/music.hpp"
#include "sound/sample_bank.hpp"

namespace novu::hostile {
namespace {

void* slot(std::intptr_t n) { return reinterpret_cast<void*>(n); }
auto three() {
  auto array = own<array_create, array_destroy>();
  for (std::intptr_t n : {1, 2, 3}) array_append(array.get(), slot(n));
  return array;
}
auto four(I length = 4) {  // four values, and the length given
  std::unique_ptr<Sample, Destroy<sample_destroy>> sample(sample_from_text("SAMPLE{4 1 2 3 4}"));
  sample->length = length;
  return sample;
}
const I negative[] = {-1, int_min};
bool has_values(const Sample* s) { return s != nullptr && s->values != nullptr; }

// op on records no operation may use (missing, no block, more live entries than the block holds,
// a negative count) changes nothing; a two-sample op gets the bad one on either side.
template <class Op>
void refused(Op op) {
  void* slots[4] = {};
  I block[4] = {1, 2, 3, 4};
  Array arrays[] = {{4, 2, nullptr}, {2, 5, slots}, {4, -1, slots}};
  Sample samples[] = {{4, 8, nullptr}, {9, 4, block}, {-1, 4, block}};
  auto good = four();
  for (int k = 0; k < 4; ++k) {
    Array* a = k == 0 ? nullptr : &arrays[k - 1];
    Sample* s = k == 0 ? nullptr : &samples[k - 1];
    if constexpr (std::is_invocable_v<Op, Array*>) keeps([&] { op(a); }, a);
    if constexpr (std::is_invocable_v<Op, Sample*>) keeps([&] { op(s); }, s);
    if constexpr (std::is_invocable_v<Op, Sample*, Sample*>) keeps([&] { op(s, good.get()); }, s, good.get());
    if constexpr (std::is_invocable_v<Op, Sample*, Sample*>) keeps([&] { op(good.get(), s); }, s, good.get());
  }
}
// And op(record, v) for each v changes nothing on three slots or four values (nor without
// memory, when starved).
template <class Op, class Values>
void rejects(Op op, const Values& values, bool starved = false) {
  auto a = three();
  auto s = four();
  if (starved) mem_fail_after(0);
  if constexpr (std::is_invocable_v<Op, Array*, I>) keeps([&] { for (I v : values) op(a.get(), v); }, a.get());
  if constexpr (std::is_invocable_v<Op, Sample*, I>) keeps([&] { for (I v : values) op(s.get(), v); }, s.get());
  refused([&](auto* record) -> decltype(op(record, 0)) { return op(record, 0); });
}
// op(record) gives nothing for a record no operation may use, and fails cleanly on a good one.
template <class Op, class Destroy>
void makes_from(Op op, Destroy destroy) {
  refused([&](auto* record) -> decltype(void(op(record))) { EXPECT_FALSE(op(record)); });
  if constexpr (std::is_invocable_v<Op, Array*>) fails_cleanly([&, a = three()] { return op(a.get()); }, destroy);
  if constexpr (std::is_invocable_v<Op, Sample*>) fails_cleanly([&, s = four()] { return op(s.get()); }, destroy);
}
template <class T, class Item, class Op>
void full(Op op) {  // nothing is added to a block that cannot double, which is never touched
  Item one[1] = {};
  T record{int_max, int_max, one};
  op(&record);
  EXPECT_TRUE(record.capacity == int_max && one[0] == Item{});
}
// A negative size or no memory changes nothing; from a length poked outside the block the new
// block takes only what the old one holds.
template <auto op>
void resizes() {
  auto s = four();
  op(nullptr, 1);
  keeps([&] { for (I n : negative) op(s.get(), n); }, s.get());
  mem_fail_after(0);
  keeps([&] { op(s.get(), 64); }, s.get());
  for (I poked : {-5, 100, int_max}) op(four(poked).get(), 8);
}

const Rows rows("sound", {
  {"array_error", [] { reports(array_verbose, "ARRAY error", array_error); }},
  {"array_destroy", destroys<array_destroy>}, {"array_remove_at", [] { rejects(array_remove_at, beyond(3)); }},
  {"array_create", [] { fails_cleanly(array_create, array_destroy); }},
  {"array_clone", [] { makes_from(array_clone, array_destroy); }},
  {"array_append", [] { full<Array, void*>([](Array* a) { array_append(a, slot(1)); });
     refused([](Array* a) { array_append(a, slot(1)); }); }},
  {"array_get", [] { rejects([](Array* a, I i) { EXPECT_EQ(array_get(a, i), nullptr); }, beyond(3)); }},
  {"array_set", [] { rejects([](Array* a, I i) { array_set(a, slot(9), i); }, beyond(3)); }},
  {"array_insert_at", [] { rejects([](Array* a, I i) { array_insert_at(a, slot(9), i); }, beyond(4)); }},
  {"array_pop", [] { refused([](Array* a) { EXPECT_EQ(array_pop(a), nullptr); });  // nor from an empty one
     EXPECT_EQ(array_pop(own<array_create, array_destroy>().get()), nullptr); }},
  {"array_find", [] { rejects([](Array* a, I) { EXPECT_EQ(array_find(a, nullptr), -1); }, negative); }},
  {"array_insert_range", [] {  // no extreme start and end make a range
     for (I start : extremes)
       for (I end : extremes) rejects([&](Array* a, I at) { array_insert_range(a, a, start, end, at); }, extremes); }},
  {"array_remove_range", [] {
     for (I end : extremes) rejects([end](Array* a, I start) { array_remove_range(a, start, end); }, extremes); }},
  {"array_copy_range", [] { makes_from([](Array* a) { return array_copy_range(a, 1, 3); }, array_destroy);
     for (I end : extremes) rejects([end](Array* a, I at) { EXPECT_FALSE(array_copy_range(a, at, end)); }, extremes);
   }},
  {"array_equal", [] {  // two missing arrays are equal
     refused([](Array* a) { EXPECT_FALSE(array_equal(a, three().get()) || array_equal(three().get(), a)); });
     EXPECT_EQ(array_equal(nullptr, nullptr), 1); }},
  {"array_grow", [] { rejects([](Array* a, I) { EXPECT_EQ(array_grow(a), 0); }, std::array{0}, true); }},

  {"sample_create", [] { fails_cleanly(sample_create, sample_destroy, has_values); }},
  {"sample_destroy", destroys<sample_destroy>}, {"sample_clone", [] { makes_from(sample_clone, sample_destroy); }},
  {"sample_set_length", resizes<sample_set_length>}, {"sample_reserve", resizes<sample_reserve>},
  {"sample_clear", [] { refused(sample_clear); }}, {"sample_add", [] { refused(sample_add); }},
  {"sample_reverse", [] { refused(sample_reverse); }}, {"sample_multiply", [] { refused(sample_multiply); }},
  {"sample_rotate_right", [] { rejects(sample_rotate_right, negative); }},
  {"sample_remove_at", [] { rejects(sample_remove_at, beyond(4)); }},
  {"sample_rotate_left", [] { rejects(sample_rotate_left, negative); }},
  {"sample_shift_left", [] { rejects(sample_shift_left, beyond(32)); }},
  {"sample_shift_right", [] { rejects(sample_shift_right, beyond(32)); }},
  {"sample_get", [] { rejects([](Sample* s, I i) { EXPECT_EQ(sample_get(s, i), 0); }, beyond(4)); }},
  {"sample_set", [] { rejects([](Sample* s, I i) { sample_set(s, 9, i); }, beyond(4)); }},
  {"sample_insert_at", [] { full<Sample, I>([](Sample* s) { sample_insert_at(s, 9, 0); });
     rejects([](Sample* s, I i) { sample_insert_at(s, 9, i); }, beyond(5)); }},
  {"sample_move", [] {  // counts, starts and their sums out of range; from or to a bad sample
     refused([](Sample* a, Sample* b) { sample_move(a, b, 1, 0, 0); });
     for (I n : extremes) rejects([n](Sample* s, I i) { sample_move(s, s, n, i, 0); }, beyond(4));
     for (I n : extremes) rejects([n](Sample* s, I i) { sample_move(s, s, n, 0, i); }, beyond(4)); }},
  {"sample_insert_sample", [] {  // lengths whose sum overflows; any place
     full<Sample, I>([](Sample* s) { sample_insert_sample(s, four().get(), 0); });
     refused([](Sample* a, Sample* b) { sample_insert_sample(a, b, 0); });
     for (I at : beyond(5)) sample_insert_sample(four().get(), four().get(), at); }},
  {"sample_find", [] { rejects([](Sample* s, I from) { EXPECT_EQ(sample_find(s, 4, from), -1); }, beyond(4)); }},
  {"sample_max", [] { refused([](Sample* s) { EXPECT_EQ(sample_max(s), 0); }); }},
  {"sample_min", [] { refused([](Sample* s) { EXPECT_EQ(sample_min(s), 0); }); }},
  {"sample_to_text", [] { makes_from(sample_to_text, release); }},
  {"sample_scale", [] { refused([](Sample* s) { sample_scale(s, 2); });
     for (I k : extremes) sample_scale(four().get(), k); }},
  {"sample_fit_range", [] { refused([](Sample* s) { sample_fit_range(s, 0, 1); });
     for (I lo : extremes)
       for (I hi : extremes) sample_fit_range(four().get(), lo, hi); }},
  {"sample_resample", [] {  // nor is there anything to repeat in an empty sample
     rejects(sample_resample, std::array{0, -1, int_min});
     rejects(sample_resample, std::array{8}, true);
     auto empty = four(0);
     keeps([&] { sample_resample(empty.get(), 8); }, empty.get()); }},
  {"sample_equal", [] { refused([](Sample* a, Sample* b) { EXPECT_EQ(sample_equal(a, b), 0); }); }},
  {"sample_match_count", [] { refused([](Sample* a, Sample* b) { EXPECT_EQ(sample_match_count(a, b, 0), 0); });
     rejects([](Sample* s, I at) { EXPECT_EQ(sample_match_count(s, s, at), 0); }, std::array{-4, 4, int_min, int_max});
   }},
  {"sample_best_offset", [] { refused([](Sample* a, Sample* b) { EXPECT_EQ(sample_best_offset(a, b), 0); }); }},
  {"sample_slice", [] { makes_from([](Sample* s) { return sample_slice(s, int_min, int_max); }, sample_destroy);
     EXPECT_FALSE(sample_slice(four().get(), 1, 0) || sample_slice(four().get(), int_max, int_min)); }},
  {"sample_from_text", [] {  // none, empty, overflowing, a count beyond the text, truncated
     makes<true>(sample_from_text, sample_destroy, "SAMPLE{2 -2147483648 2147483647}", nullptr, "",
                 "SAMPLE{2147483648 1", "SAMPLE{5 1 2}", "SAMPLE{2 1", "SAMPLE{1 -2147483649}"); }},
  {"sample_from_text_bounded", [] {  // no text; no NUL and no brace: the bound ends it
     static const char text[] = {'S', 'A', 'M', 'P', 'L', 'E', '{', '1', ' ', '5'};
     makes<true>([](std::size_t n) { return sample_from_text_bounded(n > 0 ? text : nullptr, n); }, sample_destroy,
                 sizeof text, 0, 9); }},
  {"sample_write_raw", [] {  // nothing to write, nowhere to write it, any width
     std::FILE* file = std::tmpfile();
     refused([&](Sample* s) { sample_write_raw(s, file, 16, 'l'); });
     EXPECT_EQ(std::ftell(file), 0);
     for (I width : extremes) sample_write_raw(four().get(), width ? file : nullptr, width, static_cast<char>(width));
     std::fclose(file); }},
  {"sample_read_raw", [] {  // no file; widths, byte orders and signs it does not know
     for (auto [width, order, sign] : {std::tuple{int_min, 'l', 's'}, {0, 'l', 's'}, {int_max, 'b', 'u'},
                                       {8, '\0', 's'}, {8, 'l', '\0'}})
       EXPECT_FALSE(on_file(asset, [&](std::FILE* f) { return sample_read_raw(f, width, order, sign); }));
     EXPECT_FALSE(sample_read_raw(nullptr, 16, 'b', 'u'));
     fails_cleanly([] { return on_file(asset, [](std::FILE* f) { return sample_read_raw(f, 16, 'b', 'u'); }); },
                   sample_destroy, exists, true); }},
  {"sample_in_bank", [] { EXPECT_FALSE(sample_in_bank(nullptr) || sample_in_bank(four().get())); }},

  {"music_error", [] { reports(music_verbose, "MUSIC ERROR", music_error); }},
  {"music_destroy", [] {  // a sample registered twice is released once, the bank never
     destroys<music_destroy>();
     auto music = own<music_create, music_destroy>();
     Sample* twice = sample_create();
     for (Sample* s : {twice, &sample_bank.samples[1], twice}) music_add_instrument(music.get(), s); }},
  {"music_create", [] { fails_cleanly(music_create, music_destroy, exists, true); }},
  {"music_add_instrument", [] { refuses(Music{}, [](Music* m) { music_add_instrument(m, sample_bank.samples); });
     music_add_instrument(own<music_create, music_destroy>().get(), nullptr); }},
  {"music_step", [] {  // no loop or bank; any countdown and period; an empty loop
     refuses(Music{int_min, int_min, nullptr, nullptr}, music_step);
     auto m = own<music_create, music_destroy>();
     music_add_instrument(m.get(), sample_bank.samples);
     for (I v : {int_min, -1, int_max, 0}) music_step(poked(m.get(), {v, v, m->loop, m->instruments}));
     sample_set_length(m->loop, 0);
     music_step(m.get());
     sample_destroy(&music_scratch); }},

  {"audio_open", [] {  // none without a device
     headless_refuse_audio(true);
     EXPECT_EQ(audio_open(), nullptr);
     headless_reset();
     fails_cleanly(audio_open, audio_close); }},
  {"audio_close", destroys<audio_close>},
  {"audio_queue", [] { refuses(AudioOut{}, [](AudioOut* out) { audio_queue(out, nullptr); });
     audio_queue(nullptr, four().get()); }},
  {"audio_queue_if_at_most", [] {
     AudioOut out{};
     for (I most : negative) keeps([&] { EXPECT_EQ(audio_queue_if_at_most(&out, four().get(), most), 0); }, &out);
     EXPECT_FALSE(audio_queue_if_at_most(nullptr, four().get(), 1) || audio_queue_if_at_most(&out, nullptr, 1));
     array_destroy(&out.queue); }},
  {"audio_callback", [] {  // no record, stream or length; any position
     std::uint8_t stream[9] = {};
     auto s = four();
     keeps([&] { audio_callback(nullptr, stream, 9); }, &stream);
     for (I position : extremes) {
       AudioOut out{0, 0, position, nullptr, 0, 0, 0};
       audio_queue(&out, s.get());
       keeps([&] { for (int length : {0, -1, int_min}) audio_callback(&out, stream, length); }, &out, &stream);
       keeps([&] { audio_callback(&out, nullptr, 9); }, &out);
       audio_callback(&out, stream, 9);
       array_destroy(&out.queue);
     } }},
});

}  // namespace
}  // namespace novu::hostile
