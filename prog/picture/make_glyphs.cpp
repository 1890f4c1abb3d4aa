// Draws the loader window's tool bar glyphs (open a file, connect, disconnect), 24 x 24 on the
// button face colour, and writes them as JPEG files into the folder given; run by the build.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "jpeg_sample.h"

namespace {

struct Rgb {
  double r, g, b;
};
using Scene = std::function<Rgb(double x, double y)>;

const Rgb kFace{240, 240, 240};

bool In(double x, double y, double x0, double y0, double x1, double y1) {
  return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

// A folder with a sheet of paper sticking out.
Rgb OpenFile(double x, double y) {
  if (In(x, y, 7, 3, 17, 13))
    return In(x, y, 9, 6, 15, 6.8) || In(x, y, 9, 9, 15, 9.8) ? Rgb{120, 120, 140}
                                                              : Rgb{255, 255, 255};
  if (In(x, y, 2, 8, 9, 11) || In(x, y, 2, 10, 22, 21)) return {225, 170, 40};
  return kFace;
}

// A plug (green) in a socket.
Rgb Plug(double x, double y, bool joined) {
  const double gap = joined ? 0 : 4;
  if (In(x, y, 2, 10.5, 6 - gap / 2, 13.5)) return {60, 60, 60};  // cable
  if (In(x, y, 6 - gap / 2, 7, 11 - gap / 2, 17))
    return joined ? Rgb{30, 150, 60} : Rgb{200, 40, 30};
  if (In(x, y, 11 - gap / 2, 9, 13 - gap / 2, 10.5) ||
      In(x, y, 11 - gap / 2, 13.5, 13 - gap / 2, 15))
    return {180, 180, 180};  // prongs
  if (In(x, y, 13 + gap / 2, 6, 18 + gap / 2, 18))
    return joined ? Rgb{30, 150, 60} : Rgb{200, 40, 30};
  if (In(x, y, 18 + gap / 2, 10.5, 23, 13.5)) return {60, 60, 60};
  return kFace;
}

bool Write(const std::string& path, const Scene& scene) {
  const int n = 24, ss = 4;
  std::vector<std::uint8_t> rgb(n * n * 3);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      Rgb sum{0, 0, 0};
      for (int sy = 0; sy < ss; ++sy)
        for (int sx = 0; sx < ss; ++sx) {
          Rgb c = scene(x + (sx + 0.5) / ss, y + (sy + 0.5) / ss);
          sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
        }
      std::uint8_t* p = &rgb[(y * n + x) * 3];
      p[0] = static_cast<std::uint8_t>(sum.r / (ss * ss) + 0.5);
      p[1] = static_cast<std::uint8_t>(sum.g / (ss * ss) + 0.5);
      p[2] = static_cast<std::uint8_t>(sum.b / (ss * ss) + 0.5);
    }
  const std::vector<std::uint8_t> jpeg = testing_support::EncodeJpeg(rgb, n, n);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const bool ok =
      Write(dir + "/open_file.jpg", OpenFile) &&
      Write(dir + "/connect.jpg", [](double x, double y) { return Plug(x, y, true); }) &&
      Write(dir + "/disconnect.jpg", [](double x, double y) { return Plug(x, y, false); });
  return ok ? 0 : 1;
}
