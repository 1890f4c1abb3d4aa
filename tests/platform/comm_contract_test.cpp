// What every comm backend promises its callers, run against each of them in real time: the
// simulated device, and a tty over a pseudo-terminal. Exclusive open, bytes both ways with the
// read time-outs, purge, a device that vanishes, and overlapped I/O with the loader's worker
// thread. What only one backend does is tested beside it (sim_comm_test, tty_comm_test).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "platform/paths.h"
#include "platform/sim_comm.h"
#include "platform/windows.h"
#include "platform_test_support.h"

using platform_test::TempPrefix;
using Clock = std::chrono::steady_clock;
using platform_test::MsSince;

namespace {

// A simulated device that keeps what reaches it; its callbacks run on the timer thread.
class Recorder : public platform::sim::Device {
 public:
  void OnOpen(platform::sim::Line& line) override { line_ = &line; }
  void OnClose(platform::sim::Line&) override { line_ = nullptr; }
  void OnByte(platform::sim::Line&, std::uint8_t byte,
              const platform::sim::LineSettings&) override {
    std::lock_guard guard(mutex_);
    received_ += static_cast<char>(byte);
    arrived_.notify_all();
  }
  // The first `count` bytes that came, waiting up to five seconds for them.
  std::string Received(std::size_t count) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::seconds(5), [&] { return received_.size() >= count; });
    std::string got = received_.substr(0, count);
    received_.erase(0, got.size());
    return got;
  }
  platform::sim::Line& line() { return *line_; }

 private:
  platform::sim::Line* line_ = nullptr;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::string received_;
};

// The far side of a port, for each backend: where the host opens it, what the device sends,
// what reached it, and the device going away.
class SimBackend {
 public:
  static constexpr const char* kName = "Sim";
  static constexpr const char* kPath = "\\\\.\\COM3";
  static constexpr const char* kLowerCasePath = "\\\\.\\com3";
  explicit SimBackend(TempPrefix&) { platform::sim::Attach("COM3", device_); }
  void Send(const std::string& bytes) {
    device_->line().Send({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  }
  std::string Received(std::size_t count) { return device_->Received(count); }
  void Vanish() { device_->line().Vanish(); }

 private:
  std::shared_ptr<Recorder> device_ = std::make_shared<Recorder>();
};

class TtyBackend {
 public:
  static constexpr const char* kName = "Tty";
  static constexpr const char* kPath = "\\\\.\\COM1";
  static constexpr const char* kLowerCasePath = "\\\\.\\com1";
  explicit TtyBackend(TempPrefix& prefix) { prefix.Link("com1", pty_.slave()); }
  void Send(const std::string& bytes) { pty_.Write(bytes); }
  std::string Received(std::size_t count) { return pty_.Read(count); }
  void Vanish() { pty_.Close(); }

 private:
  platform_test::Pty pty_;
};

template <class Backend>
class CommContract : public platform_test::PortTest {
 protected:
  HANDLE Open(DWORD flags = 0) { return OpenPort(Backend::kPath, flags); }

  TempPrefix prefix;
  Backend backend{prefix};
};

struct BackendName {
  template <class Backend>
  static std::string GetName(int) {
    return Backend::kName;
  }
};
using Backends = ::testing::Types<SimBackend, TtyBackend>;
TYPED_TEST_SUITE(CommContract, Backends, BackendName);

TYPED_TEST(CommContract, OpeningIsExclusiveUntilTheHandleCloses) {
  ASSERT_NE(this->Open(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA(TypeParam::kPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(platform::ExplainComOpenFailure(TypeParam::kPath, GetLastError()).reason,
            platform::ComOpenFailure::Reason::Held);
  ASSERT_TRUE(CloseHandle(this->handle));
  this->handle = CreateFileA(TypeParam::kLowerCasePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(this->handle, INVALID_HANDLE_VALUE);
}

TYPED_TEST(CommContract, BytesBothWaysAndTheReadTimeOuts) {
  ASSERT_NE(this->Open(), INVALID_HANDLE_VALUE);
  this->SetTimeouts(150, 1, 250);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(this->handle, "ping", 4, &n, nullptr));
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(this->backend.Received(4), "ping");
  this->backend.Send("pong");
  EXPECT_EQ(this->Read(4), "pong");

  // A silent line: the read ends after 1 x 1 + 250 ms with nothing.
  auto t0 = Clock::now();
  EXPECT_EQ(this->Read(1), "");
  long ms = MsSince(t0);
  EXPECT_GE(ms, 240);
  EXPECT_LT(ms, 1000);

  // Interval time-out: the read ends a pause after the bytes that came.
  this->SetTimeouts(100, 0, 5000);
  this->backend.Send("abc");
  t0 = Clock::now();
  EXPECT_EQ(this->Read(10), "abc");
  EXPECT_LT(MsSince(t0), 2500);
}

TYPED_TEST(CommContract, PurgeDropsWhatArrived) {
  ASSERT_NE(this->Open(), INVALID_HANDLE_VALUE);
  this->SetTimeouts(150, 1, 250);
  this->backend.Send("junk");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(PurgeComm(this->handle, PURGE_TXCLEAR | PURGE_RXCLEAR));
  this->backend.Send("ok");
  EXPECT_EQ(this->Read(4), "ok");
  EXPECT_FALSE(PurgeComm(this->handle, 0x100));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// The device goes while a read waits with no time-out at all: the read fails, and so does every
// later call but the close; nothing hangs.
TYPED_TEST(CommContract, ADeviceThatVanishesFailsTheWaitingReadAndLaterCalls) {
  ASSERT_NE(this->Open(), INVALID_HANDLE_VALUE);
  this->SetTimeouts(0, 0, 0);
  HANDLE port = this->handle;
  auto reader = std::async(std::launch::async, [port] {
    char c;
    DWORD n = 0;
    BOOL ok = ReadFile(port, &c, 1, &n, nullptr);
    return std::make_pair(ok, GetLastError());
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  auto t0 = Clock::now();
  this->backend.Vanish();
  ASSERT_EQ(reader.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_LT(MsSince(t0), 5000);
  auto [ok, error] = reader.get();
  EXPECT_FALSE(ok);
  EXPECT_EQ(error, ERROR_DEVICE_NOT_CONNECTED);

  DWORD n = 0;
  EXPECT_FALSE(WriteFile(port, "x", 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  char c;
  EXPECT_FALSE(ReadFile(port, &c, 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  DCB dcb{};
  EXPECT_FALSE(GetCommState(port, &dcb));
  EXPECT_FALSE(PurgeComm(port, PURGE_RXCLEAR));
  EXPECT_TRUE(CloseHandle(port));
  this->handle = INVALID_HANDLE_VALUE;
}

TYPED_TEST(CommContract, ClosingAbortsPendingOperations) {
  ASSERT_NE(this->Open(FILE_FLAG_OVERLAPPED), INVALID_HANDLE_VALUE);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  OVERLAPPED ov{};
  ov.hEvent = done;
  char in;
  DWORD n;
  EXPECT_FALSE(ReadFile(this->handle, &in, 1, &n, &ov));
  EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
  HANDLE port = this->handle;
  ASSERT_TRUE(CloseHandle(port));
  this->handle = INVALID_HANDLE_VALUE;
  EXPECT_EQ(WaitForSingleObject(done, 0), WAIT_OBJECT_0);
  EXPECT_EQ(ov.Internal & 0xFFFF, ERROR_OPERATION_ABORTED);
  EXPECT_FALSE(GetOverlappedResult(port, &ov, &n, FALSE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CloseHandle(done);
}

// The loader's pattern: a worker thread with one-byte overlapped reads, overlapped writes.
TYPED_TEST(CommContract, OverlappedReadsAndWritesWithAWorkerThread) {
  ASSERT_NE(this->Open(FILE_FLAG_OVERLAPPED), INVALID_HANDLE_VALUE);
  COMMTIMEOUTS none{};
  ASSERT_TRUE(SetCommTimeouts(this->handle, &none));
  platform_test::OverlappedWorker worker(this->handle, 5, 1);
  EXPECT_NE(worker.thread_id, 0u);
  EXPECT_TRUE(worker.Send("hello"));
  EXPECT_EQ(this->backend.Received(5), "hello");
  this->backend.Send("world");
  EXPECT_TRUE(worker.WaitFinished(5000));
  EXPECT_EQ(worker.Stop(), 0u);
  EXPECT_EQ(worker.received(), "world");
  EXPECT_EQ(worker.writes_done(), 1);
  ASSERT_TRUE(CloseHandle(this->handle));
  this->handle = INVALID_HANDLE_VALUE;
  EXPECT_EQ(worker.ov_read.Internal & 0xFFFF, ERROR_OPERATION_ABORTED);
}

}  // namespace
