// The fuel sensor's commands on the wire: every byte each button sends, and the pause before
// it, taken from the tracker simulator's record on the virtual clock.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "read_dev/device_command.h"
#include "trakmon_fixture.h"

using vcl::headless::Click;
using vcl::headless::Find;

namespace {

struct WireByte {
  std::uint8_t byte;
  DWORD pause_ms = 0;  // since the end of the byte before (0: at once)
  DWORD slack_ms = 1;  // the pause may be this much longer (a byte's own time, a read pass)
};

// A text parameter's bytes, each at once.
std::vector<WireByte> Text(const std::string& text) {
  std::vector<WireByte> bytes;
  for (char c : text) bytes.push_back({static_cast<std::uint8_t>(c)});
  return bytes;
}
std::vector<WireByte> Join(std::initializer_list<std::vector<WireByte>> parts) {
  std::vector<WireByte> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct WireCase {
  const char* what;
  const char* button;
  std::function<void(TML_Form&, sim::TrackerDevice&, vcl::headless::Responder&)> prepare;
  std::vector<WireByte> wire;
};
void PrintTo(const WireCase& c, std::ostream* os) {
  *os << c.what;
}

auto Nothing = [](TML_Form&, sim::TrackerDevice&, vcl::headless::Responder&) {};

std::vector<WireByte> TableWrite() {
  std::vector<WireByte> wire{{CmdSensorWriteTable}};
  wire.insert(wire.end(), 120, WireByte{0x00});
  wire.push_back({0x20});
  return wire;
}

const std::vector<WireCase> kWireCases = {
    {"address_read", "SpeedButton11", Nothing, {{0x2C}}},
    {"address_write",
     "SpeedButton13",
     [](TML_Form& f, sim::TrackerDevice&, vcl::headless::Responder&) { f.read_addr->Text = "17"; },
     {{0x33}, {'1', 30}, {'7'}, {0x00}}},
    {"address_write_empty", "SpeedButton13", Nothing, {{0x33}, {0x00, 30}}},
    {"filtered_level", "SpeedButton14", Nothing, {{0x2D}}},
    {"unfiltered_level_same_bytes", "SpeedButton15", Nothing, {{0x2D}}},
    {"level_for_the_input_code", "SpeedButton17", Nothing, {{0x2D}}},
    // The first read runs out after 500 ms and its 1000 ms deadline: the request goes once more.
    {"level_asked_again",
     "SpeedButton14",
     [](TML_Form&, sim::TrackerDevice& t, vcl::headless::Responder&) {
       t.sensor().unanswered_level_requests = 1;
     },
     {{0x2D}, {0x2D, 1500, 300}}},
    {"temperature", "SpeedButton16", Nothing, {{0x2E}}},
    {"point_read_300_goes_as_44",
     "SpeedButton19",
     [](TML_Form& f, sim::TrackerDevice&, vcl::headless::Responder&) {
       f.CSpinEdit1->Text = "300";
     },
     {{0xFD}, {44, 100}}},
    {"point_read_minus_1_goes_as_255",
     "SpeedButton19",
     [](TML_Form& f, sim::TrackerDevice&, vcl::headless::Responder&) { f.CSpinEdit1->Text = "-1"; },
     {{0xFD}, {255, 100}}},
    {"point_write_as_typed", "SpeedButton18",
     [](TML_Form& f, sim::TrackerDevice&, vcl::headless::Responder&) {
       f.CSpinEdit1->Text = "300";
       f.Edit11->Text = "1200";
       f.Edit12->Text = "40";
     },
     Join({{{0xF6}, {'3', 100}}, Text("00 1200 40"), {{0x00}}})},
    {"table_read", "SpeedButton22", Nothing, {{0x2F}}},
    {"table_clear_then_read",
     "SpeedButton24",
     [](TML_Form&, sim::TrackerDevice&, vcl::headless::Responder& r) { r.AnswerMessageBox(IDOK); },
     {{0x30}, {0x2F, 100}}},
    {"table_write_after_showing_the_box", "SpeedButton23", Nothing, TableWrite()},
};

class SensorWireTest : public TrakmonTest, public ::testing::WithParamInterface<WireCase> {};

TEST_P(SensorWireTest, SendsItsBytesWithTheirPauses) {
  const WireCase& c = GetParam();
  TML_Form* form = CreateMainForm();
  Click(form->SpeedButton12);
  OpenPort();
  c.prepare(*form, *tracker, responder());
  Click(Find<TSpeedButton>(form, c.button));
  Sleep(200);  // the last byte's transfer ends

  std::vector<sim::ReceivedByte> received = tracker->Received();
  ASSERT_EQ(received.size(), c.wire.size());
  for (std::size_t i = 0; i < received.size(); ++i) {
    SCOPED_TRACE("byte " + std::to_string(i));
    EXPECT_EQ(received[i].byte, c.wire[i].byte);
    if (i == 0) continue;
    const std::uint64_t gap_us = received[i].at_us - received[i - 1].at_us;
    EXPECT_GE(gap_us, c.wire[i].pause_ms * 1000ull);
    EXPECT_LT(gap_us, (c.wire[i].pause_ms + c.wire[i].slack_ms) * 1000ull);
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, SensorWireTest, ::testing::ValuesIn(kWireCases),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
