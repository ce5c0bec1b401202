// The hostile caller: one row per public operation, calling it with missing records and blocks,
// bad sizes, indices out of range, extreme values and every allocation failing. A row checks the
// documented result and that a refused call changed nothing; the runner, that nothing leaked and
// that every public operation the headers declare has a row.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <span>
#include <string>
#include <utility>

#include "effects/cursorx.hpp"
#include "effects/distort.hpp"
#include "effects/gas2d.hpp"
#include "effects/limits.hpp"
#include "effects/radars.hpp"
#include "effects/sinedots.hpp"
#include "effects/splix3d.hpp"
#include "effects/stars.hpp"
#include "effects/stars3d.hpp"
#include "effects/vec3d.hpp"
#include "image/blit.hpp"
#include "image/pnm.hpp"
#include "platform/display.hpp"
#include "platform/fps.hpp"
#include "platform/headless.hpp"
#include "platform/keys.hpp"
#include "sound/array.hpp"
#include "sound/audio.hpp"
#include "sound/music.hpp"
#include "sound/sample.hpp"
#include "sound/sample_bank.hpp"
#include "support/alloc_failures.hpp"
#include "support/pictures.hpp"
#include "text/scroller.hpp"
#include "text/vec2d.hpp"

namespace novu::hostile {
namespace {

struct Row {
  const char* operation;
  void (*check)();
};

using I = std::int32_t;
constexpr I int_min = std::numeric_limits<I>::min(), int_max = std::numeric_limits<I>::max();
constexpr I extremes[] = {int_min, int_min + 1, -1, 0, int_max - 1, int_max};
std::array<I, 4> beyond(I count) { return {-1, count, int_min, int_max}; }  // indices outside [0, count)
const char* const asset = NOVU_SOURCE_DIR "/assets/strip.ppm";

// A record and the block it owns, as bytes.
template <class T>
std::string bytes(const T* p, std::int64_t n = 1) {
  return p == nullptr || n <= 0 ? "" : std::string(reinterpret_cast<const char*>(p), sizeof(T) * n);
}
template <class T>
std::string snap(const T* p) { return bytes(p); }
std::string snap(const Image* p) { return bytes(p) + (p ? bytes(p->pixels, p->width * 1ll * p->height) : ""); }
std::string snap(const Array* p) { return bytes(p) + (p ? bytes(p->items, p->capacity) : ""); }
std::string snap(const Sample* p) { return bytes(p) + (p ? bytes(p->values, p->capacity) : ""); }

// call() leaves every record given (none for null), and its block, as it was; an allocation
// failure it armed but did not meet is dropped.
template <class Call, class... T>
void keeps(Call call, const T*... records) {
  const std::string before = (snap(records) + ...);
  call();
  mem_fail_disarm();
  EXPECT_TRUE((snap(records) + ...) == before) << "a refused call changed a record";
}
template <class T, class Op>
void refuses(T bare, Op op) {  // no record, and one without its block
  keeps([&] { op(nullptr); }, &bare);
  keeps([&] { op(&bare); }, &bare);
}
template <class T>
T* poked(T* record, const T& value) { return &(*record = value); }  // fields set as a caller may

template <class Call>
std::string said(Call call) {
  testing::internal::CaptureStdout();
  call();
  return testing::internal::GetCapturedStdout();
}
template <class Call>
void reports(std::uint8_t& verbose, const std::string& line, Call call) {  // only while the switch is set
  for (verbose = 0; verbose < 2; ++verbose) EXPECT_EQ(said(call), verbose ? line + "\n" : "");
  verbose = 0;
}

// make() with each of its allocations failing in turn gives a result that is not whole exactly
// when one failed (unless it may get by without the block); destroy(&result) gives all back.
constexpr auto exists = [](const auto* p) { return p != nullptr; };
constexpr auto release = [](auto** p) { mem_free(*p); };
template <class Make, class Destroy, class Whole = decltype(exists)>
void fails_cleanly(Make make, Destroy destroy, Whole whole = exists, bool may_get_by = false) {
  const MemUse before = mem_in_use();
  each_allocation_failing([&](auto arm) {
    arm();
    auto* made = make();
    const bool fired = !mem_fail_pending();
    EXPECT_TRUE((may_get_by && fired) || whole(made) == !fired);
    if (made != nullptr) destroy(&made);
    EXPECT_TRUE(mem_in_use() == before) << "leaked";
  });
}
// make(bad) gives nothing for every bad argument; make(good) fails cleanly.
template <bool may_get_by = false, class Make, class Destroy, class Good, class... Bad>
void makes(Make make, Destroy destroy, Good good, Bad... bad) {
  EXPECT_TRUE(((make(bad) == nullptr) && ...));
  fails_cleanly([&] { return make(good); }, destroy, exists, may_get_by);
}
template <class Read>
auto on_file(const char* path, Read read) {  // on a file opened anew
  std::FILE* file = std::fopen(path, "rb");
  auto* result = read(file);
  if (file != nullptr) std::fclose(file);
  return result;
}

template <class T, class R>
void destroy_nothing(R (*destroy)(T**) noexcept) {  // no address, or that of a null pointer
  destroy(std::array<T*, 1>{}.data());
  destroy(nullptr);
}
template <auto destroy>
void destroys() { destroy_nothing(destroy); }
template <auto destroy>
struct Destroy {
  template <class T>
  void operator()(T* p) const noexcept { destroy(&p); }
};
template <auto create, auto destroy>
auto own() { return std::unique_ptr<std::remove_pointer_t<decltype(create())>, Destroy<destroy>>(create()); }

// The vectors: a copy from or to nothing changes nothing, nothing equals nothing.
template <auto copy, class T>
void copies(T value) {
  keeps([&] { copy(nullptr, &value); }, &value);
  keeps([&] { copy(&value, nullptr); }, &value);
}
template <auto equal, class T>
void unequal(T value) { EXPECT_FALSE(equal(nullptr, nullptr) || equal(&value, nullptr) || equal(nullptr, &value)); }

// IMG and its codec, FONT, CURSOR, SCROLL, VEC2D, CURSORX, DISTX, DISTY, VEC3D and the particle effects.
using In = const Image*;
std::uint32_t word = 1;
Image blank{5, 4, nullptr}, huge{int_max, int_max, &word}, negative{-1, 4, &word};
const I far[] = {int_min, int_min + 1, int_max - 1, int_max}, no_count[] = {0, -1, int_min};
const unsigned char* in_memory(const char* s) { return reinterpret_cast<const unsigned char*>(s); }
const char* const tiny = "P6 2 1 255 abcdef";
// Sizes no decoder may make (overflow, zero, a 32-bit area of 0, one beyond the limit); a bad magic.
const char* const bad_headers[] = {"P6 2147483648 1 255 x", "P6 0 1 255 x", "P6 65536 65536 255 x",
                                   "P6 4097 4096 255 x", "P7 1 1"};

struct Pics {  // a has no key pixel: any copy of it that lands shows
  Img owned_a = picture(5, 4, [](I x, I y) { return 0x010203u * (1u + x + 7u * y); }), owned_b = filled(5, 4, 9);
  Image *a = owned_a.get(), *b = owned_b.get(), bare{5, 4, nullptr};
  template <class Call>
  void keep(Call call) { keeps(call, a, b, &bare); }
};
// op(source, destination, v) changes nothing with either picture missing or without pixels, nor
// for any of the values.
template <class Op, class Values = decltype(far)>
void refused(Op op, const Values& values = far) {
  Pics p;
  for (auto [s, d] : {std::pair<In, Image*>{nullptr, p.b}, {p.a, nullptr}, {&p.bare, p.b}, {p.a, &p.bare}})
    p.keep([&] { op(s, d, 0); });
  for (I v : values) p.keep([&] { op(p.a, p.b, v); });
}
template <class Values, class Op>
void both_ways(const Values& values, Op op) {  // op(source, destination, v, 0) and op(..., 0, v)
  refused([&](In s, Image* d, I v) { op(s, d, v, 0); }, values);
  refused([&](In s, Image* d, I v) { op(s, d, 0, v); }, values);
}
template <auto op>
void wraps(I lines) {  // between lines outside, and at any offset
  both_ways(beyond(lines), [](In s, Image* d, I from, I to) { op(s, d, from, to, 1); });
  for (I v : extremes) op(Pics{}.a, Pics{}.b, 0, 0, v);
}
// f(picture, x, y) on no picture, one without pixels and each position off a 5 x 4 one.
template <class F>
void off_picture(F f) {
  Pics p;
  for (auto [image, x, y] : {std::tuple{static_cast<Image*>(nullptr), 0, 0}, {&p.bare, 0, 0}, {p.a, -1, 0},
                             {p.a, 5, 0}, {p.a, int_min, 0}, {p.a, int_max, 0}, {p.a, 0, -1}, {p.a, 0, 4},
                             {p.a, 0, int_min}, {p.a, 0, int_max}})
    p.keep([&] { f(image, x, y); });
}
template <auto op>
void rects() {  // off the picture, empty, or too wide or tall: nothing is clipped
  for (I n : {int_min, -1, 0, 1, int_max}) off_picture([n](Image* image, I x, I y) { op(image, x, y, n, n, 1); });
  for (I n : {int_min, -1, 0, 6, int_max}) off_picture([n](Image* image, I, I) { op(image, 0, 0, n, 1, 1); });
  for (I n : {int_min, -1, 0, 5, int_max}) off_picture([n](Image* image, I, I) { op(image, 0, 0, 1, n, 1); });
}
auto sheet_font() {  // glyphs 2 x 2 on an 8 x 4 sheet without key pixels: codes 0 .. 7
  auto font = own<font_create, font_destroy>();
  font->glyph_width = font->glyph_height = 2;
  font->sheet = picture(8, 4, [](I x, I y) { return 1u + x + 8u * y; }).release();
  return font;
}
// f(cursor, v) at every length, step, position and v: a cursor without positions is left as it
// was; with `inside`, one with positions lands on one of them.
template <class F>
void text_cursors(F f, bool inside = false) {
  f(nullptr, 1);
  for (I length : extremes)
    for (I v : extremes) {
      Cursor c{length, v, v, 0};
      keeps([&] { f(&c, v); }, length <= 0 ? &c : nullptr);
      EXPECT_TRUE(!inside || length <= 0 || (c.position >= 0 && c.position < length)) << length << " " << v;
    }
}
// draw(font, target, x): no font, sheet, pixels or target, or a pen far outside, draws nothing;
// glyphs of any size stay defined.
template <class Draw>
void draws_text(Draw draw) {
  auto font = sheet_font();
  Img target = filled(5, 4, 0);
  Image no_pixels{};
  const Font blank{2, 2, nullptr}, sheetless{2, 2, &no_pixels};
  for (const Font* f : {&blank, &sheetless, static_cast<const Font*>(nullptr)})
    keeps([&] { draw(f, target.get(), 0); }, target.get());
  for (I x : {int_min, int_max - 1, int_max}) keeps([&] { draw(font.get(), target.get(), x); }, target.get());
  draw(font.get(), nullptr, 0);
  for (I w : extremes)
    for (I h : extremes) draw(std::array{Font{w, h, font->sheet}}.data(), target.get(), 1);
}
// The scroller: anything missing, an empty text or no memory leaves its binding; without a
// glyph width it does not move, and not set up it draws nothing.
void scroller() {
  destroys<scroller_destroy>();
  fails_cleanly(scroller_create, scroller_destroy);
  auto font = sheet_font();
  Img target = filled(5, 4, 0);
  auto s = own<scroller_create, scroller_destroy>();
  keeps([&] { scroller_draw(s.get()); }, s.get(), s->cursor);
  scroller_setup(nullptr, "a", font.get(), target.get());
  scroller_setup(s.get(), "\1\2\3", font.get(), target.get());
  for (auto [text, f, t] : {std::tuple<const char*, Font*, Image*>{nullptr, font.get(), target.get()},
                            {"a", nullptr, target.get()}, {"a", font.get(), nullptr}, {"", font.get(), target.get()}})
    keeps([&] { scroller_setup(s.get(), text, f, t); }, s.get(), s->cursor);
  mem_fail_after(0);
  keeps([&] { scroller_setup(s.get(), "b", font.get(), target.get()); }, s.get(), s->cursor);
  for (auto op : {scroller_step, scroller_draw}) op(nullptr);
  for (auto op : {scroller_step, scroller_draw}) op(s.get());
  font->glyph_width = 0;
  keeps([&] { scroller_step(s.get()); }, s.get(), s->cursor);
}
// A particle effect: `settings` plain words lead the record, and it owns a block of `per` plain
// words per element, so that filling both reaches any value a caller may poke in.
template <auto create, auto destroy, auto block, int per, int settings>
struct Effect {
  using T = std::remove_pointer_t<decltype(create())>;
  static auto make() { return own<create, destroy>(); }
  static bool whole(const T* r) { return r != nullptr && r->*block != nullptr; }
  static std::string words(const T* r) { return bytes(reinterpret_cast<const I*>(r->*block), per * r->count); }
  static void creates() { fails_cleanly(create, destroy, whole); }
  template <auto create_if>
  static void creates_if() {  // nothing for a zero flag
    EXPECT_EQ(create_if(0), nullptr);
    fails_cleanly([] { return create_if(1); }, destroy, whole);
  }
  // op(record, v) on no record or one without its block, and for each v refused on a good one,
  // changes nothing; op(record, 0) with the settings at one extreme and every element word at
  // another stays defined.
  template <class Op, class Values = std::array<I, 0>>
  static void poke(Op op, const Values& refused = {}) {
    auto made = make();
    T bare = *made;
    bare.*block = nullptr;
    refuses(bare, [&](T* r) { op(r, 0); });
    const std::string block_before = words(made.get());
    keeps([&] { for (I v : refused) op(made.get(), v); }, made.get());
    EXPECT_TRUE(words(made.get()) == block_before) << "a refused call changed a block";
    for (I v : extremes)
      for (I w : extremes) {
        std::fill_n(reinterpret_cast<I*>(made.get()), settings, v);
        std::fill_n(reinterpret_cast<I*>(made.get()->*block), per * made->count, w);
        op(made.get(), 0);
      }
  }
  template <class F>
  static T* with(T* r, F T::*field, std::type_identity_t<F> value) {  // set where the record has its block
    if (r != nullptr && r->*block != nullptr) r->*field = value;
    return r;
  }
  template <auto op>
  static void any() { poke([](T* r, I) { op(r); }); }
  template <auto op>
  static void indexed() { poke(op, beyond(make()->count)); }
  template <auto set_count>
  static void counted() { poke(set_count, std::array{0, -1, int_min, effect_max_count + 1, int_max}); }
  template <class Draw>
  static void drawing(Draw draw) {  // to no target, one without pixels or a real one, with any sprite
    Img target = filled(8, 8, 0), sprite = filled(3, 3, 7);
    Image bare{8, 8, nullptr};
    for (Image* t : {static_cast<Image*>(nullptr), &bare, target.get()})
      for (const Image* s : std::initializer_list<const Image*>{nullptr, &bare, sprite.get()})
        poke([&](T* r, I) { draw(r, t, s); });
  }
  template <auto draw>
  static void draws() {
    if constexpr (std::is_invocable_v<decltype(draw), T*, Image*, const Image*>) drawing(draw);
    else drawing([](T* r, Image* t, const Image*) { draw(r, t); });
  }
};
using StarsFx = Effect<stars_create, stars_destroy, &Stars::stars, 2, 4>;
using RadarsFx = Effect<radars_create, radars_destroy, &Radars::points, 3, 6>;
using SplixFx = Effect<splix3d_create, splix3d_destroy, &Splix3D::particles, 6, 6>;
using DotsFx = Effect<sinedots_create, sinedots_destroy, &SineDots::dots, 4, 26>;
using Stars3DFx = Effect<stars3d_create, stars3d_destroy, &Stars3D::stars, 3, 8>;
using GasFx = Effect<gas2d_create, gas2d_destroy, &Gas2D::particles, 6, 3>;
// op(cursor, w) with every field and w at the extremes keeps a positive length's position inside
// it; on no cursor it gives `none`, or w where that is -1.
template <class Op>
void cursors(Op op, I none = -1) {
  if constexpr (std::is_void_v<decltype(op(nullptr, 7))>) op(nullptr, 7);
  else EXPECT_EQ(op(nullptr, 7), none < 0 ? 7 : none);
  for (I v : extremes)
    for (I w : extremes) {
      CursorX c{v, 0, w, v, w, v};
      op(&c, w);
      EXPECT_TRUE(c.length <= 0 || (c.position >= 0 && c.position < c.length)) << v << " " << w;
    }
}
template <auto create, auto destroy, auto draw, auto advance>
void distortion() {  // without a source nothing is drawn; from any source to any target it stays defined
  destroys<destroy>();
  fails_cleanly(create, destroy);
  auto d = own<create, destroy>();
  Pics p;
  keeps([&] { draw(d.get(), p.b); }, p.b);
  advance(nullptr);
  advance(d.get());
  for (const Image* s : std::initializer_list<const Image*>{&p.bare, p.a})
    for (Image* t : {static_cast<Image*>(nullptr), &p.bare, p.b}) draw(poked(d.get(), {0, 0, d->wave, 16, s}), t);
}
constexpr auto distx = distortion<distx_create, distx_destroy, distx_draw, distx_advance>;
constexpr auto disty = distortion<disty_create, disty_destroy, disty_draw, disty_advance>;
const Vec3D far3{int_min, int_max, -1};

const Row drawing[] = {
  {"img_error", [] { reports(img_verbose, "IMG error", img_error); }}, {"img_destroy", destroys<img_destroy>},
  {"img_create", [] { fails_cleanly(img_create, img_destroy); }}, {"img_clear", [] { refuses(blank, img_clear); }},
  {"img_has_pixels", [] { EXPECT_FALSE(img_has_pixels(nullptr) || img_has_pixels(&blank)); }},
  {"img_resize", [] {  // a size out of range changes nothing; without memory the size is taken without pixels
     for (I w : {int_min, -1, 4096, 65536, int_max})
       for (I h : {int_min, -1, 4097, 65536, int_max}) off_picture([&](Image* p, I, I) { img_resize(p, w, h); });
     Img p = filled(5, 4, 0);
     mem_fail_after(0);
     img_resize(p.get(), 8, 8);
     EXPECT_TRUE(p->width == 8 && p->height == 8 && p->pixels == nullptr); }},
  {"img_fade", [] {  // only the amount's low byte counts
     for (I amount : {int_min, 0, 256}) off_picture([&](Image* image, I, I) { img_fade(image, amount); }); }},
  {"img_pixel_address", [] { off_picture([](In image, I x, I y) { EXPECT_FALSE(img_pixel_address(image, x, y)); }); }},
  {"img_get_pixel", [] { off_picture([](In image, I x, I y) { EXPECT_EQ(img_get_pixel(image, x, y), 0u); }); }},
  {"img_put_pixel", [] { off_picture([](Image* image, I x, I y) { img_put_pixel(image, x, y, 1); }); }},
  {"img_fill_rect", rects<img_fill_rect>}, {"img_frame_rect", rects<img_frame_rect>},
  // Besides, a source of another size, and one without columns.
  {"img_copy_pixels", [] { refused([](In s, Image* d, I v) { img_copy_pixels(v ? filled(4, 5, 1).get() : s, d); }); }},
  {"img_and_mask", [] { refused([](In s, Image* d, I v) { img_and_mask(v ? filled(5, 5, 0).get() : s, d); }); }},
  {"img_resample", [] { refused([](In s, Image* d, I v) { img_resample(v ? filled(0, 3, 0).get() : s, d); }); }},
  {"img_clone", [] { makes(img_clone, img_destroy, Pics{}.a, nullptr, &blank); }},
  {"img_equal", [] { EXPECT_FALSE(img_equal(nullptr, nullptr) || img_equal(Pics{}.a, &blank)); }},
  // Far positions, and sizes that reach them.
  {"img_blit", [] { both_ways(far, [](In s, Image* d, I x, I y) { img_blit(s, d, x, y, y, x, int_max, int_max); }); }},
  {"img_blit_spread", [] {  // and steps that go nowhere
     both_ways(far, [](In s, Image* d, I x, I y) { img_blit_spread(s, d, x, y, y, x, int_max, int_max, 3, 3); });
     refused([](In s, Image* d, I k) { img_blit_spread(s, d, 0, 0, 0, 0, 5, 4, k, 1); }, no_count); }},
  {"img_blit_row_wrap", [] { wraps<img_blit_row_wrap>(4); }}, {"img_or_row_wrap", [] { wraps<img_or_row_wrap>(4); }},
  {"img_blit_column_wrap", [] { wraps<img_blit_column_wrap>(5); }},
  {"img_blit_columns_wrap", [] {  // and no columns, no offsets
     static const I shifts[5] = {int_min, -1, 0, int_max - 1, int_max};
     both_ways(far, [](In s, Image* d, I from, I to) { img_blit_columns_wrap(s, d, from, to, 5, shifts); });
     refused([](In s, Image* d, I n) { img_blit_columns_wrap(s, d, 0, 0, n, n ? shifts : nullptr); }, no_count); }},
  {"img_blend_blit", [] { both_ways(far, img_blend_blit); }},
  {"img_copy_row", [] { both_ways(beyond(4), img_copy_row); }},
  {"img_rotate", [] {  // at any angle
     for (I v : extremes) makes([v](In p) { return img_rotate(p, v); }, img_destroy, Pics{}.a, nullptr, &blank, &huge);
   }},
  {"img_line_points", [] {  // no longer than the largest picture
     EXPECT_FALSE(img_line_points(int_min, 0, int_max, 0) || img_line_points(0, int_max, 0, -1));
     fails_cleanly([] { return img_line_points(int_max, int_min, int_max, int_min); }, release); }},
  {"img_step_runs", [] {
     EXPECT_FALSE(img_step_runs(int_min, 0) || img_step_runs(0, int_max) || img_step_runs(int_min + 1, -int_max));
     fails_cleanly([] { return img_step_runs(0, 0); }, release, [](const I* r) { return r && r[0] == 1; }); }},
  {"img_from_pnm", [] { makes(img_from_pnm, img_destroy, in_memory(tiny), nullptr);
     for (const char* h : bad_headers) EXPECT_FALSE(img_from_pnm(in_memory(h))) << h; }},
  {"img_from_pnm_bounded", [] {  // and one byte short
     makes([](std::size_t n) { return img_from_pnm_bounded(n ? in_memory(tiny) : nullptr, n); }, img_destroy,
           std::size_t{17}, 0, 16);
     for (const char* h : bad_headers) EXPECT_FALSE(img_from_pnm_bounded(in_memory(h), std::strlen(h))) << h; }},
  {"img_read_pnm_file", [] { makes(img_read_pnm_file, img_destroy, asset, nullptr, "/"); }},
  {"img_read_pnm_stream", [] {  // none, empty
     makes([](const char* path) { return on_file(path, img_read_pnm_stream); }, img_destroy, asset, "/dev/null");
     EXPECT_FALSE(img_read_pnm_stream(nullptr)); }},
  {"img_write_ppm_file", [] {  // no picture, pixels, size or path; a full disk
     Pics p;
     for (auto [image, path] : {std::pair<In, const char*>{nullptr, "/dev/null"}, {&blank, "/dev/null"},
                                {&negative, "/dev/null"}, {p.a, nullptr}, {p.a, "/dev/full"}})
       EXPECT_EQ(img_write_ppm_file(image, path), 0) << path; }},
  {"img_to_text", [] { makes(img_to_text, release, Pics{}.a, nullptr, &blank, &huge, &negative); }},
  {"img_from_text", [] {  // none, empty, truncated, overflowing, beyond the limit
     makes(img_from_text, img_destroy, "IMG{\nP3\n1 1 255\n1 2 3\n}", nullptr, "", "IMG{P3\n",
           "IMG{\nP3\n2 1 255\n1 2 3\n}", "IMG{\nP3\n2147483648 1 255\n", "IMG{\nP3\n65536 65536 255\n1",
           "IMG{\nP3\n0 1 255\n"); }},
  {"img_find_token", [] {
     EXPECT_FALSE(img_find_token(nullptr, "a") || img_find_token("a", nullptr) || img_find_token("a", "")); }},
  {"cursor_create", [] { fails_cleanly(cursor_create, cursor_destroy); }}, {"cursor_destroy", destroys<cursor_destroy>},
  {"cursor_init", [] { cursor_init(nullptr, 1, 1); }}, {"cursor_save", [] { cursor_save(nullptr); }},
  {"cursor_restore", [] { cursor_restore(nullptr); }},
  {"cursor_advance", [] { text_cursors([](Cursor* c, I) { cursor_advance(c); }, true); }},
  {"cursor_set_position",  // 0 without positions
   [] { text_cursors([](Cursor* c, I v) { EXPECT_TRUE(cursor_set_position(c, v) == 0 || c->length > 0); }); }},
  {"font_create", [] { fails_cleanly(font_create, font_destroy); }},
  {"font_destroy", [] { destroys<font_destroy>();  // and a sheet without pixels
     own<font_create, font_destroy>()->sheet = mem_new<Image>(); }},
  {"font_draw_char", [] {  // codes left of the sheet and beyond its cells draw nothing
     draws_text([](const Font* f, Image* d, I x) { for (I code : extremes) font_draw_char(f, code, x, 0, d); });
     draws_text([](const Font* f, Image* d, I) { for (I code : {-1, -128, 8}) font_draw_char(f, code, 0, 0, d); }); }},
  {"font_draw_string", [] {  // nor does no text
     draws_text([](const Font* f, Image* d, I x) { font_draw_string(f, "\1\2\x80\xff", x, 0, d); });
     draws_text([](const Font* f, Image* d, I) { font_draw_string(f, nullptr, 0, 0, d); }); }},
  {"font_draw_hex8", [] { draws_text([](const Font* f, Image* d, I x) { font_draw_hex8(f, 0xFF, x, int_min, d); }); }},
  {"font_draw_hex16", [] { draws_text([](const Font* f, Image* d, I x) { font_draw_hex16(f, 0xFFFF, x, -1, d); }); }},
  {"font_draw_hex32", [] { draws_text([](const Font* f, Image* d, I x) { font_draw_hex32(f, ~0u, x, int_min, d); }); }},
  {"scroller_create", scroller}, {"scroller_destroy", scroller}, {"scroller_setup", scroller},
  {"scroller_step", scroller}, {"scroller_draw", scroller},
  {"vec2d_create", [] { fails_cleanly(vec2d_create, vec2d_destroy); }}, {"vec2d_destroy", destroys<vec2d_destroy>},
  {"vec2d_clone", [] { makes(vec2d_clone, vec2d_destroy, std::array{Vec2D{int_min, int_max}}.data(), nullptr); }},
  {"vec2d_copy", [] { copies<vec2d_copy>(Vec2D{1, 2}); }}, {"vec2d_equal", [] { unequal<vec2d_equal>(Vec2D{}); }},
  {"vec2d_triple_clone",
   [] { makes(vec2d_triple_clone, release, std::array{Vec2DTriple{int_min, int_max, -1, 0, 1, 2}}.data(), nullptr); }},
  {"vec2d_triple_copy", [] { copies<vec2d_triple_copy>(Vec2DTriple{1, 2, 3, 4, 5, 6}); }},
  {"cursorx_create", [] { fails_cleanly(cursorx_create, release); }},
  {"cursorx_set_offset", [] { cursors(cursorx_set_offset); }}, {"cursorx_restart", [] { cursors(cursorx_restart); }},
  {"cursorx_set_phase", [] { cursors(cursorx_set_phase); }},
  {"cursorx_set_length", [] { cursors(cursorx_set_length); }},
  {"cursorx_step", [] { cursors([](CursorX* c, I) { return cursorx_step(c); }, 0); }},
  {"cursorx_advance", [] { cursors([](CursorX* c, I) { return cursorx_advance(c); }, 0); }},
  {"cursorx_update", [] { cursors([](CursorX* c, I) { cursorx_update(c); }); }},
  {"cursorx_set", [] { cursors([](CursorX* c, I w) { cursorx_set(c, w, w, w, w, w); }); }},
  {"distx_create", distx}, {"distx_destroy", distx}, {"distx_draw", distx}, {"distx_advance", distx},
  {"disty_create", disty}, {"disty_destroy", disty}, {"disty_draw", disty}, {"disty_advance", disty},
  {"vec3d_create", [] { fails_cleanly(vec3d_create, vec3d_destroy); }}, {"vec3d_destroy", destroys<vec3d_destroy>},
  {"vec3d_clone", [] { makes(vec3d_clone, vec3d_destroy, &far3, nullptr); }},
  {"vec3d_copy", [] { copies<vec3d_copy>(far3); }}, {"vec3d_equal", [] { unequal<vec3d_equal>(far3); }},
  {"stars_error", [] { reports(stars_verbose, "STARS error", stars_error); }},
  {"stars_destroy", destroys<stars_destroy>},
  {"stars_create", StarsFx::creates}, {"stars_create_if", StarsFx::creates_if<stars_create_if>},
  {"stars_set_count", StarsFx::counted<stars_set_count>}, {"stars_respawn", StarsFx::indexed<stars_respawn>},
  {"stars_scatter", StarsFx::any<stars_scatter>}, {"stars_update", StarsFx::any<stars_update>},
  {"stars_draw", StarsFx::draws<stars_draw>},
  {"stars_draw_glyphs", [] {  // with a font, once there are stars
     auto font = sheet_font();
     StarsFx::drawing([&](Stars* s, Image* t, const Image*) {
       stars_draw_glyphs(StarsFx::with(s, &Stars::font, font.get()), t);
     });
   }},
  {"radars_create", RadarsFx::creates}, {"radars_create_if", RadarsFx::creates_if<radars_create_if>},
  {"radars_set_count", RadarsFx::counted<radars_set_count>},
  {"radars_reset_point", RadarsFx::indexed<radars_reset_point>},
  {"radars_scatter", RadarsFx::any<radars_scatter>}, {"radars_update", RadarsFx::any<radars_update>},
  {"radars_draw", RadarsFx::draws<radars_draw>}, {"radars_destroy", destroys<radars_destroy>},
  {"splix3d_create", SplixFx::creates}, {"splix3d_set_count", SplixFx::counted<splix3d_set_count>},
  {"splix3d_reset_particle", SplixFx::indexed<splix3d_reset_particle>}, {"splix3d_destroy", destroys<splix3d_destroy>},
  {"splix3d_reset_all", SplixFx::any<splix3d_reset_all>}, {"splix3d_update", SplixFx::any<splix3d_update>},
  {"splix3d_draw", SplixFx::draws<splix3d_draw>}, {"splix3d_draw_sprites", SplixFx::draws<splix3d_draw_sprites>},
  {"sinedots_create", DotsFx::creates}, {"sinedots_create_if", DotsFx::creates_if<sinedots_create_if>},
  {"sinedots_set_count", DotsFx::counted<sinedots_set_count>}, {"sinedots_destroy", destroys<sinedots_destroy>},
  {"sinedots_randomise", DotsFx::any<sinedots_randomise>}, {"sinedots_update", DotsFx::any<sinedots_update>},
  {"sinedots_draw", [] {  // and at any count: the dots themselves are never read
     DotsFx::draws<sinedots_draw>();
     auto d = DotsFx::make();
     Img target = filled(8, 8, 0);
     for (I n : {int_max, int_min}) sinedots_draw(poked(d.get(), {8, 8, {}, {}, {}, {}, 1, n, d->dots}), target.get());
   }},
  {"stars3d_create", Stars3DFx::creates}, {"stars3d_create_if", Stars3DFx::creates_if<stars3d_create_if>},
  {"stars3d_set_count", Stars3DFx::counted<stars3d_set_count>},
  {"stars3d_respawn", Stars3DFx::indexed<stars3d_respawn>},
  {"stars3d_scatter", Stars3DFx::any<stars3d_scatter>}, {"stars3d_update", Stars3DFx::any<stars3d_update>},
  {"stars3d_draw", Stars3DFx::draws<stars3d_draw>}, {"stars3d_destroy", destroys<stars3d_destroy>},
  {"gas2d_create", GasFx::creates}, {"gas2d_scatter", GasFx::any<gas2d_scatter>},
  {"gas2d_kick", GasFx::indexed<gas2d_kick>},
  {"gas2d_draw_sprites", GasFx::draws<gas2d_draw_sprites>},
  {"gas2d_draw", GasFx::draws<[](Gas2D* g, Image* target) {  // the picture is remembered even without particles
     gas2d_draw(g, target);
     EXPECT_TRUE(g == nullptr || g->particles != nullptr || std::exchange(g->image, nullptr) == target); }>},
  {"gas2d_error", [] { EXPECT_EQ(said(gas2d_error), "GAS2D error\n"); }},
  {"gas2d_destroy", [] { EXPECT_EQ(said(destroys<gas2d_destroy>), "GAS2D error\nGAS2D error\n"); }},
  {"gas2d_set_count", [] {  // the count is taken, without particles
     for (I n : {0, -1, int_min, effect_max_count + 1, int_max}) gas2d_set_count(GasFx::make().get(), n); }},
  {"gas2d_place_triple", GasFx::indexed<[](Gas2D* g, I i) {  // groups of three: twice as many as particles
     gas2d_place_triple(g, g != nullptr && i == g->count ? 2 * i : i); }>},
  {"gas2d_update", [] {  // it reads the picture of the last draw
     Img seen = picture(8, 8, [](I x, I) { return x & 1u; });
     GasFx::poke([&](Gas2D* g, I) { gas2d_update(GasFx::with(g, &Gas2D::image, seen.get())); }); }},
};

// ARRAY, SAMPLE, MUSIC, the audio output, SDLDPY and FPS on the headless system.
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
const I negatives[] = {-1, int_min};

// op on records no operation may use (missing, no block, more live entries than the block holds,
// a negative count) changes nothing; a two-sample op gets the bad one on either side.
template <class Op>
void bad_records(Op op) {
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
  bad_records([&](auto* record) -> decltype(op(record, 0)) { return op(record, 0); });
}
// op(record) gives nothing for a record no operation may use, and fails cleanly on a good one.
template <class Op, class Destroy>
void makes_from(Op op, Destroy destroy) {
  bad_records([&](auto* record) -> decltype(void(op(record))) { EXPECT_FALSE(op(record)); });
  if constexpr (std::is_invocable_v<Op, Array*>) fails_cleanly([&, a = three()] { return op(a.get()); }, destroy);
  if constexpr (std::is_invocable_v<Op, Sample*>) fails_cleanly([&, s = four()] { return op(s.get()); }, destroy);
}
// A negative size or no memory changes nothing; from a length poked outside the block the new
// block takes only what the old one holds.
template <auto op>
void resizes() {
  auto s = four();
  op(nullptr, 1);
  keeps([&] { for (I n : negatives) op(s.get(), n); }, s.get());
  mem_fail_after(0);
  keeps([&] { op(s.get(), 64); }, s.get());
  for (I poked : {-5, 100, int_max}) op(four(poked).get(), 8);
}

void music() {  // a sample registered twice is released once, the bank never; an empty loop steps
  destroys<music_destroy>();
  fails_cleanly(music_create, music_destroy, exists, true);
  refuses(Music{}, [](Music* m) { music_add_instrument(m, sample_bank.samples); });
  refuses(Music{}, music_step);
  auto m = own<music_create, music_destroy>();
  Sample* twice = sample_create();
  for (Sample* s : {twice, &sample_bank.samples[1], twice, static_cast<Sample*>(nullptr)})
    music_add_instrument(m.get(), s);
  sample_set_length(m->loop, 0);
  music_step(m.get());
  sample_destroy(&music_scratch);
}
// The audio output: none without a device; no record, sample, stream or length, or a negative
// bound, queues or plays nothing; from any position poked in, the head plays.
void audio() {
  headless_refuse_audio(true);
  EXPECT_EQ(audio_open(), nullptr);
  headless_reset();
  fails_cleanly(audio_open, audio_close);
  destroys<audio_close>();
  refuses(AudioOut{}, [](AudioOut* out) { audio_queue(out, nullptr); });
  std::uint8_t stream[9] = {};
  auto s = four();
  audio_queue(nullptr, s.get());
  keeps([&] { audio_callback(nullptr, stream, 9); }, &stream);
  for (I position : extremes) {
    AudioOut out{0, 0, position, nullptr, 0, 0, 0};
    keeps([&] { EXPECT_FALSE(audio_queue_if_at_most(&out, s.get(), -1) || audio_queue_if_at_most(&out, nullptr, 1) ||
                             audio_queue_if_at_most(nullptr, s.get(), 1)); }, &out);
    audio_queue(&out, s.get());
    keeps([&] { for (int length : {0, -1, int_min}) audio_callback(&out, stream, length); }, &out, &stream);
    keeps([&] { audio_callback(&out, nullptr, 9); }, &out);
    audio_callback(&out, stream, 9);
    array_destroy(&out.queue);
  }
}

Display foreign{256, 256, 32};  // not the open display
auto opened() {
  headless_reset();
  return own<sdldpy_open, sdldpy_close>();
}
// The display: without a video mode the record stays all zero and a second open gives it again;
// keys come only with it. No display, or not the open one, takes no mode and shows no frame, nor
// does an image without pixels or of a size it cannot take; a converted one shows what fits.
void display() {
  destroys<sdldpy_close>();
  destroys<sdldpy_keys_destroy>();
  fails_cleanly([] { return opened().release(); }, sdldpy_close);
  headless_refuse_video("no display");
  auto refused = own<sdldpy_open, sdldpy_close>();
  EXPECT_TRUE(refused->width == 0 && refused->depth == 0 && sdldpy_open() == refused.get());
  EXPECT_STREQ(sdldpy_video_error(), "no display");
  refused.reset();
  EXPECT_FALSE(sdldpy_is_open() || sdldpy_keys_create());
  auto dpy = opened();
  EXPECT_TRUE(sdldpy_is_open() && !sdldpy_has_video(nullptr) && !sdldpy_has_video(&foreign));
  fails_cleanly(sdldpy_keys_create, sdldpy_keys_destroy);
  refuses(Keys{nullptr}, sdldpy_keys_poll);
  refuses(foreign, [](Display* d) { sdldpy_set_mode(d, 1, 1); });
  for (I w : extremes)
    for (I h : extremes) keeps([&] { sdldpy_set_mode(dpy.get(), w, h); }, dpy.get());
  Img screen = filled(256, 256, 1), low = filled(256, 128, 1), high = filled(256, 257, 1);
  Image bare{256, 256, nullptr};
  const std::uint32_t frames = headless_presents();
  for (auto present : {sdldpy_present, sdldpy_present_swap, sdldpy_present_convert})
    for (auto [d, image] : {std::pair<Display*, const Image*>{nullptr, screen.get()}, {&foreign, screen.get()},
                            {dpy.get(), nullptr}, {dpy.get(), &bare}})
      present(d, image);
  for (auto present : {sdldpy_present, sdldpy_present_swap})
    for (Image* image : {low.get(), high.get()}) present(dpy.get(), image);
  Display* other = &foreign;
  sdldpy_close(&other);
  EXPECT_TRUE(other == &foreign && sdldpy_is_open() && headless_presents() == frames);
  for (Image image : {Image{int_max, int_max, screen->pixels}, Image{int_min, -1, screen->pixels}})
    sdldpy_present_convert(dpy.get(), &image);
}
void fps() {  // the clock wraps
  headless_set_ticks(0xFFFFFFFF);
  EXPECT_EQ(fps_now_us(), -1000);
  fps_measure();
  fps_pace();
}

const Row sound_and_platform[] = {
  {"array_error", [] { reports(array_verbose, "ARRAY error", array_error); }},
  {"array_destroy", destroys<array_destroy>}, {"array_remove_at", [] { rejects(array_remove_at, beyond(3)); }},
  {"array_create", [] { fails_cleanly(array_create, array_destroy); }},
  {"array_clone", [] { makes_from(array_clone, array_destroy); }},
  {"array_append", [] { bad_records([](Array* a) { array_append(a, slot(1)); }); }},
  {"array_get", [] { rejects([](Array* a, I i) { EXPECT_EQ(array_get(a, i), nullptr); }, beyond(3)); }},
  {"array_set", [] { rejects([](Array* a, I i) { array_set(a, slot(9), i); }, beyond(3)); }},
  {"array_insert_at", [] { rejects([](Array* a, I i) { array_insert_at(a, slot(9), i); }, beyond(4)); }},
  {"array_pop", [] { bad_records([](Array* a) { EXPECT_EQ(array_pop(a), nullptr); });  // nor from an empty one
     EXPECT_EQ(array_pop(own<array_create, array_destroy>().get()), nullptr); }},
  {"array_find", [] { rejects([](Array* a, I) { EXPECT_EQ(array_find(a, nullptr), -1); }, negatives); }},
  {"array_insert_range", [] {  // no extreme start and end make a range
     for (I start : extremes)
       for (I end : extremes) rejects([&](Array* a, I at) { array_insert_range(a, a, start, end, at); }, extremes); }},
  {"array_remove_range", [] {
     for (I end : extremes) rejects([end](Array* a, I start) { array_remove_range(a, start, end); }, extremes); }},
  {"array_copy_range", [] { makes_from([](Array* a) { return array_copy_range(a, 1, 3); }, array_destroy);
     for (I end : extremes) rejects([end](Array* a, I at) { EXPECT_FALSE(array_copy_range(a, at, end)); }, extremes);
   }},
  {"array_equal", [] {  // two missing arrays are equal
     bad_records([](Array* a) { EXPECT_FALSE(array_equal(a, three().get()) || array_equal(three().get(), a)); });
     EXPECT_EQ(array_equal(nullptr, nullptr), 1); }},
  {"array_grow", [] { rejects([](Array* a, I) { EXPECT_EQ(array_grow(a), 0); }, std::array{0}, true); }},

  {"sample_create", [] { fails_cleanly(sample_create, sample_destroy, [](auto* s) { return s && s->values; }); }},
  {"sample_destroy", destroys<sample_destroy>}, {"sample_clone", [] { makes_from(sample_clone, sample_destroy); }},
  {"sample_set_length", resizes<sample_set_length>}, {"sample_reserve", resizes<sample_reserve>},
  {"sample_clear", [] { bad_records(sample_clear); }}, {"sample_add", [] { bad_records(sample_add); }},
  {"sample_reverse", [] { bad_records(sample_reverse); }}, {"sample_multiply", [] { bad_records(sample_multiply); }},
  {"sample_rotate_right", [] { rejects(sample_rotate_right, negatives); }},
  {"sample_remove_at", [] { rejects(sample_remove_at, beyond(4)); }},
  {"sample_rotate_left", [] { rejects(sample_rotate_left, negatives); }},
  {"sample_shift_left", [] { rejects(sample_shift_left, beyond(32)); }},
  {"sample_shift_right", [] { rejects(sample_shift_right, beyond(32)); }},
  {"sample_get", [] { rejects([](Sample* s, I i) { EXPECT_EQ(sample_get(s, i), 0); }, beyond(4)); }},
  {"sample_set", [] { rejects([](Sample* s, I i) { sample_set(s, 9, i); }, beyond(4)); }},
  {"sample_insert_at", [] { rejects([](Sample* s, I i) { sample_insert_at(s, 9, i); }, beyond(5)); }},
  {"sample_move", [] {  // counts, starts and their sums out of range; from or to a bad sample
     bad_records([](Sample* a, Sample* b) { sample_move(a, b, 1, 0, 0); });
     for (I n : extremes) rejects([n](Sample* s, I i) { sample_move(s, s, n, i, 0); }, beyond(4));
     for (I n : extremes) rejects([n](Sample* s, I i) { sample_move(s, s, n, 0, i); }, beyond(4)); }},
  {"sample_insert_sample", [] {  // any place
     bad_records([](Sample* a, Sample* b) { sample_insert_sample(a, b, 0); });
     for (I at : beyond(5)) sample_insert_sample(four().get(), four().get(), at); }},
  {"sample_find", [] { rejects([](Sample* s, I from) { EXPECT_EQ(sample_find(s, 4, from), -1); }, beyond(4)); }},
  {"sample_max", [] { bad_records([](Sample* s) { EXPECT_EQ(sample_max(s), 0); }); }},
  {"sample_min", [] { bad_records([](Sample* s) { EXPECT_EQ(sample_min(s), 0); }); }},
  {"sample_to_text", [] { makes_from(sample_to_text, release); }},
  {"sample_scale", [] { bad_records([](Sample* s) { sample_scale(s, 2); });
     for (I k : extremes) sample_scale(four().get(), k); }},
  {"sample_fit_range", [] { bad_records([](Sample* s) { sample_fit_range(s, 0, 1); });
     for (I lo : extremes)
       for (I hi : extremes) sample_fit_range(four().get(), lo, hi); }},
  {"sample_resample", [] {  // nor is there anything to repeat in an empty sample
     rejects(sample_resample, std::array{0, -1, int_min});
     rejects(sample_resample, std::array{8}, true);
     auto empty = four(0);
     keeps([&] { sample_resample(empty.get(), 8); }, empty.get()); }},
  {"sample_equal", [] { bad_records([](Sample* a, Sample* b) { EXPECT_EQ(sample_equal(a, b), 0); }); }},
  {"sample_match_count", [] { bad_records([](Sample* a, Sample* b) { EXPECT_EQ(sample_match_count(a, b, 0), 0); });
     rejects([](Sample* s, I at) { EXPECT_EQ(sample_match_count(s, s, at), 0); }, std::array{-4, 4, int_min, int_max});
   }},
  {"sample_best_offset", [] { bad_records([](Sample* a, Sample* b) { EXPECT_EQ(sample_best_offset(a, b), 0); }); }},
  {"sample_slice", [] { makes_from([](Sample* s) { return sample_slice(s, int_min, int_max); }, sample_destroy);
     EXPECT_FALSE(sample_slice(four().get(), 1, 0) || sample_slice(four().get(), int_max, int_min)); }},
  {"sample_from_text", [] {  // none, empty, overflowing, a count beyond the text, truncated
     makes<true>(sample_from_text, sample_destroy, "SAMPLE{2 -2147483648 2147483647}", nullptr, "",
                 "SAMPLE{2147483648 1", "SAMPLE{5 1 2}", "SAMPLE{2 1", "SAMPLE{1 -2147483649}"); }},
  {"sample_from_text_bounded", [] {  // no text; no NUL and no brace: the bound ends it
     static const char text[] = {'S', 'A', 'M', 'P', 'L', 'E', '{', '1', ' ', '5'};
     makes<true>([](std::size_t n) { return sample_from_text_bounded(n > 0 ? text : nullptr, n); }, sample_destroy,
                 sizeof text, 0, 9); }},
  {"sample_write_raw", [] {  // nothing to write, nowhere to write it
     std::FILE* file = std::tmpfile();
     bad_records([&](Sample* s) { sample_write_raw(s, file, 16, 'l'); });
     EXPECT_EQ(std::ftell(file), 0);
     sample_write_raw(four().get(), nullptr, 16, 'l');
     std::fclose(file); }},
  {"sample_read_raw", [] {  // no file
     EXPECT_FALSE(sample_read_raw(nullptr, 16, 'b', 'u'));
     fails_cleanly([] { return on_file(asset, [](std::FILE* f) { return sample_read_raw(f, 16, 'b', 'u'); }); },
                   sample_destroy, exists, true); }},
  {"sample_in_bank", [] { EXPECT_FALSE(sample_in_bank(nullptr) || sample_in_bank(four().get())); }},

  {"music_error", [] { reports(music_verbose, "MUSIC ERROR", music_error); }},
  {"music_create", music}, {"music_add_instrument", music}, {"music_step", music}, {"music_destroy", music},
  {"audio_open", audio}, {"audio_close", audio}, {"audio_queue", audio}, {"audio_queue_if_at_most", audio},
  {"audio_callback", audio},

  {"sdldpy_error", [] { reports(sdldpy_verbose, "SDLDPY error", sdldpy_error); }},
  {"sdldpy_open", display}, {"sdldpy_set_mode", display}, {"sdldpy_has_video", display},
  {"sdldpy_is_open", display}, {"sdldpy_video_error", display}, {"sdldpy_present", display},
  {"sdldpy_present_swap", display}, {"sdldpy_present_convert", display}, {"sdldpy_close", display},
  {"sdldpy_keys_create", display}, {"sdldpy_keys_poll", display}, {"sdldpy_keys_destroy", display},
  {"sdldpy_stop_signal", [] { EXPECT_EQ(sdldpy_stop_signal(), 0); }},
  {"fps_now_us", fps}, {"fps_measure", fps}, {"fps_pace", fps},
};

void run(std::span<const Row> table) {
  for (const Row& row : table) {
    SCOPED_TRACE(row.operation);
    const MemUse before = mem_in_use();
    row.check();
    EXPECT_TRUE(mem_in_use() == before) << row.operation << " leaked";
  }
}

TEST(Hostile, Drawing) { run(drawing); }
TEST(Hostile, SoundAndPlatform) { run(sound_and_platform); }

// The function a header line declares ("Image* img_create() noexcept;"): the name before the
// first parenthesis, after a return type that starts the line.
std::string declared(const std::string& line) {
  const std::size_t paren = line.find('('), start = line.find_last_of(" *", paren) + 1;
  const bool typed = paren != std::string::npos && start > 0 && std::isalpha(static_cast<unsigned char>(line[0])) &&
                     line.find('=') > paren && line.rfind("return", 0) != 0;
  return typed ? line.substr(start, paren - start) : "";
}

// Every function the public headers declare under a module prefix, read from the sources as they
// are now: a new operation without a row fails the test.
TEST(Hostile, EveryPublicOperationHasARow) {
  const std::set<std::string> prefixes{"img", "array", "sample", "music", "audio", "font", "cursor", "scroller",
                                       "vec2d", "cursorx", "stars", "radars", "distx", "disty", "splix3d",
                                       "sinedots", "stars3d", "vec3d", "gas2d", "sdldpy", "fps"};
  std::set<std::string> operations, rows;
  for (const char* module : {"image", "sound", "text", "effects", "platform"}) {
    for (const auto& entry : std::filesystem::directory_iterator(std::string(NOVU_SOURCE_DIR "/src/") + module)) {
      const std::string file = entry.path().filename().string();
      if (entry.path().extension() != ".hpp" || file == "system.hpp" || file == "headless.hpp") continue;
      std::ifstream in(entry.path());
      for (std::string line, name; std::getline(in, line);)
        if (name = declared(line); prefixes.count(name.substr(0, name.find('_'))) != 0) operations.insert(name);
    }
  }
  ASSERT_GT(operations.size(), 150u);
  for (std::span<const Row> table : {std::span<const Row>(drawing), std::span<const Row>(sound_and_platform)})
    for (const Row& row : table) EXPECT_TRUE(rows.insert(row.operation).second) << "two rows: " << row.operation;
  std::string without_row, not_an_operation;
  for (const std::string& name : operations) without_row += rows.count(name) != 0 ? "" : " " + name;
  for (const std::string& name : rows) not_an_operation += operations.count(name) != 0 ? "" : " " + name;
  EXPECT_EQ(without_row, "") << "public operations without a row";
  EXPECT_EQ(not_an_operation, "") << "rows naming no public operation";
}

}  // namespace
}  // namespace novu::hostile
