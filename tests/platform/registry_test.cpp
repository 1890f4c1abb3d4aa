#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sim_comm.h"
#include "platform/windows.h"
#include "platform_test_support.h"

namespace fs = std::filesystem;
using platform_test::TempPrefix;

namespace {

class NullDevice : public platform::sim::Device {
 public:
  void OnByte(platform::sim::Line&, std::uint8_t, const platform::sim::LineSettings&) override {}
};

constexpr const char* kKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The data of every value, in enumeration order, as the port list routine reads them.
std::vector<std::string> PortData() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  std::vector<std::string> data;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD name_size = sizeof name;
    BYTE value[256];
    DWORD value_size = sizeof value;
    DWORD type = 0;
    LONG r = RegEnumValueA(key, i, name, &name_size, nullptr, &type, value, &value_size);
    if (r == ERROR_NO_MORE_ITEMS) break;
    EXPECT_EQ(r, ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(name_size, std::strlen(name));
    data.emplace_back(reinterpret_cast<char*>(value));
    // The value also reads back by its name.
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, nullptr, value, &size), ERROR_SUCCESS);
    EXPECT_EQ(data.back(), reinterpret_cast<char*>(value));
  }
  RegCloseKey(key);
  return data;
}

TEST(Registry, SerialCommHoldsOneValuePerPresentPort) {
  TempPrefix prefix;
  std::ofstream(prefix.scratch() / "node");
  prefix.Link("com3", prefix.scratch() / "node");
  prefix.Link("com4", prefix.scratch() / "gone");
  platform::sim::Attach("COM10", std::make_shared<NullDevice>());
  EXPECT_EQ(PortData(), (std::vector<std::string>{"COM3", "COM10"}));
  platform::sim::DetachAll();
  EXPECT_EQ(PortData(), (std::vector<std::string>{"COM3"}));
}

TEST(Registry, IsReadOnlyAndChecksItsArguments) {
  TempPrefix prefix;
  platform::sim::Attach("COM1", std::make_shared<NullDevice>());
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  HKEY created = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\New", 0, nullptr, 0, KEY_READ, nullptr,
                            &created, nullptr),
            ERROR_ACCESS_DENIED);

  // Key names are not case-sensitive; a relative open below an open key works.
  HKEY devicemap;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "hardware\\devicemap", 0, KEY_READ, &devicemap),
            ERROR_SUCCESS);
  ASSERT_EQ(RegOpenKeyExA(devicemap, "SerialComm", 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(devicemap);

  BYTE data[2] = {'x', 'x'};
  EXPECT_EQ(RegSetValueExA(key, "\\Device\\Serial9", 0, REG_SZ, data, 2), ERROR_ACCESS_DENIED);
  DWORD values = 0, max_name = 0, max_data = 0;
  ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                             &max_name, &max_data, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 1u);
  EXPECT_EQ(max_data, 5u);  // "COM1" and its NUL

  char name[4];
  DWORD name_size = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 0, name, &name_size, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  char long_name[64];
  name_size = sizeof long_name;
  DWORD data_size = 2;
  EXPECT_EQ(RegEnumValueA(key, 0, long_name, &name_size, nullptr, nullptr, data, &data_size),
            ERROR_MORE_DATA);
  EXPECT_EQ(data_size, 5u);
  name_size = sizeof long_name;
  EXPECT_EQ(RegEnumValueA(key, 1, long_name, &name_size, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, nullptr, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);

  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegEnumValueA(key, 0, long_name, &name_size, nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
}

}  // namespace
