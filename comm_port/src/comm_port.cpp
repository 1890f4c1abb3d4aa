#include "comm_port/comm_port.h"

#include <cstdio>
#include <cstring>

#include "platform/cp1251.h"
#include "platform/paths.h"

TCommPort* CommPort = nullptr;

void CreateGlobalCommPort() {
  if (!CommPort) CommPort = new TCommPort;
}

ECommError::ECommError(BYTE code) : Code(code), LastError(GetLastError()) {}

ECommError::ECommError(const ECommError& other) : Code(other.Code), LastError(other.LastError) {}

AnsiString ECommError::Text() const {
  return AnsiString::Format("Ошибка COM-порта: код %u, системная ошибка %u",
                            static_cast<unsigned>(Code), static_cast<unsigned>(LastError));
}

bool ECommError::DeviceGone() const {
  return Code != 7 && LastError == ERROR_DEVICE_NOT_CONNECTED;
}

TCommPort::TCommPort() : Opened(false), Timeouts{}, PortName("COM1"), Dcb{}, Handle(nullptr) {
  Dcb.DCBlength = 28;
  Dcb.BaudRate = 9600;
  Dcb.ByteSize = 8;
  Dcb.Parity = 0;
  Dcb.StopBits = 0;
}

TCommPort::~TCommPort() {
  if (!Opened) return;
  // A destructor cannot raise: a port that does not close is left to the process end.
  try {
    Close();
  } catch (const ECommError&) {
  }
}

int TCommPort::Open(BYTE index, int in_queue, int out_queue) {
  if (Opened) return -100;
  char name[8] = "";
  if (index <= 19) std::snprintf(name, sizeof name, "COM%u", index + 1u);
  char path[16];
  std::snprintf(path, sizeof path, "\\\\.\\%s", name);

  DWORD baud_rate = Dcb.BaudRate;
  BYTE byte_size = Dcb.ByteSize, parity = Dcb.Parity, stop_bits = Dcb.StopBits;
  Handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (Handle == INVALID_HANDLE_VALUE) return -103;

  // A failing step closes the handle first, so LastError is read after the close.
  auto fail = [this](BYTE code) {
    CloseHandle(Handle);
    throw ECommError(code);
  };
  if (!GetCommState(Handle, &Dcb)) fail(14);
  Dcb.BaudRate = baud_rate;
  Dcb.ByteSize = byte_size;
  Dcb.Parity = parity;
  Dcb.StopBits = stop_bits;
  if (!SetCommState(Handle, &Dcb)) fail(15);
  if (!SetupComm(Handle, static_cast<DWORD>(in_queue), static_cast<DWORD>(out_queue))) fail(16);
  Timeouts.ReadIntervalTimeout = 150;
  Timeouts.ReadTotalTimeoutMultiplier = 1;
  Timeouts.ReadTotalTimeoutConstant = 250;
  Timeouts.WriteTotalTimeoutMultiplier = 1;
  Timeouts.WriteTotalTimeoutConstant = 250;
  if (!SetCommTimeouts(Handle, &Timeouts)) fail(17);
  Opened = true;
  return 0;
}

AnsiString OpenFailureText(BYTE index, DWORD error) {
  using Reason = platform::ComOpenFailure::Reason;
  AnsiString name = index <= 19 ? "COM" + AnsiString(index + 1) : AnsiString();
  platform::ComOpenFailure failure = platform::ExplainComOpenFailure(name.str(), error);
  AnsiString device = platform::Utf8ToCp1251(failure.device);
  switch (failure.reason) {
    case Reason::NoDevice: {
      if (name.IsEmpty()) return "Такого порта нет";
      AnsiString found;
      for (const platform::ComPort& port : platform::ListComPorts())
        found +=
            (found.IsEmpty() ? "" : ", ") + port.name + " - " + platform::Utf8ToCp1251(port.device);
      return "Порт " + name + " не связан ни с одним устройством (нет ссылки " +
             platform::Utf8ToCp1251(failure.link) + ")\n" +
             (found.IsEmpty() ? "Последовательные порты не найдены" : "Найдены порты: " + found);
    }
    case Reason::Missing:
      return "Устройство " + device + " не найдено (адаптер отключен?)";
    case Reason::NotATerminal:
      return device + " не является последовательным портом";
    case Reason::NoAccess:
      return "Нет прав на доступ к устройству " + device + ": добавьте пользователя в группу " +
             failure.group + " и войдите в систему заново";
    case Reason::Held:
      return "Устройство " + device + " занято другой программой";
    case Reason::Other:
      break;
  }
  return "Устройство " + device + ": системная ошибка " + AnsiString(error);
}

void TCommPort::Close() {
  if (!Opened) return;
  if (!CloseHandle(Handle)) throw ECommError(11);
  Opened = false;
}

void TCommPort::SetBaudRate(int rate) {
  DWORD previous = Dcb.BaudRate;
  Dcb.BaudRate = static_cast<DWORD>(rate);
  if (Opened && !SetCommState(Handle, &Dcb)) {
    Dcb.BaudRate = previous;
    throw ECommError(1);
  }
}

void TCommPort::CheckOpen() {
  if (!Opened) throw ECommError(7);
}

bool TCommPort::IsOpen() {
  return Opened;
}

void TCommPort::WriteString(const char* text) {
  CheckOpen();
  DWORD written = 0;
  DWORD length = text ? static_cast<DWORD>(std::strlen(text)) : 0;
  if (!WriteFile(Handle, text, length, &written, nullptr)) throw ECommError(9);
}

void TCommPort::WriteByte(BYTE byte) {
  CheckOpen();
  DWORD written = 0;
  if (!WriteFile(Handle, &byte, 1, &written, nullptr)) throw ECommError(9);
}

int TCommPort::ReadByte() {
  CheckOpen();
  BYTE byte = 0;
  DWORD read = 0;
  if (!ReadFile(Handle, &byte, 1, &read, nullptr)) throw ECommError(10);
  return read == 1 ? byte : -1;
}

void TCommPort::PurgeOutput() {
  CheckOpen();
  if (!PurgeComm(Handle, PURGE_TXCLEAR)) throw ECommError(12);
}

void TCommPort::PurgeInput() {
  CheckOpen();
  if (!PurgeComm(Handle, PURGE_RXCLEAR)) throw ECommError(12);
}

void TCommPort::SetRTS() {
  EscapeCommFunction(Handle, SETRTS);
}
void TCommPort::ClearRTS() {
  EscapeCommFunction(Handle, CLRRTS);
}
void TCommPort::SetDTR() {
  EscapeCommFunction(Handle, SETDTR);
}
void TCommPort::ClearDTR() {
  EscapeCommFunction(Handle, CLRDTR);
}
