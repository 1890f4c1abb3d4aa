#include "picture/picture.h"

// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>  // needs size_t and FILE declared first
// clang-format on

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace picture {

std::vector<std::uint8_t> Render(int width, int height, const Scene& scene, int samples) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  const double n = static_cast<double>(samples) * samples;
  auto byte = [n](double sum) {
    return static_cast<std::uint8_t>(std::clamp(sum / n, 0.0, 1.0) * 255 + 0.5);
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Rgb sum{0, 0, 0};
      for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx) {
          Rgb c = scene(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
          sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
        }
      std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      p[0] = byte(sum.r);
      p[1] = byte(sum.g);
      p[2] = byte(sum.b);
    }
  return rgb;
}

std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& rgb, int width, int height,
                                     int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    auto* row =
        const_cast<JSAMPLE*>(&rgb[static_cast<std::size_t>(cinfo.next_scanline) * width * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> bytes(out, out + size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) std::fprintf(stderr, "%s: write failed\n", path.c_str());
  return written && closed;
}

}  // namespace picture
