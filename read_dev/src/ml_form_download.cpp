// The download panel: the read button, the one-button download with its day split and
// time-stamped files, the save question, the conversion of a chosen file, and the menu item
// that shows the panel.
#include <cerrno>

#include "platform/file_replace.h"
#include "read_dev/ml_form.h"
#include "read_dev/track_days.h"
#include "read_dev/work_folder_lock.h"

namespace {

// Between the steps of the download buttons, and after the state probe.
constexpr DWORD StepPauseMs = 500;
constexpr DWORD AfterProbePauseMs = 2000;

// A download's first step: a working folder that another Trakmon holds for its own download
// ends the handler before anything is sent or written.
void RefuseHeldFolder(const WorkFolderLock& lock, const AnsiString& folder) {
  if (!lock.Busy()) return;
  ShowMessage("Рабочий каталог занят другой копией программы -> " + folder);
  Abort();
}

}  // namespace

void TML_Form::track_panelClick(TObject* Sender) {
  ShowDownloadPanel();
}

void TML_Form::ShowDownloadPanel() {
  Panel4->Visible = true;
  Panel4->BringToFront();
  Panel4->Refresh();
}

AnsiString TML_Form::MakeTimeStampName() {
  return track::TimeStampName(Now());
}

// The conversion's result as a step of a button: a conversion that left no work lines has
// nothing to split ("--No Data.--" was shown for a log too short; an empty work file is shown
// here), and the button stops.
bool TML_Form::ConversionLeftWork(int result) {
  if (result == -2) ShowMessage("Нет записей.");
  return result == 0;
}

void TML_Form::SBReadAndSaveClick(TObject* Sender) {
  const WorkFolderLock lock(WorkFolder);
  RefuseHeldFolder(lock, WorkFolder);
  Label25->Caption = AnsiString(std::string(19, ' '));
  Label25->Refresh();
  Edit1->Text = "0000";
  Edit2->Text = "0000";
  ProbeDeviceState();
  // The probe showed the state box; the dump's progress is on the download panel.
  ShowDownloadPanel();
  if (!ReadEndAddress()) return;
  Sleep(StepPauseMs);
  if (!DumpTrackMemory()) return;
  Application->MessageBox("Файл gps_msg.txt сохранен в папке. " + WorkFolder, "Файл считан... ",
                          MB_OK | MB_ICONQUESTION);
}

void TML_Form::AutuReadClick(TObject* Sender) {
  const WorkFolderLock lock(WorkFolder);
  RefuseHeldFolder(lock, WorkFolder);
  ShowDevicePanel(GBMode, {apn_panel, SerialBox});
  GBMode->BringToFront();
  GBMode->Refresh();
  RS485->Refresh();
  Ext->BringToFront();
  Ext->Refresh();
  user_phone->Refresh();
  ProbeDeviceState();
  Sleep(AfterProbePauseMs);
  // The state stayed in view for the pause; the dump's and the conversion's progress is on the
  // download panel.
  ShowDownloadPanel();
  Edit1->Text = "0000";
  Edit2->Text = "0000";
  if (!ReadEndAddress()) return;
  Sleep(StepPauseMs);
  Beep(1000, 100);
  if (!DumpTrackMemory()) return;
  if (!ConversionLeftWork(ConvertTrackDump(1))) return;
  Beep(1000, 100);
  Sleep(StepPauseMs);
  Beep(1000, 100);
  if (Application->MessageBox("Разделить по дням...?", "Файл считан и конвертирован... ",
                              MB_YESNO | MB_ICONQUESTION) == IDYES) {
    // The stamped files go beside the day files, into the per-vehicle folder.
    SplitByDays(1);
    const AnsiString stamp = DayFolder + MakeTimeStampName();
    WriteReloadReport(WorkFolder + "GPS_conv.txt", stamp + "_RELOAD.txt");
    MoveNoFixFile(stamp + "_INVAL.txt");
    ShowMessage("Файлы сохранены в папке " + DayFolder);
  }
  ExitFormClick(Sender);
}

void TML_Form::MoveNoFixFile(const AnsiString& target) {
  if (RenameFile(WorkFolder + "GPSV_conv.txt", target)) return;
  // A move that replaces nothing: a file of that name stays, as does "GPSV_conv.txt".
  const AnsiString reason = GetLastError() == ERROR_ALREADY_EXISTS
                                ? AnsiString("Файл уже существует")
                                : AnsiString(platform::FileErrorText(errno));
  ShowMessage("Файл " + target + " не записан: " + reason);
  Abort();
}

void TML_Form::ExitFormClick(TObject* Sender) {
  if (ConvertedFlag != 1) {
    ShowMessage("Нет данных...");
    return;
  }
  if (Application->MessageBox("Сохранить Файл в базе? ", CurrentFileName,
                              MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
    EnterDeviceFolder();
}

void TML_Form::EnterDeviceFolder() {
  SetCurrentDir(WorkFolder);
  DeviceFolder = WorkFolder + DeviceId;
  if (!DirectoryExists(DeviceFolder) && !CreateDir(DeviceFolder)) {
    ShowMessage("Dir no Create" + DeviceFolder);
    Beep(1000, 100);
    return;
  }
  SetCurrentDir(DeviceFolder);
  Beep(1000, 100);
}

void TML_Form::SBConversionClick(TObject* Sender) {
  const WorkFolderLock lock(WorkFolder);
  RefuseHeldFolder(lock, WorkFolder);
  if (!ConversionLeftWork(ConvertTrackDump(0))) return;
  if (Application->MessageBox("Разделить по дням...?", "Файл конвертирован... ",
                              MB_YESNO | MB_ICONQUESTION) == IDYES) {
    SplitByDays(0);
    ShowMessage("Файлы сохранены в папке " + DayFolder);
  }
}
