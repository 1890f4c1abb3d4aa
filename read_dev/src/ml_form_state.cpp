// The device state query: "e", the status line after "#", and the state box filled from its
// tokens.
#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"
#include "read_dev/status_line.h"

namespace {

// The status line up to its 0x00. A line longer than the device's fields make, or one that
// stops coming before its end, ends the handler with the message.
AnsiString ReadStatusLine() {
  AnsiString line;
  BoundedReader reader;
  BYTE byte;
  while (reader.Next(byte)) {
    if (byte == 0x00) return line;
    line += static_cast<char>(byte);
    if (line.Length() > StatusLineMax) break;
  }
  ReportDeviceSilent("Error Status String");
}

int HexToken(const AnsiString& token) {
  return StrToInt("0x" + token);
}

}  // namespace

int TML_Form::QueryDeviceState() {
  RequirePortOpen();
  GBMode->Visible = true;
  GBMode->BringToFront();
  GBMode->Refresh();
  PurgeBothAndPause(PurgePauseMs);
  CommPort->WriteByte(CmdStatus);
  if (!WaitForDataMark(800)) return -1;
  StatusLine status = SplitStatusLine(ReadStatusLine());
  const AnsiString* token = status.Tokens;

  Label17->Caption = "Свобдная память = " + IntToStr(FreeMemoryKb(HexToken(token[0]))) + "(kB)";
  Label18->Caption = "Интервал записи =" + IntToStr(HexToken(token[1])) + "(S)";
  Label21->Caption = HexToken(token[3]) == 1 ? "Звук ВКЛ" : "Звук ВЫКЛ";
  try {
    DeviceNumberText = "";
    DeviceId = "";
    DeviceNumberText = token[5];
    ServerPortText = token[6];
    DeviceNumberText = UnframeDeviceNumber(DeviceNumberText);
    // The number names the per-vehicle folder: it cannot lead out of the working folder.
    DeviceId = "ID= " + DeviceFolderName(Trim(DeviceNumberText));
    Label23->Caption = "Номер прибора-> " + DeviceId;
    Label13->Caption = "Порт сервера-> " + ServerPortText;
    Label43->Caption = "IP Сервера-> " + token[7];
  } catch (const Exception&) {
    ShowMessage("Error Serial...");
  }
  int interval = HexToken(token[1]);
  Edit4->Text = IntToStr(interval);
  tbar_interval->Position = interval;
  GBMode->Refresh();
  return 0;
}

// The state box comes first; the boxes that the query does not cover stay until it answered.
void TML_Form::SBModeClick(TObject* Sender) {
  GBMode->BringToFront();
  ShowDevicePanel(GBMode, {apn_panel, SerialBox, Ext});
  GBMode->Refresh();
  ProbeDeviceState();
  ShowDevicePanel(GBMode);
}
