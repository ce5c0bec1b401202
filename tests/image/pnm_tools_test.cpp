// The decoders against pictures made at test time by Debian's netpbm tools: every magic, plain
// and raw, with widths that are not multiples of 8. The tools' own raw P6 rendering of each
// picture is the reference; their bitmaps are black on 1, ours white on 1 (set pixels opaque).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/pnm.hpp"

namespace novu {
namespace {

bool have_tool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The command's standard output; empty when it fails.
std::string run(const std::string& command) {
  std::string output;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  for (int c = std::getc(pipe); c != EOF; c = std::getc(pipe)) output.push_back(static_cast<char>(c));
  return pclose(pipe) == 0 ? output : std::string();
}

struct Reference {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
};

// The tools write raw P6 as "P6\n<w> <h>\n255\n" followed by the samples.
Reference parse_tool_p6(const std::string& bytes) {
  Reference reference;
  int maximum = 0, header_length = 0;
  if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &reference.width, &reference.height, &maximum,
                  &header_length) != 3 || maximum != 255)
    return {};
  const auto count = static_cast<std::size_t>(reference.width) * static_cast<std::size_t>(reference.height);
  const std::size_t start = static_cast<std::size_t>(header_length) + 1;
  if (bytes.size() != start + count * 3) return {};
  const auto* samples = reinterpret_cast<const unsigned char*>(bytes.data() + start);
  for (std::size_t i = 0; i < count * 3; i += 3)
    reference.pixels.push_back(std::uint32_t{samples[i]} << 16 | std::uint32_t{samples[i + 1]} << 8 |
                               samples[i + 2]);
  return reference;
}

TEST(PnmTools, DecodersGiveThePixelsTheToolsMeant) {
  for (const char* tool :
       {"pbmmake", "pbmtext", "pgmramp", "ppmpat", "ppmrainbow", "pnmtoplainpnm", "ppmtoppm"})
    if (!have_tool(tool)) GTEST_SKIP() << tool << " is missing: install Debian's netpbm package";
  const struct {
    const char* command;
    bool bitmap;
  } cases[] = {
      {"pbmmake -g 13 4", true},
      {"pbmtext -builtin fixed Hi", true},
      {"pbmmake -g 10 3 | pnmtoplainpnm", true},
      {"pbmtext -builtin fixed Hi | pnmtoplainpnm", true},
      {"pgmramp -diag 9 5", false},
      {"pgmramp -lr 7 3 | pnmtoplainpnm", false},
      {"ppmpat -randomseed=7 -camo 11 6", false},
      {"ppmpat -randomseed=7 -gingham2 11 6 | pnmtoplainpnm", false},
      {"ppmrainbow -width 12 -height 5 red blue | pnmtoplainpnm", false},
  };
  const std::string path = testing::TempDir() + "pnm-tools-" + std::to_string(getpid()) + ".pnm";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const std::string picture = run(std::string(c.command) + " 2>/dev/null | tee " + path);
    const Reference reference = parse_tool_p6(run("ppmtoppm < " + path));
    ASSERT_FALSE(picture.empty());
    ASSERT_FALSE(reference.pixels.empty());
    std::vector<std::uint32_t> meant = reference.pixels;
    if (c.bitmap)
      for (std::uint32_t& pixel : meant) pixel = pixel == 0 ? 0xFFFFFF : 0;

    Image* from_file = img_read_pnm_file(path.c_str());
    ASSERT_NE(from_file, nullptr);
    EXPECT_EQ(from_file->width, reference.width);
    EXPECT_EQ(from_file->height, reference.height);
    EXPECT_EQ(std::vector<std::uint32_t>(from_file->pixels, from_file->pixels + meant.size()), meant);

    // The memory decoder gives raw bitmaps whole bytes per row; the tools' fill bits are 0.
    Image* in_memory =
        img_from_pnm_bounded(reinterpret_cast<const unsigned char*>(picture.data()), picture.size());
    ASSERT_NE(in_memory, nullptr);
    const bool raw_bitmap = picture[1] == '4';
    EXPECT_EQ(in_memory->width, raw_bitmap ? (reference.width + 7) / 8 * 8 : reference.width);
    EXPECT_EQ(in_memory->height, reference.height);
    for (int y = 0; y < in_memory->height; ++y)
      for (int x = 0; x < in_memory->width; ++x) {
        const std::uint32_t want =
            x < reference.width ? meant[static_cast<std::size_t>(y * reference.width + x)] : 0;
        ASSERT_EQ(img_get_pixel(in_memory, x, y), want) << "at " << x << "," << y;
      }
    img_destroy(&from_file);
    img_destroy(&in_memory);
  }
  std::remove(path.c_str());
}

}  // namespace
}  // namespace novu
