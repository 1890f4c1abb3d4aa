// The tracker's command exchange: guard, text parameters, request shapes, bounded waits and the
// shared reply readers.
#include "read_dev/device_command.h"

#include "comm_port/comm_port.h"
#include "vcl/dialogs.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"
#include "vcl/sysutils.h"

namespace {

// Milliseconds since `t0` on the 32-bit tick count; unsigned, so the wrap does no harm.
DWORD ElapsedSince(DWORD t0) {
  return GetTickCount() - t0;
}

// One byte from the port; false when its read time-out passed with nothing received.
bool ReadOneByte(BYTE& byte) {
  int value = CommPort->ReadByte();
  if (value < 0) return false;
  byte = static_cast<BYTE>(value);
  return true;
}

// Any reply above this many milliseconds counts as missing, whatever the reader's deadline.
constexpr DWORD ReplyFailureMs = 5000;

// Reads until `mark` arrives or a pass ends past the deadline without it.
bool WaitForMark(BYTE mark, DWORD deadline_ms) {
  DWORD t0 = GetTickCount();
  for (;;) {
    BYTE byte;
    if (ReadOneByte(byte) && byte == mark) return true;
    if (ElapsedSince(t0) > deadline_ms) return false;
  }
}

// Reads until `mark` arrives or the bound passes.
bool WaitForMark(BYTE mark, WaitBound bound) {
  BoundedReader reader(bound);
  BYTE byte;
  while (reader.Next(byte))
    if (byte == mark) return true;
  return false;
}

}  // namespace

BoundedReader::BoundedReader(WaitBound bound)
    : bound_(bound), start_(GetTickCount()), last_byte_(start_) {}

bool BoundedReader::Next(BYTE& byte) {
  while (!passed_) {
    bool got = ReadOneByte(byte);
    DWORD now = GetTickCount();
    // A byte that comes in the pass that ends past the cap is dropped, as a reply past its
    // deadline is.
    if (now - start_ > bound_.cap_ms) break;
    if (got) {
      last_byte_ = now;
      return true;
    }
    if (now - last_byte_ > bound_.silence_ms) break;
  }
  passed_ = true;
  return false;
}

bool GapReader::Next(BYTE& byte) {
  while (!timed_out_) {
    if (in_pass_ && ElapsedSince(pass_start_) > gap_ms_) break;
    pass_start_ = GetTickCount();
    in_pass_ = true;
    if (ReadOneByte(byte)) return true;
  }
  timed_out_ = true;
  return false;
}

void GapReader::Restart() {
  pass_start_ = GetTickCount();
}

void ReportDeviceSilent(const AnsiString& text) {
  ShowMessage(text);
  Abort();
}

void RequirePortOpen() {
  if (!CommPort->IsOpen()) {
    ShowMessage("Com Port Not Open.");
    Abort();
  }
}

void WriteTextParameter(const AnsiString& text) {
  CommPort->WriteString(text.c_str());
  CommPort->WriteByte(0x00);
}

void PurgeBothAndPause(DWORD pause_ms) {
  CommPort->PurgeOutput();
  CommPort->PurgeInput();
  Sleep(pause_ms);
}

void WriteSetting(BYTE command, const AnsiString& text) {
  CommPort->WriteByte(command);
  Sleep(CommandPauseMs);
  WriteTextParameter(text);
}

void BeginRead(TEdit* target, BYTE command, DWORD pause_ms) {
  target->Text = "";
  target->Refresh();
  CommPort->PurgeInput();
  if (pause_ms > 0) Sleep(pause_ms);
  CommPort->WriteByte(command);
}

bool ConfirmOrAbort(const AnsiString& text, const AnsiString& caption) {
  int answer = Application->MessageBox(text, caption, MB_OKCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) Abort();
  return answer == IDOK;
}

ShortReply ReadShortReply(char terminator, DWORD deadline_ms, int limit) {
  ShortReply reply;
  DWORD t0 = GetTickCount();
  DWORD elapsed = 0;
  for (;;) {
    BYTE byte;
    bool got = ReadOneByte(byte);
    elapsed = ElapsedSince(t0);
    if (elapsed > deadline_ms) {
      reply.End = ReplyEnd::Deadline;
      break;
    }
    if (!got) continue;
    if (byte == static_cast<BYTE>(terminator)) {
      reply.End = ReplyEnd::Terminator;
      break;
    }
    reply.Raw += static_cast<char>(byte);
    if (reply.Raw.Length() >= limit) {
      reply.End = ReplyEnd::Limit;
      break;
    }
  }
  if (elapsed > ReplyFailureMs) reply.Result = ReplyTimedOut;
  return reply;
}

AnsiString ShortReplyText(const AnsiString& raw) {
  AnsiString text;
  for (char c : raw.str()) {
    if (c == FillChar) continue;
    if (c == '\0') break;
    text += c;
  }
  return text;
}

void ShowShortReply(TEdit* target, const AnsiString& raw) {
  Sleep(ShowPauseMs);
  target->Text = ShortReplyText(raw);
}

int ReadReply(TEdit* target, char terminator, DWORD deadline_ms) {
  ShortReply reply = ReadShortReply(terminator, deadline_ms);
  if (reply.Result != 0) return reply.Result;
  ShowShortReply(target, reply.Raw);
  return 0;
}

bool WaitForDone(DWORD deadline_ms) {
  return WaitForMark(DoneMark, deadline_ms);
}

bool WaitForDone(WaitBound bound) {
  return WaitForMark(DoneMark, bound);
}

bool WaitForDataMark(DWORD deadline_ms) {
  return WaitForMark(DataMark, deadline_ms);
}

bool WaitForDataMark(WaitBound bound) {
  return WaitForMark(DataMark, bound);
}

void ReportReaderResult(int result, bool with_result) {
  if (result == 0) return;
  AnsiString text = "Time 0ut...";
  if (with_result) text += IntToStr(result);
  ShowMessage(text);
}
