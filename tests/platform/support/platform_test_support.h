// Test fixtures for code over the platform layer: a temporary prefix that shows only the ports
// and drives a test makes, and a pseudo-terminal whose far side the test drives.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/sim_comm.h"
#include "platform/testing.h"
#include "test_support/temp_dir.h"

namespace platform_test {

// The line settings of a pseudo-terminal, read on its master side (support library).
struct FarSettings {
  unsigned rate = 0;
  unsigned byte_size = 0;
  int parity = -1;  // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY
  bool two_stop_bits = false;
};
FarSettings FarSideSettings(int master);
// Raw mode, no echo (support library).
void MakeRaw(int fd);

// A simulated device that records what reaches it; `reply` may answer each byte.
class RecordingDevice : public platform::sim::Device {
 public:
  using Line = platform::sim::Line;
  using LineSettings = platform::sim::LineSettings;

  struct Received {
    std::uint64_t at_us;
    std::uint8_t byte;
    LineSettings settings;
  };
  void OnOpen(Line& line) override {
    this->line = &line;
    if (on_open) on_open(line);
  }
  void OnClose(Line&) override { line = nullptr; }
  void OnByte(Line& l, std::uint8_t byte, const LineSettings& settings) override {
    received.push_back({l.clock().NowUs(), byte, settings});
    if (reply) reply(l, byte);
  }
  void OnSettingsChanged(Line&, const LineSettings& settings) override {
    changes.push_back(settings);
  }
  void OnModemLines(Line&, bool rts, bool dtr) override { lines.emplace_back(rts, dtr); }

  std::string Text() const {
    std::string s;
    for (auto& r : received) s += static_cast<char>(r.byte);
    return s;
  }

  Line* line = nullptr;
  std::function<void(Line&)> on_open;
  std::function<void(Line&, std::uint8_t)> reply;
  std::vector<Received> received;
  std::vector<LineSettings> changes;
  std::vector<std::pair<bool, bool>> lines;
};

inline void SendText(platform::sim::Line& line, const std::string& text,
                     std::uint64_t delay_us = 0) {
  line.Send({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, delay_us);
}

// Real milliseconds since `t0`.
inline long MsSince(std::chrono::steady_clock::time_point t0) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
          .count());
}

class TempPrefix {
 public:
  TempPrefix() {
    if (const char* old = std::getenv("TRAKMON_PREFIX")) old_prefix_ = old, had_prefix_ = true;
    const std::filesystem::path& root = dir_.path();
    ::setenv("TRAKMON_PREFIX", (root / "prefix").c_str(), 1);
    std::filesystem::create_directories(root / "prefix" / "dosdevices");
    std::filesystem::create_directories(root / "machine" / "dev");
    platform::testing::SetDeviceRoot((root / "machine").string());
  }
  ~TempPrefix() {
    platform::sim::DetachAll();
    platform::testing::ClearFaults();
    platform::testing::SetDeviceRoot("");
    if (had_prefix_)
      ::setenv("TRAKMON_PREFIX", old_prefix_.c_str(), 1);
    else
      ::unsetenv("TRAKMON_PREFIX");
  }
  TempPrefix(const TempPrefix&) = delete;
  TempPrefix& operator=(const TempPrefix&) = delete;

  std::filesystem::path prefix() const { return dir_.path() / "prefix"; }
  std::filesystem::path dosdevices() const { return dir_.path() / "prefix" / "dosdevices"; }
  // The fake machine the default COM assignment probes (dev/, sys/class/tty/).
  std::filesystem::path machine() const { return dir_.path() / "machine"; }
  std::filesystem::path scratch() const { return dir_.path(); }
  // dosdevices/<name> -> target
  void Link(const std::string& name, const std::filesystem::path& target) const {
    std::filesystem::create_symlink(target, dosdevices() / name);
  }

 private:
  test_support::TempDir dir_;
  std::string old_prefix_;
  bool had_prefix_ = false;
};

// A pseudo-terminal in raw mode. The test holds the master; the slave is the "device node" a
// comN link points to.
class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::grantpt(master_);
    ::unlockpt(master_);
    slave_ = ::ptsname(master_);
    MakeRaw(master_);
  }
  ~Pty() { Close(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& slave() const { return slave_; }
  int master() const { return master_; }
  void Close() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  void Write(const std::string& bytes) const {
    for (std::size_t done = 0; done < bytes.size();) {
      ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
  }
  // Reads until `count` bytes came or `timeout_ms` passed.
  std::string Read(std::size_t count, int timeout_ms = 5000) const {
    std::string got;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (got.size() < count) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      if (!(p.revents & POLLIN)) break;
      char buffer[256];
      ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

// A test that works on one COM handle: opening, time-outs, reads; the handle is closed at the
// end.
class PortTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  HANDLE OpenPort(const char* path, DWORD flags = 0) {
    handle =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    return handle;
  }
  void SetTimeouts(DWORD interval, DWORD multiplier, DWORD constant, DWORD write_multiplier = 0,
                   DWORD write_constant = 0) {
    COMMTIMEOUTS t{interval, multiplier, constant, write_multiplier, write_constant};
    ASSERT_TRUE(SetCommTimeouts(handle, &t));
  }
  std::string Read(DWORD n) {
    std::string buffer(n, '\0');
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(handle, buffer.data(), n, &got, nullptr));
    buffer.resize(got);
    return buffer;
  }

  HANDLE handle = INVALID_HANDLE_VALUE;
};

// The loader's pattern on an overlapped handle: a worker thread waits on its quit, read-done
// and write-done events, takes each completed one-byte read and starts the next; the owner
// sends through overlapped writes. Close the port while the object lives: its last read is
// still pending then.
class OverlappedWorker {
 public:
  // Finished once `bytes` bytes came and `writes` writes completed.
  OverlappedWorker(HANDLE port, std::size_t bytes, int writes)
      : port_(port), bytes_(bytes), writes_(writes) {
    events_[0] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    events_[1] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    events_[2] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    finished_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ov_read.hEvent = events_[1];
    ov_write_.hEvent = events_[2];
    thread_ = CreateThread(nullptr, 0, &OverlappedWorker::Run, this, 0, &thread_id);
  }
  ~OverlappedWorker() {
    Stop();
    CloseHandle(thread_);
    for (HANDLE e : events_) CloseHandle(e);
    CloseHandle(finished_);
  }
  OverlappedWorker(const OverlappedWorker&) = delete;
  OverlappedWorker& operator=(const OverlappedWorker&) = delete;

  // Started (completed at once or pending).
  bool Send(const std::string& data) {
    DWORD n = 0;
    return WriteFile(port_, data.data(), static_cast<DWORD>(data.size()), &n, &ov_write_) ||
           GetLastError() == ERROR_IO_PENDING;
  }
  // False when the worker ended first or the time ran out.
  bool WaitFinished(DWORD ms) {
    HANDLE finished_or_ended[] = {finished_, thread_};
    return WaitForMultipleObjects(2, finished_or_ended, FALSE, ms) == WAIT_OBJECT_0;
  }
  // Quits the worker and waits for it; its exit code, 0 when the quit ended it.
  DWORD Stop() {
    SetEvent(events_[0]);
    WaitForSingleObject(thread_, 10000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(thread_, &code);
    return code;
  }
  // The worker's results: read them after Stop.
  const std::string& received() const { return received_; }
  int writes_done() const { return writes_done_; }

  OVERLAPPED ov_read{};
  DWORD thread_id = 0;

 private:
  static DWORD Run(LPVOID arg) {
    auto& w = *static_cast<OverlappedWorker*>(arg);
    DWORD n;
    if (!ReadFile(w.port_, &w.byte_, 1, &n, &w.ov_read) && GetLastError() != ERROR_IO_PENDING)
      return 1;
    for (;;) {
      DWORD which = WaitForMultipleObjects(3, w.events_, FALSE, INFINITE);
      if (which == WAIT_OBJECT_0) return 0;
      if (which == WAIT_OBJECT_0 + 1) {
        if (!GetOverlappedResult(w.port_, &w.ov_read, &n, FALSE)) return 2;
        ResetEvent(w.events_[1]);
        if (n == 1) w.received_ += w.byte_;
        if (!ReadFile(w.port_, &w.byte_, 1, &n, &w.ov_read) && GetLastError() != ERROR_IO_PENDING)
          return 3;
      } else if (which == WAIT_OBJECT_0 + 2) {
        if (!GetOverlappedResult(w.port_, &w.ov_write_, &n, FALSE)) return 4;
        ResetEvent(w.events_[2]);
        ++w.writes_done_;
      } else {
        return 5;
      }
      if (w.received_.size() >= w.bytes_ && w.writes_done_ >= w.writes_) SetEvent(w.finished_);
    }
  }

  HANDLE port_;
  std::size_t bytes_;
  int writes_;
  HANDLE events_[3];  // quit, read done, write done
  HANDLE finished_;
  HANDLE thread_ = nullptr;
  OVERLAPPED ov_write_{};
  char byte_ = 0;
  std::string received_;
  int writes_done_ = 0;
};

}  // namespace platform_test
