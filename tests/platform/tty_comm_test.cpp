// The tty backend over a pseudo-terminal, in real time.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <thread>

#include "platform/windows.h"
#include "platform_test_support.h"

using platform_test::Pty;
using platform_test::TempPrefix;
using Clock = std::chrono::steady_clock;

namespace {

long MsSince(Clock::time_point t0) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count());
}

class TtyPort : public platform_test::PortTest {
 protected:
  void SetUp() override { prefix.Link("com1", pty.slave()); }
  HANDLE Open(DWORD flags = 0) { return OpenPort("\\\\.\\COM1", flags); }

  TempPrefix prefix;
  Pty pty;
};

TEST_F(TtyPort, BytesBothWaysAndTheSilentLineTimeOut) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetTimeouts(150, 1, 250);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(handle, "ping", 4, &n, nullptr));
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(pty.Read(4), "ping");
  pty.Write("pong");
  EXPECT_EQ(Read(4), "pong");

  auto t0 = Clock::now();
  EXPECT_EQ(Read(1), "");
  long ms = MsSince(t0);
  EXPECT_GE(ms, 240);
  EXPECT_LT(ms, 1000);

  // Interval time-out: the read ends a pause after the bytes that came.
  SetTimeouts(100, 0, 5000);
  pty.Write("abc");
  t0 = Clock::now();
  EXPECT_EQ(Read(10), "abc");
  EXPECT_LT(MsSince(t0), 2500);
}

TEST_F(TtyPort, ExclusiveOpenAgainstThisAndOtherPrograms) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA("\\\\.\\COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                        nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  ASSERT_TRUE(CloseHandle(handle));
  handle = INVALID_HANDLE_VALUE;

  // Another program holds the device.
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  pid_t child = fork();
  if (child == 0) {
    int fd = open(pty.slave().c_str(), O_RDWR | O_NOCTTY);
    char c = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
    [[maybe_unused]] auto w = write(ready[1], &c, 1);
    [[maybe_unused]] auto r = read(release[0], &c, 1);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  ASSERT_EQ(write(release[1], "x", 1), 1);
  waitpid(child, nullptr, 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
  EXPECT_NE(Open(), INVALID_HANDLE_VALUE);
}

TEST_F(TtyPort, LineSettingsReachTheFarSide) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  struct Case {
    DWORD rate;
    BYTE size, parity, stop;
  } cases[] = {{9600, 8, NOPARITY, ONESTOPBIT},    {115200, 8, NOPARITY, ONESTOPBIT},
               {250000, 8, NOPARITY, TWOSTOPBITS}, {460800, 8, NOPARITY, ONESTOPBIT},
               {921600, 8, NOPARITY, ONESTOPBIT},  {1234567, 8, NOPARITY, TWOSTOPBITS}};
  for (auto& c : cases) {
    DCB dcb{};
    ASSERT_TRUE(GetCommState(handle, &dcb));
    dcb.BaudRate = c.rate;
    dcb.ByteSize = c.size;
    dcb.Parity = c.parity;
    dcb.StopBits = c.stop;
    ASSERT_TRUE(SetCommState(handle, &dcb)) << c.rate;
    auto far = platform_test::FarSideSettings(pty.master());
    EXPECT_EQ(far.rate, c.rate);
    EXPECT_EQ(far.byte_size, c.size) << c.rate;
    EXPECT_EQ(far.parity, c.parity) << c.rate;
    EXPECT_EQ(far.two_stop_bits, c.stop == TWOSTOPBITS) << c.rate;
    DCB back{};
    ASSERT_TRUE(GetCommState(handle, &back));
    EXPECT_EQ(back.BaudRate, c.rate);
    EXPECT_EQ(back.ByteSize, c.size);
    EXPECT_EQ(back.Parity, c.parity);
    EXPECT_EQ(back.StopBits, c.stop);
  }
  // A pseudo-terminal carries 8 bits without parity only: what it cannot do is refused, and the
  // settings stay as they were.
  DCB dcb{};
  ASSERT_TRUE(GetCommState(handle, &dcb));
  for (auto change : {+[](DCB& d) { d.ByteSize = 7; }, +[](DCB& d) { d.Parity = EVENPARITY; }}) {
    DCB asked = dcb;
    change(asked);
    EXPECT_FALSE(SetCommState(handle, &asked));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    DCB back{};
    ASSERT_TRUE(GetCommState(handle, &back));
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, NOPARITY);
    EXPECT_EQ(back.BaudRate, 1234567u);
  }
}

TEST_F(TtyPort, APseudoTerminalHasNoModemLines) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(EscapeCommFunction(handle, SETRTS));
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
  EXPECT_FALSE(EscapeCommFunction(handle, CLRDTR));
  DWORD status = 0xFFFF;
  ASSERT_TRUE(GetCommModemStatus(handle, &status));
  EXPECT_EQ(status, 0u);
}

TEST_F(TtyPort, PurgeDropsWhatArrived) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetTimeouts(150, 1, 250);
  pty.Write("junk");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(PurgeComm(handle, PURGE_TXCLEAR | PURGE_RXCLEAR));
  pty.Write("ok");
  EXPECT_EQ(Read(4), "ok");
}

// A caller taking one byte at a time gets every byte in order; a purge drops what was read
// ahead as well as what the kernel holds; what came before the device went is still handed out,
// and only then do reads fail.
TEST_F(TtyPort, ByteAtATimeReadsThroughPurgeAndVanish) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetTimeouts(MAXDWORD, 0, 0);  // return at once with what is there
  std::string sent;
  for (int i = 0; i < 6000; ++i) sent += static_cast<char>('a' + i % 23);
  pty.Write(sent.substr(0, 3000));
  std::string got;
  const auto t0 = Clock::now();
  while (got.size() < 1500 && MsSince(t0) < 5000) got += Read(1);
  pty.Write(sent.substr(3000));
  while (got.size() < sent.size() && MsSince(t0) < 5000) got += Read(1);
  EXPECT_EQ(got, sent);

  pty.Write("stale bytes");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Read(1), "s");  // the rest now sits in the read-ahead
  ASSERT_TRUE(PurgeComm(handle, PURGE_RXCLEAR));
  pty.Write("ok");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::string first = Read(1);
  EXPECT_EQ(first + Read(1), "ok");

  pty.Write("last");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Read(1), "l");
  pty.Close();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::string rest;
  DWORD n = 0;
  char c;
  while (rest.size() < 10 && ReadFile(handle, &c, 1, &n, nullptr) && n == 1) rest += c;
  EXPECT_EQ(rest, "ast");
  EXPECT_FALSE(ReadFile(handle, &c, 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
}

TEST_F(TtyPort, NamesThatReachNoTerminalFail) {
  std::ofstream(prefix.scratch() / "plain-file");
  prefix.Link("com2", prefix.scratch() / "plain-file");
  prefix.Link("com3", prefix.scratch() / "no-such-node");
  for (const char* path : {"\\\\.\\COM2", "\\\\.\\COM3"}) {
    EXPECT_EQ(
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << path;
  }
}

// The far side closes while a read waits with no time-out at all: the read fails, and so does
// everything after it; nothing hangs.
TEST_F(TtyPort, ADeviceThatVanishesFailsTheWaitingReadAndLaterCalls) {
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
  SetTimeouts(0, 0, 0);
  auto reader = std::async(std::launch::async, [&] {
    char c;
    DWORD n = 0;
    BOOL ok = ReadFile(handle, &c, 1, &n, nullptr);
    return std::make_pair(ok, GetLastError());
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  auto t0 = Clock::now();
  pty.Close();
  ASSERT_EQ(reader.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_LT(MsSince(t0), 5000);
  auto [ok, error] = reader.get();
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, ERROR_DEVICE_NOT_CONNECTED);
  DWORD n;
  EXPECT_FALSE(WriteFile(handle, "x", 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  char c;
  EXPECT_FALSE(ReadFile(handle, &c, 1, &n, nullptr));
  EXPECT_TRUE(CloseHandle(handle));
  handle = INVALID_HANDLE_VALUE;
}

// The loader's pattern: a worker thread with one-byte overlapped reads, overlapped writes.
TEST_F(TtyPort, OverlappedReadsAndWritesWithAWorkerThread) {
  ASSERT_NE(Open(FILE_FLAG_OVERLAPPED), INVALID_HANDLE_VALUE);
  COMMTIMEOUTS none{};
  ASSERT_TRUE(SetCommTimeouts(handle, &none));
  platform_test::OverlappedWorker worker(handle, 5, 1);
  EXPECT_NE(worker.thread_id, 0u);
  EXPECT_TRUE(worker.Send("hello"));
  EXPECT_EQ(pty.Read(5), "hello");
  pty.Write("world");
  EXPECT_TRUE(worker.WaitFinished(5000));
  EXPECT_EQ(worker.Stop(), 0u);
  EXPECT_EQ(worker.received(), "world");
  EXPECT_EQ(worker.writes_done(), 1);
  ASSERT_TRUE(CloseHandle(handle));
  handle = INVALID_HANDLE_VALUE;
  EXPECT_EQ(worker.ov_read.Internal & 0xFFFF, ERROR_OPERATION_ABORTED);
}

}  // namespace
