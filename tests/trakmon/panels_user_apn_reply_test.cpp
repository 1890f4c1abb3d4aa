// The user APN's modem command text and the splitting of the device's reply into the window's
// fixed-width fields: text in, text out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "read_dev/user_apn_reply.h"

namespace {

// The reply as the window stores it: each byte through UserApnReplyChar.
std::string Stored(const std::string& received) {
  std::string text;
  for (char c : received) text += UserApnReplyChar(c);
  return text;
}

struct SplitCase {
  const char* name;
  std::string received;                                   // the device's text after "#"
  const char *prefix, *command, *apn, *login, *password;  // the fields afterwards
};
void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.name;
}

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

// Every case starts from the fields of an earlier read, so that what a reply leaves alone shows.
TEST_P(SplitTest, TokensGoIntoTheirFieldsCutToTheirWidths) {
  const SplitCase& c = GetParam();
  UserApnReplyFields fields;
  SplitUserApnReply(Stored("9 AT+CIPCSGP=1,\"old.apn\",\"oldlog\",\"oldpw\""), fields);
  SplitUserApnReply(Stored(c.received), fields);
  EXPECT_STREQ(fields.ReplyPrefix, c.prefix);
  EXPECT_STREQ(fields.ReplyCommand, c.command);
  EXPECT_STREQ(fields.ReplyApn, c.apn);
  EXPECT_STREQ(fields.ReplyLogin, c.login);
  EXPECT_STREQ(fields.ReplyPassword, c.password);
}

const std::string k39(39, 'a');

INSTANTIATE_TEST_SUITE_P(
    Replies, SplitTest,
    ::testing::Values(
        SplitCase{"as_written", "9 AT+CIPCSGP=1,\"net.op\",\"lg\",\"pw\"", "9", "AT+CIPCSGP=1",
                  "_net.op_", "_lg_", "_pw_"},
        // Only three tokens: login and password stay those of the earlier read.
        SplitCase{"three_tokens", "9 AT+CIPCSGP=1,\"net.op\"", "9", "AT+CIPCSGP=1", "_net.op_",
                  "_oldlog_", "_oldpw_"},
        SplitCase{"empty_reply_changes_nothing", "", "9", "AT+CIPCSGP=1", "_old.apn_", "_oldlog_",
                  "_oldpw_"},
        // A blank or comma inside a value splits it: the rest moves on by one field.
        SplitCase{"comma_inside_a_value", "9 AT+CIPCSGP=1,\"a,b\",\"lg\",\"pw\"", "9",
                  "AT+CIPCSGP=1", "_a", "b_", "_lg_"},
        SplitCase{"tabs_and_line_ends_separate", "9\tAT\r\nB  C\nD", "9", "AT", "B", "C", "D"},
        SplitCase{"six_tokens_keep_five", "1 2 3 4 5 6", "1", "2", "3", "4", "5"},
        // Each field keeps its width less the end: 3, 14, 39 and 9 characters; 39 for the last.
        SplitCase{"long_tokens_cut",
                  "12345 ABCDEFGHIJKLMNOPQ " + k39 + "XYZ 1234567890AB " + k39 + "Z", "123",
                  "ABCDEFGHIJKLMN", k39.c_str(), "123456789", k39.c_str()},
        SplitCase{"zero_byte_ends_the_text", std::string("9 AT\0 X Y Z", 11), "9", "AT",
                  "_old.apn_", "_oldlog_", "_oldpw_"}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(UserApnReply, OnlyTheFirst127CharactersAreLookedAt) {
  UserApnReplyFields fields;
  // 126 blanks, then a token whose first character is the 127th.
  SplitUserApnReply(std::string(126, ' ') + "AB", fields);
  EXPECT_STREQ(fields.ReplyPrefix, "A");
  SplitUserApnReply(std::string(127, ' ') + "CD", fields);
  EXPECT_STREQ(fields.ReplyPrefix, "A");
}

TEST(UserApnReply, ValuesShowBlanksForUnderscoresAndAreTrimmed) {
  EXPECT_EQ(UserApnValue("_net.op_").str(), "net.op");
  EXPECT_EQ(UserApnValue("_my_login_").str(), "my login");
  EXPECT_EQ(UserApnValue("_ _").str(), "");
  EXPECT_EQ(UserApnValue("").str(), "");
}

TEST(UserApnReply, CommandQuotesTheThreeValues) {
  const AnsiString text = UserApnCommand("apn", " ", " ");
  EXPECT_EQ(text.str(), "9 AT+CIPCSGP=1,\"apn\",\" \",\" \"");
  EXPECT_EQ(text.Length(), 23 + 3 + 1 + 1);
  // What the device sends back of it shows each value without its quotes.
  UserApnReplyFields fields;
  SplitUserApnReply(Stored(UserApnCommand("internet.volna", "user_1", "pw").str()), fields);
  EXPECT_EQ(UserApnValue(fields.ReplyApn).str(), "internet.volna");
  EXPECT_EQ(UserApnValue(fields.ReplyLogin).str(), "user 1");
  EXPECT_EQ(UserApnValue(fields.ReplyPassword).str(), "pw");
}

}  // namespace
