// The loader window's shell: creation and closing, the port connection and the log.
#include "prog/form_prog.h"

#include <memory>

#include "platform/cp1251.h"
#include "platform/paths.h"
#include "serial_event/serial_event.h"

TFormProg* FormProg = nullptr;
Tserial_event* serial_port = nullptr;

namespace {
std::unique_ptr<Tserial_event> port_holder;

// Why the port did not open, from the error its open left: what the user can do about it.
AnsiString OpenFailureReason(const AnsiString& port, DWORD error) {
  using Reason = platform::ComOpenFailure::Reason;
  const platform::ComOpenFailure failure = platform::ExplainComOpenFailure(port.str(), error);
  const AnsiString device = platform::Utf8ToCp1251(failure.device);
  switch (failure.reason) {
    case Reason::NoDevice:
      return port + " is not linked to a device (no " + platform::Utf8ToCp1251(failure.link) + ")";
    case Reason::Missing:
      return "Device " + device + " not found (adapter unplugged?)";
    case Reason::NotATerminal:
      return device + " is not a serial port";
    case Reason::NoAccess:
      return "No access to " + device + ": add the user to the group " + failure.group +
             " and log in again";
    case Reason::Held:
      return "Device " + device + " is in use by another program";
    case Reason::Other:
      break;
  }
  return "Device " + device + ": system error " + AnsiString(static_cast<int>(error));
}
}  // namespace

void CreateSerialPort() {
  if (!port_holder) port_holder = std::make_unique<Tserial_event>();
  serial_port = port_holder.get();
}

void DestroySerialPort() {
  port_holder.reset();
  serial_port = nullptr;
}

TFormProg::TFormProg(TComponent* Owner) : TForm(Owner) {
  // The worker thread posts to this handle: it must exist before any port is opened.
  window_ = Handle;
  file_name = "";
  if (serial_port) serial_port->set_callback(on_serial_event);
  file_lines = new TStringList();
  reply_timer_ = new TTimer(this);
  reply_timer_->Name = "ReplyTimer";
  reply_timer_->Enabled = false;
  reply_timer_->Interval = 250;
  reply_timer_->OnTimer = [this](TObject* Sender) { reply_deadline(Sender); };
}

TFormProg::~TFormProg() {
  if (FormProg == this) FormProg = nullptr;
  delete file_lines;
  file_lines = nullptr;
}

void TFormProg::FormCreate(TObject* Sender) {
  connected = 0;
  list_com_ports();
  set_mode(MODE_IDLE);
  Label1->Caption = "";
  Label2->Caption = "";
  Label3->Caption = "";
  Label4->Caption = "";
  make_crc_table();
}

void TFormProg::FormCloseQuery(TObject* Sender, bool& CanClose) {
  if (connected == 1) close_port();
  CanClose = true;
}

void TFormProg::FormClose(TObject* Sender, TCloseAction& Action) {
  file_lines->Clear();
  image.reset();
}

void TFormProg::ToolButton1Click(TObject* Sender) {
  Close();
}

void TFormProg::sb_connectClick(TObject* Sender) {
  AnsiString port = ComboBox1->Text;
  AnsiString path = "\\\\.\\" + port;
  if (serial_port->open(path.c_str(), 460800, 0, 8, 0) != SE_OK) {
    const DWORD error = serial_port->open_error();
    ShowMessage("Error Connect... " + port +
                (error != 0 ? "\n" + OpenFailureReason(port, error) : AnsiString()));
    Caption = "Error Connect... " + port;
    Abort();
  }
  serial_port->set_rx_chunk(256);  // each read takes every byte that has arrived
  connected = 1;
  Caption = "  Comm Port ( " + path + " ) Open";
  sb_connect->Enabled = false;
  ComboBox1->Enabled = false;
  sb_disconnect->Enabled = true;
}

void TFormProg::sb_disconnectClick(TObject* Sender) {
  sb_start_ld->Enabled = false;
  close_port_ending_write("Port Closed By Disconnect... " + ComboBox1->Text());
}

void TFormProg::close_port() {
  serial_port->stop();
  Caption = "  Comm Port ( " + ComboBox1->Text() + " ) Close";
  connected = 0;
  sb_connect->Enabled = true;
  ComboBox1->Enabled = true;
  sb_disconnect->Enabled = false;
}

void TFormProg::sb_clr_memoClick(TObject* Sender) {
  Memo1->Lines->Clear();
}

void TFormProg::add_memo_line(const AnsiString& text) {
  Memo1->Lines->Add(text);
}
