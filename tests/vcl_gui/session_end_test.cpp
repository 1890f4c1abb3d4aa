// The end of the desktop session: SIGTERM and SIGHUP caught without work in the handler (a byte
// in a pipe for the loop), a second signal ending the process, and the application closing its
// main form as the title bar does, the loop ending whatever the form's handlers do.
#include "vcl/session_end.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "vcl/headless_gtest.h"

namespace hl = vcl::headless;

namespace {

using SessionEndTest = hl::FormTest;

// The handler in place for `signal` now.
void (*HandlerOf(int signal))(int) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return current.sa_handler;
}

TEST(SessionEndSignalsTest, EachSignalWakesTheLoopOnceAndTheOldActionsComeBack) {
  for (int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    void (*before)(int) = HandlerOf(signal);
    {
      vcl::SessionEndSignals watched;
      ASSERT_GE(watched.ReadFd(), 0);
      EXPECT_FALSE(watched.Take());
      raise(signal);
      EXPECT_TRUE(watched.Take());
      EXPECT_FALSE(watched.Take());  // the pipe is empty again
    }
    EXPECT_EQ(HandlerOf(signal), before);
  }
}

TEST(SessionEndSignalsDeathTest, ASecondSignalEndsTheProcessAsItsDefaultDoes) {
  struct Case {
    int first, second;
  };
  for (Case c : {Case{SIGTERM, SIGTERM}, Case{SIGHUP, SIGTERM}}) {
    EXPECT_EXIT(
        {
          vcl::SessionEndSignals watched;
          raise(c.first);
          raise(c.second);
          std::_Exit(0);
        },
        ::testing::KilledBySignal(c.second), "");
  }
}

TEST_F(SessionEndTest, ClosesTheMainFormAsItsTitleBarDoesOnce) {
  TForm* main;
  Application->CreateForm<TForm>(&main);
  TForm* second;
  Application->CreateForm<TForm>(&second);
  second->Show();
  std::vector<std::string> events;
  for (TForm* f : {main, second}) {
    const std::string who = f == main ? "main " : "second ";
    f->OnCloseQuery = [&events, who](TObject*, bool&) { events.push_back(who + "query"); };
    f->OnClose = [&events, who](TObject*, TCloseAction&) { events.push_back(who + "close"); };
  }
  Application->EndSession();
  Application->EndSession();  // a later signal's turn finds the work done
  EXPECT_EQ(events, (std::vector<std::string>{"main query", "main close"}));
  EXPECT_TRUE(Application->Terminated);
}

TEST_F(SessionEndTest, MainFormThatClosedMeanwhileIsNotClosedAgain) {
  // The handler that ran when the session ended (the exit button) closed the window itself.
  TForm* main;
  Application->CreateForm<TForm>(&main);
  int closes = 0;
  main->OnClose = [&closes](TObject*, TCloseAction&) { ++closes; };
  main->Close();
  Application->EndSession();
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(Application->Terminated);
}

TEST(SessionEndLoopTest, EndsTheLoopWhenTheFormRefusesOrItsCloseFails) {
  struct Case {
    const char* what;
    bool refuse;
    bool fail;
    std::size_t shown;
  };
  for (const Case& c : {Case{"the close query keeps the form", true, false, 0},
                        Case{"the close handler raises", false, true, 1}}) {
    SCOPED_TRACE(c.what);
    hl::Session gui;
    TForm* main;
    Application->CreateForm<TForm>(&main);
    main->OnCloseQuery = [&c](TObject*, bool& can) { can = !c.refuse; };
    main->OnClose = [&c](TObject*, TCloseAction&) {
      if (c.fail) throw Exception("Unable to write to settings");
    };
    hl::Current().RunInLoop([] { Application->EndSession(); });
    Application->Run();  // returns: the loop ended
    EXPECT_TRUE(Application->Terminated);
    EXPECT_EQ(gui.responder().Texts(hl::ModalKind::Exception).size(), c.shown);
  }
}

}  // namespace
