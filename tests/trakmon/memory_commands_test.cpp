// Erase, format and factory settings with their confirmations and countdown, the hand-over to
// the boot loader, and the exit path, on the virtual clock.
#include <chrono>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "read_dev/device_command.h"
#include "trakmon_fixture.h"

using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

class MemoryTest : public TrakmonTest {
 protected:
  TML_Form* Connected(bool developer = false) {
    return form = CreateConnectedForm(0, 115200, developer);
  }

  // What the countdown showed: each repaint of its seconds label, with its time from `start_us`.
  struct Tick {
    AnsiString caption;
    int position;
    std::uint64_t at_ms;
  };
  void RecordCountdown() {
    start_us = clock->NowUs();
    gui.widget_set().SetRepaintHook([this](TControl* control) {
      if (control == form->Label36) {
        EXPECT_TRUE(form->Panel3->Visible);
        ticks.push_back(
            {form->Label36->Caption, form->pb_mem->Position, (clock->NowUs() - start_us) / 1000});
      }
    });
  }

  TML_Form* form = nullptr;
  std::uint64_t start_us = 0;
  std::vector<Tick> ticks;
};

struct CommandCase {
  const char* what;
  const char* control;  // clicked; the debug panel's buttons with the panel shown
  bool silent;
  std::uint8_t command;
  const char* question;
  int countdown;           // seconds, 0 for none
  std::uint64_t reply_ms;  // when the wait ends, from the click
};
void PrintTo(const CommandCase& c, std::ostream* os) {
  *os << c.what;
}

class MemoryCommandTest : public MemoryTest, public ::testing::WithParamInterface<CommandCase> {};

const char* const kEraseQuestion = "Память будет стерта ?";
const char* const kFactoryQuestion = "Заводские установки.\r\n Память будет стерта ?";

TEST_P(MemoryCommandTest, ConfirmsSendsWaitsAndCountsDown) {
  const CommandCase& c = GetParam();
  Connected(true);
  Click(form->deb_panel);
  tracker->faults().silent = c.silent;
  tracker->memory().write_address = 0x400;
  tracker->settings().password = "Other";
  responder().AnswerMessageBox(IDOK);
  RecordCountdown();
  Click(vcl::headless::Find<TComponent>(form, c.control));

  ASSERT_GE(responder().Shown().size(), 1u);
  EXPECT_EQ(responder().Shown()[0].text, c.question);
  EXPECT_EQ(responder().Shown()[0].caption, " ");
  EXPECT_EQ(responder().Shown()[0].flags, MB_OKCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(
      responder().Texts(ModalKind::Message),
      c.silent ? std::vector<AnsiString>{"Прибор не отвечает..."} : std::vector<AnsiString>{});
  EXPECT_EQ(tracker->ReceivedBytes(), std::vector<std::uint8_t>{c.command});
  auto sent = tracker->Received();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_GE(sent[0].at_us - start_us, 100'000u);  // the pause after the purges
  EXPECT_LT(sent[0].at_us - start_us, 101'000u);

  const std::uint64_t total_ms = (clock->NowUs() - start_us) / 1000;
  EXPECT_GE(total_ms, c.reply_ms + c.countdown * 1000);
  EXPECT_LE(total_ms, c.reply_ms + c.countdown * 1000 + 300);
  ASSERT_EQ(ticks.size(), static_cast<std::size_t>(c.countdown));
  for (int i = 0; i < c.countdown; ++i) {
    EXPECT_EQ(ticks[i].caption, "Осталось " + std::to_string(c.countdown - i) + " Sec.  ");
    EXPECT_EQ(ticks[i].position, i);  // never at its maximum
    EXPECT_GE(ticks[i].at_ms, (i + 1) * 1000 + c.reply_ms);
  }
  if (c.countdown > 0) {
    EXPECT_EQ(form->pb_mem->Max(), c.countdown);
  }
  EXPECT_FALSE(form->Panel3->Visible);
  EXPECT_TRUE(CommPort->IsOpen());
  // The device did what it was told also when it said nothing.
  EXPECT_EQ(tracker->memory().write_address, 0u);
  if (c.command == CmdFactorySettings) {
    EXPECT_EQ(tracker->settings().password, "Vomar");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MemoryCommandTest,
    ::testing::Values(
        CommandCase{"erase", "SBCHErase", false, CmdEraseMemory, kEraseQuestion, 3, 500},
        CommandCase{"erase_silent", "SBCHErase", true, CmdEraseMemory, kEraseQuestion, 3, 5100},
        CommandCase{"full_erase", "sb_full_erase", false, CmdFormatMemory, kEraseQuestion, 25,
                    1600},
        CommandCase{"format_menu", "N1", false, CmdFormatMemory, kEraseQuestion, 25, 1600},
        CommandCase{"format_silent", "N1", true, CmdFormatMemory, kEraseQuestion, 25, 5100},
        CommandCase{"factory_settings", "SBSetup", false, CmdFactorySettings, kFactoryQuestion, 0,
                    600},
        CommandCase{"factory_settings_menu", "mill_setup", true, CmdFactorySettings,
                    kFactoryQuestion, 0, 5100}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.what); });

TEST_F(MemoryTest, FormatMenuWorksWithTheDebugPanelHidden) {
  Connected(false);
  EXPECT_FALSE(form->PDebug->Visible);
  responder().AnswerMessageBox(IDOK);
  Click(form->N1);
  EXPECT_EQ(tracker->ReceivedBytes(), std::vector<std::uint8_t>{CmdFormatMemory});
}

struct GuardCase {
  const char* control;
  bool cancel;  // with the port open, Cancel to the confirmation; else the port is closed
};
void PrintTo(const GuardCase& c, std::ostream* os) {
  *os << c.control << (c.cancel ? " cancelled" : " on a closed port");
}

class MemoryGuardTest : public MemoryTest, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(MemoryGuardTest, CancelOrAClosedPortSendsNothing) {
  if (GetParam().cancel) {
    Connected(true);
    responder().AnswerMessageBox(IDCANCEL);
  } else {
    WriteIni("[Ser]\nser_ini=1\n");
    form = CreateMainForm();
  }
  Click(form->deb_panel);
  Click(vcl::headless::Find<TComponent>(form, GetParam().control));
  EXPECT_TRUE(tracker->Received().empty());
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            GetParam().cancel ? std::vector<AnsiString>{}
                              : std::vector<AnsiString>{"Com Port Not Open."});
  EXPECT_TRUE(responder().Texts(ModalKind::Exception).empty());
  EXPECT_FALSE(form->Panel3->Visible);
  EXPECT_EQ(CommPort->IsOpen(), GetParam().cancel);
}

INSTANTIATE_TEST_SUITE_P(Guards, MemoryGuardTest,
                         ::testing::Values(GuardCase{"SBCHErase", true}, GuardCase{"N1", true},
                                           GuardCase{"sb_full_erase", true},
                                           GuardCase{"SBSetup", true},
                                           GuardCase{"mill_setup", true},
                                           GuardCase{"SBCHErase", false}, GuardCase{"N1", false},
                                           GuardCase{"SBSetup", false},
                                           GuardCase{"sb_jmp_boot", false}));

// ---- Hand-over to the boot loader ----

TEST_F(MemoryTest, HandOverSendsTheJumpClosesThePortAndStartsTheLoader) {
  std::vector<std::string> started;
  platform::testing::SetProcessInterceptor([&](const platform::testing::ProcessRecord& r) {
    started.push_back(r.command_line);
    return true;
  });
  Connected();
  form->GBMode->Visible = true;
  form->RS485->Visible = true;
  std::uint64_t t0 = clock->NowUs();
  Click(form->sb_jmp_boot);

  EXPECT_TRUE(responder().Shown().empty());  // no question, no message
  EXPECT_EQ(tracker->ReceivedBytes(), std::vector<std::uint8_t>{CmdJumpBootLoader});
  EXPECT_GE(tracker->Received()[0].at_us - t0, 100'000u);
  EXPECT_TRUE(tracker->in_boot_loader());
  EXPECT_FALSE(CommPort->IsOpen());
  EXPECT_EQ(form->Caption(), "  Close COMM PORT_1");
  EXPECT_TRUE(form->SBOpenComPort->Enabled);
  EXPECT_FALSE(form->SBCloseComPort->Enabled);
  EXPECT_FALSE(form->GBMode->Visible);
  EXPECT_FALSE(form->RS485->Visible);
  EXPECT_EQ(started, std::vector<std::string>{"c:\\Tc\\WorkDir\\Flasket.exe"});
  auto records = platform::testing::Processes();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_FALSE(records[0].waited);

  // The device now answers only its boot loader's protocol: the state query gives up.
  Click(form->SBOpenComPort);
  Click(form->SBMode);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Прибор не отвечает..."});
}

TEST_F(MemoryTest, HandOverWithoutTheLoaderSaysNothing) {
  platform::testing::SetProcessInterceptor([](const platform::testing::ProcessRecord&) {
    return false;  // no such file
  });
  Connected();
  Click(form->sb_jmp_boot);
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(tracker->ReceivedBytes(), std::vector<std::uint8_t>{CmdJumpBootLoader});
  EXPECT_FALSE(CommPort->IsOpen());
  EXPECT_EQ(form->Caption(), "  Close COMM PORT_1");
}

// The loader really starts: a small program in its place records how it was started (its
// arguments and its folder) and outlives the click, which does not wait for it.
struct LoaderCase {
  const char* file;  // what the working folder holds
};
void PrintTo(const LoaderCase& c, std::ostream* os) {
  *os << c.file;
}

class LoaderStartTest : public MemoryTest, public ::testing::WithParamInterface<LoaderCase> {};

TEST_P(LoaderStartTest, StartsTheLoaderOnceInTheWorkingFolderAndDoesNotWait) {
  const std::string work = dir() + "/work/";
  std::filesystem::create_directories(work);
  const std::string log = dir() + "/started.txt";
  const std::string loader = work + GetParam().file;
  std::ofstream(loader) << "#!/bin/sh\necho \"$# $*\" >> '" << log << "'\npwd >> '" << log
                        << "'\nsleep 3\necho done >> '" << log << "'\n";
  std::filesystem::permissions(loader, std::filesystem::perms::owner_all);
  WriteIni("[Port]\nBAUD_RATE_NMEA=115200\n[Catalog]\nwork_dir=" + work + "\n");
  form = CreateMainForm();
  Click(form->SBOpenComPort);
  // The save question made the vehicle folder current; the loader still starts in the working
  // folder, where its firmware files are.
  std::filesystem::create_directories(work + "ID= A001AA");
  std::filesystem::current_path(work + "ID= A001AA");

  auto t0 = std::chrono::steady_clock::now();
  Click(form->sb_jmp_boot);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));  // did not wait
  EXPECT_TRUE(responder().Shown().empty());

  auto read_log = [&] { return test_support::FileBytes(log); };
  while (read_log().empty() && std::chrono::steady_clock::now() - t0 < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::string started = "0 \n" + std::filesystem::canonical(work).string() + "\n";
  while (read_log().size() < started.size() &&
         std::chrono::steady_clock::now() - t0 < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(read_log(), started);  // started once, no arguments, and still running
  while (read_log().find("done") == std::string::npos &&
         std::chrono::steady_clock::now() - t0 < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(read_log(), started + "done\n");
  std::filesystem::current_path(std::filesystem::temp_directory_path());
}

INSTANTIATE_TEST_SUITE_P(Files, LoaderStartTest,
                         ::testing::Values(LoaderCase{"Flasket.exe"}, LoaderCase{"Flasket"}),
                         [](const ::testing::TestParamInfo<LoaderCase>& info) {
                           return std::string(info.param.file) == "Flasket" ? "without_exe"
                                                                            : "with_exe";
                         });

// ---- Exit ----

struct ExitCase {
  const char* what;
  const char* control;  // SBAllExit or the menu's Exit1
  bool open;
  std::vector<int> answers;  // to the exit question, then to the erase question
  std::vector<std::uint8_t> sent;
  bool still_open;  // the port, and the window with it
};
void PrintTo(const ExitCase& c, std::ostream* os) {
  *os << c.what;
}

class ExitTest : public MemoryTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitTest, OffersTheEraseThenClosesThePortAndTheWindow) {
  const ExitCase& c = GetParam();
  WriteIni("[Port]\nBAUD_RATE_NMEA=115200\n");
  form = CreateMainForm();
  if (c.open) Click(form->SBOpenComPort);
  for (int answer : c.answers) responder().AnswerMessageBox(answer);
  Click(vcl::headless::Find<TComponent>(form, c.control));

  const auto& shown = responder().Shown();
  ASSERT_EQ(shown.size(), c.answers.size());
  if (!c.answers.empty()) {
    EXPECT_EQ(shown[0].text, "Обнулить память прибора ? ");
    EXPECT_EQ(shown[0].caption, "");
    EXPECT_EQ(shown[0].flags, MB_OKCANCEL | MB_ICONQUESTION);
  }
  if (c.answers.size() > 1) {
    EXPECT_EQ(shown[1].text, kEraseQuestion);
  }
  EXPECT_EQ(tracker->ReceivedBytes(), c.sent);
  EXPECT_EQ(CommPort->IsOpen(), c.still_open);
  EXPECT_EQ(Application->Terminated(), !c.still_open);
  // The window's close writes the settings.
  EXPECT_EQ(ReadIni().find("COMM_PORT_NMEA=") != std::string::npos, !c.still_open) << ReadIni();
  if (!c.still_open && c.open) {
    EXPECT_EQ(form->Caption(), "  Close COMM PORT_1");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExitTest,
    ::testing::Values(ExitCase{"port_closed", "SBAllExit", false, {}, {}, false},
                      ExitCase{"menu_port_closed", "Exit1", false, {}, {}, false},
                      ExitCase{"no_erase", "SBAllExit", true, {IDCANCEL}, {}, false},
                      ExitCase{"erase_cancelled", "Exit1", true, {IDOK, IDCANCEL}, {}, true},
                      ExitCase{"erase", "SBAllExit", true, {IDOK, IDOK}, {CmdEraseMemory}, false}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.what); });

}  // namespace
