// The prefix folder: drive letters, COM port names and the default COM assignment.
#include "platform/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <set>

#include "internal.h"
#include "platform/cp1251.h"
#include "platform/testing.h"

namespace platform {
namespace {

constexpr int kMaxComNumber = 256;

std::mutex device_root_mutex;
std::string device_root;  // "" = the machine's own /dev and /sys

std::mutex module_file_mutex;
std::string module_file_override;  // tests: the program file's path

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string DosDevices() {
  return PrefixDir() + "/dosdevices";
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool IsLinkOrEntry(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

void MakeDirs(const std::string& path) {
  for (std::size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos == path.size() || path[pos] == '/') ::mkdir(path.substr(0, pos).c_str(), 0777);
  }
}

// The folder that stands for drive `letter` (lower case): the dosdevices link, else for C the
// prefix's drive_c, created on first use.
std::string DriveRoot(char letter) {
  std::string link = DosDevices() + "/" + letter + ":";
  if (letter == 'c' && !IsLinkOrEntry(link)) {
    std::string drive_c = PrefixDir() + "/drive_c";
    if (!Exists(drive_c)) MakeDirs(drive_c);
    return drive_c;
  }
  return link;
}

// Where a dosdevices link points, relative targets taken from the dosdevices folder; the entry
// itself when it is no link.
std::string LinkTarget(const std::string& entry) {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink(entry.c_str(), buffer, sizeof buffer - 1);
  if (n < 0) return entry;
  std::string target(buffer, static_cast<std::size_t>(n));
  if (!target.empty() && target[0] != '/') target = DosDevices() + "/" + target;
  return target;
}

std::string RealPath(const std::string& path) {
  char buffer[PATH_MAX];
  if (::realpath(path.c_str(), buffer)) return buffer;
  return path;
}

// Device nodes named prefix + digits in `dir`, in numeric order.
std::vector<std::string> NumberedDevices(const std::string& dir, const std::string& prefix) {
  std::vector<std::pair<long, std::string>> found;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
      std::string digits = name.substr(prefix.size());
      if (!std::all_of(digits.begin(), digits.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        continue;
      found.emplace_back(std::strtol(digits.c_str(), nullptr, 10), dir + "/" + name);
    }
    ::closedir(d);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& [number, path] : found) paths.push_back(path);
  return paths;
}

// A ttyS node stands for a real port when the serial driver reports a port type: read from
// sysfs (needs no access to the device), else asked of the device itself.
bool IsRealSerialPort(const std::string& root, const std::string& device) {
  std::string name = device.substr(device.rfind('/') + 1);
  std::ifstream type_file(root + "/sys/class/tty/" + name + "/type");
  if (type_file) {
    int type = 0;
    type_file >> type;
    return type_file && type != PORT_UNKNOWN;
  }
  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  serial_struct info{};
  bool real = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  ::close(fd);
  return real;
}

// Every COM number with its device: the dosdevices/comN links (dangling ones too: they pin
// their number), and the default assignment of the remaining devices to the free numbers.
std::map<int, std::string> ComAssignments() {
  std::map<int, std::string> ports;
  std::set<std::string> linked_devices;
  std::string dosdevices = DosDevices();
  if (DIR* d = ::opendir(dosdevices.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      int number = detail::ComNumber(name);
      if (number == 0 || Lower(name) != name) continue;
      std::string target = LinkTarget(dosdevices + "/" + name);
      ports[number] = target;
      linked_devices.insert(RealPath(target));
    }
    ::closedir(d);
  }
  std::string root = detail::DeviceRoot();
  std::vector<std::string> devices = NumberedDevices(root + "/dev", "ttyUSB");
  for (auto& path : NumberedDevices(root + "/dev", "ttyACM")) devices.push_back(path);
  for (auto& path : NumberedDevices(root + "/dev", "ttyS"))
    if (IsRealSerialPort(root, path)) devices.push_back(path);
  int number = 1;
  for (auto& device : devices) {
    if (linked_devices.count(RealPath(device))) continue;
    while (ports.count(number)) ++number;
    if (number > kMaxComNumber) break;
    ports[number] = device;
  }
  return ports;
}

}  // namespace

std::string PrefixDir() {
  if (const char* prefix = std::getenv("TRAKMON_PREFIX"); prefix && *prefix) return prefix;
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    if (passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir;
  }
  return std::string(home ? home : "") + "/.trakmon";
}

std::string MapPath(const std::string& windows_path) {
  std::string path = Cp1251ToUtf8(windows_path);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    std::string root =
        DriveRoot(static_cast<char>(std::tolower(static_cast<unsigned char>(path[0]))));
    std::string rest = path.substr(2);
    if (rest.empty()) return root;
    return rest[0] == '/' ? root + rest : root + "/" + rest;
  }
  return path;
}

namespace {

// "U+00E9" for a character, "0xE9" for a byte that is no UTF-8.
std::string CodeName(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  char text[16];
  if (character.size() == 1 && lead >= 0x80) {
    std::snprintf(text, sizeof text, "0x%02X", lead);
    return text;
  }
  unsigned code = character.size() == 1 ? lead : lead & (0x7Fu >> character.size());
  for (std::size_t i = 1; i < character.size(); ++i)
    code = (code << 6) | (static_cast<unsigned char>(character[i]) & 0x3Fu);
  std::snprintf(text, sizeof text, "U+%04X", code);
  return text;
}

}  // namespace

std::string UncarriedCharacter(std::string_view path) {
  for (std::size_t i = 0; i < path.size();) {
    const auto lead = static_cast<unsigned char>(path[i]);
    if (lead == '\\') return "\\";
    const std::size_t n = Utf8SequenceLength(path.substr(i));
    const std::string_view character = path.substr(i, n);
    if (lead >= 0x80 && Cp1251ToUtf8(Utf8ToCp1251(character)) != character)
      return std::string(character);
    i += n;
  }
  return {};
}

std::optional<std::string> ExactProgramText(const std::string& posix_path) {
  if (!UncarriedCharacter(posix_path).empty()) return std::nullopt;
  std::string text = Utf8ToCp1251(posix_path);
  if (MapPath(text) != posix_path) return std::nullopt;
  return text;
}

std::string ModuleFilePath() {
  {
    std::lock_guard guard(module_file_mutex);
    if (!module_file_override.empty()) return module_file_override;
  }
  // The link's length is not known beforehand: the buffer grows until the whole of it fits.
  for (std::size_t size = PATH_MAX;; size *= 2) {
    std::string buffer(size, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), size);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < size) return buffer.substr(0, static_cast<std::size_t>(n));
  }
}

std::string ModuleFileNameProblem() {
  const std::string path = ModuleFilePath();
  const std::string character = UncarriedCharacter(path);
  if (character.empty()) return {};
  // The whole text goes to the code page at once: the character becomes the "?" it names.
  const std::string where = "в пути программы \"" + path + "\" знак ";
  if (character == "\\")
    return Utf8ToCp1251(where +
                        "\"\\\" стоит в имени, а программа читает его как разделитель папок");
  return Utf8ToCp1251(where + CodeName(character) +
                      " (на месте \"?\") не входит в кодовую страницу 1251");
}

std::string ComDevicePath(const std::string& port_name) {
  int number = detail::ComNumber(port_name);
  if (number == 0) return {};
  auto ports = ComAssignments();
  auto it = ports.find(number);
  return it == ports.end() ? std::string() : it->second;
}

std::vector<ComPort> ListComPorts() {
  std::map<int, std::string> present;
  for (auto& [number, device] : ComAssignments())
    if (Exists(device)) present[number] = device;
  for (int number : detail::AttachedSimPorts()) present[number] = "sim";
  std::vector<ComPort> list;
  for (auto& [number, device] : present) list.push_back({"COM" + std::to_string(number), device});
  return list;
}

namespace {

// The group whose members may read and write a device node: its own group when that one may
// and is not root's, else the one Debian and most distributions give serial ports.
std::string DeviceGroup(const std::string& device) {
  struct stat st;
  if (::stat(device.c_str(), &st) == 0 && st.st_gid != 0 && (st.st_mode & S_IRGRP) &&
      (st.st_mode & S_IWGRP)) {
    group entry, *found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &found) == 0 && found)
      return found->gr_name;
  }
  return "dialout";
}

}  // namespace

ComOpenFailure ExplainComOpenFailure(const std::string& port_name, DWORD error) {
  using Reason = ComOpenFailure::Reason;
  ComOpenFailure failure;
  failure.error = error;
  int number = detail::ComNumber(port_name);
  if (number == 0) {
    failure.reason = Reason::NoDevice;
    return failure;
  }
  failure.device =
      detail::SimAttached(number) ? "sim" : ComDevicePath("COM" + std::to_string(number));
  switch (error) {
    case ERROR_SHARING_VIOLATION:
      failure.reason = Reason::Held;
      break;
    case ERROR_ACCESS_DENIED:
      failure.reason = Reason::NoAccess;
      failure.group = DeviceGroup(failure.device);
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      if (failure.device.empty()) {
        failure.reason = Reason::NoDevice;
        failure.link = DosDevices() + "/com" + std::to_string(number);
      } else {
        failure.reason = Exists(failure.device) ? Reason::NotATerminal : Reason::Missing;
      }
      break;
    default:
      failure.reason = Reason::Other;
  }
  return failure;
}

namespace detail {

std::string DeviceRoot() {
  std::lock_guard guard(device_root_mutex);
  return device_root;
}

int ComNumber(const std::string& name) {
  std::string s = name;
  if (s.rfind("\\\\.\\", 0) == 0) s = s.substr(4);
  if (s.size() < 4 || Lower(s.substr(0, 3)) != "com") return 0;
  std::string digits = s.substr(3);
  if (digits[0] == '0' || digits.size() > 3 ||
      !std::all_of(digits.begin(), digits.end(),
                   [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
    return 0;
  int number = std::atoi(digits.c_str());
  return number <= kMaxComNumber ? number : 0;
}

std::string UnmapPath(const std::string& posix_path) {
  // Drive roots, resolved, with their letters.
  std::vector<std::pair<std::string, char>> roots;
  bool have_c = false;
  std::string dosdevices = DosDevices();
  if (DIR* d = ::opendir(dosdevices.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name.size() == 2 && name[1] == ':' && std::islower(static_cast<unsigned char>(name[0]))) {
        std::string target = dosdevices + "/" + name;
        if (!Exists(target)) continue;
        roots.emplace_back(RealPath(target), name[0]);
        have_c = have_c || name[0] == 'c';
      }
    }
    ::closedir(d);
  }
  if (!have_c && Exists(PrefixDir() + "/drive_c"))
    roots.emplace_back(RealPath(PrefixDir() + "/drive_c"), 'c');
  std::string best_root;
  char best_letter = 0;
  for (auto& [root, letter] : roots) {
    bool under = posix_path == root || (posix_path.size() > root.size() &&
                                        posix_path.compare(0, root.size(), root) == 0 &&
                                        (root == "/" || posix_path[root.size()] == '/'));
    if (under && root.size() > best_root.size()) {
      best_root = root;
      best_letter = letter;
    }
  }
  if (!best_letter) return posix_path;
  std::string rest = posix_path.substr(best_root == "/" ? 1 : best_root.size());
  if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
  std::replace(rest.begin(), rest.end(), '/', '\\');
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(best_letter)))) +
         ":\\" + rest;
}

}  // namespace detail

namespace testing {
void SetModuleFileName(const std::string& path) {
  std::lock_guard guard(module_file_mutex);
  module_file_override = path;
}

void SetDeviceRoot(const std::string& root) {
  std::lock_guard guard(device_root_mutex);
  device_root = root == "/" ? "" : root;
}
}  // namespace testing

}  // namespace platform
