// Draws the demonstration form's picture (sky, sun, field and a road) and writes it as a JPEG
// file; run by the build.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "picture/picture.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s out.jpg\n", argv[0]);
    return 2;
  }
  const int w = 160, h = 120;
  std::vector<std::uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double r, g, b;
      if (y < 60) {  // sky
        r = 90 + y * 2;
        g = 150 + y;
        b = 230;
        double dx = x - 120, dy = y - 22;
        if (dx * dx + dy * dy < 140) r = 255, g = 220, b = 60;  // sun
      } else {                                                  // field with a road to the horizon
        r = 70;
        g = 140 - (y - 60);
        b = 50;
        double half = (y - 60) * 0.9 + 2;
        if (std::fabs(x - 80.0) < half) r = g = b = 110 + (y - 60) / 2;
      }
      std::uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<std::uint8_t>(r);
      p[1] = static_cast<std::uint8_t>(g);
      p[2] = static_cast<std::uint8_t>(b);
    }
  return picture::WriteFile(argv[1], picture::EncodeJpeg(rgb, w, h)) ? 0 : 1;
}
