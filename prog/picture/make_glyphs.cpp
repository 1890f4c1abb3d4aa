// Draws the loader window's tool bar glyphs (open a file, connect, disconnect), 24 x 24 on the
// button face colour, and writes them as JPEG files into the folder given; run by the build.
#include <cstdio>
#include <string>

#include "picture/picture.h"

namespace {

using picture::Rgb;

// A colour given in bytes.
constexpr Rgb Bytes(double r, double g, double b) {
  return {r / 255, g / 255, b / 255};
}

const Rgb kFace = Bytes(240, 240, 240);

bool In(double x, double y, double x0, double y0, double x1, double y1) {
  return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

// A folder with a sheet of paper sticking out.
Rgb OpenFile(double x, double y) {
  if (In(x, y, 7, 3, 17, 13))
    return In(x, y, 9, 6, 15, 6.8) || In(x, y, 9, 9, 15, 9.8) ? Bytes(120, 120, 140)
                                                              : Bytes(255, 255, 255);
  if (In(x, y, 2, 8, 9, 11) || In(x, y, 2, 10, 22, 21)) return Bytes(225, 170, 40);
  return kFace;
}

// A plug (green) in a socket.
Rgb Plug(double x, double y, bool joined) {
  const double gap = joined ? 0 : 4;
  if (In(x, y, 2, 10.5, 6 - gap / 2, 13.5)) return Bytes(60, 60, 60);  // cable
  if (In(x, y, 6 - gap / 2, 7, 11 - gap / 2, 17))
    return joined ? Bytes(30, 150, 60) : Bytes(200, 40, 30);
  if (In(x, y, 11 - gap / 2, 9, 13 - gap / 2, 10.5) ||
      In(x, y, 11 - gap / 2, 13.5, 13 - gap / 2, 15))
    return Bytes(180, 180, 180);  // prongs
  if (In(x, y, 13 + gap / 2, 6, 18 + gap / 2, 18))
    return joined ? Bytes(30, 150, 60) : Bytes(200, 40, 30);
  if (In(x, y, 18 + gap / 2, 10.5, 23, 13.5)) return Bytes(60, 60, 60);
  return kFace;
}

bool Write(const std::string& path, const picture::Scene& scene) {
  const int n = 24;
  return picture::WriteFile(path, picture::EncodeJpeg(picture::Render(n, n, scene), n, n));
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
