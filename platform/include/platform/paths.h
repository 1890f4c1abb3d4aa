// Windows-style names on Linux: the prefix folder, drive letters, COM port names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows.h"

namespace platform {

// $TRAKMON_PREFIX, else ~/.trakmon.
std::string PrefixDir();

// "c:\Tc\WorkDir\gps_msg.txt" -> "<prefix>/drive_c/Tc/WorkDir/gps_msg.txt" (or where dosdevices/c:
// points); an absolute POSIX path stays as it is; backslashes become slashes; a relative path
// stays relative (to the process's current directory). Texts are CP1251; the result is UTF-8.
std::string MapPath(const std::string& windows_path);

// A program's text names a file-system path exactly when MapPath leads back to that path: every
// character of it has a CP1251 code and no name in it holds a backslash (MapPath reads every
// backslash as a separator). The first character of `path` (UTF-8) that no text can carry so
// ("é", "\\"); empty when there is none.
std::string UncarriedCharacter(std::string_view path);
// The program's text (CP1251) for an absolute file-system path, when it names the path exactly.
std::optional<std::string> ExactProgramText(const std::string& posix_path);

// The program file's own path in the file system (UTF-8).
std::string ModuleFilePath();
// Why GetModuleFileNameA cannot give the program's path, for the user (CP1251): the path as the
// code page shows it, with the character it cannot carry; empty when it can.
std::string ModuleFileNameProblem();

// The device node that "COMn" names: the dosdevices/comN link, else the default assignment
// (ttyUSB*, ttyACM*, then real ttyS*, numbered from COM1). Empty when the name maps to nothing.
std::string ComDevicePath(const std::string& port_name);

struct ComPort {
  std::string name;    // "COM1"
  std::string device;  // "/dev/ttyUSB0", or "sim" for an attached simulated device
};
// Every mapped COM port whose device exists, in port-number order.
std::vector<ComPort> ListComPorts();

// Why CreateFileA of "\\.\COMn" failed, from the error it left, in terms a user can act on.
struct ComOpenFailure {
  enum class Reason {
    NoDevice,      // COMn maps to no device: no dosdevices link, no serial device left for it
    Missing,       // the device node is not there (an adapter unplugged, a link to nothing)
    NotATerminal,  // what COMn maps to is no serial port
    NoAccess,      // the user may not open the device node
    Held,          // another handle, in this or another program, holds the port
    Other,         // any other error
  };
  Reason reason = Reason::Other;
  std::string device;  // what COMn maps to, as ComPort::device; empty for NoDevice
  std::string link;    // NoDevice: the link that would map it (<prefix>/dosdevices/comn)
  std::string group;   // NoAccess: the group that may use the node ("dialout")
  DWORD error = 0;     // the error CreateFileA left
};
// `port_name` is "COMn" or "\\.\COMn"; anything else maps to no device.
ComOpenFailure ExplainComOpenFailure(const std::string& port_name, DWORD error);

}  // namespace platform
