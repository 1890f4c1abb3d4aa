// The simulator tool's boot loader: the one the tracker hands over to on '}' (or the device the
// tool starts as), with its options.
#pragma once

#include <string>

#include "sim/boot_loader_sim.h"

namespace sim::tool {

inline constexpr const char* kBootLoaderUsage =
    "  --start WHO         tracker (default) | boot-loader: the device the tool starts as\n"
    "  --flash FILE        the boot loader's flash, written to FILE when the tool ends\n"
    "  --boot-fault FAULT  crc=BLOCK | wrong-number=BLOCK | repeat=BLOCK | stray=HEX | split\n"
    "                      | silent | silent-from=BLOCK | vanish=N   (may be repeated)\n";

struct BootLoaderOptions {
  bool start_as_boot_loader = false;
  std::string flash_file;
  BootLoaderFaults faults;
};

// Takes `arg` with its `value` when it is one of the boot loader's options; `error` says what
// is wrong with a value it could not take.
bool ParseBootLoaderOption(const std::string& arg, const std::string& value, BootLoaderOptions& o,
                           std::string& error);
// Writes the flash image; false when the file cannot be written.
bool WriteFlash(const std::string& path, const BootLoaderSim& loader);

}  // namespace sim::tool
