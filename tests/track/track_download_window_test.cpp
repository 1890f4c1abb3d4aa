// The download panel's buttons: the read button, the one-button download with its day split,
// stamped report and moved no-fix file, the save question, and the conversion of a chosen file.
#include <string>
#include <vector>

#include "track_window.h"
#include "vcl/sysutils.h"

using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

namespace fs = std::filesystem;

class DownloadTest : public TrackWindowTest {
 protected:
  void SetUp() override {
    TrackWindowTest::SetUp();
    OpenPort();
    Click(form->track_panel);
    vcl::testing::SetNow(EncodeDate(2026, 12, 8) + EncodeTime(9, 31, 5, 0));
  }
  void TearDown() override {
    vcl::testing::ClearNow();
    TrackWindowTest::TearDown();
  }
  std::string Vehicle() const { return WorkDir() + "/ID= A001AA"; }
};

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
  EXPECT_EQ(form->Edit2->Text, IntToHex(static_cast<int>(tracker->memory().write_address), 1));
  EXPECT_TRUE(form->GBMode->Visible);

  ExpectDayFilesHoldTheTrack(Vehicle());
  // The report of GPS_conv.txt (one entry: the second day's marker) and the no-fix records.
  const auto report = SplitLines(Read(Vehicle() + "/08-12-2026_9-31-05_RELOAD.txt"));
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0], "A 07.12.2026 13:59:30\r");
  EXPECT_EQ(report[1], "A 08.12.2026 13:05:00\r");
  EXPECT_EQ(SplitLines(Read(Vehicle() + "/08-12-2026_9-31-05_INVAL.txt")).size(), 20u);
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

}  // namespace
