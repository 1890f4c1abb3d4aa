// The end of the desktop session on the Qt widget set: a signal that comes while a handler waits
// in a modal box answers that box with its safe default and every later box at once, and the
// main form closes (its close query and close handler run) only once the handler has returned;
// then the loop ends.
#include "vcl/session_end.h"

#include <QTimer>
#include <csignal>
#include <string>
#include <vector>

#include "qt_test_support.h"

namespace vcl_qt_test {
namespace {

using SessionEndTest = QtFixture;

TEST_F(SessionEndTest, AnswersTheOpenBoxesAndClosesTheMainFormAfterTheHandler) {
  vcl::SessionEndSignals watched;
  ws.WatchSessionEnd(&watched);
  TForm* form;
  Application->CreateForm<TForm>(&form);
  auto* button = new TButton(form);
  button->Parent = form;
  std::vector<std::string> events;
  button->OnClick = [&events](TObject*) {
    int erase = Application->MessageBox(C("Обнулить память прибора ? "), "", MB_OKCANCEL);
    events.push_back("question " + std::to_string(erase));
    int again = Application->MessageBox(C("Повторить?"), "", MB_YESNO);
    events.push_back("second box " + std::to_string(again));
    events.push_back("handler ends");
  };
  form->OnCloseQuery = [&events](TObject*, bool&) { events.push_back("close query"); };
  form->OnClose = [&events](TObject*, TCloseAction&) { events.push_back("close"); };

  // The user's click opens the question; the session ends while it waits for an answer.
  QTimer::singleShot(100, [this, button] {
    if (QWidget* w = Widget(button)) QTest::mouseClick(w, Qt::LeftButton);
  });
  WhenModal([](QWidget*) { raise(SIGTERM); });
  bool expired = false;
  QTimer::singleShot(15000, [&expired] {
    expired = true;
    Application->Terminate();
  });
  Application->Run();
  ws.WatchSessionEnd(nullptr);

  EXPECT_FALSE(expired) << "the session's end did not end the loop";
  EXPECT_EQ(events, (std::vector<std::string>{"question " + std::to_string(IDCANCEL),
                                              "second box " + std::to_string(IDNO), "handler ends",
                                              "close query", "close"}));
}

}  // namespace
}  // namespace vcl_qt_test
