// Connecting to the device: the connect and disconnect buttons, the port-settings panel, and the
// state probe that falls back between the two rates a tracker runs at.
#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"

namespace {

AnsiString OpenCaption(int port_index, int baud_rate) {
  return "  Open COMM PORT_" + IntToStr(port_index + 1) + "  Baud Rate " + IntToStr(baud_rate);
}

}  // namespace

void TML_Form::OpenPort() {
  AnsiString n = IntToStr(PortIndex + 1);
  int result = CommPort->Open(static_cast<BYTE>(PortIndex), 2048, 2048);
  if (result == -103) {
    // What the system found goes beneath: the port may be there but held or forbidden.
    AnsiString reason = OpenFailureText(static_cast<BYTE>(PortIndex), GetLastError());
    ShowMessage("Comm Port_" + n + "  Не найден...\n" + reason);
    SBOpenComPort->Enabled = true;
    SBCloseComPort->Enabled = false;
    Abort();
  }
  if (result == -100) {
    ShowMessage("Comm Port_" + n + " Уже открыт...");
    return;
  }
  CommPort->SetBaudRate(BaudRate);
  Caption = OpenCaption(PortIndex, BaudRate);
  SBOpenComPort->Enabled = false;
  SBCloseComPort->Enabled = true;
  Setup1->Enabled = false;
}

void TML_Form::ClosePort() {
  CommPort->Close();
  Caption = "  Close COMM PORT_" + IntToStr(PortIndex + 1);
  SBOpenComPort->Enabled = true;
  SBCloseComPort->Enabled = false;
  Setup1->Enabled = true;
}

AnsiString TML_Form::CommErrorText(const ECommError& error) {
  if (!error.DeviceGone()) return error.Text();
  // Every later call on the port would fail the same way: the port is closed as the user closes
  // it, and can be opened again once the device is back.
  try {
    ClosePort();
  } catch (const ECommError& close_error) {
    return close_error.Text();
  }
  return "Прибор отключен... Comm Port_" + IntToStr(PortIndex + 1) + " закрыт.";
}

void TML_Form::ProbeDeviceState() {
  if (QueryDeviceState() != -1) return;
  BaudRate = BaudRate == 115200 ? 460800 : 115200;
  CommPort->SetBaudRate(BaudRate);
  Caption = OpenCaption(PortIndex, BaudRate);
  if (QueryDeviceState() != -1) return;
  ShowMessage("Прибор не отвечает...");
  SBOpenComPort->Enabled = true;
  SBCloseComPort->Enabled = false;
  ClosePort();
  Abort();
}

void TML_Form::SBOpenComPortClick(TObject* Sender) {
  OpenPort();
}

void TML_Form::SBCloseComPortClick(TObject* Sender) {
  ClosePort();
  ShowDevicePanel(nullptr);
}

// ---- Port settings: they take effect at the next connection ----

void TML_Form::Setup1Click(TObject* Sender) {
  Panel1->BringToFront();
  Panel1->Visible = true;
}

void TML_Form::DoneNmeaClick(TObject* Sender) {
  int port = NmeaComRG->ItemIndex;
  if (port >= 0 && port <= 7) PortIndex = port;
  // The items are the rates themselves.
  int rate = NmeaBR->ItemIndex;
  if (rate >= 0) BaudRate = StrToInt(NmeaBR->Items->Strings[rate]);
  Panel1->Visible = false;
}
