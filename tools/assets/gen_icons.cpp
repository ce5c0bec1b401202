// Writes assets/icons/: the program's icon as SIZExSIZE.png in the sizes desktops ask for. The
// four plates of assets/logo.ppm stand in a 2 x 2 square, N O over V U, 32 x 32 pixels, scaled
// nearest-neighbour so that every size stays as sharp as the tiles. It reads the logo file
// itself, so that regenerating the logo and then the icons keeps them in step.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "image/image.hpp"
#include "image/pnm.hpp"
#include "png.hpp"

namespace {

constexpr int plate = 16;
constexpr int square = 2 * plate;
constexpr int sizes[] = {16, 32, 48, 64, 128, 256};

// Pixel (x, y) of the square: plate p = N, O, V, U sits at column p % 2, row p / 2.
std::uint32_t square_pixel(const novu::Image& logo, int x, int y) {
  const int p = y / plate * 2 + x / plate;
  return logo.pixels[(y % plate) * logo.width + p * plate + x % plate];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen-icons <output folder>\n");
    return 2;
  }
  novu::Image* logo = novu::img_read_pnm_file(NOVU_LOGO_PPM);
  if (logo == nullptr || logo->width != 4 * plate || logo->height != plate) {
    std::fprintf(stderr, "gen-icons: %s is not the 64 x 16 logo\n", NOVU_LOGO_PPM);
    return 1;
  }
  std::error_code failed;
  std::filesystem::create_directories(argv[1], failed);
  int status = 0;
  for (const int size : sizes) {
    novu::Picture icon = novu::picture_make(size, size, 0);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        // The square's pixel under the centre of the icon's pixel.
        novu::picture_put(icon, x, y, square_pixel(*logo, (2 * x + 1) * square / (2 * size),
                                                   (2 * y + 1) * square / (2 * size)));
      }
    }
    const std::string name = std::to_string(size) + "x" + std::to_string(size) + ".png";
    if (!novu::asset_write(std::string(argv[1]) + "/" + name, novu::png_encode(icon))) status = 1;
  }
  novu::img_destroy(&logo);
  return status;
}
