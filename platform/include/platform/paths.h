// Windows-style names on Linux: the prefix folder, drive letters, COM port names.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// $TRAKMON_PREFIX, else ~/.trakmon.
std::string PrefixDir();

// "c:\Tc\WorkDir\gps_msg.txt" -> "<prefix>/drive_c/Tc/WorkDir/gps_msg.txt" (or where dosdevices/c:
// points); an absolute POSIX path stays as it is; backslashes become slashes; a relative path
// stays relative (to the process's current directory). Texts are CP1251; the result is UTF-8.
std::string MapPath(const std::string& windows_path);

// The device node that "COMn" names: the dosdevices/comN link, else the default assignment
// (ttyUSB*, ttyACM*, then real ttyS*, numbered from COM1). Empty when the name maps to nothing.
std::string ComDevicePath(const std::string& port_name);

struct ComPort {
  std::string name;    // "COM1"
  std::string device;  // "/dev/ttyUSB0", or "sim" for an attached simulated device
};
// Every mapped COM port whose device exists, in port-number order.
std::vector<ComPort> ListComPorts();

}  // namespace platform
