// Unpacking the track memory.
#include "read_dev/track_dump.h"

#include <algorithm>
#include <limits>

namespace track {

std::uint32_t DumpBoundMs(long long length, std::uint32_t baud) {
  constexpr long long BitsPerByte = 10;
  constexpr long long LineTimes = 4;
  constexpr long long SpareMs = 60'000;
  // A port without a rate counts as at the slowest rate the program sets.
  constexpr long long SlowestBaud = 9600;
  const long long rate = baud > 0 ? baud : SlowestBaud;
  const long long line_ms = (std::max(length, 0LL) * BitsPerByte * 1000 + rate - 1) / rate;
  return static_cast<std::uint32_t>(std::min<long long>(LineTimes * line_ms + SpareMs,
                                                        std::numeric_limits<std::uint32_t>::max()));
}

char NibbleToChar(int code) {
  static constexpr char Chars[16] = {' ', '1', '2', '3', '4', '5', '6',  '7',
                                     '8', '9', '0', ';', '.', '/', '\n', '$'};
  return Chars[code & 0x0F];
}

std::string DumpText(std::span<const std::uint8_t> bytes, bool unpack) {
  if (!unpack) return std::string(bytes.begin(), bytes.end());
  std::string text(bytes.size() * 2, ' ');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[2 * i] = NibbleToChar(bytes[i] >> 4);
    text[2 * i + 1] = NibbleToChar(bytes[i]);
  }
  return text;
}

}  // namespace track
