// CURSORX, DISTX, DISTY, VEC3D and the particle effects.

#include <algorithm>
#include <utility>

#include "effects/cursorx.hpp"
#include "effects/distort.hpp"
#include "effects/limits.hpp"
#include "effects/vec3d.hpp"
#include "hostile/registry.hpp"

namespace novu::hostile {
namespace {

// A particle effect: `settings` plain words lead the record, and it owns a block of `per` plain
// words per element, so that filling both reaches any value a caller may poke in.
template <auto create, auto destroy, auto block, int per, int settings>
struct Effect {
  using T = std::remove_pointer_t<decltype(create())>;
  static auto make() { return own<create, destroy>(); }
  static bool whole(const T* r) { return r != nullptr && r->*block != nullptr; }
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
    keeps([&] { for (I v : refused) op(made.get(), v); }, made.get());
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
  EXPECT_EQ(op(nullptr, 7), none < 0 ? 7 : none);
  for (I v : extremes)
    for (I w : extremes) {
      CursorX c{v, 0, w, v, w, v};
      op(&c, w);
      EXPECT_TRUE(c.length <= 0 || (c.position >= 0 && c.position < c.length)) << v << " " << w;
    }
}
template <auto create, auto destroy, auto draw, auto advance>
void distortion() {  // without a source nothing is drawn; at any field, source and target it stays defined
  auto d = own<create, destroy>();
  Img source = filled(5, 4, 1), target = filled(5, 4, 0);
  Image bare{5, 4, nullptr};
  keeps([&] { draw(d.get(), target.get()); }, target.get());
  advance(nullptr);
  for (I v : extremes)
    for (Image* t : {static_cast<Image*>(nullptr), &bare, target.get()}) {
      draw(poked(d.get(), {v, v, {v, v, v, v, v, v}, v, v < 0 ? &bare : source.get()}), t);
      advance(d.get());
    }
}
constexpr auto distx = distortion<distx_create, distx_destroy, distx_draw, distx_advance>;
constexpr auto disty = distortion<disty_create, disty_destroy, disty_draw, disty_advance>;
const Vec3D far3{int_min, int_max, -1};

const Rows rows("effects", {
  {"cursorx_create", [] { fails_cleanly(cursorx_create, release); }},
  {"cursorx_set_offset", [] { cursors(cursorx_set_offset); }}, {"cursorx_restart", [] { cursors(cursorx_restart); }},
  {"cursorx_set_phase", [] { cursors(cursorx_set_phase); }},
  {"cursorx_set_length", [] { cursors(cursorx_set_length); }},
  {"cursorx_step", [] { cursors([](CursorX* c, I) { return cursorx_step(c); }, 0); }},
  {"cursorx_advance", [] { cursors([](CursorX* c, I) { return cursorx_advance(c); }, 0); }},
  {"cursorx_update", [] { cursors([](CursorX* c, I) { cursorx_update(c); return 0; }, 0); }},
  {"cursorx_set", [] { cursors([](CursorX* c, I w) { cursorx_set(c, w, w, w, w, w); return 0; }, 0); }},
  {"distx_create", [] { fails_cleanly(distx_create, distx_destroy); }}, {"distx_destroy", destroys<distx_destroy>},
  {"disty_create", [] { fails_cleanly(disty_create, disty_destroy); }}, {"disty_destroy", destroys<disty_destroy>},
  {"distx_draw", distx}, {"distx_advance", distx}, {"disty_draw", disty}, {"disty_advance", disty},
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
});

}  // namespace
}  // namespace novu::hostile
