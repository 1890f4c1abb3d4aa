// The debug panel: its menu item and close button, the test read and write over an address
// range, and the modem-line buttons.
#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"

namespace {

// A line of the debug read: its bytes after "#" up to a line feed, at most this many.
constexpr int DebugLineLimit = 250;

// Both test commands: 200 ms, the command byte, 200 ms, the text and its 0x00.
void SendDebugCommand(BYTE command, const AnsiString& text) {
  Sleep(DebugPauseMs);
  CommPort->WriteByte(command);
  Sleep(DebugPauseMs);
  WriteTextParameter(text);
}

}  // namespace

void TML_Form::deb_panelClick(TObject* Sender) {
  PDebug->BringToFront();
  PDebug->Visible = !PDebug->Visible;
}

void TML_Form::SBCloseDebClick(TObject* Sender) {
  PDebug->Visible = false;
}

void TML_Form::SBCHReadClick(TObject* Sender) {
  RequirePortOpen();
  AnsiString text = Edit1->Text + " " + Edit2->Text;
  Label2->Caption = text;
  CommPort->PurgeOutput();
  CommPort->PurgeInput();
  SendDebugCommand(CmdDebugRead, text);

  // "#" lines, each dropped unread, until "@". Bytes inside a line are data, also "#" and "@";
  // a line that reaches its limit without a line feed leaves the rest to the scan between lines.
  BoundedReader reader;
  BYTE byte;
  while (reader.Next(byte)) {
    if (byte == DoneMark) Abort();
    if (byte != DataMark) continue;
    for (int n = 0; n < DebugLineLimit && reader.Next(byte); ++n)
      if (byte == 0x0A) break;
  }
  ReportDeviceSilent("Прибор не отвечает...");
}

void TML_Form::SBCHWriteClick(TObject* Sender) {
  RequirePortOpen();
  AnsiString text = Edit1->Text + " " + Edit2->Text + " " + Edit3->Text;
  Label2->Caption = text;
  SendDebugCommand(CmdDebugWrite, text);
  if (!WaitForDone(DeviceWait)) ReportDeviceSilent("Прибор не отвечает...");
}

// ---- Modem lines ----

void TML_Form::SpeedButton7Click(TObject* Sender) {
  RequirePortOpen();
  CommPort->SetRTS();
}

void TML_Form::SpeedButton8Click(TObject* Sender) {
  RequirePortOpen();
  CommPort->ClearRTS();
}

void TML_Form::SpeedButton2Click(TObject* Sender) {
  RequirePortOpen();
  CommPort->SetDTR();
}

void TML_Form::SpeedButton3Click(TObject* Sender) {
  RequirePortOpen();
  CommPort->ClearDTR();
}
