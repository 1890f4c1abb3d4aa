// The track memory dump: the end address of the recorded data and the page-acknowledged dump of
// the memory into "gps_msg.txt". A dump replaces "gps_msg.txt" only when the whole range came;
// what an incomplete one brought goes into "gps_msg_incomplete.txt" beside it.
#include <cerrno>
#include <exception>
#include <vector>

#include "comm_port/comm_port.h"
#include "platform/file_replace.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"
#include "read_dev/track_dump.h"
#include "track_file.h"
#include "vcl/forms.h"

namespace {

// The device stopped answering in the middle of a reply.
constexpr const char* DeviceSilent = "Прибор не отвечает...";
// The end address holds at most this many characters.
constexpr int EndAddressLimit = 10;
// A byte of the dump may take this long (read, acknowledgement and progress included; the
// window's turns to hear of a close are not the device's time).
constexpr DWORD DumpByteMs = 200;
// The buffer grows with what arrives; this much is taken at once at most.
constexpr std::size_t DumpReserve = track::TrackMemorySize + 100;
// Beside "gps_msg.txt": what a dump that did not finish brought.
constexpr const char* IncompleteDumpName = "gps_msg_incomplete.txt";

// How the stream of a dump ended.
enum class DumpEnd {
  Whole,     // every byte asked for came
  Silence,   // a byte took longer than DumpByteMs
  TooLong,   // the whole stream took longer than its bound
  Requested  // the main form's close or the end of the session
};

// While the stream runs, the window is let turn this often to hear of a close: after a page's
// acknowledgement (the device then needs the time of a page anyway), or within a page that is
// slow to come.
constexpr DWORD LookAfterPageMs = 100;
constexpr DWORD LookWithinPageMs = 250;

// Receives the dump after its "#" into `buffer` until `length` bytes came (at least one),
// acknowledging every full page but the last; `page_done` shows the progress between the two
// acknowledgement bytes, so it only sets the controls (the window paints them when it next
// turns). The stream ends early when a byte takes too long, when it runs past `bound_ms`, or
// when the window was asked to close.
template <class PageDone>
DumpEnd ReceiveDump(std::vector<BYTE>& buffer, long long length, DWORD bound_ms,
                    PageDone page_done) {
  GapReader reader(DumpByteMs);
  const DWORD start = GetTickCount();
  DWORD looked = start;
  int in_page = 0;
  BYTE byte;
  for (;;) {
    if (!reader.Next(byte)) return DumpEnd::Silence;
    buffer.push_back(byte);
    if (static_cast<long long>(buffer.size()) >= length) return DumpEnd::Whole;
    if (++in_page == track::DumpPage) {
      CommPort->WriteByte(track::PageAckLow);
      page_done();
      in_page = 0;
      CommPort->WriteByte(track::PageAckHigh);
    }
    const DWORD now = GetTickCount();
    if (now - start > bound_ms) return DumpEnd::TooLong;
    if (now - looked >= (in_page == 0 ? LookAfterPageMs : LookWithinPageMs)) {
      const bool end = Application->EndRequested();
      looked = GetTickCount();
      reader.Restart();
      if (end) return DumpEnd::Requested;
    }
  }
}

}  // namespace

void TML_Form::SBReadAdrClick(TObject* Sender) {
  ReadEndAddress();
}

bool TML_Form::ReadEndAddress() {
  RequirePortOpen();
  PurgeBothAndPause(PurgePauseMs);
  char address[EndAddressLimit] = {};
  CommPort->WriteByte(CmdReadEndAddress);
  if (!WaitForDataMark(DeviceWait)) ReportDeviceSilent(DeviceSilent);
  BoundedReader reader;
  int stored = 0;
  bool whole = true;
  for (;;) {
    BYTE byte;
    if (!reader.Next(byte)) ReportDeviceSilent(DeviceSilent);
    if (byte == 0x00) break;
    address[stored++] = static_cast<char>(byte);
    if (stored == EndAddressLimit) {
      ShowMessage("Error END Address");
      whole = false;
      break;
    }
  }
  Edit2->Text = AnsiString(address, stored);
  return whole;
}

void TML_Form::SBRead_D3Click(TObject* Sender) {
  DumpTrackMemory();
}

bool TML_Form::DumpTrackMemory() {
  RequirePortOpen();
  Label25->Caption = AnsiString(std::string(22, ' '));
  Label25->Refresh();
  const DWORD t0 = GetTickCount();
  const DumpRange range = TakeDumpRange();
  const long long length = range.length;

  // The new "gps_msg.txt" is made before anything is sent: a folder that cannot hold it stops
  // the dump there. It replaces the old one only once the whole range has come.
  CurrentFileName = WorkFolder + "gps_msg.txt";
  TrackFile file = CreateTrackFileOrAbort(CurrentFileName, "Не найден каталог -> " + WorkFolder);
  StatusBar1->Panels->Items[0]->Text = CurrentFileName + " -> OPEN  " + IntToStr(length);
  StatusBar1->Repaint();

  PurgeBothAndPause(DebugPauseMs);
  CommPort->WriteByte(CmdDumpMemory);
  Sleep(DebugPauseMs);
  WriteTextParameter(range.command);
  const DWORD t1 = GetTickCount();
  if (!WaitForDataMark(DeviceWait)) ReportDeviceSilent(DeviceSilent);

  // A port that fails (the device unplugged) ends the dump like a silence; what came is kept
  // before the failure goes on to the window.
  std::vector<BYTE> buffer;
  buffer.reserve(static_cast<std::size_t>(std::min<long long>(length + 100, DumpReserve)));
  const DWORD bound_ms = track::DumpBoundMs(length, CommPort->Dcb.BaudRate);
  std::exception_ptr port_failure;
  try {
    const DumpEnd end = ReceiveDump(buffer, length, bound_ms, [&] {
      PBar1->Position = static_cast<int>(buffer.size());
      Label25->Caption = IntToStr(buffer.size());
    });
    if (end == DumpEnd::Silence) ShowMessage("Time Out");
    if (end == DumpEnd::TooLong)
      ShowMessage("Чтение прервано: прибор передает слишком медленно (дольше " +
                  IntToStr(bound_ms / 1000) + " с).");
  } catch (const ECommError&) {
    port_failure = std::current_exception();
  }
  Label6->Caption =
      IntToHex(static_cast<int>(buffer.size()), 6) + "  " + IntToStr(GetTickCount() - t1);

  const bool whole = static_cast<long long>(buffer.size()) >= length;
  if (whole) {
    WriteTrackText(file.get(), track::DumpText(buffer, ZipOn->Checked));
    CloseTrackFileOrAbort(file, CurrentFileName);
    StatusBar1->Panels->Items[0]->Text = CurrentFileName + " -> CLOSE";
  } else {
    file.reset();  // the old "gps_msg.txt" stays as it was
    KeepIncompleteDump(buffer, length);
  }
  Label19->Caption = "Время чтения(S) =" + IntToStr((GetTickCount() - t0) / 1000);
  if (port_failure) std::rethrow_exception(port_failure);
  return whole;
}

TML_Form::DumpRange TML_Form::TakeDumpRange() {
  const AnsiString command = Edit1->Text + " " + Edit2->Text;
  Label2->Caption = command;
  const long long start = StrToInt("0x" + Edit1->Text);
  const long long end = StrToInt("0x" + Edit2->Text);
  const long long stop = end - track::DumpPage;
  if (stop - start < 0) {
    ShowMessage("  Нет Данных.  ");
    Abort();
  }
  if (stop == 0) {
    ShowMessage(" Нет Данных. ");
    Abort();
  }
  // No dump reads past the memory (a mistyped or garbled end would ask for up to 2 GB). The
  // end names the address a page above the last byte read, so a full memory ends at 210210.
  if (stop > track::TrackMemorySize) {
    ShowMessage("Error END Address: " + Edit2->Text + " > " +
                IntToHex(static_cast<int>(track::TrackMemorySize + track::DumpPage), 6));
    Abort();
  }
  Label4->Caption = "Старт Адрес= " + IntToStr(start);
  Label5->Caption = "Стоп  Адрес= " + IntToStr(stop);
  Label4->Refresh();
  Label5->Refresh();
  const long long length = stop - start;
  PBar1->Position = 0;
  PBar1->Max = static_cast<int>(length);
  return {command, length};
}

void TML_Form::KeepIncompleteDump(const std::vector<BYTE>& bytes, long long length) {
  const AnsiString path = WorkFolder + IncompleteDumpName;
  // The message comes whatever happens to this file: a failure to write it is part of it.
  AnsiString reason;
  TrackFile part = CreateTrackFile(path);
  bool saved = false;
  if (!part) {
    reason = AnsiString(platform::FileErrorText(errno));
  } else {
    WriteTrackText(part.get(), track::DumpText(bytes, ZipOn->Checked));
    saved = CloseTrackFile(part, reason);
  }
  const AnsiString where =
      saved ? "Полученные данные в файле " + path : "Файл " + path + " не записан: " + reason;
  StatusBar1->Panels->Items[0]->Text = path + (saved ? " -> CLOSE" : " -> ERROR");
  ShowMessage("Чтение не завершено: получено " + IntToStr(bytes.size()) + " байт из " +
              IntToStr(length) + ".\nФайл gps_msg.txt не изменен.\n" + where);
}
