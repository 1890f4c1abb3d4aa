// Every command of the user phone, APN and server, vehicle number and extra settings panels as
// the tracker receives it: the bytes in order and the pauses before them, from the simulator's
// timestamps on the virtual clock.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "panels_fixture.h"

namespace panels_test {
namespace {

using namespace std::string_literals;

// A pause before byte `index` (0: from the start of the user's action), in whole milliseconds.
// Every pause not listed is below 1 ms.
struct Pause {
  std::size_t index;
  std::uint64_t min_ms;
  std::uint64_t max_ms = min_ms;
};

struct WireCase {
  const char* name;
  std::function<void(TML_Form&, sim::TrackerDevice&)> act;
  std::string bytes;
  std::vector<Pause> pauses;
};
void PrintTo(const WireCase& c, std::ostream* os) {
  *os << c.name;
}

class PanelsWireTest : public PanelsTest, public ::testing::WithParamInterface<WireCase> {};

TEST_P(PanelsWireTest, BytesAndPausesAsTheTrackerReceivesThem) {
  const WireCase& c = GetParam();
  OpenPort();
  tracker->ClearRecord();
  const std::uint64_t start = clock->NowUs();
  c.act(*form, *tracker);

  EXPECT_EQ(Wire(), c.bytes);
  const std::vector<sim::ReceivedByte> received = tracker->Received();
  ASSERT_EQ(received.size(), c.bytes.size());
  for (std::size_t i = 0; i < received.size(); ++i) {
    const std::uint64_t gap_ms =
        (received[i].at_us - (i == 0 ? start : received[i - 1].at_us)) / 1000;
    std::uint64_t min_ms = 0, max_ms = 0;
    for (const Pause& p : c.pauses)
      if (p.index == i) min_ms = p.min_ms, max_ms = p.max_ms;
    EXPECT_GE(gap_ms, min_ms) << "before byte " << i;
    EXPECT_LE(gap_ms, max_ms) << "before byte " << i;
  }
  EXPECT_TRUE(responder().Shown().empty());
}

void PhonePanel(TML_Form& f) {
  hl::Click(f.sb_user_phone);
}
void ApnPanel(TML_Form& f) {
  hl::Click(f.sb_apn_panel_on);
}
void ExtPanel(TML_Form& f) {
  f.Ext->Visible = true;  // shown without the queries of its panel button
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PanelsWireTest,
    ::testing::Values(
        // ---- User password and dispatcher phones ----
        WireCase{"password_write",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   PhonePanel(f);
                   hl::Type(f.edit_pass, "Secret");
                   hl::Click(f.sb_pass);
                   hl::Click(f.SBWritePH);
                 },
                 "NSecret\0"s,
                 {{1, 100}}},
        WireCase{"empty_password_write",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   PhonePanel(f);
                   hl::Type(f.edit_pass, "");
                   hl::Click(f.sb_pass);
                   hl::Click(f.SBWritePH);
                 },
                 "N\0"s,
                 {{1, 100}}},
        WireCase{"user_count_write",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   PhonePanel(f);
                   hl::Spin(f.max_users_spin, +1);
                   hl::Click(f.sb_max_users);
                   hl::Click(f.SBWritePH);
                 },
                 "Ou=2 *\0"s,
                 {{1, 100}}},
        WireCase{"phone_write",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   PhonePanel(f);
                   hl::Type(f.user_spin, "3");
                   hl::Type(f.done_edit_phone, "+79001234567");
                   hl::Click(f.sb_done_edit_phone);
                   hl::Click(f.SBWritePH);
                 },
                 "Pu3=+79001234567 *\0"s,
                 {{1, 100}}},
        WireCase{"password_read",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   PhonePanel(f);
                   hl::Click(f.sb_read_pass);
                 },
                 "M",
                 {}},
        WireCase{"phone_read",
                 [](TML_Form& f, sim::TrackerDevice& t) {
                   t.settings().user_phones[1] = "+79001234567";
                   PhonePanel(f);
                   hl::Type(f.user_spin, "2");
                   hl::Click(f.SBReadPH);
                 },
                 "Q2",
                 {{1, 100}}},
        // Nothing within 200 ms: asked once more, after the idle read and 100 ms.
        WireCase{"phone_read_repeated_on_a_silent_device",
                 [](TML_Form& f, sim::TrackerDevice& t) {
                   t.faults().silent = true;
                   PhonePanel(f);
                   hl::Click(f.SBReadPH);
                 },
                 "Q1Q1",
                 {{1, 100}, {2, 300, 400}, {3, 100}}},
        // ---- APN and server ----
        WireCase{"standard_apn_read",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Click(f.sb_read_apn);
                 },
                 "t",
                 {}},
        WireCase{"standard_apn_write_with_nothing_selected",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Click(f.sb_write_apn);
                 },
                 "u\0"s,
                 {{1, 100}}},
        WireCase{"standard_apn_write_of_the_third_item",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Pick(f.apn_box, 2);
                   hl::Click(f.sb_write_apn);
                 },
                 "u2\0"s,
                 {{1, 100}}},
        WireCase{"user_apn_read",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Click(f.sb_read_apn_user);
                 },
                 "y",
                 {}},
        WireCase{"user_apn_write_with_empty_login_and_password",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Type(f.edit_user_apn, "apn");
                   hl::Type(f.edit_user_login, "");
                   hl::Type(f.edit_user_pass, "");
                   hl::Click(f.sb_write_apn_user);
                 },
                 "z9 AT+CIPCSGP=1,\"apn\",\" \",\" \"\0"s,
                 {{1, 100}}},
        WireCase{"server_port_read",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Click(f.read_portip);
                 },
                 "W",
                 {}},
        WireCase{"server_port_write",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Click(f.write_portip);
                 },
                 "|2020\0"s,
                 {{1, 100}}},
        WireCase{"server_address_read",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Click(f.sb_read_ip);
                 },
                 "v",
                 {}},
        WireCase{"server_address_write",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ApnPanel(f);
                   hl::Type(f.ip_box, "10.0.0.7");
                   hl::Click(f.sb_write_ip);
                 },
                 "w10.0.0.7\0"s,
                 {{1, 100}}},
        // ---- Vehicle number and extra settings ----
        WireCase{"registration_number",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   hl::Click(f.SpeedButton10);
                   hl::Type(f.SrEdit, "A123BC");
                   hl::Click(f.OK_SERIAL);
                 },
                 "n/A123BC/\0"s,
                 {{0, 10}, {1, 100}}},
        WireCase{"beeper_on",
                 [](TML_Form& f, sim::TrackerDevice&) { hl::ForceClick(f.SBBeppON); },
                 "f",
                 {{0, 100}}},
        WireCase{"beeper_off",
                 [](TML_Form& f, sim::TrackerDevice&) { hl::ForceClick(f.SBBeepOFF); },
                 "g",
                 {{0, 100}}},
        WireCase{"interval_from_the_track_bar",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   f.tbar_interval->Visible = true;
                   hl::Move(f.tbar_interval, 23);
                   hl::ForceClick(f.SBTemp);
                 },
                 "h\x14",
                 {{0, 100}, {1, 100}}},
        // As the state query leaves them for an interval of 300 s: the low 8 bits go out.
        WireCase{"interval_beyond_the_track_bar",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   f.Edit4->Text = "300";
                   f.tbar_interval->Position = 300;
                   hl::ForceClick(f.SBTemp);
                 },
                 "h\x2C",
                 {{0, 100}, {1, 100}}},
        WireCase{"parking_by_gps",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ExtPanel(f);
                   hl::Click(f.SpeedButton25);
                 },
                 "\xB4\xB6",
                 {{1, 100}}},
        WireCase{"parking_by_ignition",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ExtPanel(f);
                   hl::Click(f.SpeedButton26);
                 },
                 "\xB5\xB6",
                 {{1, 100}}},
        WireCase{"output_in_codes",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ExtPanel(f);
                   hl::Click(f.SpeedButton27);
                 },
                 "\xF3\xF4",
                 {{1, 100}}},
        WireCase{"output_in_litres",
                 [](TML_Form& f, sim::TrackerDevice&) {
                   ExtPanel(f);
                   hl::Click(f.SpeedButton28);
                 },
                 "\xF2\xF4",
                 {{1, 100}}},
        // The output mode query, its reply shown after 100 ms, then the parking mode query.
        WireCase{"extra_settings_panel_queries_both_modes",
                 [](TML_Form& f, sim::TrackerDevice&) { hl::Click(f.SpeedButton21); },
                 "\xF4\xB6",
                 {{0, 100}, {1, 200, 260}}}),
    [](const ::testing::TestParamInfo<WireCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace panels_test
