// Tserial_event over a pseudo-terminal. The worker thread needs the real clock (the virtual clock
// is single-threaded), so these tests run in real time; every wait is short and bounded.
#include "serial_event/serial_event.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing.h"
#include "platform_test_support.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// What the callback saw; the callback is a plain function, so it reports here.
struct Record {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> codes;
  std::string bytes;
  std::vector<unsigned> sizes;
  // While set, SE_TX_DONE waits for release (a callback that holds the worker up).
  bool hold_tx_done = false;
  bool released = false;

  void Clear() {
    std::lock_guard lock(mutex);
    codes.clear();
    bytes.clear();
    sizes.clear();
  }
  // Inside a WaitFor predicate (the lock is held).
  int Seen(int code) const {
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
  }
  int Count(int code) {
    std::lock_guard lock(mutex);
    return Seen(code);
  }
  template <class Pred>
  bool WaitFor(Pred pred, std::chrono::milliseconds limit = 2000ms) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, limit, pred);
  }
  void Release() {
    std::lock_guard lock(mutex);
    released = true;
    changed.notify_all();
  }
};
Record record;

void OnEvent(Tserial_event* port, int code) {
  std::unique_lock lock(record.mutex);
  record.codes.push_back(code);
  if (code == SE_RX) {
    record.sizes.push_back(port->received_count());
    record.bytes.append(reinterpret_cast<char*>(port->rx_data()), port->received_count());
  }
  record.changed.notify_all();
  if (code == SE_TX_DONE && record.hold_tx_done) {
    record.changed.wait_for(lock, 2000ms, [] { return record.released; });
  }
  lock.unlock();
  if (code == SE_RX) port->rx_rearm();
}

class SerialEventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record.Clear();
    record.hold_tx_done = false;
    record.released = false;
    prefix.Link("com7", pty->slave());
    port.set_callback(OnEvent);
  }
  void TearDown() override {
    record.Release();
    port.stop();
    platform::testing::ClearFaults();
  }
  TOpenResult Open(const char* path = "\\\\.\\COM7") { return port.open(path, 460800, 0, 8, 0); }
  bool Started() {
    return record.WaitFor([] { return !record.codes.empty() && record.codes.front() == SE_START; });
  }

  platform_test::TempPrefix prefix;
  std::unique_ptr<platform_test::Pty> pty = std::make_unique<platform_test::Pty>();
  Tserial_event port;
};

TEST_F(SerialEventTest, OpenFailuresGiveOneCodeAndStartNothing) {
  struct Case {
    const char* name;
    const char* path;
    std::vector<const char*> faults;
    TOpenResult result;
  };
  const Case cases[] = {
      {"no path", nullptr, {}, SE_ERR_NAME},
      {"missing device", "\\\\.\\COM9", {}, SE_ERR_OPEN},
      {"timeouts and state fail: the later wins",
       "\\\\.\\COM7",
       {"SetCommTimeouts", "SetCommState"},
       SE_ERR_STATE},
      {"mask fails", "\\\\.\\COM7", {"SetCommMask"}, SE_ERR_MASK},
      {"timeouts fail", "\\\\.\\COM7", {"SetCommTimeouts"}, SE_ERR_TIMEOUTS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* call : c.faults) platform::testing::InjectFault(call, ERROR_GEN_FAILURE);
    EXPECT_EQ(port.open(c.path, 460800, 0, 8, 0), c.result);
    platform::testing::ClearFaults();
    EXPECT_FALSE(port.is_running());
  }
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(record.codes.empty());
  // The port was closed again: it opens now.
  EXPECT_EQ(Open(), SE_OK);
  EXPECT_TRUE(Started());
}

TEST_F(SerialEventTest, LongPortPathsAreKeptWhole) {
  prefix.Link("com100", pty->slave());
  EXPECT_EQ(Open("\\\\.\\COM100"), SE_OK);
  EXPECT_STREQ(port.path(), "\\\\.\\COM100");
  EXPECT_TRUE(Started());
}

TEST_F(SerialEventTest, ReadChunkIsKeptBetweenOneAnd256) {
  struct Case {
    int set;
    unsigned chunk;
  };
  for (const Case& c : {Case{1000, 256}, Case{256, 256}, Case{16, 16}, Case{0, 1}, Case{-5, 1}}) {
    port.set_rx_chunk(c.set);
    EXPECT_EQ(port.chunk(), c.chunk) << c.set;
  }
}

TEST_F(SerialEventTest, OneByteReadsDeliverEveryByteInOrder) {
  port.set_rx_chunk(1);
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(Started());
  const std::string text = "#WRITE_BL 12\r\n$ok";
  pty->Write(text);
  EXPECT_TRUE(record.WaitFor([&] { return record.bytes.size() >= text.size(); }));
  EXPECT_EQ(record.bytes, text);
  for (unsigned size : record.sizes) EXPECT_EQ(size, 1u);
}

TEST_F(SerialEventTest, AReadTakesEveryByteThatHasArrivedUpToItsChunk) {
  port.set_rx_chunk(256);
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(Started());
  std::string text;
  for (int i = 0; i < 1500; ++i) text += static_cast<char>('0' + i % 64);
  pty->Write(text);
  EXPECT_TRUE(record.WaitFor([&] { return record.bytes.size() >= text.size(); }, 5000ms));
  std::lock_guard lock(record.mutex);
  EXPECT_EQ(record.bytes, text);
  // Not a byte per read: the bytes that had come were taken together.
  EXPECT_LT(record.sizes.size(), text.size() / 2);
  for (unsigned size : record.sizes) EXPECT_LE(size, 256u);
}

TEST_F(SerialEventTest, SendTakesUpTo511BytesOneWriteAtATime) {
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(Started());
  // A write that stays under way (a line that does not drain): a pty takes 511 bytes at once,
  // so without it the worker could finish the first write before the second send.
  platform::testing::InjectFault("WriteFile", ERROR_IO_PENDING, "\\\\.\\COM7");
  port.send("held", 4);
  port.send("dropped", 7);  // the first write is still in progress: dropped
  EXPECT_EQ(pty->Read(1, 200), "");
  EXPECT_FALSE(port.tx_idle());
  EXPECT_EQ(record.Count(SE_TX_DONE), 0);

  // Opened again: idle, and the longest send goes out whole.
  port.stop();
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(record.WaitFor([] { return record.Seen(SE_START) == 2; }));
  EXPECT_TRUE(port.tx_idle());
  const std::string first(511, 'a');
  port.send(first.data(), 511);
  EXPECT_EQ(pty->Read(511, 5000), first);
  EXPECT_TRUE(record.WaitFor([] { return record.Seen(SE_TX_DONE) == 1; }));

  const std::string too_long(512, 'c');
  port.send(too_long.data(), 512);
  port.send(nullptr, 4);
  EXPECT_EQ(pty->Read(1, 200), "");
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(record.Count(SE_TX_DONE), 1);

  port.send("ok\r", 3);  // idle again: accepted
  EXPECT_EQ(pty->Read(3, 5000), "ok\r");
}

TEST_F(SerialEventTest, ASendWhileClosedIsNotWrittenAtTheNextOpen) {
  port.send("lost", 4);
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(Started());
  EXPECT_EQ(pty->Read(1, 200), "");
  port.send("kept", 4);
  EXPECT_EQ(pty->Read(4, 5000), "kept");
}

TEST_F(SerialEventTest, StopEndsTheWorkerWithStopLast) {
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(Started());
  const auto before = Clock::now();
  port.stop();
  const auto took = Clock::now() - before;
  EXPECT_LT(took, 1s);  // bounded: the worker was idle and ended at once
  EXPECT_FALSE(port.is_running());
  ASSERT_TRUE(record.WaitFor([] { return record.Seen(SE_STOP) == 1; }));
  std::this_thread::sleep_for(50ms);
  std::lock_guard lock(record.mutex);
  EXPECT_EQ(record.codes.back(), SE_STOP);
  // The port is closed: the device node can be opened exclusively again.
  HANDLE h = CreateFileA("\\\\.\\COM7", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

TEST_F(SerialEventTest, ReopensAfterTheWorkerEndedByItself) {
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(Started());
  pty->Close();  // the device vanishes: the outstanding read fails
  ASSERT_TRUE(record.WaitFor([] { return record.Seen(SE_STOP) == 1; }));
  EXPECT_FALSE(port.is_running());

  pty = std::make_unique<platform_test::Pty>();
  std::filesystem::remove(prefix.dosdevices() / "com7");
  prefix.Link("com7", pty->slave());
  port.stop();
  record.Clear();
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(Started());
  std::this_thread::sleep_for(100ms);
  EXPECT_TRUE(port.is_running());
  EXPECT_EQ(record.Count(SE_STOP), 0);
  pty->Write("x");
  EXPECT_TRUE(record.WaitFor([] { return record.bytes == "x"; }));
}

TEST_F(SerialEventTest, AWorkerHeldUpPastStopEndsBeforeTheNextOpen) {
  record.hold_tx_done = true;
  ASSERT_EQ(Open(), SE_OK);
  ASSERT_TRUE(Started());
  port.send("a", 1);
  ASSERT_TRUE(record.WaitFor([] { return record.Seen(SE_TX_DONE) == 1; }));
  port.stop();  // gives up after its 100 ms: the callback still holds the worker
  EXPECT_EQ(record.Count(SE_STOP), 0);

  std::thread releaser([] {
    std::this_thread::sleep_for(200ms);
    record.Release();
  });
  ASSERT_EQ(Open(), SE_OK);  // waits for the old worker to end first
  releaser.join();
  ASSERT_TRUE(record.WaitFor([] { return record.Seen(SE_START) == 2; }));
  {
    std::lock_guard lock(record.mutex);
    // The old worker's SE_STOP came before the new worker started, and nothing ends the new one.
    const std::vector<int> expected = {SE_START, SE_TX_DONE, SE_STOP, SE_START};
    EXPECT_EQ(record.codes, expected);
  }
  record.hold_tx_done = false;
  port.send("b", 1);
  EXPECT_EQ(pty->Read(2, 5000), "ab");
}

}  // namespace
