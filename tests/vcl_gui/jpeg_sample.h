// A JPEG file for the tests of pictures.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_support {
// A colour gradient, red throughout, so that decoded colours are easy to check.
std::vector<std::uint8_t> SampleJpeg(int width, int height);
}  // namespace testing_support
