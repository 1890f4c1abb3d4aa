// The work file: valid-fix lines as points in decimal degrees, and their work lines.
#include "read_dev/track_work.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "track_lines.h"
#include "vcl/sysutils.h"

namespace {

const AnsiString kMarker = "/012345543210/";

// A line of "GPS_conv.txt".
std::string Converted(const std::string& time, const std::string& date = "081226",
                      const std::string& status = "A", const std::string& lat = "5545,1234",
                      const std::string& lon = "03739,5678", const std::string& speed = "45,5",
                      const std::string& value = "12,3", const std::string& extra = "7") {
  return status + ";" + time + ";" + lat + ";0;" + lon + ";0;" + speed + ";" + date + ";" + value +
         ";" + extra;
}

class WorkFile : public ::testing::Test {
 protected:
  ~WorkFile() override { ResetFormatSettings(); }
  std::vector<track::TrackPoint> Read(std::initializer_list<std::string> lines) {
    FillLines(list_, lines);
    list_.Add("last line");
    return track::ReadConvertedPoints(list_, kMarker);
  }
  TStringList list_;
};

TEST(DecimalDegrees, FromDegreesAndMinutes) {
  const struct {
    float field;
    const char* text;
  } cases[] = {
      {5545.1234f, "55,752060"},   {3739.5678f, "37,659466"}, {4500.0f, "45,000000"},
      {-5545.1234f, "-55,752060"}, {0.0f, "0,000000"},        {30.0f, "0,500000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFloat("0.000000", track::DecimalDegrees(c.field)), c.text) << c.field;
  }
}

TEST_F(WorkFile, PointOfAConvertedLine) {
  const auto points = Read({Converted("12:34:56")});
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(track::WorkLine(points[0].index, points[0]),
            "0 55,752060 37,659466 45,50 08.12.2026 12:34:56 12,30 7\n");
  FormatSettings.DecimalSeparator = '.';
  EXPECT_EQ(track::WorkLine(3, points[0]),
            "3 55.752060 37.659466 45.50 08.12.2026 12:34:56 12.30 7\n");
}

TEST_F(WorkFile, LinesLeftOut) {
  const struct {
    const char* what;
    std::string line;
  } cases[] = {
      {"no fix", Converted("12:34:56", "081226", "V")},
      {"marker", kMarker.str()},
      {"extra not an integer",
       Converted("12:34:56", "081226", "A", "5545,1234", "03739,5678", "45,5", "12,3", "7x")},
      {"month 13", Converted("12:34:56", "081326")},
      {"hour 25", Converted("25:34:56")},
      {"latitude not a number", Converted("12:34:56", "081226", "A", "N5545")},
      {"speed not a number", Converted("12:34:56", "081226", "A", "5545,1234", "03739,5678", "-")},
      {"value not a number",
       Converted("12:34:56", "081226", "A", "5545,1234", "03739,5678", "45,5", ".")},
      {"nine fields", "A;12:34:56;5545,1234;0;03739,5678;0;45,5;081226;12,3"},
      {"status of 15", Converted("12:34:56", "081226", std::string(15, 'A'))},
      {"extra of 15", Converted("12:34:56", "081226", "A", "5545,1234", "03739,5678", "45,5",
                                "12,3", std::string(15, '1'))},
      {"empty", ""},
  };
  for (const auto& c : cases) EXPECT_TRUE(Read({c.line}).empty()) << c.what;
  // A line left out does not advance the index of the next.
  const auto points = Read(
      {Converted("10:00:00"), Converted("10:00:30", "081326"),
       Converted("10:01:00", "081226", "A", "5545,1234", "03739,5678", "45,5", "12,3", "$1F")});
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[1].index, 1);
  EXPECT_EQ(points[1].extra, 31);
}

TEST_F(WorkFile, NumbersAsTheRecordHoldsThem) {
  const auto points = Read({Converted("12:34:56", "081226", "A", "5545,1234abc", "-03739,5678", "0",
                                      "-1,5", "16777217")});
  ASSERT_EQ(points.size(), 1u);
  EXPECT_FLOAT_EQ(points[0].longitude, -37.659466f);
  EXPECT_FLOAT_EQ(points[0].value, -1.5f);
  // The extra passes through a 32-bit float.
  EXPECT_EQ(points[0].extra, 16777216);
  EXPECT_EQ(Read({Converted("12:34:56", "081226", "A", "1", "2", "3", "4", "2147483647")})[0].extra,
            2147483647);
  EXPECT_EQ(track::WorkLine(0, points[0]),
            "0 55,752060 -37,659466 0,00 08.12.2026 12:34:56 -1,50 16777216\n");
}

TEST_F(WorkFile, EveryPointButTheLastTwoAndNoneAtMidnight) {
  // Three valid lines: the third is the list's last line, two points, nothing written.
  FillLines(list_, {Converted("10:00:00"), Converted("10:00:30"), Converted("10:01:00")});
  auto points = track::ReadConvertedPoints(list_, kMarker);
  EXPECT_EQ(points.size(), 2u);
  EXPECT_EQ(track::WorkFileText(points), "");

  points = Read({Converted("10:00:00"), kMarker.str(), Converted("10:00:30"), Converted("10:01:00"),
                 Converted("10:01:30"), Converted("10:02:00")});
  ASSERT_EQ(points.size(), 5u);
  auto lines = SplitLines(track::WorkFileText(points));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 2), "0 ");
  EXPECT_EQ(lines[2].substr(0, 2), "2 ");

  // A point at 00:00:00 is stored with its index but has no work line.
  points = Read({Converted("23:59:30", "071226"), Converted("00:00:00"), Converted("00:00:30"),
                 Converted("00:01:00"), Converted("00:01:30")});
  ASSERT_EQ(points.size(), 5u);
  EXPECT_EQ(points[2].index, 2);
  lines = SplitLines(track::WorkFileText(points));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "0 55,752060 37,659466 45,50 07.12.2026 23:59:30 12,30 7");
  EXPECT_EQ(lines[1].substr(0, 2), "2 ");

  std::vector<int> progress;
  track::WorkFileText(points, [&](int k) { progress.push_back(k); });
  EXPECT_EQ(progress, (std::vector<int>{0, 2}));
  EXPECT_EQ(track::WorkFileText({}), "");
}

}  // namespace
