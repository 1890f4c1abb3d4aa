// The debug panel on the virtual clock: opening and closing it, the test read and write with
// their bounded waits, and the modem-line buttons.
#include <ostream>
#include <string>
#include <vector>

#include "read_dev/device_command.h"
#include "trakmon_fixture.h"

using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

class DebugPanelTest : public TrakmonTest {
 protected:
  // The window with the developer switch on, its debug panel shown and the port open on the
  // tracker, or on a scripted device on COM2.
  void Open(bool scripted_device = false) {
    if (scripted_device) {
      scripted = std::make_shared<ScriptedDevice>();
      platform::sim::Attach("COM2", scripted);
    }
    form = CreateConnectedForm(scripted_device ? 1 : 0, 115200, true);
    Click(form->deb_panel);
  }

  TML_Form* form = nullptr;
  std::shared_ptr<ScriptedDevice> scripted;
};

TEST_F(DebugPanelTest, MenuItemTogglesThePanelAndCloseHidesIt) {
  WriteIni("[Ser]\nser_ini=1\n");
  form = CreateMainForm();
  EXPECT_FALSE(form->PDebug->Visible);
  Click(form->deb_panel);
  EXPECT_TRUE(form->PDebug->Visible);
  TWinControl* parent = form->PDebug->Parent;
  EXPECT_EQ(parent->Controls[parent->ControlCount - 1], form->PDebug);  // in front
  Click(form->deb_panel);
  EXPECT_FALSE(form->PDebug->Visible);
  Click(form->deb_panel);
  Click(form->SBCloseDeb);
  EXPECT_FALSE(form->PDebug->Visible);
}

TEST_F(DebugPanelTest, ReadAndWriteSendTheAddressTextsAfterTheirPauses) {
  Open();
  tracker->memory().bytes[0x10] = 0x5A;
  std::uint64_t t0 = clock->NowUs();
  Click(form->SBCHRead);
  EXPECT_EQ(form->Label2->Caption(), "0000 00FF");
  std::uint64_t t1 = clock->NowUs();
  form->Edit3->Text = "AB";
  Click(form->SBCHWrite);
  EXPECT_EQ(form->Label2->Caption(), "0000 00FF AB");
  EXPECT_TRUE(responder().Shown().empty());

  std::string sent;
  for (std::uint8_t b : tracker->ReceivedBytes()) sent += static_cast<char>(b);
  EXPECT_EQ(sent, std::string("\\0000 00FF") + '\0' + "[0000 00FF AB" + '\0');
  auto r = tracker->Received();
  ASSERT_EQ(r.size(), sent.size());
  EXPECT_GE(r[0].at_us - t0, 200'000u);
  EXPECT_LT(r[0].at_us - t0, 201'000u);
  EXPECT_GE(r[1].at_us - r[0].at_us, 200'000u);
  EXPECT_LT(r[1].at_us - r[0].at_us, 201'000u);
  EXPECT_GE(r[11].at_us - t1, 200'000u);
  EXPECT_GE(r[12].at_us - r[11].at_us, 200'000u);
  EXPECT_EQ(tracker->memory().bytes[0x10], 0xAB);  // the write reached the device
}

struct ReadCase {
  const char* what;
  std::vector<ScriptedDevice::Send> reply;  // to "\", its times from that byte
  bool told;                                // "Прибор не отвечает..."
  DWORD min_ms, max_ms;                     // after the text went out, 200 ms after "\"
};
void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.what;
}

class DebugReadTest : public DebugPanelTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(DebugReadTest, ConsumesLinesUntilTheDoneMarkOrTheBound) {
  const ReadCase& c = GetParam();
  Open(true);
  scripted->replies[CmdDebugRead] = c.reply;
  DWORD t0 = GetTickCount();
  Click(form->SBCHRead);
  DWORD took = GetTickCount() - t0 - 400;  // the two pauses
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            c.told ? std::vector<AnsiString>{"Прибор не отвечает..."} : std::vector<AnsiString>{});
  EXPECT_GE(took, c.min_ms);
  EXPECT_LE(took, c.max_ms);
  EXPECT_EQ(form->Label2->Caption(), "0000 00FF");
  EXPECT_TRUE(CommPort->IsOpen());
}

const std::string kLf = "\n";

INSTANTIATE_TEST_SUITE_P(
    Replies, DebugReadTest,
    ::testing::Values(
        ReadCase{"two_lines_then_done", {{2, "#abc" + kLf + "#" + kLf + "@"}}, false, 0, 50},
        ReadCase{"done_alone", {{2, "@"}}, false, 0, 50},
        // Inside a line "@" and "#" are data: this one never ends.
        ReadCase{"done_inside_a_line", {{2, "#ab@c#d@"}}, true, 3000, 3300},
        ReadCase{"done_after_the_line", {{2, "#ab@c" + kLf + "@"}}, false, 0, 50},
        // A line of more than 250 bytes: what follows its 250th is scanned between lines.
        ReadCase{"overlong_line", {{2, "#" + std::string(250, 'x') + "@"}}, false, 0, 50},
        ReadCase{"line_of_250_swallows_the_mark",
                 {{2, "#" + std::string(249, 'x') + "@"}},
                 true,
                 3000,
                 3300},
        ReadCase{"silent", {}, true, 3000, 3300},
        ReadCase{"lines_stop_coming", {{2, "#0000: FF"}}, true, 3000, 3300},
        ReadCase{"slow_lines",
                 {{1000, "#a" + kLf}, {3500, "#b" + kLf}, {6000, "@"}},
                 false,
                 5800,
                 5850}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.what); });

TEST_F(DebugPanelTest, ChattyDeviceIsLeftAtTheCap) {
  Open();
  tracker->faults().chatter_us = 60'000'000;
  DWORD t0 = GetTickCount();
  Click(form->SBCHRead);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Прибор не отвечает..."});
  EXPECT_GE(GetTickCount() - t0, 30'400u);
  EXPECT_LE(GetTickCount() - t0, 30'700u);
  responder().ClearShown();

  t0 = GetTickCount();
  Click(form->SBCHWrite);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Прибор не отвечает..."});
  EXPECT_GE(GetTickCount() - t0, 30'400u);
  EXPECT_LE(GetTickCount() - t0, 30'700u);
}

TEST_F(DebugPanelTest, WriteIgnoresEverythingBeforeItsDoneMark) {
  Open(true);
  scripted->replies[CmdDebugWrite] = {{2, "#0000: FF" + kLf + "#x" + kLf + "xyz"}, {2000, "@"}};
  DWORD t0 = GetTickCount();
  Click(form->SBCHWrite);
  EXPECT_TRUE(responder().Shown().empty());
  // The reply's times count from the command byte, 200 ms after the click.
  EXPECT_GE(GetTickCount() - t0, 2200u);
  EXPECT_LE(GetTickCount() - t0, 2250u);

  scripted->replies[CmdDebugWrite] = {{2, "#x" + kLf}};
  t0 = GetTickCount();
  Click(form->SBCHWrite);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Прибор не отвечает..."});
  EXPECT_GE(GetTickCount() - t0, 3400u);
  EXPECT_LE(GetTickCount() - t0, 3700u);
}

struct LineCase {
  const char* button;
  bool rts;  // the line it sets: RTS, else DTR
  bool on;
};
void PrintTo(const LineCase& c, std::ostream* os) {
  *os << c.button;
}

class ModemLineTest : public DebugPanelTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ModemLineTest, EachButtonSetsItsLineOnlyWithThePortOpen) {
  const LineCase& c = GetParam();
  scripted = std::make_shared<ScriptedDevice>();
  platform::sim::Attach("COM2", scripted);
  WriteIni("[Port]\nCOMM_PORT_NMEA=1\n[Ser]\nser_ini=1\n");
  form = CreateMainForm();
  Click(form->deb_panel);
  Click(vcl::headless::Find<TSpeedButton>(form, c.button));
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"Com Port Not Open."});
  responder().ClearShown();

  Click(form->SBOpenComPort);
  // Both lines start the other way round, so that the button's change shows.
  c.on ? CommPort->ClearRTS() : CommPort->SetRTS();
  c.on ? CommPort->ClearDTR() : CommPort->SetDTR();
  Click(vcl::headless::Find<TSpeedButton>(form, c.button));
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(scripted->Rts(), c.rts ? c.on : !c.on);
  EXPECT_EQ(scripted->Dtr(), c.rts ? !c.on : c.on);
  EXPECT_TRUE(scripted->received.empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, ModemLineTest,
                         ::testing::Values(LineCase{"SpeedButton7", true, true},
                                           LineCase{"SpeedButton8", true, false},
                                           LineCase{"SpeedButton2", false, true},
                                           LineCase{"SpeedButton3", false, false}),
                         [](const ::testing::TestParamInfo<LineCase>& info) {
                           return std::string(info.param.button);
                         });

TEST_F(DebugPanelTest, ReadAndWriteOnAClosedPortSendNothing) {
  WriteIni("[Ser]\nser_ini=1\n");
  form = CreateMainForm();
  Click(form->deb_panel);
  Click(form->SBCHRead);
  Click(form->SBCHWrite);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            (std::vector<AnsiString>{"Com Port Not Open.", "Com Port Not Open."}));
  EXPECT_EQ(form->Label2->Caption(), "");
  EXPECT_TRUE(tracker->Received().empty());
}

}  // namespace
