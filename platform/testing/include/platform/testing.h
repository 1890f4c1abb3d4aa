// Test hooks of the platform layer: fault injection and records of what the programs did to the
// outside world (beeps, started processes). Only tests see this header (target
// platform_testing); programs never call these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/windows.h"

namespace platform::testing {

// Makes calls named `call` ("SetupComm", "CreateFileA", "ReadFile" ...) fail with `error`.
// `target` narrows it to handles opened from that path ("\\.\COM3"), or to one handle when set
// through the HANDLE overload; empty means any. `count` calls fail, then the call works again
// (-1: every call).
void InjectFault(const std::string& call, DWORD error, const std::string& target = "",
                 int count = 1);
void InjectFault(const std::string& call, DWORD error, HANDLE handle, int count = 1);
void ClearFaults();

struct BeepRecord {
  DWORD frequency;
  DWORD duration;
  std::uint64_t at_us;
};
std::vector<BeepRecord> Beeps();
void ClearBeeps();

struct ProcessRecord {
  std::string command_line;
  bool waited;
};
// When set, process starts are recorded and handed to the interceptor instead of being run;
// its result is the start's success.
void SetProcessInterceptor(std::function<bool(const ProcessRecord&)> interceptor);
std::vector<ProcessRecord> Processes();
void ClearProcesses();

// Overrides the program file's own path in the file system (UTF-8), which GetModuleFileNameA
// answers in the programs' code page; empty restores it.
void SetModuleFileName(const std::string& path);

// The folder under which the default COM assignment looks for /dev/ttyUSB*, /dev/ttyACM*,
// /dev/ttyS* and /sys/class/tty/ttyS*/type, so that tests see a machine of their own making;
// "" or "/" is the real machine.
void SetDeviceRoot(const std::string& root);

// Adds a value (name, data) to HARDWARE\DEVICEMAP\SERIALCOMM after the mapped ports, so that
// tests can see what a port list does with data such as "LPT1"; keys opened afterwards show it.
void AddSerialCommValue(const std::string& name, const std::string& data);
void ClearSerialCommValues();

// A disk that fills: files written by replacement (platform/file_replace.h, and so every file the
// programs write) may put `bytes` more bytes on it, then their writes fail with `error`; -1 lifts
// the limit.
void LimitFileWrites(long long bytes, int error = 28 /* ENOSPC */);

}  // namespace platform::testing
