#include "vcl/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "platform/sim_comm.h"
#include "temp_dir.h"

namespace {

constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

class SilentDevice : public platform::sim::Device {
 public:
  void OnByte(platform::sim::Line&, std::uint8_t, const platform::sim::LineSettings&) override {}
};

// Two simulated ports in an empty prefix: the COM port list holds them and whatever serial
// devices this machine has.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TRAKMON_PREFIX");
    if (old) old_prefix_ = old;
    had_prefix_ = old != nullptr;
    ::setenv("TRAKMON_PREFIX", prefix_.path().c_str(), 1);
    platform::sim::Attach("COM3", std::make_shared<SilentDevice>());
    platform::sim::Attach("COM12", std::make_shared<SilentDevice>());
  }
  void TearDown() override {
    platform::sim::DetachAll();
    if (had_prefix_)
      ::setenv("TRAKMON_PREFIX", old_prefix_.c_str(), 1);
    else
      ::unsetenv("TRAKMON_PREFIX");
  }
  TempFiles prefix_;
  std::string old_prefix_;
  bool had_prefix_ = false;
};

TEST_F(Registry, ReadsTheValueNamesAndStringsOfTheComPortList) {
  TRegistry reg;
  reg.RootKey = HKEY_LOCAL_MACHINE;
  ASSERT_TRUE(reg.OpenKeyReadOnly(kSerialComm));
  EXPECT_EQ(reg.CurrentPath(), kSerialComm);

  TStringList names;
  names.Add("stale");
  reg.GetValueNames(&names);
  std::set<std::string> ports;
  for (int i = 0; i < names.Count; ++i) {
    EXPECT_TRUE(reg.ValueExists(names.Strings[i]));
    ports.insert(reg.ReadString(names.Strings[i]).str());
  }
  EXPECT_TRUE(ports.count("COM3"));
  EXPECT_TRUE(ports.count("COM12"));
  EXPECT_FALSE(ports.count("stale"));
  EXPECT_FALSE(reg.ValueExists("no such value"));
  EXPECT_EQ(reg.ReadString("no such value"), "");

  reg.CloseKey();
  reg.GetValueNames(&names);
  EXPECT_EQ(names.Count, 0);
  EXPECT_EQ(reg.ReadString(names.Count ? names.Strings[0]() : AnsiString("x")), "");
}

TEST_F(Registry, OpensOnlyKeysThatExistWithTheAccessAsked) {
  TRegistry reg;
  reg.RootKey = HKEY_LOCAL_MACHINE;
  EXPECT_FALSE(reg.OpenKeyReadOnly("SOFTWARE\\Nothing"));
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  // The default access asks for writing, which the read-only registry refuses.
  EXPECT_FALSE(reg.OpenKey(kSerialComm, false));
  EXPECT_FALSE(reg.OpenKey("SOFTWARE\\Nothing", true));

  TRegistry reader(KEY_READ);
  reader.RootKey = HKEY_LOCAL_MACHINE;
  ASSERT_TRUE(reader.OpenKey("HARDWARE", false));
  ASSERT_TRUE(reader.OpenKey("DEVICEMAP\\SERIALCOMM", false));  // below the open key
  EXPECT_EQ(reader.CurrentPath(), kSerialComm);
  ASSERT_TRUE(reader.OpenKey("\\HARDWARE", false));  // from the root
  EXPECT_EQ(reader.CurrentPath(), "HARDWARE");

  reader.RootKey = HKEY_CURRENT_USER;  // another root closes the key
  EXPECT_EQ(reader.CurrentKey(), nullptr);
  EXPECT_FALSE(reader.OpenKeyReadOnly(kSerialComm));
}

}  // namespace
