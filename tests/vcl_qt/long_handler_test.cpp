// A handler that blocks the GUI thread for long and lets the window turn now and then
// (Application->EndRequested): the window is painted meanwhile, no other handler runs in the
// middle of it (a click, a timer, a posted message), and the title bar's close or the end of the
// session is taken in, reported to the handler, and carried out once the handler has returned.
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "qt_test_support.h"
#include "vcl/session_end.h"

namespace vcl_qt_test {
namespace {

// A form that notes what reaches it: the long handler's steps, other handlers, its close.
class BusyForm : public TForm {
 public:
  static constexpr UINT kNote = WM_USER + 7;

  explicit BusyForm(TComponent* owner) : TForm(owner) {
    SetBounds(100, 100, 300, 200);
    Color = clWhite;
    label = new TLabel(this);
    label->SetBounds(10, 10, 100, 30);
    label->Color = clWhite;
    label->Parent = this;
    busy = new TButton(this);
    busy->SetBounds(10, 50, 100, 30);
    busy->Parent = this;
    other = new TButton(this);
    other->SetBounds(120, 50, 100, 30);
    other->Parent = this;
    timer = new TTimer(this);
    timer->Interval = 20;
    timer->OnTimer = [this](TObject*) { Note("timer"); };
    other->OnClick = [this](TObject*) { Note("other click"); };
    OnCloseQuery = [this](TObject*, bool&) { Note("close query"); };
    OnClose = [this](TObject*, TCloseAction&) { Note("close"); };
  }
  void Dispatch(void* message) override {
    if (static_cast<TMessage*>(message)->Msg == kNote)
      Note("message");
    else
      TForm::Dispatch(message);
  }
  void Note(const std::string& what) {
    if (events.empty() || events.back() != what) events.push_back(what);
  }
  // What came between the long handler's start and its end.
  std::vector<std::string> During() const {
    std::vector<std::string> during;
    bool in = false;
    for (const std::string& e : events) {
      if (e == "end") in = false;
      if (in) during.push_back(e);
      if (e == "start") in = true;
    }
    return during;
  }

  TLabel* label;
  TButton* busy;
  TButton* other;
  TTimer* timer;
  std::vector<std::string> events;
};

class LongHandlerTest : public QtFixture {
 protected:
  LongHandlerTest() {
    Application->CreateForm<BusyForm>(&form);
    // Works for up to 10 s, letting the window turn every 20 ms, until an end is asked for;
    // the label turns red at the start and is looked at on screen after a while.
    form->busy->OnClick = [this](TObject*) {
      form->Note("start");
      form->label->Color = clRed;
      const auto start = std::chrono::steady_clock::now();
      while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const bool end = Application->EndRequested();
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(200) &&
            painted == QColor())
          painted = OnScreen(Widget(form->label), QPoint(50, 15));
        if (end) {
          form->Note("end requested");
          break;
        }
      }
      form->Note("end");
    };
  }

  // Clicks the busy button, and while its handler runs: the other button, a posted message,
  // then `ask_end`. Runs the loop until it ends (or 15 s pass).
  void RunBusy(const std::function<void()>& ask_end) {
    form->Show();
    ShowAndWait(form);
    QTimer::singleShot(100, [this] { QTest::mouseClick(Widget(form->busy), Qt::LeftButton); });
    QTimer::singleShot(400, [this] { QTest::mouseClick(Widget(form->other), Qt::LeftButton); });
    QTimer::singleShot(500, [this] { PostMessageA(form->Handle, BusyForm::kNote, 0, 0); });
    QTimer::singleShot(800, ask_end);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [this] {
      expired = true;
      Application->Terminate();
    });
    deadline.start(15000);
    Application->Run();
  }

  BusyForm* form = nullptr;
  QColor painted;
  bool expired = false;
};

TEST_F(LongHandlerTest, CloseEndsTheHandlerAndThenClosesTheForm) {
  RunBusy([this] { Widget(form)->close(); });
  EXPECT_FALSE(expired) << "the close did not end the loop";
  EXPECT_EQ(form->During(), std::vector<std::string>{"end requested"});
  EXPECT_EQ(painted, QColor(Qt::red)) << "the window is painted while the handler runs";
  // After the handler: the form closes and the loop ends.
  const auto& e = form->events;
  const auto end = std::find(e.begin(), e.end(), "end");
  EXPECT_NE(std::find(end, e.end(), "close query"), e.end());
  EXPECT_NE(std::find(end, e.end(), "close"), e.end());
}

TEST_F(LongHandlerTest, SessionEndEndsTheHandlerAndThenTheProgram) {
  vcl::SessionEndSignals watched;
  ws.WatchSessionEnd(&watched);
  RunBusy([] { raise(SIGTERM); });
  ws.WatchSessionEnd(nullptr);
  EXPECT_FALSE(expired) << "the session's end did not end the loop";
  EXPECT_EQ(form->During(), std::vector<std::string>{"end requested"});
  const auto& e = form->events;
  const auto end = std::find(e.begin(), e.end(), "end");
  EXPECT_NE(std::find(end, e.end(), "close"), e.end());
}

}  // namespace
}  // namespace vcl_qt_test
