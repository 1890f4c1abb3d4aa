// The tracker on a simulated COM port, through the platform's comm calls on the virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/sim_comm.h"
#include "platform/windows.h"
#include "sim/tracker_device.h"

namespace {

using namespace std::string_literals;

class TrackerOnSimPort : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::sim::Attach("COM7", tracker);
    handle = CreateFileA("\\\\.\\COM7", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    SetRate(115200);
    COMMTIMEOUTS t{150, 1, 250, 0, 0};
    ASSERT_TRUE(SetCommTimeouts(handle, &t));
  }
  void TearDown() override {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    platform::sim::DetachAll();
  }
  void SetRate(DWORD rate) {
    DCB dcb{};
    ASSERT_TRUE(GetCommState(handle, &dcb));
    dcb.BaudRate = rate;
    ASSERT_TRUE(SetCommState(handle, &dcb));
  }
  void Write(const std::string& bytes) {
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr));
  }
  // Reads byte by byte, as the host does, until `end` or a read that brings nothing.
  std::string ReadUntil(char end) {
    std::string got;
    char c;
    DWORD n = 0;
    while (ReadFile(handle, &c, 1, &n, nullptr) && n == 1) {
      got += c;
      if (c == end) break;
    }
    return got;
  }

  platform::ScopedVirtualClock clock;
  std::shared_ptr<sim::TrackerDevice> tracker = std::make_shared<sim::TrackerDevice>();
  HANDLE handle = INVALID_HANDLE_VALUE;
};

TEST_F(TrackerOnSimPort, StateQueryAtTheLinesPace) {
  Write("e");
  const std::uint64_t sent = clock->NowUs();
  const std::string expected = "#0 A 0 1 0 /A001AA/ 2020 192.168.0.1\0"s;
  EXPECT_EQ(ReadUntil('\0'), expected);
  // 86.8 us per byte at 115200 baud, after the device's reply delay.
  const std::uint64_t took = clock->NowUs() - sent;
  EXPECT_GE(took, sim::kReplyDelayUs + expected.size() * 86);
  EXPECT_LE(took, sim::kReplyDelayUs + expected.size() * 87 + 1);
  ASSERT_EQ(tracker->Received().size(), 1u);
  EXPECT_EQ(tracker->Received()[0].settings.baud, 115200u);
}

TEST_F(TrackerOnSimPort, RecordsThePausesBetweenTheHostsBytes) {
  Write("N");
  Sleep(100);
  Write("pw"s + '\0');
  const auto r = tracker->Received();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[1].at_us - r[0].at_us, 100'000u + 87u);
  EXPECT_EQ(tracker->settings().password, "pw");
}

TEST_F(TrackerOnSimPort, SilentAtAnotherRate) {
  SetRate(921600);
  Write("e");
  EXPECT_EQ(ReadUntil('\0'), "");
  EXPECT_TRUE(tracker->Received().back().garbled);
  SetRate(115200);
  Write("M");
  EXPECT_EQ(ReadUntil('.'), "Vomar.");
}

TEST_F(TrackerOnSimPort, DumpAcknowledgedPageByPage) {
  for (std::uint32_t i = 0; i < 1056; ++i)
    tracker->memory().bytes[i] = static_cast<std::uint8_t>(i);
  Write("^0 630"s + '\0');
  std::string got;
  char c;
  DWORD n = 0;
  while (got.size() < 1 + 1056 && ReadFile(handle, &c, 1, &n, nullptr) && n == 1) {
    got += c;
    if (got.size() == 1 + 528) Write("\x55\xAA");
  }
  ASSERT_EQ(got.size(), 1 + 1056u);
  EXPECT_EQ(got[0], '#');
  EXPECT_EQ(static_cast<std::uint8_t>(got[1056]), 1055 & 0xFF);
}

TEST_F(TrackerOnSimPort, VanishingDeviceFailsTheHostsCalls) {
  tracker->faults().vanish_on_byte = 1;
  Write("e");
  char c;
  DWORD n = 0;
  EXPECT_FALSE(ReadFile(handle, &c, 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
}

}  // namespace
