// A message sent to a window from another thread (the loader's worker) waits for the GUI thread,
// but never longer than the window or the message loop lives. Real time; waits are bounded.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "vcl/headless_gtest.h"

namespace {

using namespace std::chrono_literals;
namespace hl = vcl::headless;

class Receiver : public TForm {
 public:
  using TForm::TForm;
  int received = 0;
  void Dispatch(void* message) override {
    auto* m = static_cast<TMessage*>(message);
    if (m->Msg == WM_USER + 5) {
      ++received;
      m->Result = 42;
      return;
    }
    TForm::Dispatch(message);
  }
};

class SendTest : public hl::FormTest {
 protected:
  std::future<LRESULT> SendFromWorker(HWND hwnd) {
    return std::async(std::launch::async, [hwnd] { return SendMessageA(hwnd, WM_USER + 5, 0, 0); });
  }
  // Waits (bounded) until the worker's message is queued for the GUI thread.
  static bool Queued() {
    for (int i = 0; i < 400 && vcl::PendingMessageCount() == 0; ++i)
      std::this_thread::sleep_for(5ms);
    return vcl::PendingMessageCount() > 0;
  }
};

TEST_F(SendTest, TheGuiThreadAnswers) {
  auto* form = new Receiver(Application);
  auto reply = SendFromWorker(form->Handle);
  ASSERT_TRUE(hl::PumpUntil([&] { return form->received == 1; }, 2s));
  ASSERT_EQ(reply.wait_for(2s), std::future_status::ready);
  EXPECT_EQ(reply.get(), 42);
}

TEST_F(SendTest, AWindowThatGoesAwayFinishesTheSendWithZero) {
  auto* form = new Receiver(Application);
  HWND hwnd = form->Handle;
  auto reply = SendFromWorker(hwnd);
  ASSERT_TRUE(Queued());
  delete form;
  ASSERT_EQ(reply.wait_for(2s), std::future_status::ready);
  EXPECT_EQ(reply.get(), 0);
  // A later send to the window that is gone returns at once.
  EXPECT_EQ(SendFromWorker(hwnd).wait_for(2s), std::future_status::ready);
}

TEST_F(SendTest, AfterTheLoopHasEndedASendReturnsZero) {
  auto* form = new Receiver(Application);
  Application->Run();  // nothing to do: the loop ends at once
  auto reply = SendFromWorker(form->Handle);
  ASSERT_EQ(reply.wait_for(2s), std::future_status::ready);
  EXPECT_EQ(reply.get(), 0);
  EXPECT_EQ(form->received, 0);
  hl::PumpMessages();
  EXPECT_EQ(form->received, 0);
}

// A new application's window waits for its loop even when an earlier loop has ended: a worker
// that sends before Run is answered once the loop runs, not refused with 0.
TEST_F(SendTest, ANewApplicationAnswersASendMadeBeforeItsLoopRuns) {
  Application->Run();  // an earlier program life: its loop has ended
  vcl::ResetApplication();
  auto* form = new Receiver(Application);
  auto reply = SendFromWorker(form->Handle);
  ASSERT_TRUE(Queued());
  EXPECT_EQ(reply.wait_for(100ms), std::future_status::timeout);
  ASSERT_TRUE(hl::PumpUntil([&] { return form->received == 1; }, 2s));
  ASSERT_EQ(reply.wait_for(2s), std::future_status::ready);
  EXPECT_EQ(reply.get(), 42);
}

}  // namespace
