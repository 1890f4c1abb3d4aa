// The download panel's buttons: the read button, the one-button download with its day split,
// stamped report and moved no-fix file, the save question, and the conversion of a chosen file.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "read_dev/work_folder_lock.h"
#include "sim/track_memory.h"
#include "track_window.h"
#include "vcl/sysutils.h"

using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

namespace fs = std::filesystem;

using DownloadTest = DownloadPanelTest;

TEST_F(DownloadTest, SaveQuestionBeforeAnyConversion) {
  Click(form->ExitForm);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"Нет данных..."});
  EXPECT_EQ(responder().Shown().size(), 1u);
}

TEST_F(DownloadTest, OneButtonDownloadAnsweredYesOnTwoDays) {
  LoadTrack();
  responder().AnswerMessageBox(IDYES).AnswerMessageBox(IDCANCEL);
  Click(form->AutuRead);
  const auto& shown = responder().Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "Разделить по дням...?");
  EXPECT_EQ(shown[0].caption, "Файл считан и конвертирован... ");
  EXPECT_EQ(shown[0].flags, 36);
  EXPECT_EQ(shown[1].text, "Файлы сохранены в папке c:\\Tc\\WorkDir\\ID= A001AA\\");
  EXPECT_EQ(shown[2].text, "Сохранить Файл в базе? ");
  EXPECT_EQ(shown[2].caption, "c:\\Tc\\WorkDir\\GPS_WORK.txt");
  EXPECT_EQ(shown[2].flags, 33);
  EXPECT_EQ(form->Edit1->Text, "0000");
  // The end address names a page above the write address.
  EXPECT_EQ(form->Edit2->Text,
            IntToHex(static_cast<int>(tracker->memory().write_address + 528), 1));
  EXPECT_TRUE(form->GBMode->Visible);

  ExpectDayFilesHoldTheTrack(Vehicle());
  // The report of GPS_conv.txt (one entry: the second day's marker) and the no-fix records.
  const auto report = SplitLines(FileBytes(Vehicle() + "/08-12-2026_9-31-05_RELOAD.txt"));
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0], "A 07.12.2026 13:59:30\r");
  EXPECT_EQ(report[1], "A 08.12.2026 13:05:00\r");
  EXPECT_EQ(SplitLines(FileBytes(Vehicle() + "/08-12-2026_9-31-05_INVAL.txt")).size(), 20u);
  EXPECT_FALSE(WorkFileExists("GPSV_conv.txt"));
  EXPECT_EQ(fs::current_path(), fs::path(Vehicle()));
}

TEST_F(DownloadTest, OneButtonDownloadAnsweredNoThenSaved) {
  LoadTrack();
  platform::testing::ClearBeeps();
  responder().AnswerMessageBox(IDNO).AnswerMessageBox(IDOK);
  Click(form->AutuRead);
  EXPECT_EQ(responder().Shown().size(), 2u);
  EXPECT_FALSE(fs::exists(Vehicle() + "/Date 07-12-2026_TC.txt"));
  EXPECT_TRUE(WorkFileExists("GPSV_conv.txt"));
  EXPECT_TRUE(fs::is_directory(Vehicle()));
  EXPECT_EQ(fs::current_path(), fs::path(Vehicle()));
  // Before the dump, after the conversion (two), the work file, the folder.
  EXPECT_EQ(platform::testing::Beeps().size(), 5u);

  // A second save finds the folder: no message, one beep.
  platform::testing::ClearBeeps();
  responder().ClearShown();
  responder().AnswerMessageBox(IDOK);
  Click(form->ExitForm);
  EXPECT_EQ(responder().Shown().size(), 1u);
  EXPECT_EQ(platform::testing::Beeps().size(), 1u);
}

TEST_F(DownloadTest, DeviceSilentAtBothRatesStopsEverything) {
  tracker->faults().silent = true;
  Click(form->AutuRead);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Прибор не отвечает..."});
  EXPECT_EQ(responder().Shown().size(), 1u);
  EXPECT_FALSE(CommPort->IsOpen());
  for (std::uint8_t b : tracker->ReceivedBytes()) EXPECT_EQ(b, 'e');
  EXPECT_FALSE(WorkFileExists("gps_msg.txt"));
}

TEST_F(DownloadTest, ReadButtonDumpsWithoutConverting) {
  LoadTrack();
  Click(form->SBReadAndSave);
  const auto& shown = responder().Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Файл gps_msg.txt сохранен в папке. c:\\Tc\\WorkDir\\");
  EXPECT_EQ(shown[0].caption, "Файл считан... ");
  EXPECT_EQ(shown[0].flags, 0x20);
  EXPECT_EQ(ReadWork("gps_msg.txt").size() > 1000, true);
  EXPECT_FALSE(WorkFileExists("GPS_conv.txt"));
}

TEST_F(DownloadTest, ReadButtonAfterACutDumpSaysNothingSaved) {
  LoadTrack();
  tracker->faults().cut_after = 2000;
  Click(form->SBReadAndSave);
  EXPECT_TRUE(responder().Texts(ModalKind::MessageBox).empty());
  const auto messages = responder().Texts(ModalKind::Message);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Time Out");
  EXPECT_EQ(messages[1].SubString(1, 42), "Чтение не завершено: получено 1999 байт из");
  EXPECT_FALSE(WorkFileExists("gps_msg.txt"));
}

// The vehicle number names the per-vehicle folder: whatever it holds, the folder is one level
// below the working folder; an ordinary number gives the folder it always gave.
TEST_F(DownloadTest, VehicleFolderStaysInTheWorkingFolder) {
  const struct {
    const char* stored;  // as the device keeps it, with its framing "/"
    const char* folder;
  } cases[] = {
      {"/A123BC/", "ID= A123BC"},
      {"/../../escaped/", "ID= .. .._escaped_"},
      {"/..\\..\\..\\escaped/", "ID= .._.._.._escaped"},
      {"/../", "ID= .."},
      {"/A\x01\x1B"
       "B\x7F/",
       "ID= A__B_"},
  };
  LoadTrack();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    tracker->settings().reg_number = c.stored;
    responder().ClearShown();
    responder().AnswerMessageBox(IDYES).AnswerMessageBox(IDCANCEL);
    Click(form->AutuRead);
    EXPECT_EQ(form->DeviceId, c.folder);
    EXPECT_EQ(form->DayFolder, AnsiString("c:\\Tc\\WorkDir\\") + c.folder + "\\");
    const std::string folder = WorkDir() + "/" + c.folder;
    EXPECT_TRUE(fs::exists(folder + "/Date 08-12-2026_TC.txt"));
    EXPECT_TRUE(fs::exists(folder + "/08-12-2026_9-31-05_RELOAD.txt"));
    EXPECT_EQ(fs::canonical(folder).parent_path(), fs::canonical(WorkDir()));
    fs::remove_all(folder);
  }
  // Nothing was made beside the working folder, nor above it.
  for (const auto& entry : fs::recursive_directory_iterator(dir()))
    EXPECT_EQ(entry.path().string().find("escaped"), std::string::npos) << entry.path();
}

// A chosen file that gives no work lines asks nothing: a split would go over whatever the
// window last held.
TEST_F(DownloadTest, ChosenFileWithoutWorkLinesIsNotSplit) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"1\n2\n3\n", "--No Data.--"},
      {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n", "Нет записей."},
  };
  for (const auto& c : cases) {
    WriteWork("mine.txt", c.text);
    responder().ClearShown();
    responder().AnswerOpenDialog("c:\\Tc\\WorkDir\\mine.txt");
    Click(form->SBConversion);
    EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{c.message});
    EXPECT_TRUE(responder().Texts(ModalKind::MessageBox).empty());
  }
}

TEST_F(DownloadTest, ConversionOfAChosenFile) {
  // Cancelled: the handler ends there.
  responder().CancelOpenDialog();
  Click(form->SBConversion);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"File Not  Open"});
  EXPECT_EQ(responder().Shown().size(), 2u);

  // Converted and split into a chosen folder.
  LoadTrack();
  Click(form->SBReadAndSave);
  fs::copy_file(WorkDir() + "/gps_msg.txt", WorkDir() + "/gps_mine.txt");
  const std::string days = dir() + "/days";
  responder().ClearShown();
  responder()
      .AnswerOpenDialog("c:\\Tc\\WorkDir\\gps_mine.txt")
      .AnswerMessageBox(IDYES)
      .AnswerSelectFolder(AnsiString(days))
      .AnswerMessageBox(IDYES);
  Click(form->SBConversion);
  const auto& shown = responder().Shown();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[1].caption, "Файл конвертирован... ");
  EXPECT_EQ(shown[4].text, AnsiString("Файлы сохранены в папке ") + days + "\\");
  ExpectDayFilesHoldTheTrack(days);
  EXPECT_TRUE(WorkFileExists("GPSV_conv.txt"));
}

// The one-button download of one vehicle, then the conversion of another vehicle's log of the
// same days: Cancel in the split's folder choice ends the split, and the first vehicle's day
// files stay as they were; nothing says the files were saved.
TEST_F(DownloadTest, CancelInTheSplitsFolderChoiceKeepsTheDayFiles) {
  tracker->settings().reg_number = "/A123BC/";
  LoadTrack();
  responder().AnswerMessageBox(IDYES).AnswerMessageBox(IDCANCEL);
  Click(form->AutuRead);
  const std::string vehicle = WorkDir() + "/ID= A123BC";
  ASSERT_TRUE(fs::exists(vehicle + "/Date 08-12-2026_TC.txt"));
  ASSERT_EQ(form->DayFolder, "c:\\Tc\\WorkDir\\ID= A123BC\\");
  const auto before = test_support::FolderFiles(vehicle);

  sim::TrackPlan other;
  other.days = 2;
  other.first_second = 11 * 3600;
  other.end_second = 12 * 3600;
  WriteWork("other.txt", "x\n" + sim::GenerateTrack(other).text);
  responder().ClearShown();
  responder()
      .AnswerOpenDialog("c:\\Tc\\WorkDir\\other.txt")
      .AnswerMessageBox(IDYES)
      .CancelSelectFolder();
  Click(form->SBConversion);
  const auto& shown = responder().Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1].text, "Разделить по дням...?");
  EXPECT_TRUE(responder().Texts(ModalKind::Message).empty());
  EXPECT_TRUE(test_support::FolderFiles(vehicle) == before);
  EXPECT_EQ(form->DayFolder, "c:\\Tc\\WorkDir\\ID= A123BC\\");
}

// After the state probe the download panel comes back in front of the state box, so that the
// dump's progress is in view; the state box stays shown beneath it.
TEST_F(DownloadTest, DownloadPanelIsInFrontAfterTheStateProbe) {
  LoadTrack();
  auto in_front = [&] {
    for (int i = form->Panel2->ControlCount - 1; i >= 0; --i)
      if (form->Panel2->Controls[i]->Visible) return form->Panel2->Controls[i];
    return static_cast<TControl*>(nullptr);
  };
  const struct {
    TSpeedButton* button;
    std::vector<int> answers;
  } cases[] = {{form->AutuRead, {IDNO, IDCANCEL}}, {form->SBReadAndSave, {}}};
  for (const auto& [button, answers] : cases) {
    SCOPED_TRACE(button->Name().str());
    Click(form->SBMode);
    ASSERT_FALSE(form->Panel4->Visible);
    Click(form->track_panel);
    for (int answer : answers) responder().AnswerMessageBox(answer);
    Click(button);
    EXPECT_EQ(in_front(), form->Panel4);
    EXPECT_TRUE(form->GBMode->Visible);
  }
}

// Another program holding `lock` as a Trakmon holds its working folder (flock, in a process of
// its own, run in the foreground so that killing it ends the hold), until it is killed.
class LockHolder {
 public:
  LockHolder(const std::string& lock, const std::string& scratch) {
    const std::string ready = scratch + "/holding";
    const std::string hold = "touch '" + ready + "'; exec sleep 60";
    pid_ = fork();
    if (pid_ == 0) {
      execl("/usr/bin/flock", "flock", "--no-fork", lock.c_str(), "sh", "-c", hold.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 500 && pid_ > 0 && !fs::exists(ready); ++i) usleep(10'000);
    holding_ = fs::exists(ready);
  }
  ~LockHolder() { Kill(); }
  bool holding() const { return holding_; }
  // As a program is killed: no chance to let go or to tidy up.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  bool holding_ = false;
};

// The lock itself: one holder at a time (a second one, in this program too, finds the folder
// busy); the lock file only while it is held; a folder that is not there is held by no one and
// gets no lock file.
TEST(WorkFolderLockTest, OneHolderAtATimeAndNothingLeftBehind) {
  const test_support::TempDir scratch;
  const AnsiString folder(scratch.str() + "/");
  {
    const WorkFolderLock first(folder);
    EXPECT_FALSE(first.Busy());
    EXPECT_TRUE(fs::exists(scratch.str() + "/.trakmon.lock"));
    const WorkFolderLock second(folder);
    EXPECT_TRUE(second.Busy());
  }
  EXPECT_TRUE(fs::is_empty(scratch.path()));
  const WorkFolderLock again(folder);
  EXPECT_FALSE(again.Busy());
  const WorkFolderLock missing(AnsiString(scratch.str() + "/missing/"));
  EXPECT_FALSE(missing.Busy());
  EXPECT_FALSE(fs::exists(scratch.str() + "/missing"));
}

// Another Trakmon holding the working folder for its download: each download button says so and
// does nothing else. A holder that was killed holds nothing.
TEST_F(DownloadTest, WorkingFolderHeldByAnotherProgramIsRefused) {
  LoadTrack();
  const std::string lock = WorkDir() + "/.trakmon.lock";
  LockHolder other(lock, dir());
  ASSERT_TRUE(other.holding());
  const auto before = test_support::FolderFiles(WorkDir());
  tracker->ClearRecord();

  for (TSpeedButton* button : {form->AutuRead, form->SBReadAndSave, form->SBConversion}) {
    SCOPED_TRACE(button->Name().str());
    responder().ClearShown();
    Click(button);
    EXPECT_EQ(responder().Texts(ModalKind::Message),
              std::vector<AnsiString>{
                  "Рабочий каталог занят другой копией программы -> c:\\Tc\\WorkDir\\"});
    EXPECT_EQ(responder().Shown().size(), 1u);  // no file dialog, no question
  }
  EXPECT_TRUE(tracker->Received().empty());
  EXPECT_TRUE(test_support::FolderFiles(WorkDir()) == before);

  // Killed, it leaves its lock file behind, and the folder is free.
  other.Kill();
  ASSERT_TRUE(fs::exists(lock));
  responder().ClearShown();
  responder().AnswerMessageBox(IDNO).AnswerMessageBox(IDCANCEL);
  Click(form->AutuRead);
  EXPECT_TRUE(responder().Texts(ModalKind::Message).empty());
  EXPECT_TRUE(WorkFileExists("GPS_WORK.txt"));
  // Done, this program removes the lock file.
  EXPECT_FALSE(fs::exists(lock));
}

// A step of the one-button download that fails ends it there: no split question, no day file,
// no stamped file, no save question, no success message.
struct FailedStep {
  const char* what;
  std::function<void(sim::TrackerDevice&)> set_up;
  std::vector<AnsiString> messages;
  std::vector<AnsiString> errors;  // the application's error display
  std::vector<std::string> made;   // files of the working folder that the steps before made anew
};
void PrintTo(const FailedStep& c, std::ostream* os) {
  *os << c.what;
}

// A track text of `lines` lines of digits.
void LoadPlainLines(sim::TrackerDevice& tracker, int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "1234567890123456789012345678901234567890\n";
  tracker.memory().Load(sim::PackTrackText(text));
}

class FailedStepTest : public DownloadTest, public ::testing::WithParamInterface<FailedStep> {
 protected:
  // A first complete download, split and saved: the files a failed one must not touch.
  void SetUp() override {
    DownloadTest::SetUp();
    LoadTrack();
    responder().AnswerMessageBox(IDYES).AnswerMessageBox(IDOK);
    Click(form->AutuRead);
    ASSERT_TRUE(fs::exists(Vehicle() + "/Date 08-12-2026_TC.txt"));
    ASSERT_TRUE(fs::exists(Vehicle() + "/08-12-2026_9-31-05_RELOAD.txt"));
    responder().ClearShown();
    vcl::testing::SetNow(EncodeDate(2026, 12, 9) + EncodeTime(10, 0, 0, 0));
  }
};

TEST_P(FailedStepTest, EndsTheDownloadAndKeepsTheEarlierFiles) {
  auto before = test_support::FolderFiles(WorkDir());
  tracker->ClearRecord();  // the device counts its bytes from here
  GetParam().set_up(*tracker);
  Click(form->AutuRead);
  // The dump asks for the memory up to the write address.
  const std::string length = std::to_string(tracker->memory().write_address);
  std::vector<AnsiString> messages;
  for (const AnsiString& m : GetParam().messages) {
    std::string text = m.str();
    if (const auto at = text.find("%LENGTH%"); at != std::string::npos) text.replace(at, 8, length);
    messages.push_back(AnsiString(text));
  }
  EXPECT_EQ(responder().Texts(ModalKind::Message), messages);
  EXPECT_EQ(responder().Texts(ModalKind::Exception), GetParam().errors);
  EXPECT_TRUE(responder().Texts(ModalKind::MessageBox).empty());  // no question
  auto after = test_support::FolderFiles(WorkDir());
  after.erase("gps_msg_incomplete.txt");
  for (const std::string& name : GetParam().made) {
    EXPECT_EQ(after.count(name), 1u) << name;
    after.erase(name);
    before.erase(name);
  }
  // Every other file stays byte for byte: the day files, the reports, the work file.
  EXPECT_TRUE(after == before);
  EXPECT_FALSE(fs::exists(Vehicle() + "/09-12-2026_10-00-00_RELOAD.txt"));

  if (GetParam().errors.empty()) return;
  // A device that is gone leaves the window disconnected; plugged in again, the port opens.
  EXPECT_FALSE(CommPort->IsOpen());
  EXPECT_EQ(form->Caption, "  Close COMM PORT_1");
  EXPECT_TRUE(form->SBOpenComPort->Enabled);
  EXPECT_FALSE(form->SBCloseComPort->Enabled);
  EXPECT_TRUE(form->Setup1->Enabled);
  tracker = std::make_shared<sim::TrackerDevice>();
  platform::sim::Attach("COM1", tracker);
  Click(form->SBOpenComPort);
  EXPECT_TRUE(CommPort->IsOpen());
  EXPECT_EQ(form->Caption, "  Open COMM PORT_1  Baud Rate 921600");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailedStepTest,
    ::testing::Values(
        FailedStep{"end address too long",
                   [](sim::TrackerDevice& t) { t.faults().address_length = 10; },
                   {"Error END Address"},
                   {},
                   {}},
        FailedStep{"end address past the memory",
                   [](sim::TrackerDevice& t) { t.memory().write_address = 0x300000; },
                   {"Error END Address: 300210 > 210210"},
                   {},
                   {}},
        FailedStep{"dump cut off",
                   [](sim::TrackerDevice& t) { t.faults().cut_after = 5000; },
                   {"Time Out",
                    "Чтение не завершено: получено 4999 байт из %LENGTH%.\nФайл gps_msg.txt не "
                    "изменен.\nПолученные данные в файле c:\\Tc\\WorkDir\\gps_msg_incomplete.txt"},
                   {},
                   {}},
        // The state query, the end address and the dump's command are 1 + 1 + 12 bytes.
        FailedStep{"device gone in the dump",
                   [](sim::TrackerDevice& t) { t.faults().vanish_on_byte = 15; },
                   {"Чтение не завершено: получено 528 байт из %LENGTH%.\nФайл gps_msg.txt не "
                    "изменен.\nПолученные данные в файле c:\\Tc\\WorkDir\\gps_msg_incomplete.txt"},
                   {"Прибор отключен... Comm Port_1 закрыт."},
                   {}},
        FailedStep{"device gone in the state query",
                   [](sim::TrackerDevice& t) { t.faults().vanish_on_byte = 1; },
                   {},
                   {"Прибор отключен... Comm Port_1 закрыт."},
                   {}},
        FailedStep{"log of fewer than ten lines",
                   [](sim::TrackerDevice& t) { LoadPlainLines(t, 8); },
                   {"--No Data.--"},
                   {},
                   {"gps_msg.txt"}},
        FailedStep{"no record with a fix",
                   [](sim::TrackerDevice& t) { LoadPlainLines(t, 100); },
                   {"Нет записей."},
                   {},
                   {"gps_msg.txt", "GPS_conv.txt", "GPSV_conv.txt", "Reload.txt", "GPS_WORK.txt"}}),
    [](const auto& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += std::isalnum(*p) ? *p : '_';
      return name;
    });

}  // namespace
