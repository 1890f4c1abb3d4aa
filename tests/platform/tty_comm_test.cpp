// The tty backend over a pseudo-terminal, in real time: locks of other programs, line settings,
// no modem lines, reads through the read-ahead, and why an open failed. What every backend
// promises is in comm_contract_test.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/paths.h"
#include "platform/windows.h"
#include "platform_test_support.h"

using platform_test::Pty;
using platform_test::TempPrefix;
using Clock = std::chrono::steady_clock;
using platform_test::MsSince;

namespace {

class TtyPort : public platform_test::PortTest {
 protected:
  void SetUp() override { prefix.Link("com1", pty.slave()); }
  HANDLE Open(DWORD flags = 0) { return OpenPort("\\\\.\\COM1", flags); }

  TempPrefix prefix;
  Pty pty;
};

// Another program that holds the device with a lock keeps it from us until it lets go.
TEST_F(TtyPort, ExclusiveOpenAgainstOtherPrograms) {
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
  EXPECT_EQ(platform::ExplainComOpenFailure("COM1", GetLastError()).reason,
            platform::ComOpenFailure::Reason::Held);
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

// A port that does not open says why: the error CreateFileA leaves, and what the device path
// shows of it.
TEST_F(TtyPort, OpenFailuresSayWhy) {
  using Reason = platform::ComOpenFailure::Reason;
  const std::string plain_file = (prefix.scratch() / "plain-file").string();
  const std::string no_node = (prefix.scratch() / "no-such-node").string();
  std::ofstream{plain_file};
  prefix.Link("com2", plain_file);
  prefix.Link("com3", no_node);
  ASSERT_NE(Open(), INVALID_HANDLE_VALUE);  // COM1 is held from here on

  struct Case {
    const char* path;
    DWORD error;
    Reason reason;
    std::string device, link;
  } cases[] = {
      {"\\\\.\\COM7", ERROR_FILE_NOT_FOUND, Reason::NoDevice, "",
       (prefix.dosdevices() / "com7").string()},
      {"\\\\.\\COM3", ERROR_FILE_NOT_FOUND, Reason::Missing, no_node, ""},
      {"\\\\.\\COM2", ERROR_FILE_NOT_FOUND, Reason::NotATerminal, plain_file, ""},
      {"\\\\.\\COM1", ERROR_SHARING_VIOLATION, Reason::Held, pty.slave(), ""},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(
        CreateFileA(c.path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
    ASSERT_EQ(GetLastError(), c.error);
    platform::ComOpenFailure failure = platform::ExplainComOpenFailure(c.path, c.error);
    EXPECT_EQ(failure.reason, c.reason);
    EXPECT_EQ(failure.device, c.device);
    EXPECT_EQ(failure.link, c.link);
    EXPECT_EQ(failure.error, c.error);
  }
}

// A device node the user may not open fails with ERROR_ACCESS_DENIED, explained with the group
// whose members may use it. Mode bits do not stop root: as root the open runs with the
// effective user "nobody".
TEST_F(TtyPort, ANodeTheUserMayNotOpenIsAccessDenied) {
  const bool root = geteuid() == 0;
  constexpr uid_t kNobody = 65534;
  // The unprivileged user (still in root's groups) has to reach the link in the test's folder.
  std::filesystem::permissions(
      prefix.scratch(), std::filesystem::perms::group_exec | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add);
  auto open_error = [&] {
    if (root && seteuid(kNobody) != 0) return DWORD{ERROR_INVALID_FUNCTION};
    HANDLE h = OpenPort("\\\\.\\COM1");
    DWORD error = h == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (root) {
      EXPECT_EQ(seteuid(0), 0);
    }
    return error;
  };
  using Reason = platform::ComOpenFailure::Reason;

  // Nobody may use it: the group serial ports are given.
  ASSERT_EQ(chmod(pty.slave().c_str(), 0), 0);
  DWORD error = open_error();
  if (error == ERROR_INVALID_FUNCTION) {
    GTEST_SKIP() << "root without the right to take the user nobody's rights";
  }
  ASSERT_EQ(error, ERROR_ACCESS_DENIED);
  platform::ComOpenFailure failure = platform::ExplainComOpenFailure("COM1", error);
  EXPECT_EQ(failure.reason, Reason::NoAccess);
  EXPECT_EQ(failure.device, pty.slave());
  EXPECT_EQ(failure.group, "dialout");

  // The node's own group may use it: that group is named. Only root can give the node another
  // group and still be kept out.
  if (!root) return;
  group* other = nullptr;
  for (gid_t gid = 1; gid < 1000 && !other; ++gid) other = getgrgid(gid);
  ASSERT_NE(other, nullptr);
  const std::string name = other->gr_name;
  ASSERT_EQ(chown(pty.slave().c_str(), static_cast<uid_t>(-1), other->gr_gid), 0);
  ASSERT_EQ(chmod(pty.slave().c_str(), 0660), 0);
  ASSERT_EQ(open_error(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(platform::ExplainComOpenFailure("COM1", ERROR_ACCESS_DENIED).group, name);
}

}  // namespace
