// The fuel sensor's address and readings. The tracker relays each request to the sensor on its
// RS-485 line and the sensor's answer back, as text ended by "$".
#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"

namespace {

// The tracker needs this long to ask the sensor before its answer can be read.
constexpr DWORD SensorAskMs = 500;
constexpr DWORD SensorReplyMs = 5000;
constexpr DWORD LevelReplyMs = 1000;
// The pauses on both sides of the address text.
constexpr DWORD AddressTextPauseMs = 30;

// The sensor's fault codes in its temperature reading.
constexpr int TemperatureEepromFault = 251;
constexpr int TemperatureTubeFault = 253;

}  // namespace

void TML_Form::FinishSensorRequest(int result) {
  ReportReaderResult(result);
  SBWritePH->Enabled = false;
}

int TML_Form::ReadSensorAddress() {
  RequirePortOpen();
  BeginRead(read_addr, CmdSensorReadAddress);
  Sleep(SensorAskMs);
  return ReadReply(read_addr, SensorEnd, SensorReplyMs);
}

int TML_Form::WriteSensorAddress() {
  AnsiString address = read_addr->Text;
  RequirePortOpen();
  BeginRead(Edit7, CmdSensorWriteAddress, PurgePauseMs);
  Sleep(AddressTextPauseMs);
  WriteTextParameter(address);
  Sleep(AddressTextPauseMs);
  return ReadReply(Edit7, SensorEnd, SensorReplyMs);
}

int TML_Form::ReadSensorLevel(TEdit* target) {
  RequirePortOpen();
  BeginRead(target, CmdSensorReadLevel);
  Sleep(SensorAskMs);
  ShortReply reply = ReadShortReply(SensorEnd, LevelReplyMs);
  if (reply.End == ReplyEnd::Deadline) {
    // The sensor may miss a request: once more, with a fresh start.
    BeginRead(target, CmdSensorReadLevel);
    Sleep(SensorAskMs);
    reply = ReadShortReply(SensorEnd, LevelReplyMs);
  }
  // What came by the second deadline is shown, nothing included.
  ShowShortReply(target, reply.Raw);
  Edit11->Text = target->Text;
  return 0;
}

int TML_Form::ReadSensorFiltered() {
  return ReadSensorLevel(Edit8);
}

int TML_Form::ReadSensorUnfiltered() {
  return ReadSensorLevel(Edit9);
}

int TML_Form::ReadSensorTemperature() {
  RequirePortOpen();
  BeginRead(Edit10, CmdSensorReadTemperature);
  Sleep(SensorAskMs);
  ShortReply reply = ReadShortReply(SensorEnd, SensorReplyMs);
  if (reply.Result != 0) return reply.Result;
  Sleep(ShowPauseMs);
  AnsiString text = ShortReplyText(reply.Raw);
  // A text that is no number ends the handler with the conversion error.
  switch (StrToInt(text)) {
    case TemperatureEepromFault:
      ShowMessage("Датчик не исправен.\nОшибка EEPROM");
      break;
    case TemperatureTubeFault:
      ShowMessage("Датчик не исправен.\nВозможно замыкание трубок");
      break;
    default:
      break;
  }
  Edit10->Text = text;
  return 0;
}

void TML_Form::SpeedButton11Click(TObject* Sender) {
  FinishSensorRequest(ReadSensorAddress());
}

void TML_Form::SpeedButton13Click(TObject* Sender) {
  FinishSensorRequest(WriteSensorAddress());
}

void TML_Form::SpeedButton14Click(TObject* Sender) {
  FinishSensorRequest(ReadSensorFiltered());
}

void TML_Form::SpeedButton15Click(TObject* Sender) {
  FinishSensorRequest(ReadSensorUnfiltered());
}

void TML_Form::SpeedButton16Click(TObject* Sender) {
  FinishSensorRequest(ReadSensorTemperature());
}

// "Считать" under the input code edit: the filtered level, for pairing with an output code.
void TML_Form::SpeedButton17Click(TObject* Sender) {
  FinishSensorRequest(ReadSensorFiltered());
}
