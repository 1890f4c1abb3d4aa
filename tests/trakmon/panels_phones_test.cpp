// The user phone panel: staging a value and writing it with SBWritePH, the password and phone
// reads, and the requests of any panel that disable SBWritePH.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "panels_fixture.h"

namespace panels_test {
namespace {

class PhonesTest : public PanelsTest {
 protected:
  void SetUp() override {
    PanelsTest::SetUp();
    hl::Click(form->sb_user_phone);
  }
};

struct StageCase {
  const char* name;
  std::function<void(TML_Form&)> stage;
  std::string staged;  // in EditPhone
  int kind;
  std::function<bool(const sim::TrackerSettings&)> kept;  // by the tracker after the write
};
void PrintTo(const StageCase& c, std::ostream* os) {
  *os << c.name;
}

class StageTest : public PhonesTest, public ::testing::WithParamInterface<StageCase> {};

TEST_P(StageTest, StagedTextIsWrittenOnceAndStaysShown) {
  const StageCase& c = GetParam();
  OpenPort();
  EXPECT_FALSE(form->SBWritePH->Enabled);
  c.stage(*form);
  EXPECT_EQ(form->EditPhone->Text().str(), c.staged);
  EXPECT_EQ(form->StagedValueKind, c.kind);
  ASSERT_TRUE(form->SBWritePH->Enabled);

  hl::Click(form->SBWritePH);
  EXPECT_TRUE(c.kept(tracker->settings()));
  EXPECT_FALSE(form->SBWritePH->Enabled);
  EXPECT_EQ(form->EditPhone->Text().str(), c.staged);
  EXPECT_EQ(form->StagedValueKind, c.kind);
  EXPECT_TRUE(responder().Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StageTest,
    ::testing::Values(
        StageCase{"password",
                  [](TML_Form& f) {
                    hl::Type(f.edit_pass, "Secret 1");
                    hl::Click(f.sb_pass);
                  },
                  "Secret 1", 0,
                  [](const sim::TrackerSettings& s) { return s.password == "Secret 1"; }},
        StageCase{"empty_password",
                  [](TML_Form& f) {
                    hl::Type(f.edit_pass, "");
                    hl::Click(f.sb_pass);
                  },
                  "", 0, [](const sim::TrackerSettings& s) { return s.password.empty(); }},
        StageCase{"user_count_2",
                  [](TML_Form& f) {
                    hl::Type(f.max_users_spin, "2");
                    hl::Click(f.sb_max_users);
                  },
                  "u=2 *", 1, [](const sim::TrackerSettings& s) { return s.user_count == 2; }},
        StageCase{"phone_of_place_3",
                  [](TML_Form& f) {
                    hl::Type(f.user_spin, "3");
                    hl::Type(f.done_edit_phone, "+79001234567");
                    hl::Click(f.sb_done_edit_phone);
                  },
                  "u3=+79001234567 *", 2,
                  [](const sim::TrackerSettings& s) { return s.user_phones[2] == "+79001234567"; }},
        // The last staging before the write decides what goes out.
        StageCase{"restaged_replaces_the_kind",
                  [](TML_Form& f) {
                    hl::Type(f.edit_pass, "Secret");
                    hl::Click(f.sb_pass);
                    hl::Type(f.max_users_spin, "3");
                    hl::Click(f.sb_max_users);
                  },
                  "u=3 *", 1,
                  [](const sim::TrackerSettings& s) {
                    return s.user_count == 3 && s.password == sim::TrackerSettings{}.password;
                  }}),
    [](const ::testing::TestParamInfo<StageCase>& info) { return std::string(info.param.name); });

struct DisableCase {
  const char* name;
  std::function<void(TML_Form&)> request;
  bool disables;
};
void PrintTo(const DisableCase& c, std::ostream* os) {
  *os << c.name;
}

class DisableTest : public PhonesTest, public ::testing::WithParamInterface<DisableCase> {};

// A staged value survives some requests; after the others it must be staged again.
TEST_P(DisableTest, RequestBetweenStagingAndWritingDecidesWhetherTheStagedValueCanGo) {
  OpenPort();
  hl::Type(form->edit_pass, "Secret");
  hl::Click(form->sb_pass);
  GetParam().request(*form);
  EXPECT_EQ(form->SBWritePH->Enabled(), !GetParam().disables);
  EXPECT_EQ(form->EditPhone->Text(), "Secret");
  EXPECT_TRUE(responder().Shown().empty());
  if (GetParam().disables) {
    EXPECT_THROW(hl::Click(form->SBWritePH), hl::Error);
  }
}

void Show(TGroupBox* panel) {
  panel->Visible = true;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, DisableTest,
    ::testing::Values(
        DisableCase{"password_read", [](TML_Form& f) { hl::Click(f.sb_read_pass); }, true},
        DisableCase{"phone_read", [](TML_Form& f) { hl::Click(f.SBReadPH); }, true},
        DisableCase{"server_port_read",
                    [](TML_Form& f) {
                      Show(f.apn_panel);
                      hl::Click(f.read_portip);
                    },
                    true},
        DisableCase{"parking_mode",
                    [](TML_Form& f) {
                      Show(f.Ext);
                      hl::Click(f.SpeedButton26);
                    },
                    true},
        DisableCase{"output_mode",
                    [](TML_Form& f) {
                      Show(f.Ext);
                      hl::Click(f.SpeedButton28);
                    },
                    true},
        DisableCase{"server_address_read",
                    [](TML_Form& f) {
                      Show(f.apn_panel);
                      hl::Click(f.sb_read_ip);
                    },
                    false},
        DisableCase{"standard_apn_read",
                    [](TML_Form& f) {
                      Show(f.apn_panel);
                      hl::Click(f.sb_read_apn);
                    },
                    false},
        DisableCase{"user_apn_read",
                    [](TML_Form& f) {
                      Show(f.apn_panel);
                      hl::Click(f.sb_read_apn_user);
                    },
                    false},
        DisableCase{"server_port_write",
                    [](TML_Form& f) {
                      Show(f.apn_panel);
                      hl::Click(f.write_portip);
                    },
                    false},
        DisableCase{"extra_settings_panel_with_its_queries",
                    [](TML_Form& f) { hl::Click(f.SpeedButton21); }, false},
        DisableCase{"registration_number",
                    [](TML_Form& f) {
                      Show(f.SerialBox);
                      hl::Type(f.SrEdit, "A123BC");
                      hl::Click(f.OK_SERIAL);
                    },
                    false},
        DisableCase{"beeper", [](TML_Form& f) { hl::ForceClick(f.SBBeepOFF); }, false}),
    [](const ::testing::TestParamInfo<DisableCase>& info) { return std::string(info.param.name); });

TEST_F(PhonesTest, ClosedPortStopsWriteAndReadsBeforeAnythingChanges) {
  hl::Click(form->sb_pass);
  hl::Type(form->edit_pass, "typed");
  form->EditReadUser->Text = "+7123";
  hl::Click(form->SBWritePH);
  hl::Click(form->sb_read_pass);
  hl::Click(form->SBReadPH);
  EXPECT_EQ(Messages(), std::vector<AnsiString>(3, "Com Port Not Open."));
  EXPECT_TRUE(form->SBWritePH->Enabled);
  EXPECT_EQ(form->edit_pass->Text(), "typed");
  EXPECT_EQ(form->EditReadUser->Text(), "+7123");
  EXPECT_TRUE(tracker->Received().empty());
}

TEST_F(PhonesTest, PasswordReadReplacesWhatWasTypedOrLeavesItEmptyAfterATimeOut) {
  tracker->settings().password = "Kept";
  OpenPort();
  hl::Type(form->edit_pass, "typed");
  hl::Click(form->sb_read_pass);
  EXPECT_EQ(form->edit_pass->Text(), "Kept");
  EXPECT_TRUE(responder().Shown().empty());

  tracker->faults().silent = true;
  const DWORD t0 = GetTickCount();
  hl::Click(form->sb_read_pass);
  EXPECT_GT(GetTickCount() - t0, 5000u);
  EXPECT_EQ(form->edit_pass->Text(), "");
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Time 0ut..."});
  // The emptied edit is the source of the next staging.
  hl::Click(form->sb_pass);
  EXPECT_EQ(form->EditPhone->Text(), "");
}

struct PhoneReplyCase {
  const char* name;
  std::string phone;  // stored for place 2
  int short_length, fill_lead, fill_every;
  std::string shown;
};
void PrintTo(const PhoneReplyCase& c, std::ostream* os) {
  *os << c.name;
}

class PhoneReplyTest : public PhonesTest, public ::testing::WithParamInterface<PhoneReplyCase> {};

TEST_P(PhoneReplyTest, PhoneOfThePlaceIsShownWithoutFillAndAtMost25Characters) {
  const PhoneReplyCase& c = GetParam();
  tracker->settings().user_phones[1] = c.phone;
  tracker->faults().short_length = c.short_length;
  tracker->faults().fill_lead = c.fill_lead;
  tracker->faults().fill_every = c.fill_every;
  OpenPort();
  hl::Type(form->user_spin, "2");
  hl::Click(form->SBReadPH);
  EXPECT_EQ(form->EditReadUser->Text().str(), c.shown);
  EXPECT_TRUE(responder().Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, PhoneReplyTest,
    ::testing::Values(PhoneReplyCase{"plain", "+79001234567", 0, 0, 0, "+79001234567"},
                      PhoneReplyCase{"thirty_characters_cut_to_25", "+79001234567", 30, 0, 0,
                                     "+79001234567" + std::string(13, '0')},
                      PhoneReplyCase{"fill_characters", "+7900", 0, 3, 2, "+7900"}),
    [](const ::testing::TestParamInfo<PhoneReplyCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(PhonesTest, SilentDeviceLeavesThePhoneEmptyAfterTwoRequestsWithoutAMessage) {
  tracker->faults().silent = true;
  OpenPort();
  form->EditReadUser->Text = "old";
  hl::Click(form->SBReadPH);
  EXPECT_EQ(Wire(), "Q1Q1");
  EXPECT_EQ(form->EditReadUser->Text(), "");
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_FALSE(form->SBWritePH->Enabled);
}

// A number typed outside 1 to 3 reaches the phone read while the spin edit keeps the focus:
// no place digit exists for it, so nothing is asked.
TEST_F(PhonesTest, PlaceOutsideOneToThreeAsksNothing) {
  OpenPort();
  hl::Click(form->sb_pass);
  form->EditReadUser->Text = "+7123";
  for (const char* typed : {"4", "0"}) {
    hl::Type(form->user_spin, typed);
    ASSERT_EQ(form->user_spin->Value, std::stoi(typed));
    hl::Click(form->SBReadPH);
  }
  EXPECT_EQ(Messages(), std::vector<AnsiString>(2, "Номер пользователя: от 1 до 3..."));
  EXPECT_TRUE(tracker->Received().empty());
  EXPECT_EQ(form->EditReadUser->Text(), "+7123");
  EXPECT_TRUE(form->SBWritePH->Enabled);
  // Staging takes the number as reported.
  hl::Click(form->sb_done_edit_phone);
  EXPECT_EQ(form->EditPhone->Text(), "u0= *");
}

}  // namespace
}  // namespace panels_test
