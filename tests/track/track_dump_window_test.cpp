// The end-address read and the page-acknowledged dump of the window, against the tracker
// simulator on the virtual clock.
#include <functional>
#include <string>
#include <vector>

#include "track_window.h"

using vcl::headless::ForceClick;
using vcl::headless::ModalKind;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes Command(const std::string& text) {
  Bytes b{0x5E};
  for (char c : text) b.push_back(static_cast<std::uint8_t>(c));
  b.push_back(0x00);
  return b;
}

class DumpTest : public TrackWindowTest {
 protected:
  void SetUp() override {
    TrackWindowTest::SetUp();
    OpenPort();
  }
  void Dump(const char* start, const char* end) {
    form->Edit1->Text = start;
    form->Edit2->Text = end;
    ForceClick(form->SBRead_D3);
  }
  // The bytes the last dump received, as Label6 shows them (hexadecimal).
  int Received() const { return StrToInt("0x" + form->Label6->Caption().SubString(1, 6)); }
};

TEST_F(DumpTest, EmptyRangesAndRangesPastTheMemorySendNothingAndLeaveTheFile) {
  const struct {
    const char* start;
    const char* end;
    const char* message;
  } cases[] = {
      {"0000", "00FF", "  Нет Данных.  "},
      {"0000", "0210", " Нет Данных. "},
      {"0300", "0420", "  Нет Данных.  "},
      // Reading past the 0x210000 bytes of the memory (the end names a page above the last
      // byte read): no read of up to 2 GB is started.
      {"0000", "210211", "Error END Address: 210211 > 210210"},
      {"0100", "210310", "Error END Address: 210310 > 210210"},
      {"0000", "7FFFFFFF", "Error END Address: 7FFFFFFF > 210210"},
  };
  std::ofstream(WorkDir() + "/gps_msg.txt") << "earlier";
  for (const auto& c : cases) {
    responder().ClearShown();
    Dump(c.start, c.end);
    EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{c.message})
        << c.start << " " << c.end;
    EXPECT_EQ(form->Label2->Caption, AnsiString(c.start) + " " + c.end);
  }
  EXPECT_TRUE(tracker->ReceivedBytes().empty());
  EXPECT_EQ(ReadWork("gps_msg.txt"), "earlier");
}

TEST_F(DumpTest, OnePageNeedsNoAcknowledgement) {
  FillMemory(0x420);
  Dump("0000", "0420");
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(tracker->ReceivedBytes(), Command("0000 0420"));
  EXPECT_EQ(ReadWork("gps_msg.txt"), OnDisk(MemoryText(0, 528)));
  EXPECT_EQ(form->Label4->Caption, "Старт Адрес= 0");
  EXPECT_EQ(form->Label5->Caption, "Стоп  Адрес= 528");
  EXPECT_EQ(form->Label6->Caption().SubString(1, 8), "000210  ");
  EXPECT_EQ(form->CurrentFileName, "c:\\Tc\\WorkDir\\gps_msg.txt");
  EXPECT_EQ(form->StatusBar1->Panels->Items[0]->Text, "c:\\Tc\\WorkDir\\gps_msg.txt -> CLOSE");
}

TEST_F(DumpTest, TwoPagesAreAcknowledgedOnceAfterByte528) {
  FillMemory(0x630);
  Dump("0000", "0630");
  EXPECT_TRUE(responder().Shown().empty());
  Bytes expected = Command("0000 0630");
  expected.push_back(0x55);
  expected.push_back(0xAA);
  EXPECT_EQ(tracker->ReceivedBytes(), expected);
  EXPECT_EQ(form->Label25->Caption, "528");
  EXPECT_EQ(form->PBar1->Position, 528);
  EXPECT_EQ(form->PBar1->Max, 1056);
  EXPECT_EQ(ReadWork("gps_msg.txt"), OnDisk(MemoryText(0, 1056)));
  EXPECT_EQ(form->Label19->Caption().SubString(1, 17), "Время чтения(S) =");
}

TEST_F(DumpTest, AnEmptyLengthStillReadsOneByte) {
  FillMemory(0x400);
  Dump("0100", "0310");
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(ReadWork("gps_msg.txt"), OnDisk(MemoryText(0x100, 1)));
}

// The message of a dump that did not finish.
AnsiString IncompleteMessage(int got, int of) {
  return "Чтение не завершено: получено " + IntToStr(got) + " байт из " + IntToStr(of) +
         ".\nФайл gps_msg.txt не изменен.\nПолученные данные в файле "
         "c:\\Tc\\WorkDir\\gps_msg_incomplete.txt";
}

// Four pages are asked for (0000 to 0A50: 2112 bytes). Only a dump that brought them all
// replaces "gps_msg.txt"; otherwise the earlier one stays and what came is kept beside it.
TEST_F(DumpTest, OnlyAWholeDumpReplacesTheFile) {
  const struct {
    const char* what;
    std::function<void(sim::TrackerFaults&)> fault;
    int got;  // bytes of the memory that reach the host; 2112 is the whole range
    std::vector<AnsiString> messages;
    std::vector<AnsiString> errors;  // the application's error display
  } cases[] = {
      {"whole range", [](sim::TrackerFaults&) {}, 2112, {}, {}},
      {"silent after the mark",
       [](sim::TrackerFaults& f) { f.cut_after = 1; },
       0,
       {"Time Out", IncompleteMessage(0, 2112)},
       {}},
      {"cut after two pages and some",
       [](sim::TrackerFaults& f) { f.cut_after = 1 + 2 * 528 + 100; },
       2 * 528 + 100,
       {"Time Out", IncompleteMessage(1156, 2112)},
       {}},
      // The command is 11 bytes; the device is gone when the first acknowledgement reaches it.
      {"vanishing after a page",
       [](sim::TrackerFaults& f) { f.vanish_on_byte = 12; },
       528,
       {IncompleteMessage(528, 2112)},
       {"Прибор отключен... Comm Port_1 закрыт."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // A fresh device for each case (the last one vanished).
    ResetCommPort();
    tracker = std::make_shared<sim::TrackerDevice>();
    platform::sim::Attach("COM1", tracker);
    FillMemory(0x1000);
    OpenPort();
    c.fault(tracker->faults());
    WriteWork("gps_msg.txt", "earlier\n");
    fs::remove(WorkDir() + "/gps_msg_incomplete.txt");
    responder().ClearShown();

    Dump("0000", "0A50");
    EXPECT_EQ(responder().Texts(ModalKind::Message), c.messages);
    EXPECT_EQ(responder().Texts(ModalKind::Exception), c.errors);
    EXPECT_EQ(form->Label6->Caption().SubString(1, 6), IntToHex(c.got, 6));
    if (c.got == 2112) {
      EXPECT_EQ(ReadWork("gps_msg.txt"), OnDisk(MemoryText(0, 2112)));
      EXPECT_FALSE(WorkFileExists("gps_msg_incomplete.txt"));
    } else {
      EXPECT_EQ(ReadWork("gps_msg.txt"), "earlier\r\n");
      EXPECT_EQ(ReadWork("gps_msg_incomplete.txt"), OnDisk(MemoryText(0, c.got)));
      EXPECT_EQ(form->StatusBar1->Panels->Items[0]->Text,
                "c:\\Tc\\WorkDir\\gps_msg_incomplete.txt -> CLOSE");
    }
    // No temporary file is left beside them.
    for (const auto& entry : fs::directory_iterator(WorkDir()))
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    // A vanished device leaves the port closed, as the close button does.
    EXPECT_EQ(CommPort->IsOpen(), c.errors.empty());
  }
}

// A device that sends a byte every 90 ms (within the 200 ms each byte may take) would take
// 3 minutes for these 2112 bytes; the dump ends at its bound, four times the line time at
// 115200 baud plus a minute, as a cut read does.
TEST_F(DumpTest, SlowDeviceEndsAtTheBoundAndKeepsTheEarlierFile) {
  FillMemory(0x1000);
  WriteWork("gps_msg.txt", "earlier\n");
  tracker->faults().byte_delay_us = 90'000;
  const DWORD bound_ms = 4 * 184 + 60'000;
  const DWORD t0 = GetTickCount();
  Dump("0000", "0A50");
  const DWORD took = GetTickCount() - t0;
  EXPECT_GT(took, bound_ms);
  EXPECT_LT(took, bound_ms + 1000);

  const int got = Received();
  // What a byte every 90 ms brings by then.
  EXPECT_NEAR(got, bound_ms / 90, 5);
  EXPECT_EQ(
      responder().Texts(ModalKind::Message),
      (std::vector<AnsiString>{"Чтение прервано: прибор передает слишком медленно (дольше 60 с).",
                               IncompleteMessage(got, 2112)}));
  EXPECT_EQ(ReadWork("gps_msg.txt"), "earlier\r\n");
  EXPECT_EQ(ReadWork("gps_msg_incomplete.txt"), OnDisk(MemoryText(0, got)));
}

// The user closes the window during a dump (the widget set lets the window turn a few times a
// second while the bytes come): the dump ends as a cut read, and the window closes once the
// click's handler has returned.
TEST_F(DumpTest, CloseDuringTheDumpEndsItAndThenClosesTheWindow) {
  FillMemory(0x1000);
  WriteWork("gps_msg.txt", "earlier\n");
  tracker->faults().byte_delay_us = 90'000;
  const DWORD t0 = GetTickCount();
  int asked = 0;
  gui.widget_set().SetEndRequestHook([&] {
    ++asked;
    return GetTickCount() - t0 > 2000;
  });
  Dump("0000", "0A50");
  EXPECT_LT(GetTickCount() - t0, 3000u);
  EXPECT_GT(asked, 2);

  const int got = Received();
  EXPECT_GT(got, 0);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{IncompleteMessage(got, 2112)});
  EXPECT_EQ(ReadWork("gps_msg.txt"), "earlier\r\n");
  EXPECT_EQ(ReadWork("gps_msg_incomplete.txt"), OnDisk(MemoryText(0, got)));
  // Closed as the title bar's close does: the port closed, the settings written, the loop
  // ended.
  EXPECT_FALSE(CommPort->IsOpen());
  EXPECT_TRUE(IniExists());
  EXPECT_TRUE(Application->Terminated);
}

// A full memory ends at 210210, a page above its last byte: the dump reads all 0x210000 bytes.
TEST_F(DumpTest, FullMemoryIsReadToItsLastByte) {
  FillMemory(0x210000);
  tracker->memory().write_address = 0x210000;
  ForceClick(form->SBReadAdr);
  EXPECT_EQ(form->Edit2->Text, "210210");
  ForceClick(form->SBRead_D3);
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(form->Label5->Caption, "Стоп  Адрес= 2162688");
  EXPECT_EQ(ReadWork("gps_msg.txt"), OnDisk(MemoryText(0, 0x210000)));
}

TEST_F(DumpTest, SilentDeviceKeepsTheEarlierFile) {
  std::ofstream(WorkDir() + "/gps_msg.txt") << "earlier";
  tracker->faults().silent = true;
  Dump("0000", "0630");
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Прибор не отвечает..."});
  EXPECT_EQ(ReadWork("gps_msg.txt"), "earlier");
  EXPECT_EQ(form->StatusBar1->Panels->Items[0]->Text, "c:\\Tc\\WorkDir\\gps_msg.txt -> OPEN  1056");
}

TEST_F(DumpTest, FileThatCannotBeCreatedStopsBeforeSending) {
  form->WorkFolder = "c:\\Tc\\Missing\\";
  Dump("0000", "0630");
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Не найден каталог -> c:\\Tc\\Missing\\"});
  EXPECT_TRUE(tracker->ReceivedBytes().empty());
}

TEST_F(DumpTest, AddressThatIsNoNumberShowsTheConversionError) {
  Dump("00G0", "0630");
  EXPECT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  EXPECT_TRUE(tracker->ReceivedBytes().empty());
  EXPECT_FALSE(WorkFileExists("gps_msg.txt"));
}

TEST_F(DumpTest, PackedOffWritesTheBytesAsTheyCame) {
  auto& bytes = tracker->memory().bytes;
  for (int i = 0; i < 528; ++i) bytes[i] = 'a' + i % 26;
  bytes[3] = 0x0A;
  form->ZipOn->Checked = false;
  Dump("0000", "0420");
  std::string expected(bytes.begin(), bytes.begin() + 528);
  EXPECT_EQ(ReadWork("gps_msg.txt"), OnDisk(expected));
}

class EndAddressTest : public DumpTest {};

TEST_F(EndAddressTest, Replies) {
  const struct {
    const char* what;
    std::function<void(sim::TrackerSim&)> set_up;
    const char* edit;
    std::vector<AnsiString> messages;
  } cases[] = {
      {"address", [](sim::TrackerSim&) {}, "1A2B0", {}},
      {"after other bytes",
       [](sim::TrackerSim& t) {
         t.faults().garbage = {0x11, 0x7E, 0x00};
       },
       "1A2B0",
       {}},
      {"ten characters",
       [](sim::TrackerSim& t) { t.faults().address_length = 10; },
       "1A2B000000",
       {"Error END Address"}},
      {"nine characters",
       [](sim::TrackerSim& t) { t.faults().address_length = 9; },
       "1A2B00000",
       {}},
      {"silent",
       [](sim::TrackerSim& t) { t.faults().silent = true; },
       "00FF",
       {"Прибор не отвечает..."}},
      {"cut before its end",
       [](sim::TrackerSim& t) { t.faults().cut_after = 3; },
       "00FF",
       {"Прибор не отвечает..."}},
  };
  for (const auto& c : cases) {
    tracker->faults() = {};
    tracker->memory().write_address = 0x1A0A0;  // the device names 1A2B0, a page above
    c.set_up(*tracker);
    tracker->ClearRecord();
    responder().ClearShown();
    form->Edit2->Text = "00FF";
    ForceClick(form->SBReadAdr);
    EXPECT_EQ(form->Edit2->Text, c.edit) << c.what;
    EXPECT_EQ(responder().Texts(ModalKind::Message), c.messages) << c.what;
    EXPECT_EQ(tracker->ReceivedBytes(), Bytes{0x64}) << c.what;
  }
}

TEST_F(EndAddressTest, ClosedPortSendsNothing) {
  CommPort->Close();
  ForceClick(form->SBReadAdr);
  ForceClick(form->SBRead_D3);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            (std::vector<AnsiString>{"Com Port Not Open.", "Com Port Not Open."}));
  EXPECT_TRUE(tracker->ReceivedBytes().empty());
}

}  // namespace
