// The track memory dump: the end address of the recorded data and the page-acknowledged dump of
// the memory into "gps_msg.txt".
#include <vector>

#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"
#include "read_dev/track_dump.h"
#include "track_file.h"

namespace {

// The device stopped answering in the middle of a reply.
constexpr const char* kDeviceSilent = "Прибор не отвечает...";
// The end address holds at most this many characters.
constexpr int kEndAddressLimit = 10;
// A byte of the dump may take this long (read, acknowledgement and display included).
constexpr DWORD kDumpByteMs = 200;
// The buffer grows with what arrives; this much is taken at once at most, so a mistyped range
// does not claim memory the device never sends.
constexpr std::size_t kDumpReserve = 0x210000 + 100;

}  // namespace

void TML_Form::SBReadAdrClick(TObject* Sender) {
  RequirePortOpen();
  PurgeBothAndPause(100);
  char address[kEndAddressLimit] = {};
  CommPort->WriteByte(CmdReadEndAddress);
  if (!WaitForDataMark(DeviceWait)) ReportDeviceSilent(kDeviceSilent);
  BoundedReader reader;
  int stored = 0;
  for (;;) {
    BYTE byte;
    if (!reader.Next(byte)) ReportDeviceSilent(kDeviceSilent);
    if (byte == 0x00) break;
    address[stored++] = static_cast<char>(byte);
    if (stored == kEndAddressLimit) {
      ShowMessage("Error END Address");
      break;
    }
  }
  Edit2->Text = AnsiString(address, stored);
}

void TML_Form::SBRead_D3Click(TObject* Sender) {
  RequirePortOpen();
  Label25->Caption = AnsiString(std::string(22, ' '));
  Label25->Refresh();
  const DWORD t0 = GetTickCount();
  const AnsiString command = Edit1->Text + " " + Edit2->Text;
  Label2->Caption = command;
  const long long start = StrToInt("0x" + Edit1->Text);
  const long long stop = static_cast<long long>(StrToInt("0x" + Edit2->Text)) - track::kDumpPage;
  if (stop - start < 0) {
    ShowMessage("  Нет Данных.  ");
    Abort();
  }
  if (stop == 0) {
    ShowMessage(" Нет Данных. ");
    Abort();
  }
  Label4->Caption = "Старт Адрес= " + IntToStr(start);
  Label5->Caption = "Стоп  Адрес= " + IntToStr(stop);
  Label4->Refresh();
  Label5->Refresh();
  const long long length = stop - start;
  PBar1->Position = 0;
  PBar1->Max = static_cast<int>(length);

  CurrentFileName = WorkFolder + "gps_msg.txt";
  TrackFile file = CreateTrackFileOrAbort(CurrentFileName, "Не найден каталог -> " + WorkFolder);
  std::vector<BYTE> buffer;
  buffer.reserve(static_cast<std::size_t>(std::min<long long>(length + 100, kDumpReserve)));
  StatusBar1->Panels->Items[0]->Text = CurrentFileName + " -> OPEN  " + IntToStr(length);
  StatusBar1->Repaint();

  PurgeBothAndPause(200);
  CommPort->WriteByte(CmdDumpMemory);
  Sleep(200);
  CommPort->WriteString(command.c_str());
  CommPort->WriteByte(0x00);
  const DWORD t1 = GetTickCount();
  // Nothing has come yet: the emptied file stays empty.
  if (!WaitForDataMark(DeviceWait)) ReportDeviceSilent(kDeviceSilent);

  int in_page = 0;
  for (;;) {
    const DWORD t = GetTickCount();
    const int value = CommPort->ReadByte();
    if (value >= 0) {
      buffer.push_back(static_cast<BYTE>(value));
      if (static_cast<long long>(buffer.size()) >= length) break;
      if (++in_page == track::kDumpPage) {
        CommPort->WriteByte(track::kPageAckLow);
        PBar1->Position = static_cast<int>(buffer.size());
        Label25->Caption = IntToStr(buffer.size());
        Label25->Refresh();
        in_page = 0;
        CommPort->WriteByte(track::kPageAckHigh);
      }
    }
    if (GetTickCount() - t > kDumpByteMs) {
      ShowMessage("Time Out");
      break;
    }
  }
  Label6->Caption =
      IntToHex(static_cast<int>(buffer.size()), 6) + "  " + IntToStr(GetTickCount() - t1);

  WriteTrackText(file.get(), track::DumpText(buffer, ZipOn->Checked));
  CloseTrackFileOrAbort(file, CurrentFileName);
  StatusBar1->Panels->Items[0]->Text = CurrentFileName + " -> CLOSE";
  Label19->Caption = "Время чтения(S) =" + IntToStr((GetTickCount() - t0) / 1000);
}
