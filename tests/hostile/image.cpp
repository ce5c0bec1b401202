// IMG and its codec.

#include <cstring>

#include "hostile/registry.hpp"
#include "image/blit.hpp"
#include "image/pnm.hpp"

namespace novu::hostile {
namespace {

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

const Rows rows("image", {
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
  {"img_read_pnm_file", [] { makes(img_read_pnm_file, img_destroy, asset, nullptr, "/", "/nonexistent/a.ppm"); }},
  {"img_read_pnm_stream", [] {  // none, empty
     makes([](const char* path) { return on_file(path, img_read_pnm_stream); }, img_destroy, asset, "/dev/null");
     EXPECT_FALSE(img_read_pnm_stream(nullptr)); }},
  {"img_write_ppm_file", [] {  // no picture, pixels, size or path; a full disk; no such directory
     Pics p;
     for (auto [image, path] : {std::pair<In, const char*>{nullptr, "/dev/null"}, {&blank, "/dev/null"},
                                {&negative, "/dev/null"}, {p.a, nullptr}, {p.a, "/dev/full"}, {p.a, "/no/a.ppm"}})
       EXPECT_EQ(img_write_ppm_file(image, path), 0) << path; }},
  {"img_to_text", [] { makes(img_to_text, release, Pics{}.a, nullptr, &blank, &huge, &negative); }},
  {"img_from_text", [] {  // none, empty, truncated, overflowing, beyond the limit
     makes(img_from_text, img_destroy, "IMG{\nP3\n1 1 255\n1 2 3\n}", nullptr, "", "IMG{P3\n",
           "IMG{\nP3\n2 1 255\n1 2 3\n}", "IMG{\nP3\n2147483648 1 255\n", "IMG{\nP3\n65536 65536 255\n1",
           "IMG{\nP3\n0 1 255\n"); }},
  {"img_find_token", [] {
     EXPECT_FALSE(img_find_token(nullptr, "a") || img_find_token("a", nullptr) || img_find_token("a", "")); }},
});

}  // namespace
}  // namespace novu::hostile
