// Trakmon's serial port: one COM device opened for plain (non-overlapped) I/O with fixed
// time-outs, four line settings of its own kept across opens, one-byte reads with a time-out,
// purges and the modem lines. Every failure other than the two expected results of Open is
// raised as ECommError.
#pragma once

#include "platform/windows.h"
#include "vcl/system.h"

class ECommError {
 public:
  // Takes GetLastError() at construction.
  explicit ECommError(BYTE code);
  ECommError(const ECommError& other);

  // "Ошибка COM-порта: код <Code>, системная ошибка <LastError>", for the default exception
  // display.
  AnsiString Text() const;
  // The device behind the port is gone (unplugged, or the far side of a pseudo-terminal
  // closed): every later call on the port fails the same way until it is closed. A not-open
  // error (7) is never this, whatever error the system reported last.
  bool DeviceGone() const;

  BYTE Code;        // the failing step: 1, 7, 9 to 12, 14 to 17
  DWORD LastError;  // the system's error number
};

class TCommPort {
 public:
  TCommPort();
  ~TCommPort();
  TCommPort(const TCommPort&) = delete;
  TCommPort& operator=(const TCommPort&) = delete;

  // index 0..19 opens COM1..COM20. 0 opened, -100 already open, -103 the device could not be
  // opened; raises 14 to 17.
  int Open(BYTE index, int in_queue, int out_queue);
  // Raises 11; a closed port is left alone.
  void Close();
  // Stored, and applied at once to an open port; raises 1 (the old rate is kept).
  void SetBaudRate(int rate);
  // Raises 7 unless open.
  void CheckOpen();
  bool IsOpen();
  // The text's bytes without the terminating NUL; raises 7, 9.
  void WriteString(const char* text);
  void WriteByte(BYTE byte);
  // The byte read, or -1 when nothing came within the read time-out (about 251 ms); raises 7, 10.
  int ReadByte();
  // Discard the driver's send / receive buffer; raise 7, 12.
  void PurgeOutput();
  void PurgeInput();
  // The modem lines; no open check, the result is not looked at.
  void SetRTS();
  void ClearRTS();
  void SetDTR();
  void ClearDTR();

  bool Opened;
  COMMTIMEOUTS Timeouts;
  AnsiString PortName;
  DCB Dcb;
  HANDLE Handle;
};

// What the system found when Open returned -103 for `index`: the device the port maps to and
// why it could not be opened (missing, not to be used by this user, held by another program),
// one line or two for the user. `error` is what CreateFileA left: GetLastError() right after
// Open.
AnsiString OpenFailureText(BYTE index, DWORD error);

// The one port of the program, created by the main window's unit at start-up and never freed.
extern TCommPort* CommPort;
// Allocates and constructs the port and stores it in CommPort (once).
void CreateGlobalCommPort();
