// Events, waits and threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/clock.h"
#include "platform/crt.h"
#include "platform/windows.h"

namespace {

TEST(Events, ManualStaysSignalledAutoResetsAfterOneWait) {
  HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE autoreset = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

  EXPECT_EQ(WaitForSingleObject(autoreset, 0), WAIT_OBJECT_0);  // initially signalled
  EXPECT_EQ(WaitForSingleObject(autoreset, 0), WAIT_TIMEOUT);
  SetEvent(autoreset);
  SetEvent(autoreset);  // no count: still one wait
  EXPECT_EQ(WaitForSingleObject(autoreset, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(autoreset, 0), WAIT_TIMEOUT);

  ASSERT_TRUE(CloseHandle(manual));
  EXPECT_FALSE(SetEvent(manual));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CloseHandle(autoreset);
}

TEST(Events, ANameReachesTheSameEvent) {
  HANDLE a = CreateEventA(nullptr, TRUE, FALSE, "trakmon-test-event");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE b = CreateEventA(nullptr, TRUE, FALSE, "trakmon-test-event");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  SetEvent(a);
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);
  CloseHandle(a);
  CloseHandle(b);
}

// With several signalled, the lowest index wins; an auto-reset event is consumed only when it
// is the one taken.
TEST(WaitForMultiple, LowestSignalledIndexFirst) {
  struct Case {
    std::vector<int> signalled;
    DWORD result;
  } cases[] = {{{0, 1, 2}, WAIT_OBJECT_0},
               {{2, 1}, WAIT_OBJECT_0 + 1},
               {{2}, WAIT_OBJECT_0 + 2},
               {{}, WAIT_TIMEOUT}};
  for (auto& c : cases) {
    HANDLE events[3];
    for (auto& e : events) e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (int i : c.signalled) SetEvent(events[i]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), c.result);
    for (int i : c.signalled) {
      bool taken = c.result == WAIT_OBJECT_0 + static_cast<DWORD>(i);
      EXPECT_EQ(WaitForSingleObject(events[i], 0), taken ? WAIT_TIMEOUT : WAIT_OBJECT_0);
    }
    for (auto& e : events) CloseHandle(e);
  }
}

TEST(WaitForMultiple, WaitAllTakesAllOrNothing) {
  HANDLE events[2] = {CreateEventA(nullptr, FALSE, TRUE, nullptr),
                      CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0);  // untouched by the failed wait
  SetEvent(events[0]);
  SetEvent(events[1]);
  EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 0), WAIT_TIMEOUT);
  for (auto& e : events) CloseHandle(e);
}

TEST(WaitForMultiple, BadArgumentsFail) {
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE list[] = {event, reinterpret_cast<HANDLE>(0x12345)};
  EXPECT_EQ(WaitForMultipleObjects(2, list, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForMultipleObjects(0, list, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, list, FALSE, 0), WAIT_FAILED);
  CloseHandle(event);
}

TEST(WaitForMultiple, VirtualTimeoutsAndScheduledSignals) {
  platform::ScopedVirtualClock clock;
  HANDLE events[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr),
                      CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 100), WAIT_TIMEOUT);
  EXPECT_EQ(clock->NowUs(), 100000u);
  clock->Schedule(130000, [&] { SetEvent(events[1]); });
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, 1000), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(clock->NowUs(), 130000u);
  for (auto& e : events) CloseHandle(e);
}

TEST(WaitForMultiple, InfiniteWaitEndsWhenAnotherThreadSignals) {
  HANDLE events[2] = {CreateEventA(nullptr, FALSE, FALSE, nullptr),
                      CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  std::thread signaller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SetEvent(events[1]);
  });
  EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
  signaller.join();
  for (auto& e : events) CloseHandle(e);
}

TEST(Threads, RunReportTheirExitCodeAndCanStartSuspended) {
  static std::atomic<int> runs{0};
  auto body = [](LPVOID arg) -> DWORD {
    ++runs;
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(arg));
  };
  DWORD id = 0;
  HANDLE thread =
      CreateThread(nullptr, 0, body, reinterpret_cast<LPVOID>(42), CREATE_SUSPENDED, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(runs.load(), 0);
  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(runs.load(), 1);
  EXPECT_TRUE(CloseHandle(thread));

  unsigned crt_id = 0;
  auto crt_body = [](void*) -> unsigned { return 7; };
  auto crt_thread =
      reinterpret_cast<HANDLE>(crt::_beginthreadex(nullptr, 0, crt_body, nullptr, 0, &crt_id));
  ASSERT_NE(crt_thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(crt_thread, 10000), WAIT_OBJECT_0);
  ASSERT_TRUE(GetExitCodeThread(crt_thread, &code));
  EXPECT_EQ(code, 7u);
  CloseHandle(crt_thread);
}

}  // namespace
