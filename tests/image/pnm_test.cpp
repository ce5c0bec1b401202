#include "image/pnm.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "base/alloc.hpp"
#include "support/pictures.hpp"

namespace novu {
namespace {

using namespace std::string_view_literals;
constexpr std::string_view error = "IMG error\n";

// "<width>x<height>:" and each pixel in hex, or "null": one line a table can hold.
std::string summary(const Image* image) {
  if (image == nullptr) return "null";
  std::ostringstream text;
  text << image->width << "x" << image->height << ":" << std::hex;
  for (std::uint32_t pixel : pixels_of(image)) text << " " << pixel;
  return text.str();
}

// What the call printed, with the diagnostics switched on.
std::string printed_by(const std::function<void()>& call) {
  img_verbose = 1;
  testing::internal::CaptureStdout();
  call();
  img_verbose = 0;
  return testing::internal::GetCapturedStdout();
}

// The bytes sit at the very end of a heap block, so a read past them is caught under ASan.
Img decode_memory(std::string_view bytes) {
  const std::vector<unsigned char> block(bytes.begin(), bytes.end());
  return Img(img_from_pnm_bounded(block.data(), block.size()));
}

// A file holding the given bytes for the life of the object.
struct TempFile {
  explicit TempFile(std::string_view bytes = {}) { std::ofstream(path, std::ios::binary) << bytes; }
  ~TempFile() { std::remove(path.c_str()); }
  static inline int made = 0;  // and the process id: test cases may run in parallel processes
  const std::string path = testing::TempDir() + std::to_string(getpid()) + "-" + std::to_string(made++);
};

long open_files() { return std::ranges::distance(std::filesystem::directory_iterator("/proc/self/fd")); }

Img decode_file(std::string_view bytes) { return Img(img_read_pnm_file(TempFile(bytes).path.c_str())); }

struct Decoding {
  std::string_view bytes;
  const char* want;                 // "null" for a failure
  const char* file_want = nullptr;  // from a file, where it differs
};
const Decoding decodings[] = {
    {"P6\n# any comment\n2 1\n255\n\xFF\0\0\0\xFF\0"sv, "2x1: ff0000 ff00"},
    {"P6 \t 2\t\t1 \r\n# one\n#two\n  255\n\xFF\0\0\0\xFF\0"sv, "2x1: ff0000 ff00"},
    {"2 1 255 P6\n\x01\x02\x03\x04\x05\x06"sv, "2x1: 10203 40506"},  // the magic may come last
    {"P52 1 255 \x10\x20"sv, "2x1: 101010 202020"}, {"P5 2#w\n1 255\n\x10\x20"sv, "2x1: 101010 202020"},
    {"P5 1 1 255\n\n"sv, "1x1: a0a0a"},  // one byte ends the header, the next is a sample
    // A non-digit token reads as 0 without being consumed; the header's last byte then takes it.
    {"P6 2 1 xABCDEF"sv, "2x1: 414243 444546"}, {"P6 1 1 15\n\x0F\x0F\x0F"sv, "1x1: f0f0f"},
    {"P5 2 2 255 \x00\x40\x80\xFF"sv, "2x2: 0 404040 808080 ffffff"},
    // Rows start on a fresh byte; in memory the fill bits of each row become pixels.
    {"P4\n10 2\n\xC0\x7F\x01\x80"sv,
     "16x2: ffffff ffffff 0 0 0 0 0 0 0 ffffff ffffff ffffff ffffff ffffff ffffff ffffff"
     " 0 0 0 0 0 0 0 ffffff ffffff 0 0 0 0 0 0 0",
     "10x2: ffffff ffffff 0 0 0 0 0 0 0 ffffff 0 0 0 0 0 0 0 ffffff ffffff 0"},
    {"P1\n3 2\n1 0 1\n072\n"sv, "3x2: ffffff 0 ffffff 0 ffffff ffffff"},
    {"P2 2 2 255\n0 64\n128 255\n"sv, "2x2: 0 404040 808080 ffffff"},
    {"P3\n2 1\n255\n255 0 0  0 255 0\n"sv, "2x1: ff0000 ff00"}, {"P3 1 1 65535 256 1 0"sv, "1x1: ff0100"},
    // Malformed headers, numbers past 32 bits, pictures past the size bound, truncated samples.
    {""sv, "null"}, {"P"sv, "null"}, {"P7 1 1 255 \0\0\0"sv, "null"}, {"x P6 1 1 255 abc"sv, "null"},
    {"P6 0 5 255 \0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"sv, "null"}, {"P6 5 0 255 \0\0\0"sv, "null"},
    {"P6 # no end"sv, "null"}, {"P6 1 1 255"sv, "null"}, {"P6 4294967297 1 255 abc"sv, "null"},
    {"P5 4097 4096 255 a"sv, "null"}, {"P4 2147483647 1 \xFF"sv, "null"}, {"P2 1 1 255 4294967296"sv, "null"},
    {"P6 2 1 255\n\x01\x02\x03\x04\x05"sv, "null"}, {"P4 10 2\n\x01\x02\x03"sv, "null"},
    {"P3 2 1 255\n1 2 3 4 5"sv, "null"}, {"P1 3 2\n1 0 1 0 1"sv, "null"},
    // IMG text blocks: a plain P3 picture after "IMG", "{" and "P3\n" with anything between them.
    {"notes IMG{P3\n2 1\n255\n1 2 3 4 5 6", "2x1: 10203 40506"},  // no closing brace needed
    {"IMG x { P3\n1 1\n255\n7 8 9\n}", "1x1: 70809"}, {"IMG{P3\n1 1\n255\n#1,x2;;3}", "1x1: 10203"},
    {"IMG P3\n1 1\n255\n1 2 3", "null"}, {"{ IMG P3\n1 1\n255\n1 2 3", "null"},
    {"IMG{ P3 1 1 255 1 2 3", "null"}, {"IMG{\nP3\n0 1\n255\n1 2 3", "null"}, {"IMG{\nP3\n1 1\n255", "null"},
    {"IMG{\nP3\n4294967297 1\n255\n1 2 3", "null"}, {"IMG{\nP3\n2 1\n255\n1 2 3 4 5", "null"}};

TEST(PnmDecode, EachDecoderGivesThePictureOrReportsFailureBeforeAllocatingWhatItCannotFill) {
  for (const Decoding& c : decodings) {
    SCOPED_TRACE(&c - decodings);
    const std::string_view report = c.want == "null"sv ? error : "";
    const std::string terminated(c.bytes);
    if (c.bytes.find("IMG") != c.bytes.npos) {  // the text reader
      Img image;
      EXPECT_EQ(printed_by([&] { image.reset(img_from_text(terminated.c_str())); }), report);
      EXPECT_EQ(summary(image.get()), c.want);
      continue;
    }
    Img bounded, from_file;
    EXPECT_EQ(printed_by([&] { bounded = decode_memory(c.bytes); }), report);
    EXPECT_EQ(printed_by([&] { from_file = decode_file(c.bytes); }), report);
    EXPECT_EQ(summary(bounded.get()), c.want);
    EXPECT_EQ(summary(from_file.get()), c.file_want != nullptr ? c.file_want : c.want);
    if (bounded == nullptr) continue;  // the trusted decoder reads exactly as far when the bytes suffice
    const Img trusted(img_from_pnm(reinterpret_cast<const unsigned char*>(terminated.c_str())));
    EXPECT_EQ(summary(trusted.get()), c.want);
  }
  // Input that cannot hold its picture fails before anything is allocated.
  for (std::string_view bytes : {"P5 4097 4096 255 "sv, "P6 100 100 255\n\x01\x02\x03"sv, "P4 64 64\n\x01"sv,
                                 "P2 10 10 255\n1 2 3 4 5 6 7"sv, "IMG{\nP3\n10 10\n255\n1 2 3 4 5 6 7"sv}) {
    mem_fail_after(0);
    const Img image = bytes[0] == 'P' ? decode_memory(bytes) : Img(img_from_text(std::string(bytes).c_str()));
    EXPECT_EQ(image, nullptr);
    EXPECT_TRUE(mem_fail_pending()) << bytes;  // no allocation was attempted
    mem_fail_disarm();
  }
}

TEST(PnmFile, ClosesTheFileOnEveryPathAndStopsTheStreamJustPastThePicture) {
  const auto before = open_files();
  for (std::string_view bytes : {"P5 1 1 255 \x01"sv, "P5 2 2 255 \x01"sv, "P9"sv, ""sv}) decode_file(bytes);
  EXPECT_EQ(open_files(), before);
  const TempFile two("P5 1 1 255\n\x10P5 1 1 255\n\x20"sv);
  std::FILE* stream = std::fopen(two.path.c_str(), "rb");
  const Img first(img_read_pnm_stream(stream)), second(img_read_pnm_stream(stream));
  std::fclose(stream);
  EXPECT_EQ(summary(first.get()) + " " + summary(second.get()), "1x1: 101010 1x1: 202020");
}

TEST(PnmWrite, WritesTheP6HeaderAndRgbBytesOrReportsFailure) {
  const Img image = picture_of(2, 1, {0xFF00FF80, 0x00010203});  // the top byte is not written
  const TempFile file;
  ASSERT_EQ(img_write_ppm_file(image.get(), file.path.c_str()), 1);
  std::ifstream written(file.path, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(written), {});
  EXPECT_EQ(bytes, "P6\n2 1\n255\n\x00\xFF\x80\x01\x02\x03"sv);
  std::uint32_t pixel = 0;
  const Image flat{0, 3, &pixel};  // no width: nothing to write
  EXPECT_EQ(printed_by([&] { EXPECT_EQ(img_write_ppm_file(&flat, file.path.c_str()), 0); }), error);
}

TEST(ImgText, WritesTwelveCharactersPerPixelSixPerLineAndFindsTokens) {
  const std::string six = "  1   2   3   4   5   6   7   8   9  10  11  12  13  14  15  16  17  18\n";
  const std::vector<std::uint32_t> seven = {0xFF010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112, 0xFFFFFF};
  const std::pair<Img, std::string> cases[] = {  // the top byte is not written
      {picture_of(1, 1, {0x0A0B0C}), "IMG{\nP3\n1 1\n255\n 10  11  12\n}\n"},
      {picture_of(6, 1, seven), "IMG{\nP3\n6 1\n255\n" + six + "}\n"},
      {picture_of(7, 1, seven), "IMG{\nP3\n7 1\n255\n" + six + "255 255 255\n}\n"},
      {filled(0, 0, 0), "IMG{}"}};
  for (const auto& [image, want] : cases) {
    char* text = img_to_text(image.get());
    EXPECT_EQ(std::string(text), want);
    mem_free(text);
  }
  const Img image = picture(13, 5, [](std::uint32_t x, std::uint32_t y) {  // lines of six, the last short
    return (x + y * 13) * 0xF1E2D & 0xFFFFFF;
  });
  char* text = img_to_text(image.get());
  EXPECT_EQ(img_equal(Img(img_from_text(text)).get(), image.get()), 1);
  mem_free(text);
  const std::tuple<const char*, const char*, std::int32_t> finds[] = {  // the index just past the first match
      {"xxIMG{", "IMG", 5}, {"IM", "IMG", 0}, {"IMG", "IMG", 3}, {"aaab", "aab", 4}, {"IMG IMG", "IMG", 3},
      {"", "IMG", 0}};
  for (const auto& [within, token, index] : finds) EXPECT_EQ(img_find_token(within, token), index) << index;
}

}  // namespace
}  // namespace novu
