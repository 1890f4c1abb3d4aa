#include "sim/intel_hex.h"

#include <algorithm>
#include <cstdio>

namespace sim {
namespace {

std::string Record(int count, int address, int type, const std::uint8_t* data) {
  char buf[16];
  std::string line = ":";
  unsigned sum = static_cast<unsigned>(count + (address >> 8) + (address & 0xFF) + type);
  std::snprintf(buf, sizeof buf, "%02X%04X%02X", count, address, type);
  line += buf;
  for (int i = 0; i < count; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", data[i]);
    line += buf;
    sum += data[i];
  }
  std::snprintf(buf, sizeof buf, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + buf + "\r\n";
}

}  // namespace

std::string MakeIntelHex(std::span<const std::uint8_t> data, int per_record, int base) {
  const std::size_t room = base < 0x10000 ? 0x10000 - static_cast<std::size_t>(base) : 0;
  const std::size_t size = std::min<std::size_t>(data.size(), room);
  std::string text;
  for (std::size_t at = 0; at < size; at += per_record) {
    const int count = static_cast<int>(std::min<std::size_t>(per_record, size - at));
    text += Record(count, base + static_cast<int>(at), 0, data.data() + at);
  }
  return text + Record(0, 0, 1, nullptr);
}

}  // namespace sim
