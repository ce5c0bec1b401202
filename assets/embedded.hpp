#pragma once
// The assets of this folder as the program holds them, made at build time by novu-embed
// (see CMakeLists.txt here for which file becomes which symbol).

#include <cstddef>
#include <cstdint>

namespace novu {

// Byte assets: the file's bytes followed by a NUL that the size does not count.
extern const unsigned char asset_font_ppm[];   // font.ppm: 256 x 80 glyph sheet
extern const std::size_t asset_font_ppm_size;
extern const unsigned char asset_logo_ppm[];   // logo.ppm: 64 x 16 logo tiles
extern const std::size_t asset_logo_ppm_size;
extern const unsigned char asset_strip_ppm[];  // strip.ppm: 8 x 64 logo strip
extern const std::size_t asset_strip_ppm_size;
extern const unsigned char asset_scroll_text[];  // texts/scroll.txt
extern const std::size_t asset_scroll_text_size;
// Texts the program carries without showing them.
extern const unsigned char asset_article3_text[];  // texts/article3.txt: Article 3 of the UDHR
extern const std::size_t asset_article3_text_size;
extern const unsigned char asset_rights_text[];  // texts/rights.txt: rights notice
extern const std::size_t asset_rights_text_size;
extern const unsigned char asset_no_warranty_text[];  // texts/no_warranty.txt: no-warranty notice
extern const std::size_t asset_no_warranty_text_size;

// The sample bank, samples/00.wav .. 15.wav, as their 16-bit values (src/sound/sample_bank.cpp
// widens them into the bank's 32-bit records).
#define NOVU_DECLARE_SAMPLE(n)                    \
  extern const std::int16_t asset_sample_##n[];   \
  extern const std::size_t asset_sample_##n##_count;
NOVU_DECLARE_SAMPLE(00)
NOVU_DECLARE_SAMPLE(01)
NOVU_DECLARE_SAMPLE(02)
NOVU_DECLARE_SAMPLE(03)
NOVU_DECLARE_SAMPLE(04)
NOVU_DECLARE_SAMPLE(05)
NOVU_DECLARE_SAMPLE(06)
NOVU_DECLARE_SAMPLE(07)
NOVU_DECLARE_SAMPLE(08)
NOVU_DECLARE_SAMPLE(09)
NOVU_DECLARE_SAMPLE(10)
NOVU_DECLARE_SAMPLE(11)
NOVU_DECLARE_SAMPLE(12)
NOVU_DECLARE_SAMPLE(13)
NOVU_DECLARE_SAMPLE(14)
NOVU_DECLARE_SAMPLE(15)
#undef NOVU_DECLARE_SAMPLE

}  // namespace novu
