#pragma once
// The hostile caller: one row per public operation, calling it with missing records and blocks,
// bad sizes, indices out of range, extreme values and every allocation failing. A row checks the
// documented result and that a refused call changed nothing; the runner, that nothing leaked.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <limits>
#include <string>

#include "effects/gas2d.hpp"
#include "effects/radars.hpp"
#include "effects/sinedots.hpp"
#include "effects/splix3d.hpp"
#include "effects/stars.hpp"
#include "effects/stars3d.hpp"
#include "sound/array.hpp"
#include "sound/sample.hpp"
#include "support/alloc_failures.hpp"
#include "support/pictures.hpp"

namespace novu::hostile {

struct Row {
  const char* operation;
  void (*check)();
};
struct Rows {
  Rows(const char* table, std::initializer_list<Row> rows);
};

using I = std::int32_t;
inline constexpr I int_min = std::numeric_limits<I>::min(), int_max = std::numeric_limits<I>::max();
inline constexpr I extremes[] = {int_min, int_min + 1, -1, 0, int_max - 1, int_max};
inline std::array<I, 4> beyond(I count) { return {-1, count, int_min, int_max}; }  // indices outside [0, count)
inline const char* const asset = NOVU_SOURCE_DIR "/assets/strip.ppm";

// A record and the block it owns, as bytes.
template <class T>
std::string bytes(const T* p, std::int64_t n = 1) {
  return p == nullptr || n <= 0 ? "" : std::string(reinterpret_cast<const char*>(p), sizeof(T) * n);
}
template <class T>
std::string snap(const T* p) { return bytes(p); }
inline std::string snap(const Image* p) { return bytes(p) + (p ? bytes(p->pixels, p->width * 1ll * p->height) : ""); }
inline std::string snap(const Array* p) { return bytes(p) + (p ? bytes(p->items, p->capacity) : ""); }
inline std::string snap(const Sample* p) { return bytes(p) + (p ? bytes(p->values, p->capacity) : ""); }
inline std::string snap(const Stars* p) { return bytes(p) + (p ? bytes(p->stars, p->count) : ""); }
inline std::string snap(const Radars* p) { return bytes(p) + (p ? bytes(p->points, p->count) : ""); }
inline std::string snap(const Splix3D* p) { return bytes(p) + (p ? bytes(p->particles, p->count) : ""); }
inline std::string snap(const SineDots* p) { return bytes(p) + (p ? bytes(p->dots, 4ll * p->count) : ""); }
inline std::string snap(const Stars3D* p) { return bytes(p) + (p ? bytes(p->stars, p->count) : ""); }
inline std::string snap(const Gas2D* p) { return bytes(p) + (p ? bytes(p->particles, p->count) : ""); }

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
inline constexpr auto exists = [](const auto* p) { return p != nullptr; };
inline constexpr auto release = [](auto** p) { mem_free(*p); };
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
  T* none = nullptr;
  destroy(&none);
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

inline auto sheet_font() {  // glyphs 2 x 2 on an 8 x 4 sheet without key pixels: codes 0 .. 7
  auto font = own<font_create, font_destroy>();
  font->glyph_width = font->glyph_height = 2;
  font->sheet = picture(8, 4, [](I x, I y) { return 1u + x + 8u * y; }).release();
  return font;
}

}  // namespace novu::hostile
