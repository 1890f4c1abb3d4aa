// The download panel: the read button, the one-button download with its day split and
// time-stamped files, the save question, the conversion of a chosen file, and the menu item
// that shows the panel.
#include "read_dev/ml_form.h"
#include "read_dev/track_days.h"

void TML_Form::track_panelClick(TObject* Sender) {
  Panel4->BringToFront();
  Panel4->Visible = !Panel4->Visible;
}

AnsiString TML_Form::MakeTimeStampName() {
  return track::TimeStampName(Now());
}

void TML_Form::SBReadAndSaveClick(TObject* Sender) {
  Label25->Caption = AnsiString(std::string(19, ' '));
  Label25->Refresh();
  Edit1->Text = "0000";
  Edit2->Text = "0000";
  ProbeDeviceState();
  SBReadAdrClick(Sender);
  Sleep(500);
  SBRead_D3Click(Sender);
  Application->MessageBox("Файл gps_msg.txt сохранен в папке. " + WorkFolder, "Файл считан... ",
                          MB_OK | MB_ICONQUESTION);
}

void TML_Form::AutuReadClick(TObject* Sender) {
  GBMode->Visible = true;
  GBMode->BringToFront();
  GBMode->Refresh();
  RS485->Visible = false;
  RS485->Refresh();
  Ext->Visible = false;
  Ext->BringToFront();
  Ext->Refresh();
  user_phone->Visible = false;
  user_phone->Refresh();
  ProbeDeviceState();
  Sleep(2000);
  Edit1->Text = "0000";
  Edit2->Text = "0000";
  SBReadAdrClick(Sender);
  Sleep(500);
  Beep(1000, 100);
  SBRead_D3Click(Sender);
  ConvertTrackDump(1);
  Beep(1000, 100);
  Sleep(500);
  Beep(1000, 100);
  if (Application->MessageBox("Разделить по дням...?", "Файл считан и конвертирован... ",
                              MB_YESNO | MB_ICONQUESTION) == IDYES) {
    SplitByDays(1);
    ShowMessage("Файлы сохранены в папке " + DayFolder);
    const AnsiString stamp = MakeTimeStampName();
    WriteReloadReport(WorkFolder + "GPS_conv.txt", stamp + "_RELOAD.txt");
    RenameFile(WorkFolder + "GPSV_conv.txt", stamp + "_INVAL.txt");
  }
  ExitFormClick(Sender);
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
  ConvertTrackDump(0);
  if (Application->MessageBox("Разделить по дням...?", "Файл конвертирован... ",
                              MB_YESNO | MB_ICONQUESTION) == IDYES) {
    SplitByDays(0);
    ShowMessage("Файлы сохранены в папке " + DayFolder);
  }
}
