// The window's conversion of a track log into its files, the work file and the day split, with
// their messages, labels and folders.
#include <string>
#include <vector>

#include "sim/track_memory.h"
#include "track_lines.h"
#include "track_window.h"

using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

namespace fs = std::filesystem;

// Two days of a few records each, after a first line that is no record.
std::string TwoDayLog() {
  sim::TrackPlan plan;
  plan.days = 2;
  plan.first_second = 9 * 3600;
  plan.end_second = 9 * 3600 + 600;
  plan.nofix_s = 60;
  return "x\n" + sim::GenerateTrack(plan).text;
}

class ConvertWindowTest : public TrackWindowTest {};

TEST_F(ConvertWindowTest, LogBecomesTheTrackFilesAndTheWorkFile) {
  WriteWork("gps_msg.txt", TwoDayLog());
  EXPECT_EQ(form->ConvertTrackDump(1), 0);
  EXPECT_TRUE(responder().Shown().empty());
  // 2 x 20 records, 2 x 2 without a fix; the log's last line is never converted.
  const auto valid = SplitLines(ReadWork("GPS_conv.txt"));
  ASSERT_EQ(valid.size(), 2u + 35);
  EXPECT_EQ(valid[0], "/012345543210/\r");
  EXPECT_EQ(valid[1].substr(0, 11), "A;09:01:00;");
  EXPECT_EQ(SplitLines(ReadWork("GPSV_conv.txt")).size(), 4u);
  EXPECT_EQ(SplitLines(ReadWork("Reload.txt")).size(), 3u);
  EXPECT_EQ(ReadWork("Reload.txt").substr(0, 22), "A 07.12.2026 13:09:30\r");
  // 34 points (the last line of "GPS_conv.txt" is not used); all but the last two.
  const auto work = SplitLines(ReadWork("GPS_WORK.txt"));
  ASSERT_EQ(work.size(), 32u);
  EXPECT_EQ(work[0].substr(0, 2), "0 ");
  EXPECT_NE(work[31].find(" 08.12.2026 9:07:30 "), std::string::npos);
  EXPECT_EQ(form->TrackList->Count, 32);
  EXPECT_EQ(form->CurrentFileName, "c:\\Tc\\WorkDir\\GPS_WORK.txt");
  EXPECT_EQ(form->ConvertedFlag, 1);
  EXPECT_EQ(form->ReloadCount, 2);
  EXPECT_EQ(form->Label30->Caption, "Перезагрузок =1");
  EXPECT_EQ(form->StatusBar1->Panels->Items[0]->Text,
            "c:\\Tc\\WorkDir\\GPS_WORK.txt -> CLOSE...  ");
}

TEST_F(ConvertWindowTest, FewerThanTenLinesTouchNoFile) {
  WriteWork("gps_msg.txt", "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
  WriteWork("GPS_conv.txt", "earlier\n");
  EXPECT_EQ(form->ConvertTrackDump(1), -1);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"--No Data.--"});
  EXPECT_EQ(ReadWork("GPS_conv.txt"), "earlier\r\n");
  EXPECT_FALSE(WorkFileExists("GPS_WORK.txt"));
  EXPECT_EQ(form->ConvertedFlag, 0);
}

TEST_F(ConvertWindowTest, NoRecordGivesEmptyFilesAndAnEmptyWorkFile) {
  WriteWork("gps_msg.txt", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n");
  EXPECT_EQ(form->ConvertTrackDump(1), -2);
  for (const char* name : {"GPS_conv.txt", "GPSV_conv.txt", "Reload.txt", "GPS_WORK.txt"}) {
    EXPECT_TRUE(WorkFileExists(name)) << name;
    EXPECT_EQ(ReadWork(name), "") << name;
  }
  EXPECT_EQ(form->Label30->Caption, "Перезагрузок =-1");
  EXPECT_EQ(form->ConvertedFlag, 1);
}

TEST_F(ConvertWindowTest, FileThatCannotBeCreatedEndsTheConversion) {
  const struct {
    const char* blocked;
    const char* message;
  } cases[] = {
      {"GPS_conv.txt", "Не найден каталог (A) -> c:\\Tc\\WorkDir\\"},
      {"GPSV_conv.txt", "Не найден каталог (V) -> c:\\Tc\\WorkDir\\"},
      {"GPS_WORK.txt", "Не найден каталог -> c:\\Tc\\WorkDir\\"},
  };
  WriteWork("gps_msg.txt", TwoDayLog());
  for (const auto& c : cases) {
    fs::create_directory(WorkDir() + "/" + c.blocked);
    responder().ClearShown();
    EXPECT_THROW(form->ConvertTrackDump(1), EAbort) << c.blocked;
    EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{c.message});
    fs::remove(WorkDir() + "/" + c.blocked);
  }
  EXPECT_EQ(form->ConvertedFlag, 0);
}

TEST_F(ConvertWindowTest, ChosenFileOrCancel) {
  WriteWork("mine.txt", TwoDayLog());
  responder().AnswerOpenDialog("c:\\Tc\\WorkDir\\mine.txt").CancelOpenDialog();
  EXPECT_EQ(form->ConvertTrackDump(0), 0);
  EXPECT_EQ(form->OpenDialog1->InitialDir, "c:\\Tc\\WorkDir\\");
  EXPECT_EQ(SplitLines(ReadWork("GPS_WORK.txt")).size(), 32u);
  EXPECT_THROW(form->ConvertTrackDump(0), EAbort);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"File Not  Open"});
  EXPECT_EQ(form->TrackList->Count, 0);
}

class DaySplitWindowTest : public TrackWindowTest {
 protected:
  void SetUp() override {
    TrackWindowTest::SetUp();
    WriteWork("gps_msg.txt", TwoDayLog());
    ASSERT_EQ(form->ConvertTrackDump(1), 0);
  }
};

TEST_F(DaySplitWindowTest, IntoAChosenFolder) {
  const std::string days = dir() + "/days";
  fs::create_directory(days);
  responder().AnswerSelectFolder(AnsiString(days));
  form->SplitByDays(0);
  EXPECT_EQ(responder().Shown().at(0).path, AnsiString(days));
  EXPECT_EQ(form->DayFolder, AnsiString(days + "\\"));
  EXPECT_EQ(SplitLines(FileBytes(days + "/Date 07-12-2026_TC.txt")).size(), 18u);
  const auto second = SplitLines(FileBytes(days + "/Date 08-12-2026_TC.txt"));
  // The work file's last line is not used.
  ASSERT_EQ(second.size(), 13u);
  EXPECT_EQ(second[0].substr(0, 2), "0 ");
  EXPECT_EQ(second[12].substr(0, 3), "12 ");
  EXPECT_EQ(form->Label25->Caption, "Date 08-12-2026");
  EXPECT_EQ(form->StatusBar1->Panels->Items[1]->Text, "...");
  // The next split starts where the last one went; Cancel there ends it, and the day files of
  // the last one stay as they were.
  const auto before = test_support::FolderFiles(days);
  responder().CancelSelectFolder();
  fs::current_path(days);
  EXPECT_THROW(form->SplitByDays(0), EAbort);
  EXPECT_EQ(responder().Shown().at(1).path, AnsiString(days + "\\"));
  EXPECT_EQ(responder().Shown().size(), 2u);
  EXPECT_TRUE(test_support::FolderFiles(days) == before);
  EXPECT_EQ(form->StatusBar1->Panels->Items[1]->Text, "...");
}

// Cancel in a first folder choice writes nothing either: no day file lands in the current folder.
TEST_F(DaySplitWindowTest, CancelInTheFirstFolderChoiceWritesNothing) {
  const std::string here = dir() + "/here";
  fs::create_directory(here);
  fs::current_path(here);
  responder().CancelSelectFolder();
  EXPECT_THROW(form->SplitByDays(0), EAbort);
  EXPECT_TRUE(fs::is_empty(here));
  EXPECT_EQ(form->DayFolder, "");
  EXPECT_EQ(form->Label25->Caption, "");
}

TEST_F(DaySplitWindowTest, IntoThePerVehicleFolder) {
  form->DeviceId = "ID= A123BC";
  form->SplitByDays(1);
  const std::string vehicle = WorkDir() + "/ID= A123BC";
  EXPECT_TRUE(fs::is_directory(vehicle));
  EXPECT_EQ(fs::current_path(), fs::path(vehicle));
  EXPECT_EQ(form->DayFolder, "c:\\Tc\\WorkDir\\ID= A123BC\\");
  EXPECT_EQ(form->DeviceFolder, form->DayFolder);
  EXPECT_EQ(form->Caption, AnsiString("Сохранение файла в -> ") + GetCurrentDir());
  EXPECT_TRUE(fs::exists(vehicle + "/Date 07-12-2026_TC.txt"));
  EXPECT_TRUE(fs::exists(vehicle + "/Date 08-12-2026_TC.txt"));
  EXPECT_FALSE(fs::exists("Date 07-12-2026_TC.txt") && fs::current_path() != vehicle);
}

TEST_F(DaySplitWindowTest, FolderThatCannotBeMadeEndsTheSplit) {
  form->DeviceId = "ID= A\\B";
  EXPECT_THROW(form->SplitByDays(1), EAbort);
  // Nothing is tried without the folder.
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            (std::vector<AnsiString>{"Не возможно создать папку...c:\\Tc\\WorkDir\\ID= A\\B"}));
  EXPECT_EQ(fs::current_path(), fs::path(WorkDir()));
}

TEST_F(DaySplitWindowTest, NoLinesNoSplit) {
  form->TrackList->Clear();
  EXPECT_THROW(form->SplitByDays(0), EAbort);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"Нет записей."});
}

// The topmost shown control of the device panels' area.
TControl* InFront(TML_Form* form) {
  for (int i = form->Panel2->ControlCount - 1; i >= 0; --i)
    if (form->Panel2->Controls[i]->Visible) return form->Panel2->Controls[i];
  return nullptr;
}

// One choice of the menu item always brings the download panel up in front of the device
// panels; showing a device panel hides it again.
TEST_F(ConvertWindowTest, MenuItemShowsTheDownloadPanelInFrontEveryTime) {
  EXPECT_FALSE(form->Panel4->Visible);
  EXPECT_EQ(form->track_panel->Caption, "Чтение данных из прибора");
  for (TSpeedButton* device_panel :
       {form->sb_user_phone, form->sb_apn_panel_on, form->SpeedButton10, form->SpeedButton12}) {
    SCOPED_TRACE(device_panel->Name().str());
    Click(form->track_panel);
    EXPECT_EQ(InFront(form), form->Panel4);
    Click(form->track_panel);
    EXPECT_EQ(InFront(form), form->Panel4);
    Click(device_panel);
    EXPECT_FALSE(form->Panel4->Visible);
    EXPECT_NE(InFront(form), nullptr);
  }
}

}  // namespace
