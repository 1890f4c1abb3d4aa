// Conversion of the track log into valid-fix and no-fix lines, and the restart report.
#include "read_dev/track_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "track_lines.h"
#include "vcl/sysutils.h"

namespace {

const AnsiString kMarker = "/012345543210/";

// A record of the device's log with the given fix, speed, value and extra fields.
std::string Record(const std::string& fix, const std::string& speed = "45.5",
                   const std::string& value = "123", const std::string& extra = "7",
                   const std::string& time = "123456.000", const std::string& date = "081226") {
  return "$17;" + time + ";" + fix + ";5545.1234;0;03739.5678;0;" + date + ";" + speed + ";" +
         value + ";" + extra;
}

class ConvertTrack : public ::testing::Test {
 protected:
  ~ConvertTrack() override { ResetFormatSettings(); }
  // Converts the lines followed by one last line, which is never converted.
  track::TrackConversion Convert(std::initializer_list<std::string> lines) {
    FillLines(list_, lines);
    list_.Add("last line");
    return track::ConvertTrackLines(list_, kMarker);
  }
  TStringList list_;
};

TEST_F(ConvertTrack, RecordOfBothKindsGivesItsColumns) {
  ASSERT_EQ(Record("2").size(), 59u);
  const auto valid = Convert({Record("2")});
  EXPECT_EQ(valid.valid, "A;12:34:56;5545,1234;0;03739,5678;0;45,5;081226;12,3;7\n");
  EXPECT_EQ(valid.nofix, "");
  const auto nofix = Convert({Record("1")});
  EXPECT_EQ(nofix.valid, "");
  EXPECT_EQ(nofix.nofix, "V;12:34:56;5545.1234;0;03739.5678;0;45.5;081226;12,3;7\n");
  EXPECT_EQ(Convert({Record("3")}).valid.substr(0, 2), "A;");
}

TEST_F(ConvertTrack, ValidLinesHaveCommasWhateverTheLocale) {
  FormatSettings.DecimalSeparator = '.';
  const auto out = Convert({Record("2"), Record("1")});
  EXPECT_EQ(out.valid, "A;12:34:56;5545,1234;0;03739,5678;0;45,5;081226;12,3;7\n");
  EXPECT_EQ(out.nofix, "V;12:34:56;5545.1234;0;03739.5678;0;45.5;081226;12.3;7\n");
}

struct FilterCase {
  const char* what;
  std::string line;
  bool valid;
  bool nofix;
};

TEST_F(ConvertTrack, WhichRecordsReachWhichFile) {
  const std::string r31 = "$;123456;2;1;0;2;0;081226;1;5;7";  // 31 characters
  const FilterCase cases[] = {
      {"31 characters", r31, true, false},
      {"30 characters", r31.substr(0, 30), false, false},
      {"79 characters", Record("2", "45.500000000000", "123", "7777777777"), true, false},
      {"80 characters", Record("2", "45.5000000000000", "123", "7777777777"), false, false},
      {"speed 200.0", Record("2", "200.0"), true, false},
      {"speed 200.1", Record("2", "200.1"), false, false},
      {"speed 200.1 without fix", Record("1", "200.1"), false, true},
      {"value 0", Record("2", "45.5", "0"), false, false},
      {"value 0 without fix", Record("1", "45.5", "0"), false, true},
      {"speed not a number counts as 0", Record("2", "."), true, false},
      {"fix 0", Record("0"), true, false},
      {"tag without $", "#" + Record("2").substr(1), false, false},
      {"ten fields", "$17;123456.000;2;5545.1234;0;03739.5678;0;081226;45.5;123", false, false},
      {"ten fields without fix", "$17;123456.000;1;5545.1234;0;03739.5678;0;081226;45.5;123", false,
       false},
      {"empty field moves the rest up", "$17;123456.000;1;;5545.1234;0;03739.5678;0;081226;45.5;1",
       false, false},
      {"tag of 15 characters", "$" + std::string(14, '1') + Record("2").substr(3), false, false},
      {"tag of 14 characters", "$" + std::string(13, '1') + Record("2").substr(3), true, false},
      {"extra of 11 characters", Record("1", "45.5", "123", "12345678901"), false, false},
      {"extra of 10 characters", Record("1", "45.5", "123", "1234567890"), false, true},
      {"latitude side of 5", "$17;123456.000;1;5545.1234;00000;03739.5678;0;081226;45.5;1;7", false,
       false},
  };
  ASSERT_EQ(r31.size(), 31u);
  ASSERT_EQ(cases[2].line.size(), 79u);
  ASSERT_EQ(cases[3].line.size(), 80u);
  for (const auto& c : cases) {
    const auto out = Convert({c.line});
    EXPECT_EQ(!out.valid.empty(), c.valid) << c.what << ": " << c.line.size();
    EXPECT_EQ(!out.nofix.empty(), c.nofix) << c.what;
  }
}

TEST_F(ConvertTrack, FieldForms) {
  // A "/" is a minus sign; a value of -5 tenths.
  EXPECT_EQ(Convert({Record("1", "45.5", "/5")}).nofix,
            "V;12:34:56;5545.1234;0;03739.5678;0;45.5;081226;-0,5;7\n");
  EXPECT_EQ(Convert({Record("1", "45.5", "0")}).nofix,
            "V;12:34:56;5545.1234;0;03739.5678;0;45.5;081226;0,0;7\n");
  EXPECT_EQ(Convert({Record("0")}).valid,
            "0;12:34:56;5545,1234;0;03739,5678;0;45,5;081226;12,3;7\n");
  // The last character is never replaced: a final ";" stays part of the extra field.
  EXPECT_EQ(Convert({Record("2") + ";"}).valid,
            "A;12:34:56;5545,1234;0;03739,5678;0;45,5;081226;12,3;7;\n");
  EXPECT_EQ(Convert({Record("2", "45.5", "123", "7", "235959")}).valid.substr(0, 11),
            "A;23:59:59;");
}

TEST(ConvertedTime, DropsTheFractionAndInsertsColons) {
  EXPECT_EQ(track::ConvertedTime("123456.789"), "12:34:56");
  EXPECT_EQ(track::ConvertedTime("123456"), "12:34:56");
  EXPECT_EQ(track::ConvertedTime("123456.7891234"), "12:34:561234");
  EXPECT_EQ(track::ConvertedTime("12"), "12::");
}

TEST_F(ConvertTrack, MarkersAreCountedAndKeptInOrder) {
  const auto out = Convert({kMarker.str(), Record("2"), Record("1"), kMarker.str(), Record("3")});
  EXPECT_EQ(out.reload_count, 2);
  const auto lines = SplitLines(out.valid);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], kMarker.str());
  EXPECT_EQ(lines[2], kMarker.str());
  EXPECT_EQ(SplitLines(out.nofix).size(), 1u);
}

TEST_F(ConvertTrack, TheLastLineIsNeverConverted) {
  FillLines(list_, {Record("2"), Record("2"), kMarker.str()});
  auto out = track::ConvertTrackLines(list_, kMarker);
  EXPECT_EQ(SplitLines(out.valid).size(), 2u);
  EXPECT_EQ(out.reload_count, 0);
  std::vector<int> progress;
  FillLines(list_, {"x", Record("2"), Record("1"), Record("2"), Record("2")});
  out = track::ConvertTrackLines(list_, kMarker, [&](int i) { progress.push_back(i); });
  EXPECT_EQ(progress, (std::vector<int>{1, 3}));
  TStringList empty;
  EXPECT_EQ(track::ConvertTrackLines(empty, kMarker).valid, "");
}

class ReloadReport : public ::testing::Test {
 protected:
  ~ReloadReport() override { ResetFormatSettings(); }
  TDateTime four_hours = EncodeTime(4, 0, 0, 0);
};

TEST_F(ReloadReport, NeighbourTexts) {
  const struct {
    const char* line;
    const char* text;
  } cases[] = {
      {"A;22:30:00;5545,1234;0;03739,5678;0;45,5;081226;12,3;7", "A 09.12.2026 2:30:00"},
      {"V;12:34:56;5545.1234;0;03739.5678;0;45.5;081226;12,3;7", "V 08.12.2026 16:34:56"},
      // Exactly midnight after the correction: the date alone.
      {"A;20:00:00;1;0;2;0;3;081226;4;5", "A 09.12.2026"},
      {"/012345543210/", "**********"},
      {"A;22:30:00;5545,1234;0;03739,5678;0;45,5;081226;12,3", "**********"},
      {"A;22:30:00;5545,1234;0;03739,5678;0;45,5;081326;12,3;7", "**********"},
      {"A;25:30:00;5545,1234;0;03739,5678;0;45,5;081226;12,3;7", "**********"},
      {"A;22:30:00;5545,1234;0;03739,5678;0;45,5;081226;12,3;123456789012345", "**********"},
      {"", "**********"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(track::ReloadNeighbourText(c.line, four_hours), c.text) << c.line;
  }
}

TEST_F(ReloadReport, EntriesForMarkersWithLinesOnBothSides) {
  TStringList lines;
  FillLines(lines, {kMarker.str(), "A;22:30:00;1;0;2;0;3;081226;4;5", kMarker.str(),
                    "A;22:31:10;1;0;2;0;3;081226;4;5", kMarker.str(), kMarker.str(),
                    "A;23:00:00;1;0;2;0;3;081226;4;5", kMarker.str()});
  const auto report = track::BuildReloadReport(lines, kMarker, four_hours);
  const std::vector<AnsiString> expected = {
      "A 09.12.2026 2:30:00", "A 09.12.2026 2:31:10", "-----------------------",
      "A 09.12.2026 2:31:10", "**********",           "-----------------------",
      "**********",           "A 09.12.2026 3:00:00", "-----------------------",
  };
  EXPECT_EQ(report, expected);
  TStringList none;
  FillLines(none, {"a", "b"});
  EXPECT_TRUE(track::BuildReloadReport(none, kMarker, four_hours).empty());
}

TEST_F(ReloadReport, DateNeedsTheLocalesSeparator) {
  FormatSettings.DateSeparator = '/';
  EXPECT_EQ(track::ReloadNeighbourText("A;22:30:00;1;0;2;0;3;081226;4;5", four_hours),
            "**********");
}

}  // namespace
