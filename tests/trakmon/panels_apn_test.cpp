// The APN and server panel: the standard APN by operator index, the user APN written as a modem
// command and read back into the window's fields, the server port and address.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "panels_fixture.h"
#include "read_dev/device_command.h"

namespace panels_test {
namespace {

using namespace std::string_literals;

class ApnTest : public PanelsTest {
 protected:
  void SetUp() override {
    PanelsTest::SetUp();
    hl::Click(form->sb_apn_panel_on);
  }
  AnsiString StatusText(int panel) { return form->StatusBar1->Panels->Items[panel]->Text; }
  // The three user APN edits.
  std::vector<std::string> UserApnEdits() {
    return {form->edit_user_apn->Text().str(), form->edit_user_login->Text().str(),
            form->edit_user_pass->Text().str()};
  }
};

struct StdApnCase {
  const char* name;
  int index;  // the device answers the character '0' + index
  int fill_lead;
  const char* shown;
};
void PrintTo(const StdApnCase& c, std::ostream* os) {
  *os << c.name;
}

class StdApnTest : public ApnTest, public ::testing::WithParamInterface<StdApnCase> {};

TEST_P(StdApnTest, ReplyDigitNamesTheOperatorAnythingElseShowsNothing) {
  tracker->settings().std_apn = GetParam().index;
  tracker->faults().fill_lead = GetParam().fill_lead;
  OpenPort();
  form->edit_apn->Text = "old";
  hl::Click(form->sb_read_apn);
  EXPECT_EQ(form->edit_apn->Text(), AnsiString(GetParam().shown));
  EXPECT_EQ(form->apn_box->ItemIndex, -1);
  EXPECT_TRUE(responder().Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, StdApnTest,
                         ::testing::Values(StdApnCase{"first", 0, 0, "Полярная Связь"},
                                           StdApnCase{"four_with_fill", 4, 2, "Кедр Телеком"},
                                           StdApnCase{"last", 5, 0, "Радуга Связь"},
                                           StdApnCase{"nine", 9, 0, ""},
                                           StdApnCase{"letter", 'A' - '0', 0, ""}),
                         [](const ::testing::TestParamInfo<StdApnCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ApnTest, StandardApnWrittenByIndexIsReadBackAsItsNameOrTimesOut) {
  OpenPort();
  hl::Pick(form->apn_box, "ТелеРегион");
  hl::Click(form->sb_write_apn);
  EXPECT_EQ(tracker->settings().std_apn, 2);
  hl::Click(form->sb_read_apn);
  EXPECT_EQ(form->edit_apn->Text(), "ТелеРегион");

  tracker->faults().silent = true;
  hl::Click(form->sb_read_apn);
  EXPECT_EQ(form->edit_apn->Text(), "");
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Time 0ut...-3"});
}

TEST_F(ApnTest, UserApnWriteSendsTheModemCommandAndShowsItsLength) {
  OpenPort();
  hl::Type(form->edit_user_apn, "  Internet.Volna ");
  hl::Type(form->edit_user_login, "");
  hl::Type(form->edit_user_pass, "  ");
  hl::Click(form->sb_write_apn_user);
  const std::string text = "9 AT+CIPCSGP=1,\"internet.volna\",\" \",\" \"";
  EXPECT_EQ(tracker->settings().user_apn, text);
  EXPECT_EQ(UserApnEdits(), (std::vector<std::string>{"internet.volna", " ", " "}));
  EXPECT_EQ(StatusText(0).str(), text);
  EXPECT_EQ(StatusText(1), "Len=" + IntToStr(23 + 14 + 1 + 1));
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(ApnTest, UserApnOfBlanksIsRefusedWithoutSending) {
  OpenPort();
  hl::Type(form->edit_user_apn, "   ");
  hl::Type(form->edit_user_login, "");
  hl::Click(form->sb_write_apn_user);
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Ошибка. APN не набран..."});
  EXPECT_EQ(form->edit_user_apn->Text(), "");
  EXPECT_EQ(form->edit_user_login->Text(), "");  // stopped before the blank
  EXPECT_TRUE(tracker->Received().empty());
  EXPECT_EQ(StatusText(0), "");

  // The hidden "SMS" button checks the same way and never sends, open port or not.
  hl::Type(form->edit_user_apn, " a.b ");
  hl::ForceClick(form->sb_apn_sms);
  EXPECT_EQ(UserApnEdits(), (std::vector<std::string>{"a.b", " ", "norvale"}));
  EXPECT_TRUE(tracker->Received().empty());
}

// Each read starts from the fields of the read before (the first: the window's empty fields).
struct UserApnReadCase {
  const char* name;
  std::vector<std::string> device_texts;  // what the device holds at each read
  std::vector<std::string> edits;         // after the last read: APN, login, password
  std::string status;                     // the first status panel after the last read
};
void PrintTo(const UserApnReadCase& c, std::ostream* os) {
  *os << c.name;
}

class UserApnReadTest : public ApnTest, public ::testing::WithParamInterface<UserApnReadCase> {};

TEST_P(UserApnReadTest, ReplyIsSplitIntoTheFieldsAndShown) {
  const UserApnReadCase& c = GetParam();
  OpenPort();
  for (const std::string& text : c.device_texts) {
    tracker->settings().user_apn = text;
    hl::Click(form->sb_read_apn_user);
  }
  EXPECT_EQ(UserApnEdits(), c.edits);
  EXPECT_EQ(StatusText(0).str(), c.status);
  EXPECT_TRUE(responder().Shown().empty());
}

// 16 characters, 110 "x", then the rest of the command beyond the 127th character.
const std::string kLong = "9 AT+CIPCSGP=1,\"" + std::string(110, 'x') + "\",\"lg\",\"pw\"";

INSTANTIATE_TEST_SUITE_P(
    Replies, UserApnReadTest,
    ::testing::Values(
        UserApnReadCase{"as_written",
                        {"9 AT+CIPCSGP=1,\"net.op\",\"lg\",\"pw\""},
                        {"net.op", "lg", "pw"},
                        "9 AT+CIPCSGP=1 _net.op_ _lg_ _pw_"},
        UserApnReadCase{"underscores_show_as_blanks",
                        {"9 AT+CIPCSGP=1,\"net_op\",\"my_lg\",\" \""},
                        {"net op", "my lg", ""},
                        "9 AT+CIPCSGP=1 _net_op_ _my_lg_ _ _"},
        UserApnReadCase{"three_tokens_on_the_first_read",
                        {"9 AT+CIPCSGP=1,\"net.op\""},
                        {"net.op", "", ""},
                        "9 AT+CIPCSGP=1 _net.op_"},
        UserApnReadCase{"three_tokens_keep_the_earlier_login_and_password",
                        {"9 AT+CIPCSGP=1,\"net.op\",\"lg\",\"pw\"", "9 AT+CIPCSGP=1,\"x.y\""},
                        {"x.y", "lg", "pw"},
                        "9 AT+CIPCSGP=1 _x.y_"},
        // A comma inside a value splits it; the password is lost.
        UserApnReadCase{"comma_inside_a_value",
                        {"9 AT+CIPCSGP=1,\"a,b\",\"lg\",\"pw\""},
                        {"a", "b", "lg"},
                        "9 AT+CIPCSGP=1 _a b_ _lg_ _pw_"},
        // Longer than its field: the APN keeps 39 characters, the login 9.
        UserApnReadCase{"tokens_cut_to_their_fields",
                        {"9 AT+CIPCSGP=1,\"" + std::string(45, 'a') + "\",\"login12345\",\"pw\""},
                        {std::string(38, 'a'), "login123", "pw"},
                        "9 AT+CIPCSGP=1 _" + std::string(45, 'a') + "_ _login12345_ _pw_"},
        UserApnReadCase{"first_127_characters",
                        {kLong},
                        {std::string(38, 'x'), "", ""},
                        "9 AT+CIPCSGP=1 _" + std::string(110, 'x') + "_"}),
    [](const ::testing::TestParamInfo<UserApnReadCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(ApnTest, UserApnReplyThatStopsEndsWithTimeOutAndShowsWhatCame) {
  tracker->settings().user_apn = "9 AT+CIPCSGP=1,\"net.op\",\"lg\",\"pw\"";
  OpenPort();
  hl::Click(form->sb_read_apn_user);
  tracker->settings().user_apn = "9 AT+CIPCSGP=1,\"x.y\",\"new\",\"new\"";
  tracker->faults().cut_after = 1 + 20;  // "#" and the text up to the APN's closing quote
  hl::Click(form->sb_read_apn_user);
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Time Out"});
  EXPECT_EQ(UserApnEdits(), (std::vector<std::string>{"x.y", "lg", "pw"}));
  EXPECT_EQ(StatusText(0), "9 AT+CIPCSGP=1 _x.y_");
}

// No "#" at all: the read ends at the shared bound as after a reply that stopped.
TEST_F(ApnTest, UserApnReadOfASilentDeviceEndsAtTheBound) {
  OpenPort();
  tracker->faults().silent = true;
  const DWORD t0 = GetTickCount();
  hl::Click(form->sb_read_apn_user);
  EXPECT_GE(GetTickCount() - t0, DeviceWait.silence_ms);
  EXPECT_LE(GetTickCount() - t0, DeviceWait.cap_ms);
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Time Out"});
  EXPECT_EQ(UserApnEdits(), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(Wire(), "y");
}

TEST_F(ApnTest, ServerPortAndAddressAreWrittenAsTypedAndReadBack) {
  OpenPort();
  hl::Type(form->edit_write_portip, "abc");  // letters go out unchanged
  hl::Type(form->ip_box, "10.0.0.7");
  hl::Click(form->write_portip);
  hl::Click(form->sb_write_ip);
  EXPECT_EQ(tracker->settings().server_port, "abc");
  EXPECT_EQ(tracker->settings().server_address, "10.0.0.7");

  tracker->faults().fill_lead = 3;  // the address's dots do not end its reply
  hl::Click(form->read_portip);
  hl::Click(form->sb_read_ip);
  EXPECT_EQ(form->edit_read_portip->Text(), "abc");
  EXPECT_EQ(form->edit_ip->Text(), "10.0.0.7");
  EXPECT_TRUE(responder().Shown().empty());

  tracker->faults().silent = true;
  hl::Click(form->read_portip);
  hl::Click(form->sb_read_ip);
  EXPECT_EQ(Messages(), (std::vector<AnsiString>{"Time 0ut...", "Time 0ut..."}));
  EXPECT_EQ(form->edit_read_portip->Text(), "");
  EXPECT_EQ(form->edit_ip->Text(), "");
}

// The empty-text checks come first: with the port closed they still speak.
TEST_F(ApnTest, EmptyPortOrAddressIsRefusedBeforeThePortCheck) {
  hl::Type(form->edit_write_portip, "");
  hl::Click(form->write_portip);
  hl::Click(form->sb_write_ip);
  hl::Type(form->edit_write_portip, "2020");
  hl::Type(form->ip_box, "1.2.3.4");
  hl::Click(form->write_portip);
  hl::Click(form->sb_write_ip);
  hl::Click(form->sb_read_apn_user);
  EXPECT_EQ(Messages(), (std::vector<AnsiString>{"Не верный Порт...", "Не верный IP адрес...",
                                                 "Com Port Not Open.", "Com Port Not Open.",
                                                 "Com Port Not Open."}));
  EXPECT_TRUE(tracker->Received().empty());
  EXPECT_EQ(UserApnEdits(), (std::vector<std::string>{"internet.volna", "norvale", "norvale"}));
}

TEST_F(ApnTest, HiddenAddressCheckWantsThreeDotsBeforeTheLastCharacter) {
  const struct {
    const char* text;
    bool refused;
  } cases[] = {{"", true},          {"1.2.3.4", false},  {"1.2.3.", true},
               {"1.2.3.4.", false}, {"1.2.3.4.5", true}, {"a.b.c.d", false}};
  for (const auto& c : cases) {
    responder().ClearShown();
    hl::Type(form->ip_box, c.text);
    hl::ForceClick(form->sb_setsms_ip);
    EXPECT_EQ(Messages().size(), c.refused ? 1u : 0u) << c.text;
  }
  EXPECT_TRUE(tracker->Received().empty());
}

}  // namespace
}  // namespace panels_test
