// The decoders against pictures made at test time by Debian's netpbm tools: every magic, plain
// and raw, with widths that are not multiples of 8. The tools' own raw P6 rendering of each
// picture is the reference; their bitmaps are black on 1, ours white on 1 (set pixels opaque).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "image/pnm.hpp"
#include "support/pictures.hpp"

namespace novu {
namespace {

// The command's standard output; empty when it fails.
std::string run(const std::string& command) {
  std::string output;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  for (int c = std::getc(pipe); c != EOF; c = std::getc(pipe)) output.push_back(static_cast<char>(c));
  return pclose(pipe) == 0 ? output : std::string();
}

TEST(PnmTools, DecodersGiveThePixelsTheToolsMeant) {
  if (std::system("for t in pbmmake pbmtext pgmramp ppmpat ppmrainbow pnmtoplainpnm ppmtoppm; do"
                  " command -v $t >/dev/null || exit 1; done") != 0)
    GTEST_SKIP() << "a tool is missing: install Debian's netpbm package";
  const std::string path = testing::TempDir() + "pnm-tools-" + std::to_string(getpid()) + ".pnm";
  for (const char* command :
       {"pbmmake -g 13 4", "pbmtext -builtin fixed Hi", "pbmmake -g 10 3 | pnmtoplainpnm",
        "pbmtext -builtin fixed Hi | pnmtoplainpnm", "pgmramp -diag 9 5", "pgmramp -lr 7 3 | pnmtoplainpnm",
        "ppmpat -randomseed=7 -camo 11 6", "ppmpat -randomseed=7 -gingham2 11 6 | pnmtoplainpnm",
        "ppmrainbow -width 12 -height 5 red blue | pnmtoplainpnm"}) {
    SCOPED_TRACE(command);
    const std::string bytes = run(std::string(command) + " 2>/dev/null | tee " + path);
    const std::string p6 = run("ppmtoppm < " + path);  // "P6\n<w> <h>\n255\n" and the samples
    int w = 0, h = 0, header = 0;
    ASSERT_EQ(std::sscanf(p6.c_str(), "P6 %d %d 255%n", &w, &h, &header), 2);
    ASSERT_EQ(p6.size(), header + 1 + 3u * w * h);
    const bool bitmap = bytes[1] == '1' || bytes[1] == '4';
    const auto meant = [&](std::int32_t x, std::int32_t y) -> std::uint32_t {
      if (x >= w) return 0;  // the fill bits of a raw bitmap's row, 0 from the tools
      const auto* rgb = reinterpret_cast<const unsigned char*>(p6.data()) + header + 1 + 3 * (y * w + x);
      const std::uint32_t pixel = std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
      return bitmap ? (pixel == 0 ? 0xFFFFFF : 0) : pixel;
    };
    const Img from_file(img_read_pnm_file(path.c_str()));
    ASSERT_NE(from_file, nullptr);
    EXPECT_EQ(std::pair(from_file->width, from_file->height), std::pair(w, h));
    EXPECT_EQ(pixels_of(from_file.get()), pixels_of(picture(w, h, meant).get()));
    // In memory a raw bitmap's rows are whole bytes wide.
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const Img in_memory(img_from_pnm_bounded(data, bytes.size()));
    const int memory_w = bytes[1] == '4' ? (w + 7) / 8 * 8 : w;
    ASSERT_NE(in_memory, nullptr);
    EXPECT_EQ(std::pair(in_memory->width, in_memory->height), std::pair(memory_w, h));
    EXPECT_EQ(pixels_of(in_memory.get()), pixels_of(picture(memory_w, h, meant).get()));
  }
  std::remove(path.c_str());
}

}  // namespace
}  // namespace novu
