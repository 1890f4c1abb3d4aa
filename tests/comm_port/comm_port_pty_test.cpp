// TCommPort over a pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include <chrono>

#include "comm_port/comm_port.h"
#include "platform/testing.h"
#include "platform_test_support.h"

using platform_test::Pty;
using platform_test::TempPrefix;
using Clock = std::chrono::steady_clock;

namespace {

class CommPortPty : public ::testing::Test {
 protected:
  void SetUp() override { prefix.Link("com1", pty.slave()); }

  TempPrefix prefix;
  Pty pty;
  TCommPort port;
};

TEST_F(CommPortPty, IdleReadIsEmptyAfterTheTimeoutAndAByteFromTheFarSideIsRead) {
  ASSERT_EQ(port.Open(0, 2048, 2048), 0);
  auto t0 = Clock::now();
  EXPECT_EQ(port.ReadByte(), -1);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
  EXPECT_GE(ms, 240);
  EXPECT_LT(ms, 1000);

  pty.Write("#");
  EXPECT_EQ(port.ReadByte(), '#');
  port.WriteString("e");
  port.WriteByte(0);
  EXPECT_EQ(pty.Read(2), std::string("e\0", 2));
}

TEST_F(CommPortPty, APortAlreadyHeldGivesMinus103) {
  ASSERT_EQ(port.Open(0, 2048, 2048), 0);
  TCommPort second;
  EXPECT_EQ(second.Open(0, 2048, 2048), -103);
  EXPECT_FALSE(second.IsOpen());
}

TEST_F(CommPortPty, BaudRateChangesReachTheFarSide) {
  ASSERT_EQ(port.Open(0, 2048, 2048), 0);
  EXPECT_EQ(platform_test::FarSideSettings(pty.master()).rate, 9600u);
  port.SetBaudRate(921600);
  EXPECT_EQ(platform_test::FarSideSettings(pty.master()).rate, 921600u);
  port.SetBaudRate(115200);
  EXPECT_EQ(platform_test::FarSideSettings(pty.master()).rate, 115200u);
}

TEST_F(CommPortPty, ASetupFailureRaises16AndReleasesTheDevice) {
  platform::testing::InjectFault("SetupComm", ERROR_GEN_FAILURE, "\\\\.\\COM1");
  int code = 0;
  try {
    port.Open(0, 2048, 2048);
  } catch (const ECommError& e) {
    code = e.Code;
  }
  EXPECT_EQ(code, 16);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.Open(0, 2048, 2048), 0);
}

TEST_F(CommPortPty, TheFarSideClosingMakesTheNextReadRaise) {
  ASSERT_EQ(port.Open(0, 2048, 2048), 0);
  pty.Close();
  auto t0 = Clock::now();
  int code = 0;
  try {
    port.ReadByte();
  } catch (const ECommError& e) {
    code = e.Code;
  }
  EXPECT_EQ(code, 10);
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count(), 5000);
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

}  // namespace
