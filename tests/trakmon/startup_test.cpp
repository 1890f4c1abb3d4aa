// The program's start-up as WinMain runs it: the global port before any window, the main window
// as the application's main form, the modem window created hidden, the loop, the exit code.
#include "sms_modul/sms_modul.h"
#include "trakmon_fixture.h"
#include "vcl/winmain.h"

namespace {

class StartUpTest : public TrakmonTest {};

TEST_F(StartUpTest, WinMainCreatesBothWindowsRunsTheLoopAndReturnsZero) {
  ASSERT_NE(CommPort, nullptr);  // the main window's unit made it when the program started
  EXPECT_FALSE(CommPort->IsOpen());
  bool shown_in_loop = false;
  vcl::headless::Current().RunInLoop([&] {
    shown_in_loop = ML_Form && ML_Form->Showing && FormMsg && !FormMsg->Visible;
    vcl::headless::Close(ML_Form);  // the user closes the window
  });
  EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
  EXPECT_TRUE(shown_in_loop);
  ASSERT_NE(ML_Form, nullptr);
  EXPECT_EQ(Application->MainForm(), static_cast<TForm*>(ML_Form));
  ASSERT_NE(FormMsg, nullptr);
  EXPECT_FALSE(FormMsg->Visible);
  EXPECT_EQ(FormMsg->Caption(), "FormMsg");
  EXPECT_TRUE(IniExists());  // FormClose ran
  FormMsg = nullptr;
}

}  // namespace
