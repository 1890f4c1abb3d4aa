// One line of the phone book into a name and a number.
#include "sms_modul/phone_book.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

void PrintTo(const PhoneBookEntry& e, std::ostream* os) {
  *os << "{" << e.Name.str() << "|" << e.Number.str() << "}";
}

namespace {

struct LineCase {
  const char* what;
  std::string line, name, number;
};
void PrintTo(const LineCase& c, std::ostream* os) {
  *os << c.what;
}

class PhoneBookLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(PhoneBookLineTest, TakesTheFirstTwoWords) {
  const LineCase& c = GetParam();
  EXPECT_EQ(ParsePhoneBookLine(c.line), (PhoneBookEntry{c.name, c.number}));
}

const std::string k99(99, 'n');

INSTANTIATE_TEST_SUITE_P(
    Lines, PhoneBookLineTest,
    ::testing::Values(LineCase{"blank_between", "petrov 111", "petrov", "111"},
                      LineCase{"tabs_and_runs_of_blanks", "\t ivanov \t\t +79001234567  ", "ivanov",
                               "+79001234567"},
                      LineCase{"third_word_ignored", "ivanov 222 extra", "ivanov", "222"},
                      LineCase{"cyrillic_name", "Сидоров 333", "Сидоров", "333"},
                      LineCase{"one_word", "sidorov", "sidorov", ""}, LineCase{"empty", "", "", ""},
                      LineCase{"blanks_only", "  \t ", "", ""},
                      LineCase{"carriage_return_left_in_the_line", "petrov\r111\r", "petrov",
                               "111"},
                      // A long word is cut, and its rest is not taken as the next word.
                      LineCase{"name_of_150_cut_to_99", std::string(150, 'n') + " 111", k99, "111"},
                      LineCase{"number_of_120_cut_to_99", "petrov " + std::string(120, '7'),
                               "petrov", std::string(99, '7')},
                      LineCase{"exactly_99_kept", k99 + " " + k99, k99, k99}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
