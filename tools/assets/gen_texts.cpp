// Writes the program's texts into the folder given: scroll.txt, the scroller's endless line, and
// three texts that are carried in the program's data without being shown (article3.txt,
// rights.txt, no_warranty.txt). Only the wording lives here; the layout comes from the code:
// every line ends in a newline, most lines get trailing spaces (the scroller shows a newline as
// one blank glyph, so the spaces give each line room before the next), and blocks are set apart
// by a line of 14 spaces.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "asset_file.hpp"

namespace {

constexpr int normal_padding = 3;
const std::string separator(14, ' ');

struct Line {
  const char* words;
  int padding = normal_padding;  // trailing spaces
};
using Block = std::vector<Line>;

// The scroll text, block by block; each block is followed by a separator.
const std::vector<Block> scroll_blocks = {
    {{"", 0}, {"", 0}},
    {{"NOVU"}, {"DEMO 4471"}, {"RELEASED 2026-12-06"}, {"THIS IS THE SDL VERSION"}},
    {{"PRESS KEYS:", 1},
     {"ESC,Q: EXIT", 2},
     {"SPACE: NEXT PART", 2},
     {"8: SHOW F.P.S. ON/OFF", 3},
     {"9: FULL SPEED ON/OFF", 3},
     {"ASDFG: SCROLL SPEED", 4}},
    {{"THIS TIME NOVU SHOWS YOU A DEMO"}, {"WITH LOTS AND LOTS OF PIXELS!"}},
    {{"GREETINGS GO OUT TO:"},
     {"BYTE ORCHARD,"},
     {"WWW.BYTEORCHARD.EXAMPLE,"},
     {"MOIRE MONKS,"},
     {"TIN LANTERN,"},
     {"VELVET OSCILLATOR,"},
     {"WWW.VELVETOSC.EXAMPLE,"},
     {"SINE CARTEL,"},
     {"RASTER OWLS,"},
     {"WWW.RASTEROWLS.EXAMPLE,"},
     {"LOW HERTZ CLUB,"},
     {"COPPER TIDE,"},
     {"AND EVERYONE AT WWW.DOTPARTY.EXAMPLE..."}},
    {{"THE UNIVERSAL"},
     {"DECLARATION OF HUMAN RIGHTS"},
     {"OF 1948-12-10"},
     {"SAYS IN ARTICLE 7:"},
     // The newline that ends each line shows as the space between its words.
     {"All are equal before the law", 0},
     {"and are entitled without any", 0},
     {"discrimination to equal", 0},
     {"protection of the law.", 0},
     {"All are entitled to equal", 0},
     {"protection against any", 0},
     {"discrimination in violation of", 0},
     {"this Declaration and against any", 0},
     {"incitement to such discrimination."}},
    {{"VISIT NOVU AT WWW.NOVU.EXAMPLE"}},
    {{"CONTACT: PIXELS@NOVU.EXAMPLE"}},
    {{"CODE, PIXELS AND SOUNDS:"}, {"NOVU"}, {"ALL RIGHTS RESERVED."}},
    {{"9.8.7.6.5.4.3.2.1.0"}},
};

const std::vector<Block> article3_blocks = {
    {{"Universal Declaration of Human Rights, 1948-12-10, Article 3:", 0},
     {"Everyone has the right to life, liberty and security of person.", 0}},
};

const std::vector<Block> rights_blocks = {
    {{"NOVU4471, demo 4471 by NOVU, 2026.", 0},
     {"The program, its pictures, texts and sounds are the work of NOVU.", 0},
     {"All rights reserved.", 0}},
};

const std::vector<Block> no_warranty_blocks = {
    {{"NOVU4471 is provided as it is, without warranty of any kind,", 0},
     {"express or implied. You run it at your own risk.", 0}},
};

std::string layout(const std::vector<Block>& blocks, bool separated) {
  std::string text;
  for (const Block& block : blocks) {
    for (const Line& line : block) text += line.words + std::string(static_cast<std::size_t>(line.padding), ' ') + '\n';
    if (separated) text += separator + '\n';
  }
  return text;
}

bool write_text(const std::string& folder, const char* name, const std::string& text) {
  return novu::asset_write(folder + "/" + name, text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen-texts <output folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::error_code failed;
  std::filesystem::create_directories(folder, failed);
  const bool ok = write_text(folder, "scroll.txt", layout(scroll_blocks, true)) &&
                  write_text(folder, "article3.txt", layout(article3_blocks, false)) &&
                  write_text(folder, "rights.txt", layout(rights_blocks, false)) &&
                  write_text(folder, "no_warranty.txt", layout(no_warranty_blocks, false));
  return ok ? 0 : 1;
}
