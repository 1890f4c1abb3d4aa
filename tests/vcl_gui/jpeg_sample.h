// JPEG files made with libjpeg for the tests and the demonstration picture.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_support {
// Encodes RGB pixels (3 bytes each, rows top to bottom) as a JPEG file.
std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& rgb, int width, int height);
// A colour gradient, red throughout, so that decoded colours are easy to check.
std::vector<std::uint8_t> SampleJpeg(int width, int height);
}  // namespace testing_support
