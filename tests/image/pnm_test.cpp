#include "image/pnm.hpp"

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "assets/embedded.hpp"
#include "base/alloc.hpp"

namespace novu {
namespace {

using namespace std::string_view_literals;

constexpr std::uint32_t W = 0xFFFFFF;  // white, one letter so that the pixel tables stay readable

std::vector<std::uint32_t> pixels_of(const Image* image) {
  const auto count = static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height);
  return {image->pixels, image->pixels + count};
}

// The leftmost `width` columns of a row-major picture.
std::vector<std::uint32_t> left_columns(const std::vector<std::uint32_t>& pixels, std::int32_t stride,
                                        std::int32_t width) {
  std::vector<std::uint32_t> kept;
  for (std::size_t i = 0; i < pixels.size(); ++i)
    if (static_cast<std::int32_t>(i % static_cast<std::size_t>(stride)) < width) kept.push_back(pixels[i]);
  return kept;
}

// The bytes sit at the very end of a heap block, so a read past them is caught under ASan.
Image* decode_memory(std::string_view bytes) {
  std::vector<unsigned char> block(bytes.begin(), bytes.end());
  return img_from_pnm_bounded(block.data(), block.size());
}

class TempFile {
 public:
  explicit TempFile(std::string_view bytes = {}) {
    std::string pattern = testing::TempDir() + "pnm-test-XXXXXX";
    const int fd = mkstemp(pattern.data());
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    path_ = pattern;
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const char* path() const { return path_.c_str(); }
  std::string contents() const {
    std::string bytes;
    if (std::FILE* file = std::fopen(path(), "rb")) {
      for (int c = std::getc(file); c != EOF; c = std::getc(file)) bytes.push_back(static_cast<char>(c));
      std::fclose(file);
    }
    return bytes;
  }

 private:
  std::string path_;
};

Image* decode_file(std::string_view bytes) {
  TempFile file(bytes);
  return img_read_pnm_file(file.path());
}

template <class Call>
bool reports_error(Call call) {
  img_verbose = 1;
  testing::internal::CaptureStdout();
  call();
  const std::string printed = testing::internal::GetCapturedStdout();
  img_verbose = 0;
  return printed.find("IMG error") != std::string::npos;
}

int open_descriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

Image* make_image(std::int32_t width, std::int32_t height, const std::vector<std::uint32_t>& pixels) {
  Image* image = img_create();
  img_resize(image, width, height);
  for (std::size_t i = 0; i < pixels.size(); ++i) image->pixels[i] = pixels[i];
  return image;
}

struct GoodPicture {
  const char* label;
  std::string_view bytes;
  std::int32_t width, height;  // as the memory decoder gives it
  std::vector<std::uint32_t> pixels;
  std::int32_t file_width;  // as the file reader gives it; 0 when the same
};

const GoodPicture good_pictures[] = {
    {"comment line", "P6\n# any comment\n2 1\n255\n\xFF\0\0\0\xFF\0"sv, 2, 1, {0xFF0000, 0x00FF00}, 0},
    {"separators", "P6 \t 2\t\t1 \r\n# one\n#two\n  255\n\xFF\0\0\0\xFF\0"sv, 2, 1, {0xFF0000, 0x00FF00}, 0},
    {"numbers before the magic", "2 1 255 P6\n\x01\x02\x03\x04\x05\x06"sv, 2, 1, {0x010203, 0x040506}, 0},
    {"magic glued to the width", "P52 1 255 \x10\x20"sv, 2, 1, {0x101010, 0x202020}, 0},
    {"comment glued to a number", "P5 2#w\n1 255\n\x10\x20"sv, 2, 1, {0x101010, 0x202020}, 0},
    {"one byte ends the header", "P5 1 1 255\n\n"sv, 1, 1, {0x0A0A0A}, 0},
    // A non-digit token reads as 0 without being consumed; the header's last byte then takes it.
    {"stray byte as maximum", "P6 2 1 xABCDEF"sv, 2, 1, {0x414243, 0x444546}, 0},
    {"P after the magic is a number", "P6 1 1 P\x01\x02\x03"sv, 1, 1, {0x010203}, 0},
    {"maximum 15 unscaled", "P6 1 1 15\n\x0F\x0F\x0F"sv, 1, 1, {0x0F0F0F}, 0},
    {"P5 greys", "P5 2 2 255 \x00\x40\x80\xFF"sv, 2, 2, {0, 0x404040, 0x808080, W}, 0},
    {"P4 width 10", "P4\n10 2\n\xC0\x7F\x01\x80"sv, 16, 2,
     {W, W, 0, 0, 0, 0, 0, 0, 0, W, W, W, W, W, W, W, 0, 0, 0, 0, 0, 0, 0, W, W, 0, 0, 0, 0, 0, 0, 0}, 10},
    {"P1 separated digits", "P1\n3 2\n1 0 1\n0 1 0\n"sv, 3, 2, {W, 0, W, 0, W, 0}, 0},
    {"P1 packed digits", "P1 3 2\n101\n010"sv, 3, 2, {W, 0, W, 0, W, 0}, 0},
    {"P1 any non-zero digit", "P1 3 1 072"sv, 3, 1, {0, W, W}, 0},
    {"P2 greys", "P2 2 2 255\n0 64\n128 255\n"sv, 2, 2, {0, 0x404040, 0x808080, W}, 0},
    {"P2 last number ends the data", "P2 1 1 255 7"sv, 1, 1, {0x070707}, 0},
    {"P3 colours", "P3\n2 1\n255\n255 0 0  0 255 0\n"sv, 2, 1, {0xFF0000, 0x00FF00}, 0},
    {"P3 samples above 255", "P3 1 1 65535 256 1 0"sv, 1, 1, {0xFF0100}, 0},
};

TEST(PnmDecode, EveryDecoderReadsWellFormedPictures) {
  for (const GoodPicture& c : good_pictures) {
    SCOPED_TRACE(c.label);
    const std::int32_t file_width = c.file_width != 0 ? c.file_width : c.width;
    Image* bounded = decode_memory(c.bytes);
    std::string terminated(c.bytes);  // the trusted decoder reads exactly as far
    Image* trusted = img_from_pnm(reinterpret_cast<const unsigned char*>(terminated.c_str()));
    Image* from_file = decode_file(c.bytes);
    for (Image* image : {bounded, trusted}) {
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(image->width, c.width);
      EXPECT_EQ(image->height, c.height);
      EXPECT_EQ(pixels_of(image), c.pixels);
    }
    ASSERT_NE(from_file, nullptr);
    EXPECT_EQ(from_file->width, file_width);
    EXPECT_EQ(from_file->height, c.height);
    EXPECT_EQ(pixels_of(from_file), left_columns(c.pixels, c.width, file_width));
    for (Image* image : {bounded, trusted, from_file}) img_destroy(&image);
  }
}

TEST(PnmDecode, MalformedOrTruncatedPicturesFailInEveryDecoder) {
  const struct {
    const char* label;
    std::string_view bytes;
  } cases[] = {
      {"empty", ""sv},
      {"magic P7", "P7 1 1 255 \0\0\0"sv},
      {"P and a letter", "Px 1 1 255 \0\0\0"sv},
      {"P at the end", "P"sv},
      {"zero width", "P6 0 5 255 \0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"sv},
      {"zero height", "P6 5 0 255 \0\0\0"sv},
      {"stray byte for the width", "P6 x"sv},
      {"stray byte before the magic", "x P6 1 1 255 abc"sv},
      {"stray fourth token before the magic", "1 1 x P6\nabc"sv},
      {"fourth number before the magic", "1 1 255 7 P6 abc"sv},
      {"width wrapping to 1", "P6 4294967297 1 255 abc"sv},
      {"width just past 32 bits", "P5 2147483648 1 255 a"sv},
      {"more pixels than allowed", "P5 4097 4096 255 a"sv},
      {"P4 width rounding past 32 bits", "P4 2147483647 1 \xFF"sv},
      {"sample past 32 bits", "P2 1 1 255 4294967296"sv},
      {"unterminated comment", "P6 # no end"sv},
      {"header without its last byte", "P6 1 1 255"sv},
      {"no sample data", "P5 1 1 255 "sv},
      {"P6 short", "P6 2 1 255\n\x01\x02\x03\x04\x05"sv},
      {"P5 short", "P5 2 2 255\n\x01\x02\x03"sv},
      {"P4 short", "P4 10 2\n\x01\x02\x03"sv},
      {"P3 short", "P3 2 1 255\n1 2 3 4 5"sv},
      {"P3 trailing separators", "P3 1 1 255\n1 2 ,,,,,,,,"sv},
      {"P2 short", "P2 2 2 255\n1 2 3 "sv},
      {"P1 short", "P1 3 2\n1 0 1 0 1"sv},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Image* bounded = nullptr;
    Image* from_file = nullptr;
    EXPECT_TRUE(reports_error([&] { bounded = decode_memory(c.bytes); }));
    EXPECT_TRUE(reports_error([&] { from_file = decode_file(c.bytes); }));
    EXPECT_EQ(bounded, nullptr);
    EXPECT_EQ(from_file, nullptr);
    img_destroy(&bounded);
    img_destroy(&from_file);
  }
  Image* none = nullptr;
  EXPECT_TRUE(reports_error([&] { none = img_from_pnm(nullptr); }));
  EXPECT_TRUE(reports_error([&] { none = img_from_pnm_bounded(nullptr, 4); }));
  EXPECT_TRUE(reports_error([&] { none = img_read_pnm_file(nullptr); }));
  EXPECT_TRUE(reports_error([&] { none = img_read_pnm_file("/nonexistent/picture.ppm"); }));
  EXPECT_EQ(none, nullptr);
}

TEST(PnmDecode, OversizedOrShortInputFailsBeforeAllocating) {
  const std::string_view pictures[] = {
      "P5 4097 4096 255 "sv,
      "P6 100 100 255\n\x01\x02\x03"sv,
      "P4 64 64\n\x01"sv,
      "P3 10 10 255\n1 2 3 4 5 6 7 8 9"sv,
  };
  const char* texts[] = {"IMG{\nP3\n5000 5000\n255\n1 2 3", "IMG{\nP3\n10 10\n255\n1 2 3 4 5 6 7 8 9"};
  for (std::string_view bytes : pictures) {
    SCOPED_TRACE(bytes);
    mem_fail_after(0);
    EXPECT_EQ(decode_memory(bytes), nullptr);
    EXPECT_TRUE(mem_fail_pending());  // no allocation was attempted
    mem_fail_disarm();
  }
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    mem_fail_after(0);
    EXPECT_EQ(img_from_text(text), nullptr);
    EXPECT_TRUE(mem_fail_pending());
    mem_fail_disarm();
  }
}

TEST(PnmDecode, AllocationFailuresLeaveNothingBehind) {
  const std::string_view picture = "P6 1 1 255 \x01\x02\x03"sv;
  const char* text = "IMG{\nP3\n1 1\n255\n1 2 3\n}\n";
  TempFile file(picture);
  // Record, default pixels, resized pixels: each may fail; a leak shows under ASan.
  for (unsigned long successes = 0; successes < 3; ++successes) {
    SCOPED_TRACE(successes);
    Image* images[3] = {};
    mem_fail_after(successes);
    images[0] = decode_memory(picture);
    mem_fail_after(successes);
    images[1] = img_read_pnm_file(file.path());
    mem_fail_after(successes);
    images[2] = img_from_text(text);
    mem_fail_disarm();
    for (Image*& image : images) {
      EXPECT_EQ(image, nullptr);
      img_destroy(&image);
    }
  }
  Image* image = make_image(2, 2, {1, 2, 3, 4});
  mem_fail_after(0);
  EXPECT_EQ(img_to_text(image), nullptr);
  mem_fail_disarm();
  img_destroy(&image);
}

TEST(PnmDecode, EmbeddedPicturesDecodeAlikeBoundedAndTrusted) {
  const struct {
    const unsigned char* data;
    std::size_t size;
    std::int32_t width, height;
  } assets[] = {
      {asset_font_ppm, asset_font_ppm_size, 256, 80},
      {asset_logo_ppm, asset_logo_ppm_size, 64, 16},
      {asset_strip_ppm, asset_strip_ppm_size, 8, 64},
  };
  for (const auto& asset : assets) {
    Image* trusted = img_from_pnm(asset.data);
    Image* bounded = img_from_pnm_bounded(asset.data, asset.size);
    ASSERT_NE(trusted, nullptr);
    EXPECT_EQ(trusted->width, asset.width);
    EXPECT_EQ(trusted->height, asset.height);
    EXPECT_EQ(img_equal(trusted, bounded), 1);
    img_destroy(&trusted);
    img_destroy(&bounded);
  }
}

TEST(PnmFile, ClosesTheFileOnEveryPath) {
  const std::string_view pictures[] = {"P5 1 1 255 \x01"sv, "P5 2 2 255 \x01"sv, "P9"sv, ""sv};
  const int before = open_descriptors();
  for (std::string_view bytes : pictures) {
    Image* image = decode_file(bytes);
    img_destroy(&image);
  }
  EXPECT_EQ(open_descriptors(), before);
}

TEST(PnmFile, StreamStopsJustPastThePicture) {
  TempFile file("P5 1 1 255\n\x10P5 1 1 255\n\x20"sv);
  std::FILE* stream = std::fopen(file.path(), "rb");
  ASSERT_NE(stream, nullptr);
  Image* first = img_read_pnm_stream(stream);
  Image* second = img_read_pnm_stream(stream);
  std::fclose(stream);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(pixels_of(first), std::vector<std::uint32_t>{0x101010});
  EXPECT_EQ(pixels_of(second), std::vector<std::uint32_t>{0x202020});
  img_destroy(&first);
  img_destroy(&second);
}

TEST(PpmWrite, WritesHeaderAndRgbBytesThatReadBack) {
  Image* image = make_image(2, 1, {0xFF00FF80, 0x00010203});  // the top byte is not written
  TempFile file;
  ASSERT_EQ(img_write_ppm_file(image, file.path()), 1);
  EXPECT_EQ(file.contents(), "P6\n2 1\n255\n\x00\xFF\x80\x01\x02\x03"sv);
  Image* back = img_read_pnm_file(file.path());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(pixels_of(back), (std::vector<std::uint32_t>{0x00FF80, 0x010203}));
  img_destroy(&back);
  img_destroy(&image);
}

TEST(PpmWrite, FailuresReturnZeroAndReport) {
  Image* good = make_image(2, 1, {1, 2});
  Image* flat = make_image(0, 3, {});
  Image no_pixels{2, 2, nullptr};
  Image negative{-2, -2, good->pixels};
  TempFile file;
  const struct {
    const char* label;
    const Image* image;
    const char* path;
  } cases[] = {
      {"no image", nullptr, file.path()},
      {"no path", good, nullptr},
      {"no pixels", &no_pixels, file.path()},
      {"zero width", flat, file.path()},
      {"negative size", &negative, file.path()},
      {"unopenable path", good, "/nonexistent/picture.ppm"},
      {"write error", good, "/dev/full"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    int result = -1;
    EXPECT_TRUE(reports_error([&] { result = img_write_ppm_file(c.image, c.path); }));
    EXPECT_EQ(result, 0);
  }
  img_destroy(&good);
  img_destroy(&flat);
}

TEST(ImgText, WritesTwelveCharactersPerPixelSixPerLine) {
  const std::string first_six = "  1   2   3 " "  4   5   6 " "  7   8   9 "
                                " 10  11  12 " " 13  14  15 " " 16  17  18\n";
  const struct {
    const char* label;
    std::int32_t width, height;
    std::vector<std::uint32_t> pixels;
    std::string text;
  } cases[] = {
      {"one pixel", 1, 1, {0x0A0B0C}, "IMG{\nP3\n1 1\n255\n 10  11  12\n}\n"},
      {"top byte ignored", 2, 1, {0xFF00FF80, 0x000000}, "IMG{\nP3\n2 1\n255\n  0 255 128   0   0   0\n}\n"},
      {"six pixels", 6, 1, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112},
       "IMG{\nP3\n6 1\n255\n" + first_six + "}\n"},
      {"seven pixels", 7, 1, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112, 0xFFFFFF},
       "IMG{\nP3\n7 1\n255\n" + first_six + "255 255 255\n}\n"},
      {"no pixels", 0, 0, {}, "IMG{}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Image* image = make_image(c.width, c.height, c.pixels);
    char* text = img_to_text(image);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), c.text);
    mem_free(text);
    img_destroy(&image);
  }
}

TEST(ImgText, RoundTripReproducesTheImage) {
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t i = 0; i < 13 * 5; ++i) pixels.push_back(i * 0x0F1E2Du & 0xFFFFFFu);
  Image* image = make_image(13, 5, pixels);
  char* text = img_to_text(image);
  Image* back = img_from_text(text);
  EXPECT_EQ(img_equal(image, back), 1);
  mem_free(text);
  img_destroy(&back);
  img_destroy(&image);
}

TEST(ImgText, ReadsLooselyWrittenBlocks) {
  const struct {
    const char* label;
    const char* text;
    std::int32_t width, height;
    std::vector<std::uint32_t> pixels;
  } cases[] = {
      {"text around, no closing brace", "notes IMG{P3\n2 1\n255\n1 2 3 4 5 6", 2, 1, {0x010203, 0x040506}},
      {"brace apart from IMG", "IMG x { P3\n1 1\n255\n7 8 9\n}", 1, 1, {0x070809}},
      {"any non-digits separate samples", "IMG{P3\n1 1\n255\n#1,x2;;3}", 1, 1, {0x010203}},
      {"sample above 255", "IMG{\nP3\n1 1\n255\n300 0 0\n}\n", 1, 1, {0xFF0000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Image* image = img_from_text(c.text);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, c.height);
    EXPECT_EQ(pixels_of(image), c.pixels);
    img_destroy(&image);
  }
}

TEST(ImgText, MalformedBlocksFail) {
  const struct {
    const char* label;
    const char* text;
  } cases[] = {
      {"null", nullptr},
      {"empty", ""},
      {"no brace", "IMG P3\n1 1\n255\n1 2 3"},
      {"brace before IMG", "{ IMG P3\n1 1\n255\n1 2 3"},
      {"no P3 line", "IMG{ P3 1 1 255 1 2 3"},
      {"empty picture", "IMG{}"},
      {"zero width", "IMG{\nP3\n0 1\n255\n1 2 3"},
      {"width without digits", "IMG{\nP3\nx 1\n255\n1 2 3"},
      {"width wrapping to 1", "IMG{\nP3\n4294967297 1\n255\n1 2 3"},
      {"more pixels than allowed", "IMG{\nP3\n5000 5000\n255\n1 2 3"},
      {"ends after the width", "IMG{\nP3\n1"},
      {"ends after the maximum", "IMG{\nP3\n1 1\n255"},
      {"short pixels", "IMG{\nP3\n2 1\n255\n1 2 3 4 5"},
      {"trailing separators", "IMG{\nP3\n1 1\n255\n1 2 ,,,,,,,,"},
      {"sample past 32 bits", "IMG{\nP3\n1 1\n255\n1 2 99999999999"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Image* image = nullptr;
    EXPECT_TRUE(reports_error([&] { image = img_from_text(c.text); }));
    EXPECT_EQ(image, nullptr);
    img_destroy(&image);
  }
}

TEST(ImgText, UnconvertibleImagesGiveNoText) {
  std::uint32_t pixel = 0;
  Image no_pixels{2, 2, nullptr};
  Image negative{-1, 1, &pixel};
  Image huge{5000, 5000, &pixel};  // rejected before its pixels are touched
  const Image* cases[] = {nullptr, &no_pixels, &negative, &huge};
  for (const Image* image : cases) {
    char* text = nullptr;
    EXPECT_TRUE(reports_error([&] { text = img_to_text(image); }));
    EXPECT_EQ(text, nullptr);
  }
}

TEST(ImgFindToken, GivesTheIndexPastTheFirstMatch) {
  const struct {
    const char* text;
    const char* token;
    std::int32_t index;
  } cases[] = {
      {"xxIMG{", "IMG", 5}, {"IM", "IMG", 0},  {"IMG", "IMG", 3},    {"aaab", "aab", 4},
      {"IMG IMG", "IMG", 3}, {"", "IMG", 0},    {nullptr, "IMG", 0}, {"IMG", nullptr, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(img_find_token(c.text, c.token), c.index) << c.text;
}

}  // namespace
}  // namespace novu
