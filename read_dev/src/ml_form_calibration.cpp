// The fuel sensor's calibration: single points composed, written and read, and the 30-entry
// table read into StringGrid1, cleared and written from it. Requests go through the tracker.
#include <vector>

#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"

namespace {

constexpr DWORD PointReplyMs = 5000;
constexpr DWORD TableReplyMs = 1000;
// Bytes a table reply may store; more than TableReplyMost without its "$" is no table.
constexpr int TableBufferSize = 130;
constexpr int TableReplyMost = 125;
// The table write's closing byte.
constexpr BYTE TableEnd = 0x20;
// A code travels in 16 bits.
constexpr long long CodeMost = 65535;

constexpr int InColumn = 1;
constexpr int OutColumn = 2;
constexpr int ExtRow = CalibrationEntries;  // entry 29

// The bytes of a table reply: stored until "$" (not stored), until 130 are stored, or until a
// read ends more than 1000 ms after the start (its byte is dropped).
std::vector<std::uint8_t> ReadTableReply() {
  const AnsiString raw = ReadShortReply(SensorEnd, TableReplyMs, TableBufferSize).Raw;
  return {raw.str().begin(), raw.str().end()};
}

}  // namespace

CalibrationPoint TML_Form::TypedCalibrationPoint() const {
  return {CSpinEdit1->Text, Edit11->Text, Edit12->Text};
}

// "Да": the point as it would be written; nothing is sent.
void TML_Form::SpeedButton20Click(TObject* Sender) {
  Edit13->Text = TypedCalibrationPoint().Text();
}

// "Записать" beside the point edits: the point as typed now; no reply is awaited.
void TML_Form::SpeedButton18Click(TObject* Sender) {
  AnsiString text = TypedCalibrationPoint().Text();
  RequirePortOpen();
  WriteSetting(CmdSensorWritePoint, text);
}

int TML_Form::ReadCalibrationPoint() {
  RequirePortOpen();
  CommPort->PurgeInput();
  Edit13->Text = "";
  Edit13->Refresh();
  // A number that does not convert ends the handler before anything is sent.
  int number = StrToInt(CSpinEdit1->Text);
  CommPort->WriteByte(CmdSensorReadPoint);
  Sleep(CommandPauseMs);
  CommPort->WriteByte(static_cast<BYTE>(number & 0xFF));
  return ReadReply(Edit13, SensorEnd, PointReplyMs);
}

int TML_Form::ReadCalibrationTable() {
  StringGrid1->Cells[InColumn][0] = "IN";
  StringGrid1->Cells[OutColumn][0] = "OUT";
  StringGrid1->Cells[0][ExtRow] = "EXT";
  for (int row = 1; row < ExtRow; ++row) StringGrid1->Cells[0][row] = IntToStr(row - 1);

  RequirePortOpen();
  CommPort->PurgeInput();
  CommPort->WriteByte(CmdSensorReadTable);
  Sleep(CommandPauseMs);
  std::vector<std::uint8_t> reply = ReadTableReply();
  if (reply.size() > TableReplyMost) return TableReplyTooLong;
  Sleep(ShowPauseMs);

  // Entry 29 is not shown back: the "EXT" row keeps what it holds.
  CalibrationTableImage image = CalibrationTableImage::FromReply(reply);
  for (int k = 0; k < CalibrationEntries - 1; ++k) {
    StringGrid1->Cells[InColumn][k + 1] = IntToStr(static_cast<int>(image.Input(k)));
    StringGrid1->Cells[OutColumn][k + 1] = IntToStr(static_cast<int>(image.Output(k)));
  }
  return 0;
}

// A code of the grid: the cell converted, and refused with a message (ending the handler) above
// what 16 bits hold, so that it is not sent cut to its low bits.
long long TML_Form::CalibrationCode(int column, int row) {
  const AnsiString text = StringGrid1->Cells[column][row];
  const long long code = StrToInt(text);
  if (code > CodeMost) {
    const AnsiString entry = row == ExtRow ? AnsiString("EXT") : IntToStr(row - 1);
    ShowMessage("Значение " + Trim(text) + " > " + IntToStr(CodeMost) + ": строка " + entry + ", " +
                (column == InColumn ? "IN" : "OUT"));
    Abort();
  }
  return code;
}

int TML_Form::WriteCalibrationTable() {
  // Every cell converts before the first byte goes out; the port is not checked first, so a
  // closed one raises its not-open error at that byte.
  CalibrationTableImage image;
  for (int k = 0; k < CalibrationEntries; ++k)
    image.Set(k, CalibrationCode(InColumn, k + 1), CalibrationCode(OutColumn, k + 1));
  CommPort->WriteByte(CmdSensorWriteTable);
  for (std::uint8_t byte : image.Bytes) CommPort->WriteByte(byte);
  CommPort->WriteByte(TableEnd);
  return 0;
}

void TML_Form::SpeedButton19Click(TObject* Sender) {
  FinishSensorRequest(ReadCalibrationPoint());
}

void TML_Form::SpeedButton22Click(TObject* Sender) {
  FinishSensorRequest(ReadCalibrationTable());
}

void TML_Form::SpeedButton23Click(TObject* Sender) {
  FinishSensorRequest(WriteCalibrationTable());
}

// "Записать 0": clears the sensor's table after the question, then reads it back.
void TML_Form::SpeedButton24Click(TObject* Sender) {
  RequirePortOpen();
  CommPort->PurgeInput();
  if (!ConfirmOrAbort("Удалить все значения в таблице ?", " ")) return;
  CommPort->WriteByte(CmdSensorClearTable);
  Sleep(CommandPauseMs);
  FinishSensorRequest(ReadCalibrationTable());
}
