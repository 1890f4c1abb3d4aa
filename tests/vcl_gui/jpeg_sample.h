// A small JPEG file made with libjpeg for the tests: a colour gradient.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_support {
std::vector<std::uint8_t> SampleJpeg(int width, int height);
}
