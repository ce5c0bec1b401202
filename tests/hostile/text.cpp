// FONT, CURSOR, SCROLL and VEC2D.

#include "hostile/registry.hpp"
#include "text/scroller.hpp"
#include "text/vec2d.hpp"

namespace novu::hostile {
namespace {

// f(cursor, v) at every length, step, position and v: a cursor without positions is left as it
// was; with `inside`, one with positions lands on one of them.
template <class F>
void cursors(F f, bool inside = false) {
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
void draws(Draw draw) {
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
struct Bound {  // a scroller bound to a text, a font of 2 x 2 glyphs and a 5 x 4 target
  decltype(sheet_font()) font = sheet_font();
  Img target = filled(5, 4, 0);
  decltype(own<scroller_create, scroller_destroy>()) owned = own<scroller_create, scroller_destroy>();
  Scroller* s = owned.get();
  explicit Bound(const char* text) { scroller_setup(s, text, font.get(), target.get()); }
  template <class Op>
  void poke(Op op) {  // on no scroller, and with place, width, speed, offset and cursor at the extremes
    op(nullptr);
    for (I v : extremes)
      for (I w : extremes) {
        poked(s->cursor, {3, 1, w, 0});
        op(poked(s, {v, v, w, 2, v, w, s->text, s->cursor, s->font, s->target, nullptr}));
      }
  }
};

const Rows rows("text", {
  {"cursor_create", [] { fails_cleanly(cursor_create, cursor_destroy); }}, {"cursor_destroy", destroys<cursor_destroy>},
  {"cursor_init", [] { cursor_init(nullptr, 1, 1); }}, {"cursor_save", [] { cursor_save(nullptr); }},
  {"cursor_restore", [] { cursor_restore(nullptr); }},
  {"cursor_advance", [] { cursors([](Cursor* c, I) { cursor_advance(c); }, true); }},
  {"cursor_set_position",  // 0 without positions
   [] { cursors([](Cursor* c, I v) { EXPECT_TRUE(cursor_set_position(c, v) == 0 || c->length > 0); }); }},
  {"font_create", [] { fails_cleanly(font_create, font_destroy); }},
  {"font_destroy", [] { destroys<font_destroy>();  // and a sheet without pixels
     own<font_create, font_destroy>()->sheet = mem_new<Image>(); }},
  {"font_draw_char", [] {  // codes left of the sheet and beyond its cells draw nothing
     draws([](const Font* f, Image* d, I x) { for (I code : extremes) font_draw_char(f, code, x, 0, d); });
     draws([](const Font* f, Image* d, I) { for (I code : {-1, -128, 8}) font_draw_char(f, code, 0, 0, d); }); }},
  {"font_draw_string", [] {  // nor does no text
     draws([](const Font* f, Image* d, I x) { font_draw_string(f, "\1\2\x80\xff", x, 0, d); });
     draws([](const Font* f, Image* d, I) { font_draw_string(f, nullptr, 0, 0, d); }); }},
  {"font_draw_hex8", [] { draws([](const Font* f, Image* d, I x) { font_draw_hex8(f, 0xFF, x, int_min, d); }); }},
  {"font_draw_hex16", [] { draws([](const Font* f, Image* d, I x) { font_draw_hex16(f, 0xFFFF, x, -1, d); }); }},
  {"font_draw_hex32", [] { draws([](const Font* f, Image* d, I x) { font_draw_hex32(f, ~0u, x, int_min, d); }); }},
  {"scroller_create", [] { fails_cleanly(scroller_create, scroller_destroy); }},
  {"scroller_destroy", destroys<scroller_destroy>},
  {"scroller_setup", [] {  // anything missing, an empty text or no memory: the binding stays
     Bound b("a");
     scroller_setup(nullptr, "a", b.font.get(), b.target.get());
     for (auto [text, font, target] : {std::tuple<const char*, Font*, Image*>{nullptr, b.font.get(), b.target.get()},
                                       {"a", nullptr, b.target.get()}, {"a", b.font.get(), nullptr},
                                       {"", b.font.get(), b.target.get()}})
       keeps([&] { scroller_setup(b.s, text, font, target); }, b.s, b.s->cursor);
     mem_fail_after(0);
     keeps([&] { scroller_setup(b.s, "b", b.font.get(), b.target.get()); }, b.s, b.s->cursor); }},
  {"scroller_step", [] {  // and without a glyph width it does not move
     Bound b("abc");
     b.poke(scroller_step);
     b.font->glyph_width = 0;
     keeps([&] { scroller_step(b.s); }, b.s, b.s->cursor); }},
  {"scroller_draw", [] {  // and not set up it draws nothing
     Bound("\1\2\3").poke(scroller_draw);
     auto unbound = own<scroller_create, scroller_destroy>();
     keeps([&] { scroller_draw(unbound.get()); }, unbound.get(), unbound->cursor); }},
  {"vec2d_create", [] { fails_cleanly(vec2d_create, vec2d_destroy); }}, {"vec2d_destroy", destroys<vec2d_destroy>},
  {"vec2d_clone", [] { makes(vec2d_clone, vec2d_destroy, std::array{Vec2D{int_min, int_max}}.data(), nullptr); }},
  {"vec2d_copy", [] { copies<vec2d_copy>(Vec2D{1, 2}); }}, {"vec2d_equal", [] { unequal<vec2d_equal>(Vec2D{}); }},
  {"vec2d_triple_clone",
   [] { makes(vec2d_triple_clone, release, std::array{Vec2DTriple{int_min, int_max, -1, 0, 1, 2}}.data(), nullptr); }},
  {"vec2d_triple_copy", [] { copies<vec2d_triple_copy>(Vec2DTriple{1, 2, 3, 4, 5, 6}); }},
});

}  // namespace
}  // namespace novu::hostile
