// Unpacking the track memory.
#include "read_dev/track_dump.h"

namespace track {

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
