// Draws the demonstration form's picture (sky, sun, field and a road) and writes it as a JPEG
// file; run by the build.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>  // needs size_t and FILE declared first
// clang-format on

#include <cmath>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s out.jpg\n", argv[0]);
    return 2;
  }
  const int w = 160, h = 120;
  std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
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
      unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<unsigned char>(r);
      p[1] = static_cast<unsigned char>(g);
      p[2] = static_cast<unsigned char>(b);
    }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 85, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = &rgb[static_cast<size_t>(cinfo.next_scanline) * w * 3];
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(out) == 0 ? 0 : 1;
}
