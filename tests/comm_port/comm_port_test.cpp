// TCommPort over the simulated device on the virtual clock.
#include "comm_port/comm_port.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/sim_comm.h"
#include "platform/testing.h"
#include "platform_test_support.h"

using platform_test::RecordingDevice;
using platform_test::SendText;
using platform_test::TempPrefix;

namespace {

// The code of the ECommError that `action` raises; 0 when it raises none.
int RaisedCode(const std::function<void()>& action, DWORD* last_error = nullptr) {
  try {
    action();
  } catch (const ECommError& e) {
    if (last_error) *last_error = e.LastError;
    return e.Code;
  }
  return 0;
}

class CommPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device = std::make_shared<RecordingDevice>();
    platform::sim::Attach("COM3", device);
  }

  TempPrefix prefix;
  platform::ScopedVirtualClock clock;
  std::shared_ptr<RecordingDevice> device;
  TCommPort port;
};

TEST_F(CommPortTest, ConstructedClosedWithItsOwnSettings) {
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.PortName, "COM1");
  EXPECT_EQ(port.Handle, nullptr);
  EXPECT_EQ(port.Dcb.DCBlength, 28u);
  EXPECT_EQ(port.Dcb.BaudRate, 9600u);
  EXPECT_EQ(port.Dcb.ByteSize, 8);
  EXPECT_EQ(port.Dcb.Parity, 0);
  EXPECT_EQ(port.Dcb.StopBits, 0);
}

TEST_F(CommPortTest, OpenByIndexSetsTheTimeoutsAndOwnSettings) {
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);  // index 2 is COM3
  EXPECT_TRUE(port.IsOpen());
  ASSERT_NE(device->line, nullptr);
  EXPECT_EQ(device->line->HostSettings(), (platform::sim::LineSettings{9600, 8, 0, 0}));
  COMMTIMEOUTS t{};
  ASSERT_TRUE(GetCommTimeouts(port.Handle, &t));
  EXPECT_EQ(t.ReadIntervalTimeout, 150u);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 1u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 250u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 1u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 250u);
  // The driver's block came in: members the class never sets are filled.
  EXPECT_EQ(port.Dcb.fBinary, 1u);

  HANDLE handle = port.Handle;
  EXPECT_EQ(port.Open(2, 2048, 2048), -100);
  EXPECT_EQ(port.Handle, handle);
  EXPECT_TRUE(port.IsOpen());
}

TEST_F(CommPortTest, IndexesMapToComOneToTwenty) {
  for (const char* name : {"COM1", "COM20", "COM21"})
    platform::sim::Attach(name, std::make_shared<RecordingDevice>());
  struct Case {
    int index;
    int result;
  } cases[] = {{0, 0}, {19, 0}, {20, -103}, {255, -103}, {4, -103}};
  for (auto& c : cases) {
    TCommPort p;
    EXPECT_EQ(p.Open(static_cast<BYTE>(c.index), 2048, 2048), c.result) << c.index;
    EXPECT_EQ(p.IsOpen(), c.result == 0) << c.index;
    if (c.result == -103) {
      EXPECT_EQ(p.Handle, INVALID_HANDLE_VALUE);
    }
  }
}

TEST_F(CommPortTest, APortThatIsHeldGivesMinus103) {
  HANDLE other = CreateFileA("\\\\.\\COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(port.Open(2, 2048, 2048), -103);
  EXPECT_FALSE(port.IsOpen());
  CloseHandle(other);
  EXPECT_EQ(port.Open(2, 2048, 2048), 0);
}

// A failing step after the device opened closes it, raises its code with the error read after
// the close, and leaves the port closed and able to open again.
TEST_F(CommPortTest, OpenFailuresAfterTheDeviceOpened) {
  struct Case {
    const char* call;
    int code;
  } cases[] = {
      {"GetCommState", 14}, {"SetCommState", 15}, {"SetupComm", 16}, {"SetCommTimeouts", 17}};
  for (auto& c : cases) {
    platform::testing::InjectFault(c.call, ERROR_GEN_FAILURE, "\\\\.\\COM3");
    DWORD last_error = 0;
    EXPECT_EQ(RaisedCode([&] { port.Open(2, 2048, 2048); }, &last_error), c.code) << c.call;
    EXPECT_EQ(last_error, ERROR_GEN_FAILURE) << c.call;
    EXPECT_FALSE(port.IsOpen()) << c.call;
    EXPECT_EQ(device->line, nullptr) << c.call;        // the device saw the close
    EXPECT_FALSE(CloseHandle(port.Handle)) << c.call;  // already closed
    ASSERT_EQ(port.Open(2, 2048, 2048), 0) << c.call;
    port.Close();
  }
}

TEST_F(CommPortTest, BaudRateWhileClosedTakesEffectAtTheNextOpen) {
  // No system call while closed: a failing SetCommState would raise.
  platform::testing::InjectFault("SetCommState", ERROR_GEN_FAILURE, "", -1);
  port.SetBaudRate(115200);
  platform::testing::ClearFaults();
  EXPECT_EQ(port.Dcb.BaudRate, 115200u);
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  EXPECT_EQ(device->line->HostSettings().baud, 115200u);
  port.Close();
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  EXPECT_EQ(device->line->HostSettings().baud, 115200u);
}

TEST_F(CommPortTest, BaudRateOnAnOpenPortAndARejectedRate) {
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  port.SetBaudRate(460800);
  ASSERT_EQ(device->changes.size(), 1u);
  EXPECT_EQ(device->changes[0].baud, 460800u);

  DWORD last_error = 0;
  EXPECT_EQ(RaisedCode([&] { port.SetBaudRate(50000000); }, &last_error), 1);
  EXPECT_EQ(last_error, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(port.Dcb.BaudRate, 460800u);
  EXPECT_TRUE(port.IsOpen());
  port.WriteByte('x');
  EXPECT_EQ(device->received.back().settings.baud, 460800u);
}

TEST_F(CommPortTest, ReadByteGivesTheByteOrEmptyAfterTheReadTimeout) {
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  std::uint64_t t0 = clock->NowUs();
  EXPECT_EQ(port.ReadByte(), -1);
  EXPECT_EQ(clock->NowUs() - t0, 251000u);

  SendText(*device->line, "\xFF", 100000);
  t0 = clock->NowUs();
  EXPECT_EQ(port.ReadByte(), 0xFF);
  EXPECT_LT(clock->NowUs() - t0, 102000u);
}

TEST_F(CommPortTest, WritesSendExactlyTheBytesOfTheText) {
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  port.WriteString("");
  EXPECT_TRUE(device->received.empty());
  port.WriteString("abc");
  EXPECT_EQ(device->Text(), "abc");
  port.WriteString("Прибор");  // CP1251 bytes, one per letter
  port.WriteByte(0);
  EXPECT_EQ(device->received.size(), 3u + 6u + 1u);
  EXPECT_EQ(device->received.back().byte, 0);
  EXPECT_EQ(device->received[3].byte, 0xCF);
}

TEST_F(CommPortTest, AClosedPortRaisesSevenBeforeAnySystemCall) {
  std::function<void()> operations[] = {
      [&] { port.WriteString("a"); }, [&] { port.WriteByte(1); }, [&] { port.ReadByte(); },
      [&] { port.PurgeOutput(); },    [&] { port.PurgeInput(); },
  };
  for (auto& operation : operations) EXPECT_EQ(RaisedCode(operation), 7);
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  port.Close();
  for (auto& operation : operations) EXPECT_EQ(RaisedCode(operation), 7);
  // Closing a closed port does nothing.
  EXPECT_EQ(RaisedCode([&] { port.Close(); }), 0);
}

TEST_F(CommPortTest, SystemFailuresRaiseTheirCodes) {
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  struct Case {
    const char* call;
    std::function<void()> operation;
    int code;
  } cases[] = {
      {"WriteFile", [&] { port.WriteString("abc"); }, 9},
      {"WriteFile", [&] { port.WriteByte(1); }, 9},
      {"ReadFile", [&] { port.ReadByte(); }, 10},
      {"PurgeComm", [&] { port.PurgeOutput(); }, 12},
      {"PurgeComm", [&] { port.PurgeInput(); }, 12},
  };
  for (auto& c : cases) {
    platform::testing::InjectFault(c.call, ERROR_ACCESS_DENIED, port.Handle);
    DWORD last_error = 0;
    EXPECT_EQ(RaisedCode(c.operation, &last_error), c.code) << c.call;
    EXPECT_EQ(last_error, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(port.IsOpen());
  }
  // A failed close leaves the port open; the next close tries again.
  platform::testing::InjectFault("CloseHandle", ERROR_GEN_FAILURE, port.Handle);
  EXPECT_EQ(RaisedCode([&] { port.Close(); }), 11);
  EXPECT_TRUE(port.IsOpen());
  port.Close();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(device->line, nullptr);
}

TEST_F(CommPortTest, PurgeInputDropsWhatArrived) {
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  SendText(*device->line, "junk");
  Sleep(10);
  port.PurgeOutput();
  port.PurgeInput();
  SendText(*device->line, "@");
  EXPECT_EQ(port.ReadByte(), '@');
}

TEST_F(CommPortTest, ModemLinesReachTheDeviceAndAreHarmlessWhenClosed) {
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  port.ClearRTS();
  port.ClearDTR();
  port.SetDTR();
  port.SetRTS();
  EXPECT_EQ(device->lines, (std::vector<std::pair<bool, bool>>{
                               {false, true}, {false, false}, {false, true}, {true, true}}));
  port.Close();
  port.SetRTS();
  port.ClearDTR();
}

TEST_F(CommPortTest, DestroyingAnOpenPortClosesIt) {
  {
    TCommPort scoped;
    ASSERT_EQ(scoped.Open(2, 2048, 2048), 0);
  }
  EXPECT_EQ(device->line, nullptr);
  EXPECT_EQ(port.Open(2, 2048, 2048), 0);
}

TEST_F(CommPortTest, AVanishedDeviceRaisesOnTheNextRead) {
  ASSERT_EQ(port.Open(2, 2048, 2048), 0);
  device->line->Vanish();
  DWORD last_error = 0;
  EXPECT_EQ(RaisedCode([&] { port.ReadByte(); }, &last_error), 10);
  EXPECT_EQ(last_error, ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(RaisedCode([&] { port.WriteByte(1); }), 9);
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TEST(CommError, CopiesKeepTheirFieldsAndTheTextNamesThem) {
  SetLastError(ERROR_ACCESS_DENIED);
  ECommError error(16);
  SetLastError(ERROR_SUCCESS);
  ECommError copy(error);
  EXPECT_EQ(copy.Code, 16);
  EXPECT_EQ(copy.LastError, ERROR_ACCESS_DENIED);
  EXPECT_EQ(copy.Text(), "Ошибка COM-порта: код 16, системная ошибка 5");
}

TEST(CommError, TheGlobalPortIsCreatedOnce) {
  CreateGlobalCommPort();
  TCommPort* first = CommPort;
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(first->IsOpen());
  CreateGlobalCommPort();
  EXPECT_EQ(CommPort, first);
}

}  // namespace
