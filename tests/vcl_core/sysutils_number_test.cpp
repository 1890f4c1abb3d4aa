#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "expect_raise.h"
#include "platform/windows.h"
#include "vcl/sysutils.h"

namespace {

class Numbers : public ::testing::Test {
 protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
};

TEST_F(Numbers, StrToIntReadsDecimalAndHexadecimal) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"0", 0},
      {"123", 123},
      {"  42", 42},
      {"-17", -17},
      {"+5", 5},
      {"007", 7},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"$1F", 31},
      {"0x1f", 31},
      {"0X10", 16},
      {"-$10", -16},
      {"0x7FFFFFFF", INT_MAX},
      {"0x80000000", INT_MIN},  // above 0x7FFFFFFF: wraps as a 32-bit int
      {"0xFFFFFFFF", -1},
      {"0x00000000FF", 255},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(StrToIntDef(c.text, 99), c.value) << c.text;
  }
}

TEST_F(Numbers, StrToIntRejectsEverythingElse) {
  const char* cases[] = {"",  " ", "12a", "12 ",         "a12", "2147483648", "-2147483649", "0x",
                         "$", "+", "--1", "0x100000000", "1.5", "1,5",        "$FG",         "1e3"};
  for (const char* text : cases) {
    ExpectRaise<EConvertError>([&] { StrToInt(text); },
                               AnsiString("'") + text + "' is not a valid integer value", text);
    EXPECT_EQ(StrToIntDef(text, -5), -5) << text;
  }
}

TEST_F(Numbers, IntToHexGivesUpperCaseWithAtLeastTheDigits) {
  EXPECT_EQ(IntToHex(255, 2), "FF");
  EXPECT_EQ(IntToHex(10, 6), "00000A");
  EXPECT_EQ(IntToHex(0x123456, 2), "123456");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(-1, 4), "FFFFFFFF");
  EXPECT_EQ(IntToStr(-8), "-8");
  const DWORD t0 = 0xFFFFFFF0u, t1 = 0x10u;  // a tick count that wrapped
  EXPECT_EQ(IntToStr(t1 - t0), "32");
  EXPECT_EQ(IntToStr(0xFFFFFFFFu), "4294967295");
}

TEST_F(Numbers, FormatFloatPictures) {
  struct Case {
    const char* picture;
    double value;
    const char* text;
  } cases[] = {
      {"0.0", 12.3, "12,3"},
      {"0.0", -0.5, "-0,5"},
      {"0.0", 0.0, "0,0"},
      {"0.0", 0.25, "0,3"},  // half away from zero
      {"0.0", -0.25, "-0,3"},
      {"0.0", 12.35, "12,3"},  // 12.35 is stored as 12.3499999...
      {"0.0", -0.04, "0,0"},   // rounds to zero: no minus sign
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", -0.4, "0"},
      {"0.00", 45.5, "45,50"},
      {"0.00", 1.005, "1,00"},
      {"0.00", 200.0, "200,00"},
      {"0.00", 0.995, "0,99"},
      {"0.00", 9.995, "9,99"},
      {"0.00", 99.9951, "100,00"},
      {"0.000000", 55.75206, "55,752060"},
      {"0.000000", static_cast<double>(55.752060f), "55,752060"},
      {"0.000000", -37.659466, "-37,659466"},
      {"00.0", 5.25, "05,3"},
      {"#0.00", 0.5, "0,50"},
      {"#.##", 0.5, ",5"},
      {"#.##", 3.0, "3"},
      {"0.##", 2.10, "2,1"},
      {"#,##0.00", 1234567.891, "1 234 567,89"},
      {"#,##0.00", 999.999, "1 000,00"},
      {"#,##0.00", -1234.5, "-1 234,50"},
      {"#,##0.00", 12.0, "12,00"},
      {"0", 123456789012.0, "123456789012"},
      {"0.0;(0.0)", -1.5, "(1,5)"},
      {"0.0;(0.0);'none'", 0.01, "none"},
      {"0.0 km", 1.25, "1,3 km"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatFloat(c.picture, c.value), c.text) << c.picture << " " << c.value;
}

// Plain fixed pictures take a short way; an empty negative section sends the same picture
// through the general one, which must give the same text for every value.
TEST_F(Numbers, FixedPicturesAgreeWithTheGeneralPictureWay) {
  std::mt19937_64 random(7);
  std::vector<double> values = {0.0,
                                -0.0,
                                0.5,
                                -0.5,
                                0.05,
                                0.005,
                                9.5,
                                99.5,
                                999.9995,
                                1e-7,
                                -1e-7,
                                5e-19,
                                1e15,
                                123456789012345678.0,
                                1e300,
                                -1e300,
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::max()};
  for (int i = 0; i < 20000; ++i) {
    const int places = static_cast<int>(random() % 7);
    const double unit = std::pow(10.0, -places);
    // Values on and beside the halves of the last place, and wholly random bit patterns.
    const double base =
        static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000);
    values.push_back((base + 0.5) * unit);
    values.push_back(std::nextafter((base + 0.5) * unit, 0.0));
    values.push_back(static_cast<float>(base * unit * 0.37));
    values.push_back(
        std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 125)));
    std::uint64_t bits = random();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    if (std::isfinite(any)) values.push_back(any);
  }
  for (const char* picture : {"0", "0.0", "0.00", "0.000000", "0.000000000000000000"}) {
    const std::string general = std::string(picture) + ";";
    for (double v : values)
      ASSERT_EQ(FormatFloat(picture, v).str(), FormatFloat(general.c_str(), v).str())
          << picture << " " << v;
  }
}

TEST_F(Numbers, FormatFloatUsesTheLocaleSeparators) {
  FormatSettings.DecimalSeparator = '.';
  FormatSettings.ThousandSeparator = ',';
  EXPECT_EQ(FormatFloat("0.0", 12.3), "12.3");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1,234.50");
}

TEST_F(Numbers, StrToFloatTakesTheLocaleDecimalSeparator) {
  EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloat(" -2,25e1 "), -22.5);
  EXPECT_DOUBLE_EQ(StrToFloat("+7"), 7.0);
  for (const char* bad : {"1.5", "", "abc", "1,5x", "e5", "1e"})
    EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
  FormatSettings.DecimalSeparator = '.';
  EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_THROW(StrToFloat("1,5"), EConvertError);
}

TEST_F(Numbers, FloatToStrGivesFifteenSignificantDigits) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {0.1, "0,1"},
      {100.0, "100"},
      {123.456, "123,456"},
      {-1.5e-7, "-1,5E-7"},
      {1e20, "1E20"},
      {1e14, "100000000000000"},
      {0.00001, "0,00001"},
      {1.0 / 3, "0,333333333333333"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.value;
}

}  // namespace
