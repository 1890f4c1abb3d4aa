// The vehicle number panel, the parking detection and fuel output modes of the panel Ext, the
// beeper and the recording interval.
#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "panels_fixture.h"

namespace panels_test {
namespace {

using namespace std::string_literals;

class VehicleTest : public PanelsTest {};

struct NumberCase {
  const char* typed;
  const char* sent;     // between 'n' and the 0x00; nullptr when refused
  const char* message;  // when refused
};
void PrintTo(const NumberCase& c, std::ostream* os) {
  *os << '"' << c.typed << '"';
}

class NumberTest : public VehicleTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberTest, NumberOfThreeToFifteenCharactersGoesOutFramedBySlashes) {
  const NumberCase& c = GetParam();
  OpenPort();
  hl::Click(form->SpeedButton10);
  hl::Type(form->SrEdit, c.typed);
  tracker->ClearRecord();
  hl::Click(form->OK_SERIAL);
  if (c.sent) {
    EXPECT_EQ(Wire(), "n"s + c.sent + '\0');
    EXPECT_EQ(tracker->settings().reg_number, c.sent);
    EXPECT_TRUE(responder().Shown().empty());
  } else {
    EXPECT_EQ(Wire(), "");
    EXPECT_EQ(Messages(), std::vector<AnsiString>{c.message});
  }
  EXPECT_EQ(form->SrEdit->Text(), c.typed);

  // The hidden "SMS" button checks the length alone.
  responder().ClearShown();
  tracker->ClearRecord();
  hl::ForceClick(form->sb_auto_serial_sms);
  EXPECT_EQ(Messages().size(), c.sent ? 0u : 1u);
  EXPECT_EQ(Wire(), "");
}

constexpr const char* kShort = "Номер  < 3 символов...";
constexpr const char* kLongNumber = "Номер  > 15 символов...";

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumberTest,
    ::testing::Values(NumberCase{"AB", nullptr, kShort}, NumberCase{"/A", nullptr, kShort},
                      NumberCase{"A123BC", "/A123BC/", nullptr},
                      NumberCase{"/A123BC/", "/A123BC/", nullptr},
                      NumberCase{"A123BC/", "/A123BC/", nullptr},
                      NumberCase{"/A123BC", "/A123BC/", nullptr},
                      NumberCase{"A/1", "/A/1/", nullptr}, NumberCase{" 7 ", "/ 7 /", nullptr},
                      NumberCase{"ABCDEFGHIJKLMNO", "/ABCDEFGHIJKLMNO/", nullptr},
                      NumberCase{"/ABCDEFGHIJKLMN/", nullptr, kLongNumber},
                      NumberCase{"ABCDEFGHIJKLMNOP", nullptr, kLongNumber}));

TEST_F(VehicleTest, NumberWrittenIsShownByTheStateQuery) {
  OpenPort();
  hl::Click(form->SpeedButton10);
  hl::Type(form->SrEdit, "A123BC");
  hl::Click(form->OK_SERIAL);
  hl::Click(form->SBMode);
  EXPECT_EQ(form->Label23->Caption(), "Номер прибора-> ID= A123BC");
  EXPECT_EQ(form->DeviceId, "ID= A123BC");
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(VehicleTest, ClosedPortIsReportedBeforeTheNumberIsChecked) {
  hl::Click(form->SpeedButton10);
  hl::Type(form->SrEdit, "AB");
  hl::Click(form->OK_SERIAL);
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Com Port Not Open."});
}

TEST_F(VehicleTest, NumberPanelTogglesAndClosesAndKeepsItsText) {
  hl::Click(form->SpeedButton10);
  EXPECT_TRUE(form->SerialBox->Visible);
  hl::Type(form->SrEdit, "K9");
  hl::Click(form->SpeedButton10);
  EXPECT_FALSE(form->SerialBox->Visible);
  form->RS485->Visible = true;
  hl::ForceClick(form->auto_namber);  // the hidden menu item does the same
  EXPECT_TRUE(form->SerialBox->Visible);
  EXPECT_FALSE(form->RS485->Visible);
  hl::Click(form->SerialClose);
  EXPECT_FALSE(form->SerialBox->Visible);
  EXPECT_EQ(form->SrEdit->Text(), "K9");
  EXPECT_TRUE(tracker->Received().empty());
}

struct ModeCase {
  const char* name;
  std::function<TSpeedButton*(TML_Form&)> button;
  std::function<TEdit*(TML_Form&)> target;
  const char* shown;
  std::function<bool(const sim::TrackerSettings&)> set;
};
void PrintTo(const ModeCase& c, std::ostream* os) {
  *os << c.name;
}

class ModeTest : public VehicleTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeTest, ModeButtonShowsTheDeviceAnswerOrTimesOut) {
  const ModeCase& c = GetParam();
  OpenPort();
  form->Ext->Visible = true;
  tracker->settings().parking_by_ignition = !tracker->settings().parking_by_ignition;
  tracker->settings().output_litres = !tracker->settings().output_litres;
  hl::Click(c.button(*form));
  EXPECT_TRUE(c.set(tracker->settings()));
  EXPECT_EQ(c.target(*form)->Text(), c.shown);
  EXPECT_TRUE(responder().Shown().empty());

  tracker->faults().silent = true;
  tracker->ClearRecord();
  hl::Click(c.button(*form));
  EXPECT_EQ(Wire().size(), 2u);  // the command went out all the same
  EXPECT_EQ(c.target(*form)->Text(), "");
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Time 0ut..."});
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTest,
    ::testing::Values(ModeCase{
                          "parking_by_gps", [](TML_Form& f) { return f.SpeedButton25; },
                          [](TML_Form& f) { return f.Edit14; }, "GPS",
                          [](const sim::TrackerSettings& s) { return !s.parking_by_ignition; }},
                      ModeCase{"parking_by_ignition", [](TML_Form& f) { return f.SpeedButton26; },
                               [](TML_Form& f) { return f.Edit14; }, "IGN",
                               [](const sim::TrackerSettings& s) { return s.parking_by_ignition; }},
                      ModeCase{"output_in_codes", [](TML_Form& f) { return f.SpeedButton27; },
                               [](TML_Form& f) { return f.Edit15; }, "CODE",
                               [](const sim::TrackerSettings& s) { return !s.output_litres; }},
                      ModeCase{"output_in_litres", [](TML_Form& f) { return f.SpeedButton28; },
                               [](TML_Form& f) { return f.Edit15; }, "LITRE",
                               [](const sim::TrackerSettings& s) { return s.output_litres; }}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST_F(VehicleTest, ExtraSettingsPanelShowsBothModes) {
  tracker->settings().output_litres = true;
  OpenPort();
  hl::Click(form->sb_apn_panel_on);
  hl::Click(form->SpeedButton21);
  EXPECT_TRUE(form->Ext->Visible);
  EXPECT_FALSE(form->apn_panel->Visible);
  EXPECT_EQ(form->Edit15->Text(), "LITRE");
  EXPECT_EQ(form->Edit14->Text(), "GPS");
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(VehicleTest, ExtraSettingsPanelOnASilentDeviceEndsEmptyWithoutAMessage) {
  tracker->faults().silent = true;
  OpenPort();
  form->Edit14->Text = "old";
  form->Edit15->Text = "old";
  const DWORD t0 = GetTickCount();
  hl::Click(form->SpeedButton21);
  EXPECT_GT(GetTickCount() - t0, 10000u);
  EXPECT_LT(GetTickCount() - t0, 11000u);
  EXPECT_EQ(form->Edit14->Text(), "");
  EXPECT_EQ(form->Edit15->Text(), "");
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(VehicleTest, ExtraSettingsPanelOnAClosedPortIsShownAndReportsOnce) {
  hl::Click(form->SpeedButton21);
  EXPECT_TRUE(form->Ext->Visible);
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Com Port Not Open."});
  EXPECT_TRUE(tracker->Received().empty());
}

TEST_F(VehicleTest, TrackBarKeepsMultiplesOfFiveAndCodeLeavesTheIntervalAsWritten) {
  form->tbar_interval->Visible = true;
  hl::Move(form->tbar_interval, 23);
  EXPECT_EQ(form->Edit4->Text(), "20");
  EXPECT_EQ(form->tbar_interval->Position, 20);
  hl::Move(form->tbar_interval, 100);
  EXPECT_EQ(form->Edit4->Text(), "100");

  // An interval beyond the bar's range, written as the state query writes it.
  form->Edit4->Text = "300";
  form->tbar_interval->Position = 300;
  EXPECT_EQ(form->Edit4->Text(), "300");
  EXPECT_EQ(form->tbar_interval->Position, 100);
}

// A device that reports an interval of 300 s in its state line (0x12C) and records the rest.
class LongIntervalDevice : public platform::sim::Device {
 public:
  std::string received;
  void OnByte(platform::sim::Line& line, std::uint8_t byte,
              const platform::sim::LineSettings&) override {
    received += static_cast<char>(byte);
    if (byte != 'e') return;
    static const std::string kLine = "#1F0 12C 0 1 0 /A1/ 2020 1.2.3.4"s + '\0';
    line.Send(std::span(reinterpret_cast<const std::uint8_t*>(kLine.data()), kLine.size()), 2000);
  }
};

// The state query writes 300 into Edit4 and the track bar, which holds 100 at most: Edit4 keeps
// 300 and the interval goes out as its low 8 bits.
TEST_F(VehicleTest, IntervalBeyondTheTrackBarFromTheStateQuerySendsItsLowByte) {
  auto device = std::make_shared<LongIntervalDevice>();
  platform::sim::Attach("COM2", device);
  ASSERT_EQ(CommPort->Open(1, 2048, 2048), 0);
  CommPort->SetBaudRate(sim::kDefaultBaud);
  hl::Click(form->SBMode);
  EXPECT_EQ(form->Edit4->Text(), "300");
  EXPECT_EQ(form->tbar_interval->Position, 100);
  device->received.clear();
  hl::ForceClick(form->SBTemp);
  EXPECT_EQ(device->received, "h\x2C");
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(VehicleTest, IntervalAndBeeperReachTheDeviceState) {
  OpenPort();
  form->tbar_interval->Visible = true;
  hl::Move(form->tbar_interval, 37);
  hl::ForceClick(form->SBTemp);
  hl::ForceClick(form->SBBeepOFF);
  EXPECT_EQ(tracker->settings().interval, 35);
  EXPECT_FALSE(tracker->settings().beeper);
  hl::ForceClick(form->SBBeppON);
  EXPECT_TRUE(tracker->settings().beeper);
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(VehicleTest, IntervalThatIsNoNumberSendsNothing) {
  OpenPort();
  form->Edit4->Text = "X";
  tracker->ClearRecord();
  hl::ForceClick(form->SBTemp);
  EXPECT_EQ(responder().Texts(ModalKind::Exception),
            std::vector<AnsiString>{"'X' is not a valid integer value."});
  EXPECT_EQ(Wire(), "");
  CommPort->Close();
  hl::ForceClick(form->SBBeppON);
  hl::ForceClick(form->SBTemp);
  EXPECT_EQ(Messages(), (std::vector<AnsiString>{"Com Port Not Open.", "Com Port Not Open."}));
}

}  // namespace
}  // namespace panels_test
