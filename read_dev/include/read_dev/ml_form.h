// Trakmon's main window: the controls of its form description, the state that its handlers
// share, start-up and settings, and the scheme that shows one device panel at a time.
#pragma once

#include <initializer_list>
#include <vector>

#include "read_dev/calibration_table.h"
#include "read_dev/user_apn_reply.h"
#include "vcl/vcl.h"

class ECommError;

class TML_Form : public TForm {
 public:
  VCL_FORM(TML_Form)

  // ---- Tool bar and main menu ----
  VCL_FIELD(TToolBar, ToolBar1);
  VCL_FIELDS(TSpeedButton, SBOpenComPort, SBCloseComPort, sb_jmp_boot, SpeedButton1, SBAllExit);
  VCL_FIELD(TMainMenu, MainMenu1);
  VCL_FIELDS(TMenuItem, File1, Catalog, Open1, N2, deb_panel, Exit1, Setup1, N3, auto_namber,
             mill_setup, N1);
  VCL_FIELD(TOpenDialog, OpenDialog1);
  VCL_FIELD(TStatusBar, StatusBar1);

  // ---- "Установки прибора": the panel buttons, erase, picture, beeper and interval ----
  VCL_FIELD(TGroupBox, GroupBox2);
  VCL_FIELDS(TSpeedButton, SBMode, sb_user_phone, sb_apn_panel_on, SpeedButton10, SpeedButton21,
             SpeedButton12, SBCHErase, SBTemp, SpeedButton9, SBBeppON, SBBeepOFF);
  VCL_FIELD(TImage, Image1);
  VCL_FIELDS(TLabel, Label12, Label24);
  VCL_FIELD(TTrackBar, tbar_interval);
  VCL_FIELD(TEdit, Edit4);

  // ---- The area of the device panels and the panels opened in front of them ----
  VCL_FIELD(TPanel, Panel2);

  // State box.
  VCL_FIELD(TGroupBox, GBMode);
  VCL_FIELDS(TLabel, Label13, Label16, Label17, Label18, Label20, Label21, Label22, Label23,
             Label43);

  // User password and dispatcher phones.
  VCL_FIELD(TGroupBox, user_phone);
  VCL_FIELDS(TLabel, Label14, Label27, Label28, Label29);
  VCL_FIELDS(TEdit, edit_pass, done_edit_phone, EditReadUser, EditPhone);
  VCL_FIELDS(TCSpinEdit, max_users_spin, user_spin);
  VCL_FIELDS(TSpeedButton, sb_pass, sb_read_pass, sb_max_users, sb_done_edit_phone, SBReadPH,
             SBWritePH);

  // APN and server.
  VCL_FIELDS(TGroupBox, apn_panel, GroupBox3, GroupBox4);
  VCL_FIELDS(TLabel, Label37, Label38, Label40, Label41, Label42);
  VCL_FIELDS(TEdit, edit_apn, edit_user_apn, edit_user_login, edit_user_pass, edit_read_portip,
             edit_ip);
  VCL_FIELDS(TComboBox, apn_box, edit_write_portip, ip_box);
  VCL_FIELDS(TSpeedButton, sb_read_apn, sb_write_apn, sb_read_apn_user, sb_write_apn_user,
             sb_apn_sms, read_portip, write_portip, sb_auto_port_sms, sb_read_ip, sb_write_ip,
             sb_setsms_ip);

  // Vehicle registration number and extra settings.
  VCL_FIELDS(TGroupBox, SerialBox, Ext);
  VCL_FIELDS(TEdit, SrEdit, Edit14, Edit15);
  VCL_FIELDS(TSpeedButton, OK_SERIAL, SerialClose, sb_auto_serial_sms, SpeedButton25, SpeedButton26,
             SpeedButton27, SpeedButton28);

  // Fuel sensor on the RS-485 line.
  VCL_FIELD(TGroupBox, RS485);
  VCL_FIELDS(TLabel, Label33, Label34, Label44, Label45, Label46);
  VCL_FIELDS(TEdit, read_addr, Edit7, Edit8, Edit9, Edit10, Edit11, Edit12, Edit13);
  VCL_FIELD(TCSpinEdit, CSpinEdit1);
  VCL_FIELDS(TSpeedButton, SpeedButton11, SpeedButton13, SpeedButton14, SpeedButton15,
             SpeedButton16, SpeedButton17, SpeedButton18, SpeedButton19, SpeedButton20,
             SpeedButton22, SpeedButton23, SpeedButton24);
  VCL_FIELD(TStringGrid, StringGrid1);
  VCL_FIELD(TBevel, Bevel2);

  // Download and conversion panel (hidden).
  VCL_FIELD(TPanel, Panel4);
  VCL_FIELDS(TSpeedButton, sb_bt_load, AutuRead, ExitForm, SBConversion, SBReadAndSave);
  VCL_FIELD(TCheckBox, ZipOn);
  VCL_FIELDS(TGroupBox, GroupBox1, gb_read_data);
  VCL_FIELDS(TProgressBar, PBar1, PBar2);
  VCL_FIELDS(TLabel, Label4, Label5, Label19, Label25, Label30);

  // Debug panel.
  VCL_FIELD(TGroupBox, PDebug);
  VCL_FIELDS(TEdit, Edit1, Edit2, Edit3, Edit6);
  VCL_FIELDS(TLabel, Label2, Label3, Label6, Label7, Label8, Label9, Label10, Label11, Label15,
             Label26, Label31, Label32, Label39);
  VCL_FIELDS(TSpeedButton, SBCHRead, SBCHWrite, SBWriteON, SBWriteOFF, SBReadAdr, SBRead_D3,
             SpeedButton5, SpeedButton6, SBVer_Nam_, SBLimit_Velos_, sb_read4000, SBResetDevice,
             sb_net_auto, sb_map_auto, SpeedButton7, SpeedButton8, SpeedButton2, SpeedButton3,
             SerialBT, SBSetup, sb_full_erase, SpeedButton4, SBCloseDeb);
  VCL_FIELD(TBevel, Bevel1);

  // Working folder, port settings, memory countdown.
  VCL_FIELD(TGroupBox, GBCatalog);
  VCL_FIELD(TEdit, Edit5);
  VCL_FIELDS(TSpeedButton, SBCtalog, ExitCatalog);
  VCL_FIELD(TPanel, Panel1);
  VCL_FIELD(TLabel, Label1);
  VCL_FIELDS(TRadioGroup, NmeaComRG, NmeaBR);
  VCL_FIELD(TButton, DoneNmea);
  VCL_FIELD(TPanel, Panel3);
  VCL_FIELDS(TLabel, Label35, Label36);
  VCL_FIELD(TProgressBar, pb_mem);

  // ---- Handlers ----
  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void CatalogClick(TObject* Sender);
  void SBCtalogClick(TObject* Sender);
  void ExitCatalogClick(TObject* Sender);
  void Open1Click(TObject* Sender);
  void SpeedButton4Click(TObject* Sender);
  void SBModeClick(TObject* Sender);
  void sb_user_phoneClick(TObject* Sender);
  void sb_apn_panel_onClick(TObject* Sender);
  void SpeedButton10Click(TObject* Sender);
  void SpeedButton21Click(TObject* Sender);
  void SpeedButton12Click(TObject* Sender);
  VCL_HANDLERS(FormCreate, FormCloseQuery, FormClose, CatalogClick, SBCtalogClick, ExitCatalogClick,
               Open1Click, SpeedButton4Click, SBModeClick, sb_user_phoneClick, sb_apn_panel_onClick,
               SpeedButton10Click, SpeedButton21Click, SpeedButton12Click);

  // ---- Port connection, state query, memory commands, hand-over, exit, debug panel ----
  void SBOpenComPortClick(TObject* Sender);
  void SBCloseComPortClick(TObject* Sender);
  void Setup1Click(TObject* Sender);
  void DoneNmeaClick(TObject* Sender);
  void SBCHEraseClick(TObject* Sender);
  void SBSetupClick(TObject* Sender);
  void mill_setupClick(TObject* Sender);
  void sb_full_eraseClick(TObject* Sender);
  void N1Click(TObject* Sender);
  void sb_jmp_bootClick(TObject* Sender);
  void SBAllExitClick(TObject* Sender);
  void Exit1Click(TObject* Sender);
  VCL_HANDLERS(SBOpenComPortClick, SBCloseComPortClick, Setup1Click, DoneNmeaClick, SBCHEraseClick,
               SBSetupClick, mill_setupClick, sb_full_eraseClick, N1Click, sb_jmp_bootClick,
               SBAllExitClick, Exit1Click);
  void deb_panelClick(TObject* Sender);
  void SBCloseDebClick(TObject* Sender);
  void SBCHReadClick(TObject* Sender);
  void SBCHWriteClick(TObject* Sender);
  void SpeedButton7Click(TObject* Sender);
  void SpeedButton8Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  void SpeedButton3Click(TObject* Sender);
  VCL_HANDLERS(deb_panelClick, SBCloseDebClick, SBCHReadClick, SBCHWriteClick, SpeedButton7Click,
               SpeedButton8Click, SpeedButton2Click, SpeedButton3Click);
  // Opens CommPort on PortIndex at BaudRate and shows the connected state; a port that cannot
  // be opened ends the handler silently after its message.
  void OpenPort();
  // Closes CommPort and shows the disconnected state.
  void ClosePort();
  // The text the application shows for a port error that left a handler. A device that is gone
  // first closes the port (ClosePort), and the text says the tracker was disconnected.
  AnsiString CommErrorText(const ECommError& error);
  // Asks the device for its state and fills the state box: 0 when shown, -1 when no "#" came
  // within 800 ms. Ends the handler silently on a closed port or a status line it cannot use.
  int QueryDeviceState();
  // QueryDeviceState with one fallback between 115200 and 460800 baud; after a second silence
  // closes the port and ends the handler silently.
  void ProbeDeviceState();
  // Confirmation, format command, its done mark, the 25-second countdown.
  void FormatDeviceMemory();
  // Holds the window for `seconds` with the countdown panel in front.
  void ShowMemoryCountdown(int seconds);

  // ---- User password and phones, APN and server, vehicle number and extra settings ----
  // Password and dispatcher phones: the "Да" buttons stage a value in EditPhone, SBWritePH
  // sends it.
  void sb_passClick(TObject* Sender);
  void sb_max_usersClick(TObject* Sender);
  void sb_done_edit_phoneClick(TObject* Sender);
  void SBWritePHClick(TObject* Sender);
  void sb_read_passClick(TObject* Sender);
  void SBReadPHClick(TObject* Sender);
  int ReadUserPassword();
  int ReadUserPhone();
  // APN and server.
  void sb_read_apnClick(TObject* Sender);
  void sb_write_apnClick(TObject* Sender);
  void sb_read_apn_userClick(TObject* Sender);
  void sb_write_apn_userClick(TObject* Sender);
  void sb_apn_smsClick(TObject* Sender);
  void read_portipClick(TObject* Sender);
  void write_portipClick(TObject* Sender);
  void sb_read_ipClick(TObject* Sender);
  void sb_write_ipClick(TObject* Sender);
  void sb_setsms_ipClick(TObject* Sender);
  int ReadStandardApn();
  int ReadServerPort();
  int ReadServerIp();
  // Vehicle number, parking and fuel output modes, beeper, recording interval.
  void auto_namberClick(TObject* Sender);
  void SerialCloseClick(TObject* Sender);
  void OK_SERIALClick(TObject* Sender);
  void sb_auto_serial_smsClick(TObject* Sender);
  void SpeedButton25Click(TObject* Sender);
  void SpeedButton26Click(TObject* Sender);
  void SpeedButton27Click(TObject* Sender);
  void SpeedButton28Click(TObject* Sender);
  void SBBeppONClick(TObject* Sender);
  void SBBeepOFFClick(TObject* Sender);
  void tbar_intervalChange(TObject* Sender);
  void SBTempClick(TObject* Sender);
  void SpeedButton9Click(TObject* Sender);
  int SetParkingByGps();
  int SetParkingByIgnition();
  int ReadParkingMode();
  int SetOutputCodes();
  int SetOutputLitres();
  int ReadOutputMode();
  VCL_HANDLERS(sb_passClick, sb_max_usersClick, sb_done_edit_phoneClick, SBWritePHClick,
               sb_read_passClick, SBReadPHClick, sb_read_apnClick, sb_write_apnClick,
               sb_read_apn_userClick, sb_write_apn_userClick, sb_apn_smsClick, read_portipClick,
               write_portipClick, sb_read_ipClick, sb_write_ipClick, sb_setsms_ipClick,
               auto_namberClick, SerialCloseClick, OK_SERIALClick, sb_auto_serial_smsClick,
               SpeedButton25Click, SpeedButton26Click, SpeedButton27Click, SpeedButton28Click,
               SBBeppONClick, SBBeepOFFClick, tbar_intervalChange, SBTempClick, SpeedButton9Click);
  // The fields that the user APN read fills; they keep their contents from one read to the next.
  UserApnReplyFields UserApnReply;

  // ---- Track dump, conversion, work file, day split, download buttons ----
  // The menu item that shows the download panel Panel4.
  VCL_FIELD(TMenuItem, track_panel);
  void track_panelClick(TObject* Sender);
  // Panel4 shown in front of the device panels, at once (it lies over the same area; showing a
  // device panel hides it again).
  void ShowDownloadPanel();
  void SBReadAdrClick(TObject* Sender);
  void SBRead_D3Click(TObject* Sender);
  void SBReadAndSaveClick(TObject* Sender);
  void AutuReadClick(TObject* Sender);
  void ExitFormClick(TObject* Sender);
  void SBConversionClick(TObject* Sender);
  VCL_HANDLERS(track_panelClick, SBReadAdrClick, SBRead_D3Click, SBReadAndSaveClick, AutuReadClick,
               ExitFormClick, SBConversionClick);
  // The steps of the download buttons; each says whether it succeeded (a failure has shown its
  // message) or ends the handler silently after its message.
  // The end address into Edit2; false when it was too long ("Error END Address").
  bool ReadEndAddress();
  // The dump from Edit1 to Edit2: true when the whole range came and "gps_msg.txt" holds it.
  // Otherwise (a byte too late, a stream longer than its bound, the window's close or the end
  // of the session meanwhile) the old "gps_msg.txt" stays, what came is kept beside it and the
  // user is told.
  bool DumpTrackMemory();
  // Converts a track log (mode 0: a file the user picks; 1: "gps_msg.txt") into "GPS_conv.txt",
  // "GPSV_conv.txt", "Reload.txt" and "GPS_WORK.txt"; -1 for fewer than 10 lines, -2 for an
  // empty work file, else 0. TrackList then holds the work file.
  int ConvertTrackDump(int mode);
  // The restart report of the converted file `source`, saved at `target` (TrackList: `source`).
  void WriteReloadReport(const AnsiString& source, const AnsiString& target);
  // The work file from the lines of "GPS_conv.txt" in TrackList; the lines it has.
  int BuildWorkFile();
  // The day files of TrackList (mode 0: in a folder the user picks; 1: the per-vehicle folder).
  void SplitByDays(int mode);
  // The per-vehicle folder WorkFolder + DeviceId, created when missing, made current.
  void MakeDeviceFolder();
  // The save question's step: the per-vehicle folder, created when missing, made current.
  void EnterDeviceFolder();
  // The time-stamp prefix of the download's files, from the current date and time.
  AnsiString MakeTimeStampName();
  // Whether a conversion's result leaves work lines to split; a work file without lines is
  // reported ("Нет записей.").
  bool ConversionLeftWork(int result);
  // Moves "GPSV_conv.txt" of the working folder to `target`; a move that fails is reported with
  // its reason and ends the handler silently.
  void MoveNoFixFile(const AnsiString& target);
  int ReloadCount = 0;
  AnsiString DeviceFolder;
  AnsiString DayFolder;

  // ---- Fuel sensor and calibration ----
  void SpeedButton11Click(TObject* Sender);
  void SpeedButton13Click(TObject* Sender);
  void SpeedButton14Click(TObject* Sender);
  void SpeedButton15Click(TObject* Sender);
  void SpeedButton16Click(TObject* Sender);
  void SpeedButton17Click(TObject* Sender);
  void SpeedButton18Click(TObject* Sender);
  void SpeedButton19Click(TObject* Sender);
  void SpeedButton20Click(TObject* Sender);
  void SpeedButton22Click(TObject* Sender);
  void SpeedButton23Click(TObject* Sender);
  void SpeedButton24Click(TObject* Sender);
  VCL_HANDLERS(SpeedButton11Click, SpeedButton13Click, SpeedButton14Click, SpeedButton15Click,
               SpeedButton16Click, SpeedButton17Click, SpeedButton18Click, SpeedButton19Click,
               SpeedButton20Click, SpeedButton22Click, SpeedButton23Click, SpeedButton24Click);
  // The sensor requests, relayed by the tracker: 0, or the reader's time-out result.
  int ReadSensorAddress();
  int WriteSensorAddress();
  int ReadSensorFiltered();
  int ReadSensorUnfiltered();
  int ReadSensorTemperature();
  // The calibration requests: 0, ReplyTimedOut (point read) or TableReplyTooLong (table read).
  int ReadCalibrationPoint();
  int ReadCalibrationTable();
  int WriteCalibrationTable();  // always 0
  // The code in a cell of the calibration grid; a value above 65535 is refused with a message
  // and ends the handler.
  long long CalibrationCode(int column, int row);
  // A sensor click's end: "Time 0ut..." for a non-zero result, then SBWritePH disabled (a value
  // staged in the user-phone panel must be staged again).
  void FinishSensorRequest(int result);
  // The level read into `target` and Edit11, asked once more when the first read ran out.
  int ReadSensorLevel(TEdit* target);
  // The point of the three point edits as the user typed it.
  CalibrationPoint TypedCalibrationPoint() const;

  // ---- Modem console ----
  void SpeedButton1Click(TObject* Sender);
  VCL_HANDLERS(SpeedButton1Click);

  explicit TML_Form(TComponent* Owner);
  ~TML_Form() override;

  // Zeroes the values of the calibration grid (columns 1 and 2 of rows 1 to 30).
  void ClearCalibrationGrid();

  // The six device panels (user_phone, GBMode, apn_panel, SerialBox, RS485, Ext) show one at a
  // time: `panel` is shown (none for nullptr) and the others hidden, except the `spared` ones,
  // which keep their visibility. A panel shown hides the download panel, which lies over them.
  void ShowDevicePanel(TGroupBox* panel, std::initializer_list<TGroupBox*> spared = {});

  // ---- State shared by the handlers and the track download ----
  int PortIndex = 0;  // 0 = COM1
  int BaudRate = 0;
  int SerIni = 0;  // developer switch, non-zero = on
  AnsiString WorkFolder;
  AnsiString TimeCorrectionText;
  TDateTime TimeCorrection;
  AnsiString DeviceId;
  AnsiString DeviceNumberText;
  AnsiString ServerPortText;
  AnsiString ReloadMarker;
  AnsiString CurrentFileName;
  TIniFile* IniFile = nullptr;
  int StagedValueKind = 0;  // 0 password, 1 user count, 2 phone
  int ConvertedFlag = 0;
  TStringList* TrackList = nullptr;
  TStringList* ReloadList = nullptr;

 private:
  // The dump's range from Edit1 and Edit2, shown in Label2, Label4, Label5 and PBar1: the
  // command text and the bytes it asks for. An empty range or one past the track memory ends
  // the handler silently after its message.
  struct DumpRange {
    AnsiString command;
    long long length;
  };
  DumpRange TakeDumpRange();
  // Writes what an incomplete dump brought into its own file and says how much came and where.
  void KeepIncompleteDump(const std::vector<BYTE>& bytes, long long length);
  // Runs the file dialog and shows the chosen file in Notepad, waiting for it; false when the
  // dialog was cancelled.
  bool ViewTextFile();
};

extern TML_Form* ML_Form;

// The INI file: the program file's path with its extension replaced by ".INI".
AnsiString IniFilePath();
