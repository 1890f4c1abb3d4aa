// The message loop, timers, window messages from worker threads, Refresh during a blocking
// handler, beeps.
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "qt_test_support.h"

namespace vcl_qt_test {
namespace {

using LoopTest = QtFixture;

// Ends the loop after a while if the test's own way of ending it does not work; it goes with
// the test (a deadline left running would end a later test's loop).
class Deadline {
 public:
  Deadline() {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      expired_ = true;
      Application->Terminate();
    });
    timer_.start(15000);
  }
  bool expired() const { return expired_; }

 private:
  QTimer timer_;
  bool expired_ = false;
};

TEST_F(LoopTest, RunShowsTheMainFormAndEndsWhenItCloses) {
  TForm* form;
  Application->CreateForm<TForm>(&form);
  auto* timer = new TTimer(form);
  timer->Interval = 30;
  int ticks = 0;
  bool shown_during_loop = false;
  timer->OnTimer = [&](TObject*) {
    shown_during_loop = Widget(form)->isVisible();
    if (++ticks == 3) form->Close();
  };
  Deadline deadline;
  Application->Run();
  EXPECT_FALSE(deadline.expired());
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(shown_during_loop);
}

TEST_F(LoopTest, TerminateBeforeRunReturnsAtOnce) {
  TForm* form;
  Application->CreateForm<TForm>(&form);
  Application->Terminate();
  Deadline deadline;
  const auto start = std::chrono::steady_clock::now();
  Application->Run();
  EXPECT_FALSE(deadline.expired());
  // A hang check, not a speed test: at once is well inside a few seconds on any machine.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(LoopTest, TimersStopRestartAndEndWithTheirComponent) {
  TForm* form;
  Application->CreateForm<TForm>(&form);
  auto* timer = new TTimer(form);
  timer->Interval = 20;
  int ticks = 0;
  bool stop = true;
  timer->OnTimer = [&](TObject*) {
    ++ticks;
    if (stop) timer->Enabled = false;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }, 5000));
  QTest::qWait(100);
  EXPECT_EQ(ticks, 1) << "a timer its handler disabled is silent";
  stop = false;
  timer->Enabled = true;
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
  delete timer;
  int after = ticks;
  QTest::qWait(100);
  EXPECT_EQ(ticks, after) << "a destroyed timer fires no more";
}

// A form that counts the window messages a worker thread sends it.
class MessageForm : public TForm {
 public:
  using TForm::TForm;
  static constexpr UINT kStep = WM_USER + 2;
  static constexpr UINT kAsk = WM_USER + 3;
  static constexpr UINT kDone = WM_USER + 4;
  std::vector<WPARAM> steps;
  std::vector<std::thread::id> threads;
  void Dispatch(void* message) override {
    auto* m = static_cast<TMessage*>(message);
    threads.push_back(std::this_thread::get_id());
    switch (m->Msg) {
      case kStep:
        steps.push_back(m->WParam);
        break;
      case kAsk:
        m->Result = static_cast<LRESULT>(steps.size());
        break;
      case kDone:
        Close();
        break;
      default:
        TForm::Dispatch(message);
    }
  }
};

TEST_F(LoopTest, PostedMessagesArriveInOrderOnTheGuiThreadAndSentOnesAreWaitedFor) {
  MessageForm* form;
  Application->CreateForm<MessageForm>(&form);
  HWND hwnd = form->Handle;
  std::atomic<LRESULT> answer{-1};
  std::thread worker([hwnd, &answer] {
    for (WPARAM i = 0; i < 200; ++i) PostMessageA(hwnd, MessageForm::kStep, i, 0);
    // Sent: waits until the GUI thread has handled it, after the posted ones.
    answer = SendMessageA(hwnd, MessageForm::kAsk, 0, 0);
    PostMessageA(hwnd, MessageForm::kDone, 0, 0);
  });
  Deadline deadline;
  Application->Run();
  worker.join();
  EXPECT_FALSE(deadline.expired());
  ASSERT_EQ(form->steps.size(), 200u);
  for (WPARAM i = 0; i < 200; ++i) ASSERT_EQ(form->steps[i], i);
  EXPECT_EQ(answer.load(), 200);
  for (std::thread::id id : form->threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(LoopTest, RefreshRepaintsAtOnceWhileAHandlerBlocks) {
  TForm* form;
  Application->CreateForm<TForm>(&form);
  form->Color = clWhite;
  auto* label = new TLabel(form);
  label->SetBounds(10, 10, 100, 30);
  label->Color = clWhite;
  label->Parent = form;
  auto* button = new TButton(form);
  button->SetBounds(10, 50, 100, 30);
  button->Parent = form;
  QColor before, after_change, after_refresh;
  button->OnClick = [&](TObject*) {
    // A handler that blocks the GUI thread: only Refresh changes the screen meanwhile.
    QWidget* w = Widget(label);
    before = OnScreen(w, QPoint(50, 15));
    label->Color = clRed;
    after_change = OnScreen(w, QPoint(50, 15));
    label->Refresh();
    after_refresh = OnScreen(w, QPoint(50, 15));
  };
  form->Show();
  ShowAndWait(form);
  QTest::qWait(100);
  QTest::mouseClick(Widget(button), Qt::LeftButton);
  EXPECT_EQ(before, QColor(Qt::white));
  EXPECT_EQ(after_change, QColor(Qt::white)) << "nothing repaints by itself in a handler";
  EXPECT_EQ(after_refresh, QColor(Qt::red));
}

TEST_F(LoopTest, BeepsSoundThroughTheWidgetSet) {
  int before = ws.BeepCount();
  Beep(880, 1);
  std::thread([] { Beep(440, 1); }).join();
  EXPECT_EQ(ws.BeepCount(), before + 2);
}

TEST_F(LoopTest, SecondFormsHideOrGoWhenClosed) {
  TForm* main;
  TForm* other;
  Application->CreateForm<TForm>(&main);
  Application->CreateForm<TForm>(&other);
  other->Show();
  ShowAndWait(other);
  other->Close();
  EXPECT_FALSE(Widget(other)->isVisible());
  other->Show();
  ShowAndWait(other);
  bool destroyed = false;
  other->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  other->OnDestroy = [&](TObject*) { destroyed = true; };
  Widget(other)->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return destroyed; }, 5000));
  EXPECT_EQ(Widget(other), nullptr);
}

}  // namespace
}  // namespace vcl_qt_test
