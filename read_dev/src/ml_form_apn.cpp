// The APN and server panel: the standard APN by the device's operator index, the user APN with
// its GPRS login and password, the dispatch server's port and address.
#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"
#include "read_dev/status_line.h"

namespace {

// After the user APN's "#", a byte that takes longer than this ends the text.
constexpr DWORD UserApnByteMs = 200;

// Reads the user APN text after its "#": to its 0x00 or UserApnReplyLimit characters, each
// byte stored as UserApnReplyChar gives it. A byte that takes too long (an empty read always
// does) shows "Time Out" and ends the text with what was stored.
AnsiString ReadUserApnText() {
  char buffer[UserApnReplyLimit + 1] = {};
  int stored = 0;
  GapReader reader(UserApnByteMs);
  BYTE byte;
  while (stored < UserApnReplyLimit) {
    if (!reader.Next(byte)) {
      ShowMessage("Time Out");
      break;
    }
    buffer[stored] = UserApnReplyChar(static_cast<char>(byte));
    if (byte == 0x00) break;
    ++stored;
  }
  return AnsiString(buffer);
}

// The state line carries the server's port and address in fields of these widths: a longer
// value would come back cut, so it is not written.
constexpr int ServerPortMax = StatusTokenWidths[6];
constexpr int ServerAddressMax = StatusTokenWidths[7];

// Trims the user APN, login and password in their edits. An empty APN is refused; an empty
// login or password becomes one blank.
void TakeUserApnInput(TEdit* apn, TEdit* login, TEdit* password) {
  for (TEdit* edit : {apn, login, password}) edit->Text = Trim(edit->Text);
  if (apn->Text().IsEmpty()) {
    ShowMessage("Ошибка. APN не набран...");
    Abort();
  }
  for (TEdit* edit : {login, password})
    if (edit->Text().IsEmpty()) edit->Text = " ";
}

}  // namespace

// ---- Standard APN ----

int TML_Form::ReadStandardApn() {
  RequirePortOpen();
  BeginRead(edit_apn, CmdReadStdApn);
  const int result = ReadReply(edit_apn, '.', 5000);
  if (result != 0) return result;
  // The reply's first character is the operator's index; anything else shows nothing.
  const AnsiString reply = edit_apn->Text;
  const int index = reply.IsEmpty() ? -1 : reply[1] - '0';
  edit_apn->Text = index >= 0 && index <= 5 && index < apn_box->Items->Count
                       ? apn_box->Items->Strings[index]
                       : AnsiString();
  return 0;
}

void TML_Form::sb_read_apnClick(TObject* Sender) {
  ReportReaderResult(ReadStandardApn(), true);
}

void TML_Form::sb_write_apnClick(TObject* Sender) {
  RequirePortOpen();
  const int index = apn_box->ItemIndex;
  WriteSetting(CmdWriteStdApn,
               index >= 0 && index <= 5 ? AnsiString(static_cast<char>('0' + index)) : "");
}

// ---- User APN ----

void TML_Form::sb_read_apn_userClick(TObject* Sender) {
  RequirePortOpen();
  CommPort->PurgeInput();
  TEdit* const edits[] = {edit_user_apn, edit_user_login, edit_user_pass};
  for (TEdit* edit : edits) edit->Text = "";
  for (TEdit* edit : edits) edit->Refresh();
  CommPort->WriteByte(CmdReadUserApn);
  // A device that never sends its "#" ends the read as one that stops sending after it.
  AnsiString text;
  if (WaitForDataMark(DeviceWait))
    text = ReadUserApnText();
  else
    ShowMessage("Time Out");
  SplitUserApnReply(text, UserApnReply);
  edit_user_apn->Text = UserApnValue(UserApnReply.ReplyApn);
  edit_user_login->Text = UserApnValue(UserApnReply.ReplyLogin);
  edit_user_pass->Text = UserApnValue(UserApnReply.ReplyPassword);
  StatusBar1->Panels->Items[0]->Text = text;
}

void TML_Form::sb_write_apn_userClick(TObject* Sender) {
  RequirePortOpen();
  TakeUserApnInput(edit_user_apn, edit_user_login, edit_user_pass);
  const AnsiString text =
      UserApnCommand(edit_user_apn->Text, edit_user_login->Text, edit_user_pass->Text);
  StatusBar1->Panels->Items[0]->Text = text;
  WriteSetting(CmdWriteUserApn, text);
  StatusBar1->Panels->Items[1]->Text = "Len=" + IntToStr(text.Length());
}

void TML_Form::sb_apn_smsClick(TObject* Sender) {
  TakeUserApnInput(edit_user_apn, edit_user_login, edit_user_pass);
}

// ---- Server port and address ----

int TML_Form::ReadServerPort() {
  RequirePortOpen();
  BeginRead(edit_read_portip, CmdReadServerPort);
  return ReadReply(edit_read_portip, '.', 5000);
}

void TML_Form::read_portipClick(TObject* Sender) {
  ReportReaderResult(ReadServerPort());
  SBWritePH->Enabled = false;
}

void TML_Form::write_portipClick(TObject* Sender) {
  const AnsiString port = edit_write_portip->Text;
  if (port.IsEmpty()) {
    ShowMessage("Не верный Порт...");
    Abort();
  }
  if (port.Length() > ServerPortMax) {
    ShowMessage("Порт  > " + IntToStr(ServerPortMax) + " символов...");
    Abort();
  }
  RequirePortOpen();
  WriteSetting(CmdWriteServerPort, port);
}

int TML_Form::ReadServerIp() {
  RequirePortOpen();
  BeginRead(edit_ip, CmdReadServerIp);
  return ReadReply(edit_ip, '$', 5000);
}

void TML_Form::sb_read_ipClick(TObject* Sender) {
  ReportReaderResult(ReadServerIp());
}

void TML_Form::sb_write_ipClick(TObject* Sender) {
  const AnsiString address = ip_box->Text;
  if (address.IsEmpty()) {
    ShowMessage("Не верный IP адрес...");
    Abort();
  }
  if (address.Length() > ServerAddressMax) {
    ShowMessage("IP адрес  > " + IntToStr(ServerAddressMax) + " символов...");
    Abort();
  }
  RequirePortOpen();
  WriteSetting(CmdWriteServerIp, address);
}

void TML_Form::sb_setsms_ipClick(TObject* Sender) {
  const AnsiString address = ip_box->Text;
  int dots = 0;
  for (int i = 1; i < address.Length(); ++i)
    if (address[i] == '.') ++dots;
  if (address.IsEmpty() || dots != 3) {
    ShowMessage("Не верный IP адрес...");
    Abort();
  }
}
