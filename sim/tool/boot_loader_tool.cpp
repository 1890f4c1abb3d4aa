#include "boot_loader_tool.h"

#include <charconv>
#include <fstream>

namespace sim::tool {
namespace {

bool Number(const std::string& text, std::uint64_t& v, int base = 10) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

bool ParseBootLoaderOption(const std::string& arg, const std::string& value, BootLoaderOptions& o,
                           std::string& error) {
  if (arg == "--start") {
    if (value != "tracker" && value != "boot-loader") error = "bad --start: " + value;
    o.start_as_boot_loader = value == "boot-loader";
    return true;
  }
  if (arg == "--flash") {
    o.flash_file = value;
    return true;
  }
  if (arg != "--boot-fault") return false;
  const auto eq = value.find('=');
  const std::string name = value.substr(0, eq);
  const std::string text = eq == std::string::npos ? "" : value.substr(eq + 1);
  std::uint64_t n = 0;
  const bool numbered = Number(text, n);
  if (name == "split") {
    o.faults.split_ack = true;
  } else if (name == "silent") {
    o.faults.silent = true;
  } else if (name == "crc" && numbered) {
    o.faults.wrong_crc_block = static_cast<int>(n);
  } else if (name == "wrong-number" && numbered) {
    o.faults.wrong_number_block = static_cast<int>(n);
  } else if (name == "repeat" && numbered) {
    o.faults.repeat_ack_block = static_cast<int>(n);
  } else if (name == "stray" && Number(text, n, 16) && n <= 0xFF) {
    o.faults.stray_byte = static_cast<int>(n);
  } else if (name == "silent-from" && numbered) {
    o.faults.silent_from_block = static_cast<int>(n);
  } else if (name == "vanish" && numbered && n > 0) {
    o.faults.vanish_on_byte = n;
  } else {
    error = "bad --boot-fault: " + value;
  }
  return true;
}

bool WriteFlash(const std::string& path, const BootLoaderSim& loader) {
  std::ofstream out(path, std::ios::binary);
  const auto& flash = const_cast<BootLoaderSim&>(loader).flash();
  out.write(reinterpret_cast<const char*>(flash.data()),
            static_cast<std::streamsize>(flash.size()));
  return static_cast<bool>(out);
}

}  // namespace sim::tool
