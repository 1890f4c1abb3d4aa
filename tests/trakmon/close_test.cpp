// Closing the main window always ends the program: by its title bar or by the end of the desktop
// session (the application's EndSession, which SIGTERM and SIGHUP lead to), with the port open or
// closed, and with an INI file that can be written or not. The INI path made a folder stands for
// a program folder the user may not write (a folder cannot be replaced by a file, even by root).
#include <filesystem>

#include "sms_modul/sms_modul.h"
#include "trakmon_fixture.h"
#include "vcl/winmain.h"

namespace fs = std::filesystem;
using vcl::headless::ModalKind;

namespace {

struct CloseCase {
  const char* what;
  bool session_end;  // else the title bar
  bool port_open;
  bool ini_writable;
};
void PrintTo(const CloseCase& c, std::ostream* os) {
  *os << c.what;
}

class CloseWaysTest : public TrakmonTest, public ::testing::WithParamInterface<CloseCase> {
 protected:
  void MakeIniUnwritable() {
    fs::remove(IniPath());
    fs::create_directory(IniPath());
  }
};

TEST_P(CloseWaysTest, EndsTheProgramWritingTheSettingsOrSayingOnceWhyNot) {
  const CloseCase& c = GetParam();
  WriteIni("[Port]\r\nBAUD_RATE_NMEA=115200\r\n[Time]\r\nCorTime=03:00:00\r\n");
  TML_Form* form = CreateMainForm();
  if (c.port_open) OpenPort();
  form->PortIndex = 4;  // changed in the window since the start
  if (!c.ini_writable) MakeIniUnwritable();

  if (c.session_end)
    Application->EndSession();
  else
    vcl::headless::Close(form);

  EXPECT_TRUE(Application->Terminated) << "the loop goes on: the window did not close";
  EXPECT_FALSE(CommPort->IsOpen());
  EXPECT_EQ(form->TrackList, nullptr);  // FormClose ran to its end
  EXPECT_EQ(platform::testing::Beeps().size(), 1u);
  const std::vector<AnsiString> errors = responder().Texts(ModalKind::Exception);
  // Nothing else is asked or shown on the way out.
  EXPECT_EQ(responder().Shown().size(), errors.size());
  if (c.ini_writable) {
    EXPECT_TRUE(errors.empty());
    TIniFile written{AnsiString(IniPath())};
    EXPECT_EQ(written.ReadInteger("Port", "COMM_PORT_NMEA", -1), 4);
    EXPECT_EQ(written.ReadInteger("Port", "BAUD_RATE_NMEA", -1), 115200);
    EXPECT_EQ(written.ReadString("Catalog", "work_dir", ""), "c:\\Tc\\WorkDir\\");
    EXPECT_EQ(written.ReadInteger("Ser", "ser_ini", -1), 0);
    EXPECT_EQ(written.ReadString("Time", "CorTime", ""), "03:00:00");
  } else {
    ASSERT_EQ(errors.size(), 1u) << "one message for the four keys";
    EXPECT_GT(errors[0].Pos("Trakmon.INI"), 0) << errors[0].str();
    EXPECT_TRUE(fs::is_directory(IniPath()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CloseWaysTest,
    ::testing::Values(CloseCase{"title_bar", false, false, true},
                      CloseCase{"title_bar_port_open", false, true, true},
                      CloseCase{"title_bar_ini_unwritable", false, false, false},
                      CloseCase{"title_bar_port_open_ini_unwritable", false, true, false},
                      CloseCase{"session_end", true, false, true},
                      CloseCase{"session_end_port_open", true, true, true},
                      CloseCase{"session_end_ini_unwritable", true, true, false}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.what); });

using CloseTest = TrakmonTest;

TEST_F(CloseTest, PortThatFailsToCloseIsReportedAndTheWindowClosesAllTheSame) {
  TML_Form* form = CreateMainForm();
  OpenPort();
  platform::testing::InjectFault("CloseHandle", ERROR_GEN_FAILURE, CommPort->Handle);
  vcl::headless::Close(form);
  EXPECT_TRUE(Application->Terminated);
  EXPECT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  EXPECT_TRUE(IniExists());  // the settings were written after the port's error
}

TEST_F(CloseTest, SessionEndInTheLoopEndsWinMainWithZeroAndTheSettingsWritten) {
  vcl::headless::Current().RunInLoop([] {
    ML_Form->BaudRate = 460800;
    Application->EndSession();
  });
  EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
  FormMsg = nullptr;
  TIniFile written{AnsiString(IniPath())};
  EXPECT_EQ(written.ReadInteger("Port", "BAUD_RATE_NMEA", -1), 460800);
}

}  // namespace
