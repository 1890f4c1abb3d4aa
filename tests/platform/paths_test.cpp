#include "platform/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/sim_comm.h"
#include "platform/windows.h"
#include "platform_test_support.h"

namespace fs = std::filesystem;
using platform_test::TempPrefix;

namespace {

void Touch(const fs::path& path, const std::string& text = "") {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

class NullDevice : public platform::sim::Device {
 public:
  void OnByte(platform::sim::Line&, std::uint8_t, const platform::sim::LineSettings&) override {}
};

TEST(MapPath, DrivesSeparatorsAndPlainPaths) {
  TempPrefix prefix;
  std::string p = prefix.prefix().string();
  struct Case {
    std::string windows, posix;
  } cases[] = {
      {"c:\\Tc\\WorkDir\\gps_msg.txt", p + "/drive_c/Tc/WorkDir/gps_msg.txt"},
      {"C:\\Tc", p + "/drive_c/Tc"},
      {"c:", p + "/drive_c"},
      {"c:file.txt", p + "/drive_c/file.txt"},
      {"d:\\data\\x.txt", p + "/dosdevices/d:/data/x.txt"},
      {"/tmp/abs\\olute", "/tmp/abs/olute"},
      {"sub\\dir\\file.txt", "sub/dir/file.txt"},
      {"name.txt", "name.txt"},
  };
  for (auto& c : cases) EXPECT_EQ(platform::MapPath(c.windows), c.posix) << c.windows;
}

TEST(MapPath, DriveCFolderIsCreatedOnFirstUse) {
  TempPrefix prefix;
  EXPECT_FALSE(fs::exists(prefix.prefix() / "drive_c"));
  platform::MapPath("c:\\x");
  EXPECT_TRUE(fs::is_directory(prefix.prefix() / "drive_c"));
}

TEST(MapPath, DriveLinkWinsOverTheDefaultFolder) {
  TempPrefix prefix;
  fs::create_directories(prefix.scratch() / "elsewhere");
  prefix.Link("c:", prefix.scratch() / "elsewhere");
  ASSERT_TRUE(CreateDirectoryA("c:\\Tc", nullptr));
  EXPECT_TRUE(fs::is_directory(prefix.scratch() / "elsewhere" / "Tc"));
  EXPECT_FALSE(fs::exists(prefix.prefix() / "drive_c"));
}

TEST(MapPath, Cp1251NamesReachTheDiskAsUtf8) {
  TempPrefix prefix;
  // "Прибор" in code page 1251.
  EXPECT_EQ(platform::MapPath("c:\\\xCF\xF0\xE8\xE1\xEE\xF0"),
            prefix.prefix().string() + "/drive_c/Прибор");
}

// Which characters a program's text carries: all of CP1251 (Cyrillic, the typographic signs),
// none of the Latin letters with accents beyond it, no backslash.
TEST(ExactProgramText, CarriesWhatTheCodePageHoldsAndNoBackslash) {
  struct Case {
    const char* path;
    const char* uncarried;
  } cases[] = {
      {"/home/u/Tc/WorkDir/gps_msg.txt", ""},
      {"/home/u/Рабочая папка/ID= A123BC/Date 07-12-2026_TC.txt", ""},
      {"/home/u/Ёё Ўў Її Ґґ № € ™ « » – — …", ""},
      {"/home/u/firmware_é.hex", "é"},
      {"/home/u/Müller/ß", "ü"},
      {"/home/u/Ω", "Ω"},
      {"/home/u/🚚.txt", "🚚"},
      {"/home/u/fw\\new.hex", "\\"},
      {"/home/u/cut\xD0", "\xD0"},
      {"/home/u/lone\xE9"
       "by",
       "\xE9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(platform::UncarriedCharacter(c.path), c.uncarried);
    const auto text = platform::ExactProgramText(c.path);
    EXPECT_EQ(text.has_value(), std::string(c.uncarried).empty());
    if (text) {
      EXPECT_EQ(platform::MapPath(*text), c.path);
    }
  }
}

TEST(CurrentDirectory, DrivePathsComeBackInWindowsForm) {
  TempPrefix prefix;
  char saved[4096];
  ASSERT_TRUE(getcwd(saved, sizeof saved));
  ASSERT_TRUE(CreateDirectoryA("c:\\Tc", nullptr));
  ASSERT_TRUE(SetCurrentDirectoryA("c:\\Tc"));
  char buffer[MAX_PATH];
  DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  EXPECT_EQ(std::string(buffer), "C:\\Tc");
  EXPECT_EQ(n, 5u);
  // Too small a buffer: the size needed, with the NUL.
  EXPECT_EQ(GetCurrentDirectoryA(3, buffer), 6u);

  ASSERT_TRUE(SetCurrentDirectoryA(prefix.scratch().c_str()));
  ASSERT_GT(GetCurrentDirectoryA(sizeof buffer, buffer), 0u);
  EXPECT_EQ(fs::path(buffer), fs::canonical(prefix.scratch()));

  EXPECT_FALSE(SetCurrentDirectoryA("c:\\NoSuchFolder"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(chdir(saved), 0);
}

// The default assignment: USB adapters, then ACM modems, then real ttyS ports, each in numeric
// order, into the numbers the links leave free; a linked device is not assigned twice.
TEST(ComPorts, LinksPinNumbersAndTheRestAreAssignedInOrder) {
  TempPrefix prefix;
  fs::path dev = prefix.machine() / "dev";
  for (auto name :
       {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyACM1", "ttyS0", "ttyS1", "ttyS2", "tty0", "ttyUSBx"})
    Touch(dev / name);
  Touch(prefix.machine() / "sys/class/tty/ttyS0/type", "4");  // a 16550A
  Touch(prefix.machine() / "sys/class/tty/ttyS1/type", "0");  // PORT_UNKNOWN: no port behind it
  // ttyS2 has no sysfs entry and is no tty: not a real port either.
  prefix.Link("com2", dev / "ttyACM0");
  prefix.Link("com4", prefix.scratch() / "unplugged");

  struct Case {
    std::string port, device;
  } cases[] = {
      {"COM1", (dev / "ttyUSB2").string()},
      {"COM2", (dev / "ttyACM0").string()},
      {"COM3", (dev / "ttyUSB10").string()},
      {"com4", (prefix.scratch() / "unplugged").string()},
      {"COM5", (dev / "ttyACM1").string()},
      {"COM6", (dev / "ttyS0").string()},
      {"COM7", ""},
      {"LPT1", ""},
      {"COM0", ""},
  };
  for (auto& c : cases) EXPECT_EQ(platform::ComDevicePath(c.port), c.device) << c.port;

  // The list holds the ports whose device exists: not the dangling COM4.
  std::vector<std::string> names;
  for (auto& port : platform::ListComPorts()) names.push_back(port.name);
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM5", "COM6"}));
}

TEST(ComPorts, AttachedSimulatedDevicesAreListedAndTakePrecedence) {
  TempPrefix prefix;
  Touch(prefix.machine() / "dev" / "ttyUSB0");
  platform::sim::Attach("COM1", std::make_shared<NullDevice>());
  platform::sim::Attach("COM12", std::make_shared<NullDevice>());
  auto ports = platform::ListComPorts();
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].name, "COM1");
  EXPECT_EQ(ports[0].device, "sim");
  EXPECT_EQ(ports[1].name, "COM12");
  platform::sim::Detach("COM1");
  ports = platform::ListComPorts();
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].device, (prefix.machine() / "dev" / "ttyUSB0").string());
}

}  // namespace
