#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "expect_raise.h"
#include "vcl/sysutils.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

class DateTime : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatSettings();
    vcl::testing::SetNow(EncodeDate(2025, 6, 15) + EncodeTime(10, 0, 0, 0));
  }
  void TearDown() override {
    vcl::testing::ClearNow();
    ResetFormatSettings();
  }
  static TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
  }
};

TEST_F(DateTime, DaysCountFromThe30thOfDecember1899) {
  struct Case {
    int y, m, d;
    double days;
  } cases[] = {{1899, 12, 30, 0},    {1900, 1, 1, 2},      {2000, 1, 1, 36526},
               {2024, 2, 29, 45351}, {2026, 12, 8, 46364}, {9999, 12, 31, 2958465},
               {1, 1, 1, -693593},   {1899, 12, 29, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<double>(EncodeDate(c.y, c.m, c.d)), c.days) << c.y << "-" << c.m;
    int y, m, d;
    DecodeDate(c.days, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
  }
  EXPECT_DOUBLE_EQ(EncodeTime(4, 0, 0, 0), 1.0 / 6);
  int h, mi, s, ms;
  DecodeTime(46364.75 + 0.5 * kSecond, h, mi, s, ms);
  EXPECT_EQ(h * 10000000 + mi * 100000 + s * 1000 + ms, 180000500);
}

TEST_F(DateTime, EncodingRejectsDatesAndTimesThatDoNotExist) {
  EXPECT_THROW(EncodeDate(2025, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2026, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST_F(DateTime, DateTimeToStrLeavesTheTimeOutOnlyAtMidnight) {
  struct Case {
    TDateTime value;
    const char* text;
  } cases[] = {
      {At(2026, 12, 9, 2, 30, 0), "09.12.2026 2:30:00"},
      {At(2026, 12, 8), "08.12.2026"},
      {At(2026, 12, 8, 0, 0, 0, 1), "08.12.2026 0:00:00"},
      {At(2026, 12, 8, 0, 0, 1), "08.12.2026 0:00:01"},
      {At(2026, 1, 2, 23, 59, 59), "02.01.2026 23:59:59"},
      {At(2026, 12, 8) + 86399999.6 / 86400000, "09.12.2026"},  // rounds to the next midnight
      {At(2026, 12, 8, 22, 30) + EncodeTime(4, 0, 0, 0), "09.12.2026 2:30:00"},
      {EncodeDate(1899, 12, 29) - EncodeTime(6, 0, 0, 0), "29.12.1899 6:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(DateTimeToStr(c.value), c.text) << c.value.Val;
  EXPECT_EQ(DateToStr(At(2026, 12, 8, 13, 0)), "08.12.2026");
  EXPECT_EQ(TimeToStr(At(2026, 12, 8, 13, 5, 9)), "13:05:09");
}

TEST_F(DateTime, StrToDateTimeReadsTheLocaleForms) {
  struct Case {
    const char* text;
    TDateTime value;
  } cases[] = {
      {"08.12.2026 22:30:00", At(2026, 12, 8, 22, 30)},
      {"08.12.26 22:30:00", At(2026, 12, 8, 22, 30)},  // two-digit year
      {"8.1.2026 7:05", At(2026, 1, 8, 7, 5)},
      {"  08 . 12 . 2026   22 : 30 ", At(2026, 12, 8, 22, 30)},
      {"08.12.2026", At(2026, 12, 8)},
      {"29.02.2024 0:00:00", At(2024, 2, 29)},
      {"08.12", At(2025, 12, 8)},  // the current year
      {"22:30:00", EncodeTime(22, 30, 0, 0)},
  };
  for (const auto& c : cases) EXPECT_NEAR(StrToDateTime(c.text), c.value, 1e-9) << c.text;
}

TEST_F(DateTime, StrToDateTimeRejectsOtherText) {
  const char* cases[] = {"",
                         "abc",
                         "32.01.2026",
                         "29.02.2025",
                         "08.13.26",
                         "00.12.26",
                         "081226 123456",
                         "08-12-2026",
                         "08.12.2026x",
                         "08.12.2026 25:00:00",
                         "08.12.2026 12:60",
                         "08.12.2026 12:00:60",
                         "08.12.2026 12",
                         "08.12.2026 12:00:00:00",
                         "08.12.20266"};
  for (const char* text : cases)
    ExpectRaise<EConvertError>([&] { StrToDateTime(text); },
                               AnsiString("'") + text + "' is not a valid date and time", text);
}

TEST_F(DateTime, TwoDigitYearsFollowTheCenturyWindow) {
  // Now is 2025: the window of 50 years covers 1975 to 2074.
  struct Case {
    const char* text;
    int window, year;
  } cases[] = {{"01.01.75", 50, 1975}, {"01.01.74", 50, 2074}, {"01.01.00", 50, 2000},
               {"01.01.26", 50, 2026}, {"01.01.99", 0, 2099},  {"01.01.0099", 50, 99},
               {"01.01.5", 50, 2005}};
  for (const auto& c : cases) {
    FormatSettings.TwoDigitYearCenturyWindow = c.window;
    int y, m, d;
    DecodeDate(StrToDate(c.text), y, m, d);
    EXPECT_EQ(y, c.year) << c.text << " window " << c.window;
  }
}

TEST_F(DateTime, RoundTripsToTheSecond) {
  const TDateTime values[] = {At(2026, 12, 8, 22, 30, 0),      At(2026, 12, 8),
                              At(2000, 2, 29, 23, 59, 59),     At(1999, 1, 1, 0, 0, 1),
                              At(2026, 7, 4, 12, 34, 56, 400), At(2099, 12, 31, 9, 8, 7)};
  for (char date_sep : {'.', '/', '-'}) {
    FormatSettings.DateSeparator = date_sep;
    for (const TDateTime v : values) {
      const AnsiString text = DateTimeToStr(v);
      EXPECT_NEAR(StrToDateTime(text), std::round(v * 86400) / 86400, 1e-9)
          << text.c_str() << " separator " << date_sep;
    }
  }
}

TEST_F(DateTime, TheSeparatorsAndOrderComeFromTheSettings) {
  FormatSettings.DateSeparator = '/';
  EXPECT_EQ(DateTimeToStr(At(2026, 12, 8, 7, 5, 3)), "08/12/2026 7:05:03");
  EXPECT_NEAR(StrToDateTime("08/12/2026 22:30"), At(2026, 12, 8, 22, 30), 1e-9);
  EXPECT_THROW(StrToDateTime("08.12.2026 22:30"), EConvertError);

  FormatSettings.DateSeparator = '-';
  FormatSettings.TimeSeparator = '.';
  EXPECT_EQ(DateTimeToStr(At(2026, 12, 8, 7, 5, 3)), "08-12-2026 7.05.03");
  EXPECT_NEAR(StrToDateTime("08-12-26 7.05.03"), At(2026, 12, 8, 7, 5, 3), 1e-9);

  ResetFormatSettings();
  FormatSettings.ShortDateFormat = "MM/dd/yyyy";
  FormatSettings.DateSeparator = '/';
  EXPECT_EQ(DateToStr(At(2026, 12, 8)), "12/08/2026");
  EXPECT_NEAR(StrToDate("12/08/2026"), At(2026, 12, 8), 1e-9);
  FormatSettings.ShortDateFormat = "yyyy/MM/dd";
  EXPECT_EQ(DateToStr(At(2026, 12, 8)), "2026/12/08");
  EXPECT_NEAR(StrToDate("2026/12/08"), At(2026, 12, 8), 1e-9);
  FormatSettings.ShortDateFormat = "d/M/yy";
  EXPECT_EQ(DateToStr(At(2026, 2, 8)), "8/2/26");
}

TEST_F(DateTime, StrToTimeTakesHoursMinutesAndOptionalSeconds) {
  struct Case {
    const char* text;
    TDateTime value;
  } cases[] = {{"04:00:00", 1.0 / 6},
               {"4:5", EncodeTime(4, 5, 0, 0)},
               {"23:59:59", EncodeTime(23, 59, 59, 0)},
               {" 0:00 ", 0.0}};
  for (const auto& c : cases) EXPECT_NEAR(StrToTime(c.text), c.value, 1e-12) << c.text;

  for (const char* text :
       {"24:00:00", "12", "12:", "12:3x", "", "1:2:3:4", "12.30", "08.12.2026 12:00", "-1:00"}) {
    ExpectRaise<EConvertError>([&] { StrToTime(text); },
                               AnsiString("'") + text + "' is not a valid time", text);
  }
}

TEST_F(DateTime, StrToDateTakesADateAlone) {
  EXPECT_NEAR(StrToDate("08.12.2026"), At(2026, 12, 8), 1e-9);
  ExpectRaise<EConvertError>([] { StrToDate("08.12.2026 12:00"); },
                             "'08.12.2026 12:00' is not a valid date", "date with a time");
}

TEST_F(DateTime, NowIsTheLocalTime) {
  EXPECT_NEAR(Now(), At(2025, 6, 15, 10), 1e-9);
  EXPECT_DOUBLE_EQ(Date(), EncodeDate(2025, 6, 15));

  vcl::testing::ClearNow();
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  const TDateTime expected = At(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec);
  EXPECT_NEAR(Now(), expected, 120 * kSecond);
}

}  // namespace
