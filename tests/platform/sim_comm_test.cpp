// The simulated comm backend on the virtual clock: the exact read time-outs, pacing on the wire,
// purge and write time-outs against bytes in flight, names, settings, modem lines, overlapped
// completion with comm events, and what a vanished device leaves. What every backend promises
// is in comm_contract_test.
#include "platform/sim_comm.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "platform_test_support.h"

using platform::sim::Line;
using platform::sim::LineSettings;
using platform_test::RecordingDevice;
using platform_test::SendText;
using platform_test::TempPrefix;

namespace {

class SimPort : public platform_test::PortTest {
 protected:
  void SetUp() override {
    device = std::make_shared<RecordingDevice>();
    platform::sim::Attach("COM3", device);
  }
  HANDLE Open(DWORD flags = 0) { return OpenPort("\\\\.\\COM3", flags); }
  void SetRate(DWORD rate) {
    DCB dcb{};
    ASSERT_TRUE(GetCommState(handle, &dcb));
    dcb.BaudRate = rate;
    ASSERT_TRUE(SetCommState(handle, &dcb));
  }
  std::uint64_t Now() { return clock->NowUs(); }

  TempPrefix prefix;
  platform::ScopedVirtualClock clock;
  std::shared_ptr<RecordingDevice> device;
};

// The Windows read time-out rules. At 9600 baud a byte takes 1041.7 us on the wire.
TEST_F(SimPort, ReadTimeoutRules) {
  struct Burst {
    std::uint64_t delay_us;
    std::string bytes;
  };
  struct Case {
    const char* name;
    COMMTIMEOUTS timeouts;
    DWORD n;
    std::vector<Burst> device_sends;  // queued right after the read starts... see below
    std::string expect;
    std::uint64_t min_us, max_us;  // when the read returns
  } cases[] = {
      {"silent line, 150/1/250", {150, 1, 250, 0, 0}, 1, {}, "", 251000, 251000},
      {"byte within the time-out", {150, 1, 250, 0, 0}, 1, {{100000, "A"}}, "A", 101041, 101042},
      {"all zero waits for every byte",
       {0, 0, 0, 0, 0},
       2,
       {{5000000, "AB"}},
       "AB",
       5002083,
       5002084},
      {"interval ends a pause after the first byte",
       {150, 0, 0, 0, 0},
       10,
       {{0, "abc"}, {400000, "de"}},
       "abc",
       3125 + 150000,
       3126 + 150000},
      {"total limit with bytes trickling",
       {0, 10, 100, 0, 0},
       5,
       {{0, "x"}, {50000, "y"}, {200000, "z"}},
       "xy",
       150000,
       150000},
      {"MAXDWORD interval returns at once", {MAXDWORD, 0, 0, 0, 0}, 4, {{1000, "late"}}, "", 0, 0},
      {"MAXDWORD/MAXDWORD/c returns with the first byte",
       {MAXDWORD, MAXDWORD, 1000, 0, 0},
       4,
       {{20000, "qr"}},
       "q",
       21041,
       21042},
      {"MAXDWORD/MAXDWORD/c times out",
       {MAXDWORD, MAXDWORD, 1000, 0, 0},
       4,
       {},
       "",
       1000000,
       1000000},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetCommTimeouts(handle, &c.timeouts));
    std::uint64_t start = Now();
    for (auto& burst : c.device_sends) SendText(*device->line, burst.bytes, burst.delay_us);
    EXPECT_EQ(Read(c.n), c.expect);
    std::uint64_t elapsed = Now() - start;
    EXPECT_GE(elapsed, c.min_us);
    EXPECT_LE(elapsed, c.max_us);
    CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
  }
}

TEST_F(SimPort, BytesTravelAtTheHostRateAndWritesBlockUntilSent) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetRate(115200);
  std::uint64_t start = Now();
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(handle, "abc", 3, &n, nullptr));
  EXPECT_EQ(n, 3u);
  Sleep(100);
  ASSERT_TRUE(WriteFile(handle, "d", 1, &n, nullptr));
  ASSERT_EQ(device->Text(), "abcd");
  // 86.8 us per byte at 115200 baud.
  EXPECT_EQ(device->received[0].at_us - start, 87u);
  EXPECT_EQ(device->received[2].at_us - start, 261u);
  EXPECT_EQ(device->received[3].at_us - device->received[2].at_us, 100000u + 87u);
  EXPECT_EQ(device->received[3].settings.baud, 115200u);
  EXPECT_EQ(device->received[3].settings.byte_size, 8u);
}

TEST_F(SimPort, PurgeDropsWhatArrivedNotWhatIsOnTheWire) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetTimeouts(MAXDWORD, 0, 0);
  SendText(*device->line, "0123456789");  // 10.4 ms at 9600 baud
  Sleep(5);                               // four bytes in, the fifth on the wire
  ASSERT_TRUE(PurgeComm(handle, PURGE_TXCLEAR | PURGE_RXCLEAR));
  Sleep(20);
  EXPECT_EQ(Read(20), "456789");
}

TEST_F(SimPort, WriteTimeoutCutsAWriteShortWithoutFailing) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetTimeouts(0, 0, 0, 0, 20);
  std::string data(100, 'w');
  std::uint64_t start = Now();
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(handle, data.data(), 100, &n, nullptr));
  EXPECT_EQ(Now() - start, 20000u);
  EXPECT_EQ(n, 19u);  // 19 bytes of 1041.7 us fit in 20 ms; the 20th was on the wire
  Sleep(100);
  EXPECT_EQ(device->received.size(), 20u);
  // The next write starts at once on a free line.
  start = Now();
  ASSERT_TRUE(WriteFile(handle, "z", 1, &n, nullptr));
  EXPECT_EQ(Now() - start, 1042u);
}

// A name is a COM port's only when a device is attached under it.
TEST_F(SimPort, NamesAreChecked) {
  struct Case {
    const char* path;
    DWORD error;
  } cases[] = {{"\\\\.\\", ERROR_PATH_NOT_FOUND},
               {"\\\\.\\COM4", ERROR_FILE_NOT_FOUND},
               {"\\\\.\\COM0", ERROR_FILE_NOT_FOUND},
               {"\\\\.\\LPT1", ERROR_FILE_NOT_FOUND}};
  for (auto& c : cases) {
    EXPECT_EQ(
        CreateFileA(c.path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE)
        << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
}

TEST_F(SimPort, LineSettingsAreCheckedReportedAndKeptAcrossOpens) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  DCB dcb{};
  ASSERT_TRUE(GetCommState(handle, &dcb));
  EXPECT_EQ(dcb.DCBlength, 28u);
  EXPECT_EQ(dcb.BaudRate, 9600u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.fBinary, 1u);

  dcb.BaudRate = 921600;
  dcb.Parity = EVENPARITY;
  dcb.StopBits = TWOSTOPBITS;
  ASSERT_TRUE(SetCommState(handle, &dcb));
  ASSERT_EQ(device->changes.size(), 1u);
  EXPECT_EQ(device->changes[0], (LineSettings{921600, 8, EVENPARITY, TWOSTOPBITS}));
  EXPECT_EQ(device->line->HostSettings().baud, 921600u);

  struct Bad {
    const char* what;
    std::function<void(DCB&)> change;
  } bad[] = {
      {"rate 0", [](DCB& d) { d.BaudRate = 0; }},
      {"rate beyond any adapter", [](DCB& d) { d.BaudRate = 20000000; }},
      {"9 data bits", [](DCB& d) { d.ByteSize = 9; }},
      {"parity 5", [](DCB& d) { d.Parity = 5; }},
      {"1.5 stop bits with 8 data bits", [](DCB& d) { d.StopBits = ONE5STOPBITS; }},
      {"XON = XOFF with flow control", [](DCB& d) { d.fOutX = 1, d.XonChar = d.XoffChar = 0x11; }},
  };
  for (auto& b : bad) {
    DCB changed = dcb;
    b.change(changed);
    EXPECT_FALSE(SetCommState(handle, &changed)) << b.what;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << b.what;
  }
  CloseHandle(handle);
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  DCB again{};
  ASSERT_TRUE(GetCommState(handle, &again));
  EXPECT_EQ(again.BaudRate, 921600u);
  EXPECT_EQ(again.Parity, EVENPARITY);
}

TEST_F(SimPort, ModemLinesBothWays) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  EXPECT_TRUE(device->line->Rts());
  EXPECT_TRUE(device->line->Dtr());
  ASSERT_TRUE(EscapeCommFunction(handle, CLRRTS));
  ASSERT_TRUE(EscapeCommFunction(handle, CLRDTR));
  ASSERT_TRUE(EscapeCommFunction(handle, SETRTS));
  EXPECT_EQ(device->lines,
            (std::vector<std::pair<bool, bool>>{{false, true}, {false, false}, {true, false}}));
  EXPECT_FALSE(EscapeCommFunction(handle, 77));

  DWORD status = 0xFF;
  ASSERT_TRUE(GetCommModemStatus(handle, &status));
  EXPECT_EQ(status, 0u);
  device->line->SetModemStatus(MS_RLSD_ON | MS_CTS_ON);
  ASSERT_TRUE(GetCommModemStatus(handle, &status));
  EXPECT_EQ(status, MS_RLSD_ON | MS_CTS_ON);
}

TEST_F(SimPort, OverlappedReadWriteAndCommEventsSignalTheirEvents) {
  device->reply = [](Line& line, std::uint8_t b) {
    std::uint8_t up = static_cast<std::uint8_t>(std::toupper(b));
    line.Send({&up, 1}, 300000);
  };
  ASSERT_NE(Open(FILE_FLAG_OVERLAPPED), INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetCommMask(handle, EV_RING | EV_RLSD));
  HANDLE read_done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE write_done = CreateEventA(nullptr, TRUE, TRUE, nullptr);  // reset by the write itself
  HANDLE event_done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  OVERLAPPED ov_read{}, ov_write{}, ov_event{};
  ov_read.hEvent = read_done;
  ov_write.hEvent = write_done;
  ov_event.hEvent = event_done;

  char in = 0;
  DWORD n = 0;
  EXPECT_FALSE(ReadFile(handle, &in, 1, &n, &ov_read));
  EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
  EXPECT_FALSE(GetOverlappedResult(handle, &ov_read, &n, FALSE));
  EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);
  DWORD mask = 0;
  EXPECT_FALSE(WaitCommEvent(handle, &mask, &ov_event));
  EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);

  std::uint64_t start = Now();
  EXPECT_FALSE(WriteFile(handle, "k", 1, &n, &ov_write));
  EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
  EXPECT_EQ(WaitForSingleObject(write_done, 0), WAIT_TIMEOUT);
  HANDLE order[] = {event_done, read_done, write_done};
  EXPECT_EQ(WaitForMultipleObjects(3, order, FALSE, INFINITE), WAIT_OBJECT_0 + 2);
  EXPECT_EQ(Now() - start, 1042u);
  ASSERT_TRUE(GetOverlappedResult(handle, &ov_write, &n, FALSE));
  EXPECT_EQ(n, 1u);

  EXPECT_EQ(WaitForMultipleObjects(2, order, FALSE, 1000), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(Now() - start, 1042u + 300000u + 1042u);
  ASSERT_TRUE(GetOverlappedResult(handle, &ov_read, &n, FALSE));
  EXPECT_EQ(n, 1u);
  EXPECT_EQ(in, 'K');

  device->line->SetModemStatus(MS_RING_ON);
  EXPECT_EQ(WaitForSingleObject(event_done, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(GetOverlappedResult(handle, &ov_event, &n, TRUE));
  EXPECT_EQ(mask, static_cast<DWORD>(EV_RING));

  // A read that finds its byte at once completes at once, and still signals its event.
  device->line->SetModemStatus(0);
  SendText(*device->line, "z");
  Sleep(5);
  ResetEvent(read_done);
  ASSERT_TRUE(ReadFile(handle, &in, 1, &n, &ov_read));
  EXPECT_EQ(in, 'z');
  EXPECT_EQ(WaitForSingleObject(read_done, 0), WAIT_OBJECT_0);

  // A plain call without an OVERLAPPED on an overlapped handle is refused.
  EXPECT_FALSE(ReadFile(handle, &in, 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  for (HANDLE h : {read_done, write_done, event_done}) CloseHandle(h);
}

// What was still on the wire goes with the device; the port leaves the list and cannot be
// opened again until a device is attached anew.
TEST_F(SimPort, AVanishedDeviceIsGoneFromTheListAndForNewOpens) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetTimeouts(0, 0, 0);  // a read that would wait forever
  SendText(*device->line, "x", 0);
  device->line->Vanish();
  char in;
  DWORD n = 0;
  EXPECT_FALSE(ReadFile(handle, &in, 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_TRUE(platform::ListComPorts().empty());
  EXPECT_TRUE(CloseHandle(handle));
  handle = INVALID_HANDLE_VALUE;
  EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(SimPort, APendingReadFailsWhenTheDeviceVanishesMidWay) {
  device->reply = [](Line& line, std::uint8_t) { line.Vanish(); };
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetTimeouts(0, 0, 0);
  DWORD n = 0;
  // The write itself completes: its byte reached the device before it vanished.
  EXPECT_TRUE(WriteFile(handle, "q", 1, &n, nullptr));
  char in;
  EXPECT_FALSE(ReadFile(handle, &in, 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
}

TEST_F(SimPort, InjectedFaultsHitTheChosenHandleOnly) {
  platform::sim::Attach("COM4", std::make_shared<RecordingDevice>());
  HANDLE other = CreateFileA("\\\\.\\COM4", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             0, nullptr);
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  platform::testing::InjectFault("SetupComm", ERROR_GEN_FAILURE, "\\\\.\\COM3");
  platform::testing::InjectFault("PurgeComm", ERROR_ACCESS_DENIED, other);
  EXPECT_TRUE(SetupComm(other, 2048, 2048));
  EXPECT_FALSE(SetupComm(handle, 2048, 2048));
  EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
  EXPECT_TRUE(SetupComm(handle, 2048, 2048));  // once only
  EXPECT_TRUE(PurgeComm(handle, PURGE_RXCLEAR));
  EXPECT_FALSE(PurgeComm(other, PURGE_RXCLEAR));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(other);
}

}  // namespace
