// The simulator tool in real time, driven over its pseudo-terminal by a minimal raw-tty host.
// Time bounds are generous: only "arrives within seconds" and "nothing within a while" are checked.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_line.h"
#include "sim/tool_process.h"
#include "test_support/files.h"
#include "test_support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
// How long a test waits for the tool's output or its end.
constexpr int kLongMs = 10'000;

// The tracker simulator tool with these arguments.
struct Tool : sim::ToolProcess {
  explicit Tool(std::vector<std::string> args) : ToolProcess(TRACKER_SIM_TOOL, std::move(args)) {}
};
using namespace std::chrono_literals;
using namespace std::string_literals;

using test_support::TempDir;

// The host's end: a raw 8N1 tty.
class Port {
 public:
  explicit Port(const fs::path& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY)) {}
  ~Port() {
    if (fd_ >= 0) close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Raw 8N1 at `baud` (any rate, also one without a B constant).
  bool SetRate(std::uint32_t baud) {
    platform::serial_line::Settings line;
    line.baud = baud;
    return platform::serial_line::MakeRaw(fd_) && platform::serial_line::Write(fd_, line);
  }
  void Write(const std::string& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Bytes up to and including `end`, or what came before `ms` passed.
  std::string ReadUntil(char end, int ms = kLongMs) { return Read(ms, &end, SIZE_MAX); }
  std::string ReadCount(std::size_t n, int ms = kLongMs) { return Read(ms, nullptr, n); }
  // Everything that arrives within `ms`.
  std::string ReadFor(int ms) { return Read(ms, nullptr, SIZE_MAX); }

 private:
  std::string Read(int ms, const char* end, std::size_t n) {
    std::string got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < n) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          until - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char buf[4096];
      const ssize_t k = read(fd_, buf, std::min(sizeof buf, n - got.size()));
      if (k <= 0) break;
      for (ssize_t i = 0; i < k; ++i) {
        got += buf[i];
        if (end != nullptr && buf[i] == *end) return got;
      }
    }
    return got;
  }
  int fd_;
};

// A running tool with the host's port open on its slave at 115200.
struct Session {
  explicit Session(std::vector<std::string> args)
      : tool(std::move(args)), slave(tool.ReadLine()), port(slave) {
    if (port.ok()) port.SetRate(115200);
  }
  bool ready() const { return !slave.empty() && port.ok(); }
  Tool tool;
  std::string slave;
  Port port;
};

TEST(TrackerSimTool, AnswersTheStateQueryAtItsOwnRateOnly) {
  TempDir dir;
  const fs::path log = dir.path() / "bytes.log";
  Tool tool({"--prefix", dir.path().string(), "--com", "2", "--log", log.string()});
  const std::string slave = tool.ReadLine();
  ASSERT_FALSE(slave.empty());
  const fs::path link = dir.path() / "dosdevices" / "com2";
  EXPECT_EQ(fs::read_symlink(link), slave);
  {
    Port port(link);
    ASSERT_TRUE(port.ok());
    port.SetRate(921600);
    port.Write("e");
    EXPECT_EQ(port.ReadFor(500), "");
    port.SetRate(115200);
    port.Write("e");
    EXPECT_EQ(port.ReadUntil('\0'), "#0 A 0 1 0 /A001AA/ 2020 192.168.0.1\0"s);
  }
  EXPECT_EQ(tool.Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  const std::string record = test_support::FileBytes(log);
  EXPECT_NE(record.find("RX 65 921600 8N1 garbled\n"), std::string::npos) << record;
  EXPECT_NE(record.find("RX 65 115200 8N1\n"), std::string::npos) << record;
}

TEST(TrackerSimTool, SeesARateSetWithoutABConstant) {
  Session s({"--baud", "250000"});
  ASSERT_TRUE(s.ready());
  ASSERT_TRUE(s.port.SetRate(250000));
  s.port.Write("W");
  EXPECT_EQ(s.port.ReadUntil('.'), "2020.");
  EXPECT_EQ(s.tool.Stop(SIGINT), 0);
}

TEST(TrackerSimTool, DumpsTheLoadedMemoryPageByPage) {
  TempDir dir;
  std::string memory;
  for (int i = 0; i < 1200; ++i) memory += static_cast<char>(i * 13);
  std::ofstream(dir.path() / "track.bin", std::ios::binary) << memory;
  Session s({"--memory", (dir.path() / "track.bin").string()});
  ASSERT_TRUE(s.ready());
  s.port.Write("d");
  // A page above the write address, 4B0.
  EXPECT_EQ(s.port.ReadUntil('\0'), "#6C0\0"s);
  s.port.Write("^0 630\0"s);
  EXPECT_EQ(s.port.ReadCount(1 + 528), "#" + memory.substr(0, 528));
  EXPECT_EQ(s.port.ReadFor(300), "");
  s.port.Write("\x55\xAA");
  EXPECT_EQ(s.port.ReadCount(528), memory.substr(528, 528));
  EXPECT_EQ(s.tool.Stop(), 0);
}

TEST(TrackerSimTool, FaultOptionsShapeTheReplies) {
  Session s({"--fault", "garbage=AA,BB", "--fault", "cut=3"});
  ASSERT_TRUE(s.ready());
  s.port.Write("W");
  EXPECT_EQ(s.port.ReadCount(5),
            "\xAA\xBB"
            "202");
  EXPECT_EQ(s.tool.Stop(), 0);
}

TEST(TrackerSimTool, KeepsAnUnreadReplyUntilTheHostHasReadIt) {
  Session s({});
  ASSERT_TRUE(s.ready());
  s.port.Write("M");
  std::this_thread::sleep_for(300ms);  // the reply waits unread in the host's buffer
  std::thread stopper([&s] { EXPECT_EQ(s.tool.Stop(), 0); });
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(s.port.ReadUntil('.'), "Vomar.");
  stopper.join();
}

TEST(TrackerSimTool, VanishesAfterTheChosenTime) {
  Session s({"--vanish-after", "1500"});
  ASSERT_TRUE(s.ready());
  pollfd p{s.port.fd(), POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, kLongMs), 1);
  EXPECT_NE(p.revents & POLLHUP, 0);
  char c;
  EXPECT_LE(read(s.port.fd(), &c, 1), 0);
  EXPECT_EQ(s.tool.Stop(), 0);
}

TEST(TrackerSimTool, RejectsABadCommandLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus", "1"}, {"--fault", "nope"}, {"--fault", "slow"}, {"--baud", "fast"}, {"--com"}};
  for (const auto& args : cases) {
    Tool tool(args);
    EXPECT_EQ(tool.Wait(), 2) << args[0];
  }
}

}  // namespace
