// The tracker's command exchange: the command bytes, the open-port guard, the request shapes
// the handlers share and the reply readers. Every exchange runs on the GUI thread over the
// global CommPort.
//
// Every wait ends. A reply with a deadline of the protocol's own is read against that deadline;
// a wait that has none (the status line after "#", the debug read's lines and "@", the debug
// write's "@", the end address, the dump's and the user APN's "#") is bounded by a WaitBound: a
// silence limit that each byte received restarts, and an overall cap. A device that keeps
// sending other bytes is thus left at the cap, a silent one at the silence limit. A stream whose
// every byte has its own time (the dump, the user APN text) is read by a GapReader.
#pragma once

#include <cstdint>

#include "platform/windows.h"
#include "vcl/system.h"

class TEdit;

// ---- Command bytes ----
// State, memory, boot loader.
constexpr BYTE CmdStatus = 0x65;           // 'e'  "#" + status line to 0x00
constexpr BYTE CmdEraseMemory = 0x5A;      // 'Z'  "@"
constexpr BYTE CmdFactorySettings = 0x6F;  // 'o'  "@"
constexpr BYTE CmdFormatMemory = 0x78;     // 'x'  "@"
constexpr BYTE CmdJumpBootLoader = 0x7D;   // '}'  no reply
// Debug panel, end address and dump.
constexpr BYTE CmdDebugRead = 0x5C;       // '\'  "#" lines to 0x0A, then "@"
constexpr BYTE CmdDebugWrite = 0x5B;      // '['  "@"
constexpr BYTE CmdReadEndAddress = 0x64;  // 'd'  "#" + hexadecimal text to 0x00
constexpr BYTE CmdDumpMemory = 0x5E;      // '^'  "#" + raw bytes, acknowledged per 528-byte page
// Beeper, recording interval, registration number.
constexpr BYTE CmdBeepOn = 0x66;        // 'f'
constexpr BYTE CmdBeepOff = 0x67;       // 'g'
constexpr BYTE CmdSetInterval = 0x68;   // 'h'  + one raw byte (seconds)
constexpr BYTE CmdSetRegNumber = 0x6E;  // 'n'  + "/number/" + 0x00
// User password and dispatcher phones.
constexpr BYTE CmdReadPassword = 0x4D;    // 'M'  short text to '.'
constexpr BYTE CmdWritePassword = 0x4E;   // 'N'  + text + 0x00
constexpr BYTE CmdWriteUserCount = 0x4F;  // 'O'  + "u=<n> *" + 0x00
constexpr BYTE CmdWriteUserPhone = 0x50;  // 'P'  + "u<place>=<phone> *" + 0x00
constexpr BYTE CmdReadUserPhone = 0x51;   // 'Q'  + one digit; short text to '.'
// APN and server.
constexpr BYTE CmdReadStdApn = 0x74;       // 't'  short text to '.'
constexpr BYTE CmdWriteStdApn = 0x75;      // 'u'  + digit + 0x00
constexpr BYTE CmdReadUserApn = 0x79;      // 'y'  "#" + text to 0x00
constexpr BYTE CmdWriteUserApn = 0x7A;     // 'z'  + modem command text + 0x00
constexpr BYTE CmdReadServerPort = 0x57;   // 'W'  short text to '.'
constexpr BYTE CmdWriteServerPort = 0x7C;  // '|'  + text + 0x00
constexpr BYTE CmdReadServerIp = 0x76;     // 'v'  short text to '$'
constexpr BYTE CmdWriteServerIp = 0x77;    // 'w'  + text + 0x00
// Parking detection and fuel output modes: a set command is followed by its mode query.
constexpr BYTE CmdParkingByGps = 0xB4;
constexpr BYTE CmdParkingByIgnition = 0xB5;
constexpr BYTE CmdReadParkingMode = 0xB6;
constexpr BYTE CmdOutputCodes = 0xF3;
constexpr BYTE CmdOutputLitres = 0xF2;
constexpr BYTE CmdReadOutputMode = 0xF4;
// Fuel sensor on the RS-485 line, relayed by the tracker; replies end with '$'.
constexpr BYTE CmdSensorReadAddress = 0x2C;      // ','
constexpr BYTE CmdSensorWriteAddress = 0x33;     // '3'  + text + 0x00
constexpr BYTE CmdSensorReadLevel = 0x2D;        // '-'
constexpr BYTE CmdSensorReadTemperature = 0x2E;  // '.'
constexpr BYTE CmdSensorReadPoint = 0xFD;        //      + one raw byte (point number)
constexpr BYTE CmdSensorWritePoint = 0xF6;       //      + "n in out" + 0x00
constexpr BYTE CmdSensorReadTable = 0x2F;        // '/'  raw bytes to '$'
constexpr BYTE CmdSensorClearTable = 0x30;       // '0'
constexpr BYTE CmdSensorWriteTable = 0x32;       // '2'  + 120 raw bytes + 0x20

// ---- Reply framing ----
constexpr char DoneMark = '@';
constexpr char DataMark = '#';
constexpr char FillChar = '#';   // may stand anywhere in a short reply; removed before showing
constexpr char SensorEnd = '$';  // ends the fuel sensor's replies
constexpr int ShortReplyLimit = 25;
// Result of a reader whose reply did not come within 5000 ms.
constexpr int ReplyTimedOut = -3;

// ---- Pauses of the protocol (ms) ----
// After the purges, before the command byte.
constexpr DWORD PurgePauseMs = 100;
// After a command byte, before its parameter or before its reply is read.
constexpr DWORD CommandPauseMs = 100;
// After a reply was read, before it is shown (or the request is made once more).
constexpr DWORD ShowPauseMs = 100;
// On both sides of the debug and dump command bytes.
constexpr DWORD DebugPauseMs = 200;

// A wait without a deadline of its own: it ends when no byte has come for `silence_ms` (each
// byte received restarts it), or `cap_ms` after it began, whichever comes first.
struct WaitBound {
  DWORD silence_ms;
  DWORD cap_ms;
};
// The bound of every such wait in the handlers; generous for a real device (see the README).
constexpr WaitBound DeviceWait{3000, 30000};

// Reads the bytes of one reply under a bound, starting when it is made. Next() gives the next
// byte received, skipping empty reads; false once the bound has passed (from then on nothing
// more is read).
class BoundedReader {
 public:
  explicit BoundedReader(WaitBound bound = DeviceWait);
  bool Next(BYTE& byte);
  // True once Next() has returned false because the bound passed.
  bool Passed() const { return passed_; }

 private:
  WaitBound bound_;
  DWORD start_;
  DWORD last_byte_;
  bool passed_ = false;
};

// Reads a stream whose every byte must come within `gap_ms`: a pass (one read, and what the
// caller did with the byte it gave before asking for the next) that takes longer ends the
// stream. An empty read always does, as it lasts the port's read time-out. The caller stops
// asking once it has what it wants; that last pass is not timed.
class GapReader {
 public:
  explicit GapReader(DWORD gap_ms) : gap_ms_(gap_ms) {}
  // The next byte; false once a pass took longer than the gap (from then on nothing more is
  // read).
  bool Next(BYTE& byte);
  // The pass in progress counts from now: time the caller spent away from the line (letting the
  // window turn) is not the device's.
  void Restart();

 private:
  DWORD gap_ms_;
  DWORD pass_start_ = 0;
  bool in_pass_ = false;
  bool timed_out_ = false;
};

// Shows `text` (ShowMessage) and ends the handler silently (Abort): what a handler does when a
// bounded wait passed.
[[noreturn]] void ReportDeviceSilent(const AnsiString& text);

// Shows "Com Port Not Open." and ends the handler silently (Abort) when CommPort is closed.
void RequirePortOpen();

// Writes a text parameter: the text's bytes, then one 0x00 (also for an empty text).
void WriteTextParameter(const AnsiString& text);

// ---- Request shapes ----
// PurgeOutput, then PurgeInput, then Sleep(pause_ms).
void PurgeBothAndPause(DWORD pause_ms);
// A setting write: the command byte, Sleep(100), the text's bytes, one 0x00.
void WriteSetting(BYTE command, const AnsiString& text);
// A read request: empties `target` and repaints it at once (Refresh), purges the input, pauses
// `pause_ms` (none as a rule), writes the command byte.
void BeginRead(TEdit* target, BYTE command, DWORD pause_ms = 0);
// The OK/Cancel question (Application->MessageBox, MB_OKCANCEL | MB_ICONQUESTION = 33). Cancel
// ends the handler silently (Abort); returns true for OK and false for any other answer, on
// which the caller sends nothing.
bool ConfirmOrAbort(const AnsiString& text, const AnsiString& caption);

// How a short-reply read ended.
enum class ReplyEnd { Terminator, Limit, Deadline };

// A short reply as received: the stored bytes exactly (fill characters and 0x00 included).
struct ShortReply {
  int Result = 0;  // 0, or ReplyTimedOut when more than 5000 ms passed
  AnsiString Raw;
  ReplyEnd End = ReplyEnd::Terminator;
};

// Reads a short reply byte by byte: stops at the terminator (not stored), at the `limit`-th
// stored byte, or when more than `deadline_ms` have passed since the call (a byte read in that
// pass is dropped). The deadline is the reply's own (200, 1000 or 5000 ms). Shows nothing and
// does not pause.
ShortReply ReadShortReply(char terminator, DWORD deadline_ms, int limit = ShortReplyLimit);

// The text a short reply shows: every fill character removed, cut at the first 0x00.
AnsiString ShortReplyText(const AnsiString& raw);

// Pauses ShowPauseMs, then puts the reply's text into `target`.
void ShowShortReply(TEdit* target, const AnsiString& raw);

// Reads a short reply into `target` (ReadShortReply, then ShowShortReply). Returns 0, or
// ReplyTimedOut with `target` left as it was (the caller emptied it before the request).
int ReadReply(TEdit* target, char terminator, DWORD deadline_ms);

// Reads until "@" arrives; true when it did. Gives up after a pass that ended more than
// `deadline_ms` after the call and brought anything else or nothing.
bool WaitForDone(DWORD deadline_ms);
// Reads until "@" arrives under `bound`; true when it did, false when the bound passed.
bool WaitForDone(WaitBound bound);

// Reads until "#" arrives, dropping other bytes; true when it did. Deadline as WaitForDone.
bool WaitForDataMark(DWORD deadline_ms);
// Reads until "#" arrives under `bound`, dropping other bytes; false when the bound passed.
bool WaitForDataMark(WaitBound bound);

// A click handler's report of its reader's result: nothing for 0, else "Time 0ut..." (with the
// result appended in decimal when `with_result`, as "Time 0ut...-3").
void ReportReaderResult(int result, bool with_result = false);
