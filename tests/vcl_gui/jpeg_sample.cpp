#include "jpeg_sample.h"

#include <cstddef>

#include "picture/picture.h"

namespace testing_support {

std::vector<std::uint8_t> SampleJpeg(int width, int height) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      p[0] = 200;
      p[1] = static_cast<std::uint8_t>(x * 255 / (width > 1 ? width - 1 : 1) / 4);
      p[2] = 20;
    }
  return picture::EncodeJpeg(rgb, width, height);
}

}  // namespace testing_support
