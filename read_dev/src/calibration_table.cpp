#include "read_dev/calibration_table.h"

#include <vector>

namespace {

constexpr std::uint8_t FillByte = 0x23;  // '#'

}  // namespace

void CalibrationTableImage::Set(int k, long long input, long long output) {
  Bytes[2 * k] = static_cast<std::uint8_t>(input & 0xFF);
  Bytes[2 * k + 1] = static_cast<std::uint8_t>(input >> 8 & 0xFF);
  Bytes[2 * CalibrationEntries + 2 * k] = static_cast<std::uint8_t>(output & 0xFF);
  Bytes[2 * CalibrationEntries + 2 * k + 1] = static_cast<std::uint8_t>(output >> 8 & 0xFF);
}

unsigned CalibrationTableImage::Input(int k) const {
  return Bytes[2 * k] + 256u * Bytes[2 * k + 1];
}

unsigned CalibrationTableImage::Output(int k) const {
  return Bytes[2 * CalibrationEntries + 2 * k] + 256u * Bytes[2 * CalibrationEntries + 2 * k + 1];
}

CalibrationTableImage CalibrationTableImage::FromReply(std::span<const std::uint8_t> received) {
  std::vector<std::uint8_t> buffer(received.begin(), received.end());
  // Positions 0 to 119 of the buffer as it shrinks: a "#" moved into the range goes as well.
  for (std::size_t p = 0; p < buffer.size() && p < static_cast<std::size_t>(Size);) {
    if (buffer[p] == FillByte)
      buffer.erase(buffer.begin() + static_cast<std::ptrdiff_t>(p));
    else
      ++p;
  }
  CalibrationTableImage image;
  for (std::size_t i = 0; i < buffer.size() && i < static_cast<std::size_t>(Size); ++i)
    image.Bytes[i] = buffer[i];
  return image;
}
