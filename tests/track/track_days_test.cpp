// The day split: work lines read back and grouped into one file per day.
#include "read_dev/track_days.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "track_lines.h"
#include "vcl/sysutils.h"

namespace {

std::string Work(const std::string& date, const std::string& time = "10:00:00",
                 const std::string& extra = "7", const std::string& lat = "55,752060") {
  return "9 " + lat + " 37,659466 45,50 " + date + " " + time + " 12,30 " + extra;
}

class DaySplit : public ::testing::Test {
 protected:
  ~DaySplit() override { ResetFormatSettings(); }
  std::vector<track::DayFile> Split(std::initializer_list<std::string> lines) {
    FillLines(list_, lines);
    list_.Add("last line");
    return track::GroupByDays(track::ReadWorkPoints(list_));
  }
  TStringList list_;
};

struct Expected {
  const char* stem;
  int lines;
};

TEST_F(DaySplit, OrderingsOfDays) {
  const struct {
    const char* what;
    std::vector<std::string> dates;
    std::vector<Expected> files;
  } cases[] = {
      {"7th, then 8th",
       {"07.12.2026", "07.12.2026", "07.12.2026", "08.12.2026", "08.12.2026"},
       {{"Date 07-12-2026", 3}, {"Date 08-12-2026", 2}}},
      {"8th, 7th, 8th", {"08.12.2026", "07.12.2026", "08.12.2026"}, {{"Date 08-12-2026", 3}}},
      {"8th, 9th, 8th",
       {"08.12.2026", "09.12.2026", "08.12.2026"},
       {{"Date 08-12-2026", 1}, {"Date 09-12-2026", 2}}},
      {"across a year",
       {"31.12.2026", "01.01.2027"},
       {{"Date 31-12-2026", 1}, {"Date 01-01-2027", 1}}},
  };
  for (const auto& c : cases) {
    FillLines(list_, {});
    for (const auto& d : c.dates) list_.Add(AnsiString(Work(d)));
    list_.Add("last line");
    const auto files = track::GroupByDays(track::ReadWorkPoints(list_));
    ASSERT_EQ(files.size(), c.files.size()) << c.what;
    for (std::size_t i = 0; i < files.size(); ++i) {
      EXPECT_EQ(files[i].stem, c.files[i].stem) << c.what;
      const auto lines = SplitLines(files[i].text);
      ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.files[i].lines)) << c.what;
      for (std::size_t n = 0; n < lines.size(); ++n) {
        EXPECT_EQ(lines[n].substr(0, lines[n].find(' ')), std::to_string(n)) << c.what;
      }
    }
  }
}

TEST_F(DaySplit, DayFileLinesAreWorkLinesRenumbered) {
  const auto files = Split({Work("08.12.2026", "9:31:05"), Work("08.12.2026", "9:31:35", "8")});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].text,
            "0 55,752060 37,659466 45,50 08.12.2026 9:31:05 12,30 7\n"
            "1 55,752060 37,659466 45,50 08.12.2026 9:31:35 12,30 8\n");
  FormatSettings.DecimalSeparator = '.';
  EXPECT_EQ(Split({Work("08.12.2026")})[0].text,
            "0 55.752060 37.659466 45.50 08.12.2026 10:00:00 12.30 7\n");
}

TEST_F(DaySplit, LinesLeftOutDoNotAdvanceTheCounter) {
  const auto files = Split({
      Work("08.12.2026", "10:00:00"),
      Work("08.12.2026", "25:00:00"),
      Work("08.12.2026", "10:00:30", "x"),
      Work("08.12.2026", "10:00:30", "7", "N55"),
      "9 55,752060 37,659466 45,50 08.12.2026 10:00:00 12,30",
      "1234567890 55,752060 37,659466 45,50 08.12.2026 10:00:00 12,30 7",
      Work("08.12.2026", "10:00:00", std::string(15, '7')),
      "",
      Work("08.12.2026", "10:01:00"),
  });
  ASSERT_EQ(files.size(), 1u);
  const auto lines = SplitLines(files[0].text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "1 55,752060 37,659466 45,50 08.12.2026 10:01:00 12,30 7");
}

TEST_F(DaySplit, NothingFromOneLineOrNone) {
  FillLines(list_, {Work("08.12.2026")});
  EXPECT_TRUE(track::ReadWorkPoints(list_).empty());
  EXPECT_TRUE(track::GroupByDays({}).empty());
  std::vector<int> progress;
  FillLines(list_, {"x", Work("08.12.2026"), "y", Work("09.12.2026"), "z"});
  const auto points = track::ReadWorkPoints(list_, [&](int j) { progress.push_back(j); });
  EXPECT_EQ(progress, (std::vector<int>{1, 3}));
  EXPECT_EQ(track::GroupByDays(points)[1].first_line, 3);
}

TEST_F(DaySplit, StemFollowsTheShortDate) {
  EXPECT_EQ(track::DayFileStem(EncodeDate(2026, 12, 8)), "Date 08-12-2026");
  FormatSettings.ShortDateFormat = "dd/MM/yy";
  EXPECT_EQ(track::DayFileStem(EncodeDate(2026, 12, 8)), "Date 08-12-26");
}

TEST_F(DaySplit, TimeStampOfTheDownloadsFiles) {
  const TDateTime day = EncodeDate(2026, 12, 8);
  EXPECT_EQ(track::TimeStampName(day + EncodeTime(9, 31, 5, 0)), "08-12-2026_9-31-05");
  EXPECT_EQ(track::TimeStampName(day + EncodeTime(23, 59, 59, 999)), "08-12-2026_23-59-59");
  EXPECT_EQ(track::TimeStampName(day), "08-12-2026");
}

}  // namespace
