// The fuel sensor's calibration: single points composed, written and read, and the 30-entry
// table read into StringGrid1, cleared and written from it. Requests go through the tracker.
#include <vector>

#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"

namespace {

constexpr char SensorEnd = '$';
constexpr DWORD PointReplyMs = 5000;
constexpr DWORD TableReplyMs = 1000;
// Bytes a table reply may store; more than TableReplyMost without its "$" is no table.
constexpr std::size_t TableBufferSize = 130;
constexpr std::size_t TableReplyMost = 125;
// The table write's closing byte.
constexpr BYTE TableEnd = 0x20;

constexpr int InColumn = 1;
constexpr int OutColumn = 2;
constexpr int ExtRow = CalibrationEntries;  // entry 29

// The bytes of a table reply: stored until "$" (not stored), until 130 are stored, or until a
// read ends more than 1000 ms after the start (its byte is dropped).
std::vector<std::uint8_t> ReadTableReply() {
  std::vector<std::uint8_t> stored;
  DWORD t0 = GetTickCount();
  for (;;) {
    int value = CommPort->ReadByte();
    if (GetTickCount() - t0 > TableReplyMs) break;
    if (value < 0) continue;
    if (value == static_cast<BYTE>(SensorEnd)) break;
    stored.push_back(static_cast<std::uint8_t>(value));
    if (stored.size() == TableBufferSize) break;
  }
  return stored;
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
  Sleep(100);
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
  Sleep(100);
  std::vector<std::uint8_t> reply = ReadTableReply();
  if (reply.size() > TableReplyMost) return TableReplyTooLong;
  Sleep(100);

  // Entry 29 is not shown back: the "EXT" row keeps what it holds.
  CalibrationTableImage image = CalibrationTableImage::FromReply(reply);
  for (int k = 0; k < CalibrationEntries - 1; ++k) {
    StringGrid1->Cells[InColumn][k + 1] = IntToStr(static_cast<int>(image.Input(k)));
    StringGrid1->Cells[OutColumn][k + 1] = IntToStr(static_cast<int>(image.Output(k)));
  }
  return 0;
}

int TML_Form::WriteCalibrationTable() {
  // Every cell converts before the first byte goes out; the port is not checked first, so a
  // closed one raises its not-open error at that byte.
  CalibrationTableImage image;
  for (int k = 0; k < CalibrationEntries; ++k) {
    image.Set(k, StrToInt(StringGrid1->Cells[InColumn][k + 1]),
              StrToInt(StringGrid1->Cells[OutColumn][k + 1]));
  }
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
  Sleep(100);
  FinishSensorRequest(ReadCalibrationTable());
}
