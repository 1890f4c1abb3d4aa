// The vehicle registration number, the parking detection and fuel output modes (panel Ext), the
// beeper and the recording interval.
#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"

namespace {

// Refuses a registration number of fewer than 3 or more than 15 characters as typed.
void CheckRegNumberLength(const AnsiString& number) {
  if (number.Length() < 3) {
    ShowMessage("Номер  < 3 символов...");
    Abort();
  }
  if (number.Length() > 15) {
    ShowMessage("Номер  > 15 символов...");
    Abort();
  }
}

// The pause before the registration number's command byte.
constexpr DWORD RegNumberPauseMs = 10;

// A mode button: its set command, 100 ms later its mode query, and the answer into `target`.
int SetMode(TEdit* target, BYTE command, BYTE query) {
  RequirePortOpen();
  BeginRead(target, command);
  Sleep(CommandPauseMs);
  CommPort->WriteByte(query);
  return ReadReply(target, '.', 5000);
}

// A mode query alone, 100 ms after the input purge.
int QueryMode(TEdit* target, BYTE query) {
  RequirePortOpen();
  BeginRead(target, query, PurgePauseMs);
  return ReadReply(target, '.', 5000);
}

// A command byte without parameter or reply, after both purges and 100 ms.
void SendSwitch(BYTE command) {
  RequirePortOpen();
  PurgeBothAndPause(PurgePauseMs);
  CommPort->WriteByte(command);
}

}  // namespace

// ---- Registration number ----

void TML_Form::auto_namberClick(TObject* Sender) {
  RS485->Visible = false;
  SpeedButton10Click(Sender);
}

void TML_Form::SerialCloseClick(TObject* Sender) {
  SerialBox->Visible = false;
}

void TML_Form::OK_SERIALClick(TObject* Sender) {
  RequirePortOpen();
  AnsiString number = SrEdit->Text;
  CheckRegNumberLength(number);
  if (number[1] != '/') number = "/" + number;
  if (number[number.Length()] != '/') number += "/";
  PurgeBothAndPause(RegNumberPauseMs);
  WriteSetting(CmdSetRegNumber, number);
}

void TML_Form::sb_auto_serial_smsClick(TObject* Sender) {
  CheckRegNumberLength(SrEdit->Text);
}

// ---- Parking detection and fuel output modes ----

int TML_Form::SetParkingByGps() {
  return SetMode(Edit14, CmdParkingByGps, CmdReadParkingMode);
}

int TML_Form::SetParkingByIgnition() {
  return SetMode(Edit14, CmdParkingByIgnition, CmdReadParkingMode);
}

int TML_Form::ReadParkingMode() {
  return QueryMode(Edit14, CmdReadParkingMode);
}

int TML_Form::SetOutputCodes() {
  return SetMode(Edit15, CmdOutputCodes, CmdReadOutputMode);
}

int TML_Form::SetOutputLitres() {
  return SetMode(Edit15, CmdOutputLitres, CmdReadOutputMode);
}

int TML_Form::ReadOutputMode() {
  return QueryMode(Edit15, CmdReadOutputMode);
}

void TML_Form::SpeedButton25Click(TObject* Sender) {
  ReportReaderResult(SetParkingByGps());
  SBWritePH->Enabled = false;
}

void TML_Form::SpeedButton26Click(TObject* Sender) {
  ReportReaderResult(SetParkingByIgnition());
  SBWritePH->Enabled = false;
}

void TML_Form::SpeedButton27Click(TObject* Sender) {
  ReportReaderResult(SetOutputCodes());
  SBWritePH->Enabled = false;
}

void TML_Form::SpeedButton28Click(TObject* Sender) {
  ReportReaderResult(SetOutputLitres());
  SBWritePH->Enabled = false;
}

// Shows the panel Ext in front of the others, then asks the device for both modes; a missing
// answer leaves its edit empty without a message.
void TML_Form::SpeedButton21Click(TObject* Sender) {
  user_phone->SendToBack();
  GBMode->SendToBack();
  apn_panel->SendToBack();
  Ext->BringToFront();
  ShowDevicePanel(Ext);
  ReadOutputMode();
  ReadParkingMode();
}

// ---- Beeper and recording interval ----

void TML_Form::SBBeppONClick(TObject* Sender) {
  SendSwitch(CmdBeepOn);
}

void TML_Form::SBBeepOFFClick(TObject* Sender) {
  SendSwitch(CmdBeepOff);
}

// Keeps the track bar and Edit4 at the multiple of 5 at or below the chosen position.
void TML_Form::tbar_intervalChange(TObject* Sender) {
  const int interval = tbar_interval->Position / 5 * 5;
  Edit4->Text = IntToStr(interval);
  tbar_interval->Position = interval;
}

void TML_Form::SBTempClick(TObject* Sender) {
  RequirePortOpen();
  PurgeBothAndPause(PurgePauseMs);
  // Edit4 may hold more than the track bar's range (the state query writes it): the device
  // takes the low 8 bits.
  const int seconds = StrToInt(Edit4->Text);
  CommPort->WriteByte(CmdSetInterval);
  Sleep(CommandPauseMs);
  CommPort->WriteByte(static_cast<BYTE>(seconds & 0xFF));
}

void TML_Form::SpeedButton9Click(TObject* Sender) {}
