// The user phone panel: the user password, the number of dispatcher places and each place's
// phone. A "Да" button stages a value in EditPhone and enables SBWritePH, which sends it with
// the command byte of its kind.
#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"

namespace {

// What SBWritePH sends for each kind of staged value.
constexpr BYTE StagedCommands[] = {CmdWritePassword, CmdWriteUserCount, CmdWriteUserPhone};

// The phone read waits this long for its reply; a silent device is no failure.
constexpr DWORD PhoneReplyMs = 200;

}  // namespace

// ---- Staging ----

void TML_Form::sb_passClick(TObject* Sender) {
  StagedValueKind = 0;
  EditPhone->Text = edit_pass->Text;
  SBWritePH->Enabled = true;
}

void TML_Form::sb_max_usersClick(TObject* Sender) {
  StagedValueKind = 1;
  EditPhone->Text = "u=" + IntToStr(max_users_spin->Value) + " *";
  SBWritePH->Enabled = true;
}

void TML_Form::sb_done_edit_phoneClick(TObject* Sender) {
  StagedValueKind = 2;
  EditPhone->Text = "u" + IntToStr(user_spin->Value) + "=" + done_edit_phone->Text + " *";
  SBWritePH->Enabled = true;
}

void TML_Form::SBWritePHClick(TObject* Sender) {
  RequirePortOpen();
  const int kind = StagedValueKind >= 0 && StagedValueKind <= 2 ? StagedValueKind : 0;
  WriteSetting(StagedCommands[kind], EditPhone->Text);
  SBWritePH->Enabled = false;
}

// ---- Reading ----

int TML_Form::ReadUserPassword() {
  RequirePortOpen();
  BeginRead(edit_pass, CmdReadPassword);
  return ReadReply(edit_pass, '.', 5000);
}

void TML_Form::sb_read_passClick(TObject* Sender) {
  ReportReaderResult(ReadUserPassword());
  SBWritePH->Enabled = false;
}

int TML_Form::ReadUserPhone() {
  RequirePortOpen();
  // The spin edit reports a number typed outside its range as typed: no place has a digit
  // for it, so nothing is asked.
  const int place = user_spin->Value;
  if (place < 1 || place > 3) {
    ShowMessage("Номер пользователя: от 1 до 3...");
    Abort();
  }
  CommPort->PurgeInput();
  EditReadUser->Text = "";
  EditReadUser->Refresh();
  const BYTE digit = static_cast<BYTE>('0' + place);
  auto request = [digit] {
    CommPort->WriteByte(CmdReadUserPhone);
    Sleep(CommandPauseMs);
    CommPort->WriteByte(digit);
  };
  request();
  ShortReply reply = ReadShortReply('.', PhoneReplyMs);
  if (reply.Result != 0) return reply.Result;
  // Nothing came: ask once more, without purging.
  if (reply.Raw.IsEmpty() || reply.Raw[1] == '\0') {
    Sleep(ShowPauseMs);
    request();
    reply = ReadShortReply('.', PhoneReplyMs);
    if (reply.Result != 0) return reply.Result;
  }
  ShowShortReply(EditReadUser, reply.Raw);
  return 0;
}

void TML_Form::SBReadPHClick(TObject* Sender) {
  ReportReaderResult(ReadUserPhone(), true);
  SBWritePH->Enabled = false;
}
