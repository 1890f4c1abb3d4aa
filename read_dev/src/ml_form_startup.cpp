// The main window's start-up and settings: construction, the INI file, closing, the
// working-folder panel, the text viewer, and the one-device-panel-at-a-time scheme.
#include <algorithm>

#include "comm_port/comm_port.h"
#include "platform/paths.h"
#include "read_dev/ml_form.h"
#include "vcl/shlobj.h"

TML_Form* ML_Form = nullptr;

namespace {

// The unit's start: the one serial port of every device exchange, before any window exists.
// It is never released.
const bool CommPortCreated = (CreateGlobalCommPort(), true);
// No handler catches a port error: the application's display of an exception that leaves a
// handler shows it with its code and the system error, and a device that is gone closes the
// port in the window first (TML_Form::CommErrorText).
const bool CommErrorTextRegistered =
    (TApplication::RegisterExceptionText<ECommError>(
         [](const ECommError& e) { return ML_Form ? ML_Form->CommErrorText(e) : e.Text(); }),
     true);

// The working folder of a first start is made when it is missing, so that the first download
// has somewhere to go. A folder the user chose is left as it is; a download into a folder that
// is not there (gone, or one that could not be made here) says so itself.
constexpr const char* DefaultWorkFolder = "c:\\Tc\\WorkDir\\";
void MakeDefaultWorkFolder(const AnsiString& folder) {
  if (folder == DefaultWorkFolder && !DirectoryExists(folder)) ForceDirectories(folder);
}

// Port-settings radio groups: item index <-> baud rate.
constexpr int BaudRates[] = {38400, 9600, 115200, 230400, 460800, 921600, 19200};
constexpr int PortItems = 8;

}  // namespace

// Beside the program; none where no text names the program's path exactly (the start says
// why), so that no settings go to another file.
AnsiString IniFilePath() {
  const AnsiString exe = Application->ExeName;
  return exe.IsEmpty() ? AnsiString() : ChangeFileExt(exe, ".INI");
}

TML_Form::TML_Form(TComponent* Owner) : TForm(Owner) {
  ReloadMarker = "/012345543210/";
  TrackList = new TStringList;
  ReloadList = new TStringList;
  ConvertedFlag = 0;
  Label30->Caption = "";
}

TML_Form::~TML_Form() {
  delete TrackList;
  delete ReloadList;
  delete IniFile;
}

void TML_Form::FormCreate(TObject* Sender) {
  delete IniFile;
  IniFile = new TIniFile(IniFilePath());
  if (IniFilePath().IsEmpty())
    ShowMessage("Настройки не будут сохранены: " + AnsiString(platform::ModuleFileNameProblem()) +
                ".");
  PortIndex = IniFile->ReadInteger("Port", "COMM_PORT_NMEA", 0);
  BaudRate = IniFile->ReadInteger("Port", "BAUD_RATE_NMEA", 921600);
  WorkFolder = IniFile->ReadString("Catalog", "work_dir", DefaultWorkFolder);
  SerIni = IniFile->ReadInteger("Ser", "ser_ini", 0);
  TimeCorrectionText = IniFile->ReadString("Time", "CorTime", "04:00:00");
  MakeDefaultWorkFolder(WorkFolder);

  // A text that is no time raises the conversion error here and ends the set-up.
  TimeCorrection = StrToTime(TimeCorrectionText);

  if (PortIndex >= 0 && PortIndex < PortItems) NmeaComRG->ItemIndex = PortIndex;
  for (int i = 0; i < static_cast<int>(std::size(BaudRates)); ++i)
    if (BaudRates[i] == BaudRate) NmeaBR->ItemIndex = i;

  SerialBT->Visible = SerIni != 0;
  deb_panel->Visible = SerIni != 0;

  Label6->Caption = "";
  Label2->Caption = "";
  Label16->Caption = "";
  Label20->Caption = "";
  Label22->Caption = "";
  Label25->Caption = "";
  Label23->Caption = "Номер прибора...";
  Label21->Caption = "Звук...";
  Label18->Caption = "Интервал записи...";
  Label17->Caption = "Свобдная память...";
}

// The window can always be closed: a port that fails to close and settings that cannot be
// written (a program folder the user may not write) are each shown once, and the close goes on.

void TML_Form::FormCloseQuery(TObject* Sender, bool& CanClose) {
  try {
    if (CommPort->IsOpen()) {
      Sleep(100);
      CommPort->Close();
    }
  } catch (...) {
    Application->HandleException(this);
  }
  CanClose = true;
}

void TML_Form::FormClose(TObject* Sender, TCloseAction& Action) {
  try {
    delete IniFile;
    IniFile = nullptr;
    if (IniFilePath().IsEmpty()) Abort();  // no settings file: the start said why
    IniFile = new TIniFile(IniFilePath());
    // The first write that fails ends the writing: one message, not one per key.
    IniFile->WriteInteger("Port", "COMM_PORT_NMEA", PortIndex);
    IniFile->WriteInteger("Port", "BAUD_RATE_NMEA", BaudRate);
    IniFile->WriteString("Catalog", "work_dir", WorkFolder);
    IniFile->WriteInteger("Ser", "ser_ini", SerIni);
  } catch (...) {
    Application->HandleException(this);
  }
  delete TrackList;
  TrackList = nullptr;
  Beep(1000, 100);
}

// ---- Working folder ----

void TML_Form::CatalogClick(TObject* Sender) {
  GBCatalog->BringToFront();
  Edit5->Text = WorkFolder;
  GBCatalog->Visible = true;
}

void TML_Form::SBCtalogClick(TObject* Sender) {
  char display_name[MAX_PATH] = "";
  BROWSEINFOA info{};
  info.hwndOwner = Handle;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display_name;
  info.lpszTitle = "Укажите каталог файлов ";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (!chosen) return;
  char path[MAX_PATH] = "";
  BOOL ok = SHGetPathFromIDListA(chosen, path);
  CoTaskMemFree(chosen);
  if (!ok) return;
  WorkFolder = AnsiString(path) + "\\";
  Edit5->Text = WorkFolder;
}

void TML_Form::ExitCatalogClick(TObject* Sender) {
  GBCatalog->Visible = false;
  SetCurrentDir(WorkFolder);
}

// ---- Text viewer ----

bool TML_Form::ViewTextFile() {
  if (!OpenDialog1->Execute()) return false;
  CurrentFileName = OpenDialog1->FileName;
  AnsiString command = "notepad.exe " + CurrentFileName;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, const_cast<char*>(command.c_str()), nullptr, nullptr, FALSE, 0,
                     nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  return true;
}

void TML_Form::Open1Click(TObject* Sender) {
  ViewTextFile();
}

void TML_Form::SpeedButton4Click(TObject* Sender) {
  if (!ViewTextFile()) {
    ShowMessage("File Not  Open");
    Abort();
  }
}

// ---- One device panel at a time ----

void TML_Form::ShowDevicePanel(TGroupBox* panel, std::initializer_list<TGroupBox*> spared) {
  if (panel) Panel4->Visible = false;
  for (TGroupBox* box : {user_phone, GBMode, apn_panel, SerialBox, RS485, Ext}) {
    if (std::find(spared.begin(), spared.end(), box) != spared.end()) continue;
    box->Visible = box == panel;
  }
}

void TML_Form::sb_user_phoneClick(TObject* Sender) {
  user_phone->BringToFront();
  ShowDevicePanel(user_phone);
}

void TML_Form::sb_apn_panel_onClick(TObject* Sender) {
  user_phone->SendToBack();
  GBMode->SendToBack();
  apn_panel->BringToFront();
  ShowDevicePanel(apn_panel);
}

// The vehicle number's box is shown or hidden; the others are hidden.
void TML_Form::SpeedButton10Click(TObject* Sender) {
  SerialBox->BringToFront();
  ShowDevicePanel(SerialBox->Visible ? nullptr : SerialBox);
}

void TML_Form::SpeedButton12Click(TObject* Sender) {
  ShowDevicePanel(RS485);
  user_phone->Refresh();
  GBMode->Refresh();
  apn_panel->BringToFront();
  apn_panel->Refresh();
  Ext->Refresh();
  ClearCalibrationGrid();
}

void TML_Form::ClearCalibrationGrid() {
  for (int row = 1; row <= 30; ++row) {
    StringGrid1->Cells[1][row] = "0";
    StringGrid1->Cells[2][row] = "0";
  }
}
