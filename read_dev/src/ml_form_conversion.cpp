// Conversion of the track log into the track files: "GPS_conv.txt" (valid fixes and restart
// markers), "GPSV_conv.txt" (no fix), the restart report "Reload.txt" and the work file
// "GPS_WORK.txt"; and the split of the work file into day files.
#include "read_dev/ml_form.h"
#include "read_dev/track_days.h"
#include "read_dev/track_records.h"
#include "read_dev/track_work.h"
#include "track_file.h"
#include "vcl/filectrl.h"

int TML_Form::ConvertTrackDump(int mode) {
  TrackList->Clear();
  if (mode == 0) {
    if (!OpenDialog1->Execute()) {
      ShowMessage("File Not  Open");
      Abort();
    }
    OpenDialog1->InitialDir = WorkFolder;
    TrackList->LoadFromFile(OpenDialog1->FileName);
  } else {
    TrackList->LoadFromFile(WorkFolder + "gps_msg.txt");
  }
  Repaint();
  const int count = TrackList->Count;
  if (count < 10) {
    ShowMessage("--No Data.--");
    return -1;
  }
  ReloadCount = 0;
  Label30->Caption = "";
  CurrentFileName = WorkFolder + "GPS_conv.txt";
  TrackFile valid =
      CreateTrackFileOrAbort(CurrentFileName, "Не найден каталог (A) -> " + WorkFolder);
  TrackFile nofix = CreateTrackFileOrAbort(WorkFolder + "GPSV_conv.txt",
                                           "Не найден каталог (V) -> " + WorkFolder);
  StatusBar1->Panels->Items[0]->Text = CurrentFileName + " -> OPEN  ";
  StatusBar1->Repaint();
  PBar2->Position = 0;
  PBar2->Max = count + 10;
  const track::TrackConversion conversion =
      track::ConvertTrackLines(*TrackList, ReloadMarker, [this](int i) { PBar2->Position = i; });
  ReloadCount = conversion.reload_count;
  WriteTrackText(valid.get(), conversion.valid);
  WriteTrackText(nofix.get(), conversion.nofix);
  CloseTrackFileOrAbort(valid, CurrentFileName);
  CloseTrackFileOrAbort(nofix, WorkFolder + "GPSV_conv.txt");
  StatusBar1->Panels->Items[0]->Text = CurrentFileName + " -> CLOSE ";
  StatusBar1->Repaint();

  WriteReloadReport(WorkFolder + "GPS_conv.txt", WorkFolder + "Reload.txt");
  TrackList->Clear();
  TrackList->LoadFromFile(CurrentFileName);
  const int n = BuildWorkFile();
  Label30->Caption = "Перезагрузок =" + IntToStr(ReloadCount - 1);
  Label30->Refresh();
  return n == 0 ? -2 : 0;
}

void TML_Form::WriteReloadReport(const AnsiString& source, const AnsiString& target) {
  TrackList->Clear();
  TrackList->LoadFromFile(source);
  ReloadList->Clear();
  for (const AnsiString& line : track::BuildReloadReport(*TrackList, ReloadMarker, TimeCorrection))
    ReloadList->Add(line);
  ReloadList->SaveToFile(target);
}

int TML_Form::BuildWorkFile() {
  const int count = TrackList->Count;
  Repaint();
  StatusBar1->Panels->Items[1]->Text = "STATISTIC...";
  StatusBar1->Refresh();
  PBar2->Position = 0;
  PBar2->Max = count + 10;
  const std::vector<track::TrackPoint> points =
      track::ReadConvertedPoints(*TrackList, ReloadMarker, [this](int r) { PBar2->Position = r; });
  const int n = static_cast<int>(points.size()) - 1;

  CurrentFileName = WorkFolder + "GPS_WORK.txt";
  TrackFile work = CreateTrackFileOrAbort(CurrentFileName, "Не найден каталог -> " + WorkFolder);
  StatusBar1->Panels->Items[0]->Text = CurrentFileName + " -> OPEN  ";
  StatusBar1->Refresh();
  PBar2->Position = 0;
  PBar2->Max = n + 10;
  WriteTrackText(work.get(), track::WorkFileText(points, [this](int k) { PBar2->Position = k; }));
  CloseTrackFileOrAbort(work, CurrentFileName);
  ConvertedFlag = 1;
  StatusBar1->Panels->Items[0]->Text = CurrentFileName + " -> CLOSE...  ";
  StatusBar1->Refresh();

  TrackList->Clear();
  TrackList->LoadFromFile(CurrentFileName);
  const int m = TrackList->Count;
  Beep(1000, 50);
  return m;
}

void TML_Form::SplitByDays(int mode) {
  const int count = TrackList->Count;
  if (count == 0) {
    ShowMessage("Нет записей.");
    Abort();
  }
  StatusBar1->Panels->Items[1]->Text = "DISCRETE DAY...";
  StatusBar1->Refresh();
  PBar2->Position = 0;
  PBar2->Max = count + 10;
  Repaint();
  const std::vector<track::TrackPoint> points =
      track::ReadWorkPoints(*TrackList, [this](int j) { PBar2->Position = j; });

  if (mode == 0) {
    // Cancel ends the split and its caller: no day file, no message of success.
    AnsiString folder = DayFolder;
    if (!SelectDirectory(folder, TSelectDirOpts{sdAllowCreate, sdPerformCreate, sdPrompt}, 0)) {
      StatusBar1->Panels->Items[1]->Text = "...";
      StatusBar1->Refresh();
      Abort();
    }
    DayFolder = folder + "\\";
  } else {
    MakeDeviceFolder();
    DeviceFolder = DeviceFolder + "\\";
    DayFolder = DeviceFolder;
  }

  PBar2->Position = 0;
  PBar2->Max = count - 2;
  AnsiString stem;
  for (const track::DayFile& day : track::GroupByDays(points)) {
    PBar2->Position = day.first_line;
    stem = day.stem;
    TrackFile file =
        CreateTrackFileOrAbort(DayFolder + stem + "_TC.txt", "Не найден каталог -> " + DayFolder);
    WriteTrackText(file.get(), day.text);
    CloseTrackFileOrAbort(file, DayFolder + stem + "_TC.txt");
  }
  Label25->Caption = stem;
  Beep(1000, 50);
  StatusBar1->Panels->Items[1]->Text = "...";
  StatusBar1->Refresh();
}

void TML_Form::MakeDeviceFolder() {
  SetCurrentDir(WorkFolder);
  DeviceFolder = WorkFolder + DeviceId;
  if (!DirectoryExists(DeviceFolder)) CreateDir(DeviceFolder);
  // Without the folder there is nowhere for the day files: the split stops here.
  if (!DirectoryExists(DeviceFolder)) {
    ShowMessage("Не возможно создать папку..." + DeviceFolder);
    Abort();
  }
  SetCurrentDir(DeviceFolder);
  Caption = "Сохранение файла в -> " + GetCurrentDir();
  Beep(1000, 100);
}
