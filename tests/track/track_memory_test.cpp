// The simulator's track memory: the generated track and its packing, read back through the
// host's unpacking.
#include "sim/track_memory.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "read_dev/track_dump.h"
#include "track_lines.h"

namespace {

TEST(GeneratedTrack, DaysOfRecordsEachAfterARestartMarker) {
  sim::TrackPlan plan;
  plan.days = 3;
  plan.year = 2026, plan.month = 12, plan.day = 31;
  plan.first_second = 23 * 3600;
  plan.end_second = 24 * 3600;
  plan.interval_s = 60;
  plan.nofix_s = 180;
  const auto track = sim::GenerateTrack(plan);
  ASSERT_EQ(track.records.size(), 3u * 60);
  const auto lines = SplitLines(track.text);
  ASSERT_EQ(lines.size(), 3u * 61);
  std::set<std::string> dates;
  for (int day = 0; day < 3; ++day) {
    EXPECT_EQ(lines[day * 61], "/012345543210/");
    for (int k = 0; k < 60; ++k) {
      const auto& r = track.records[day * 60 + k];
      EXPECT_EQ(lines[day * 61 + 1 + k], r.line);
      EXPECT_EQ(r.fix, k >= 3);
      EXPECT_GE(r.line.size(), 31u);
      EXPECT_LE(r.line.size(), 79u);
    }
    dates.insert(track.records[day * 60].line.substr(41, 6));
  }
  EXPECT_EQ(track.records[0].line.substr(0, 17), "$1;230000.000;1;5");
  EXPECT_EQ(track.records[60].mday, 1);
  EXPECT_EQ(track.records[60].year, 2027);
  EXPECT_EQ(dates, (std::set<std::string>{"311226", "010127", "020127"}));
}

TEST(GeneratedTrack, PacksIntoTheDevicesAlphabetAndUnpacksUnchanged) {
  const auto track = sim::GenerateTrack({});
  const auto packed = sim::PackTrackText(track.text);
  EXPECT_EQ(packed.size(), (track.text.size() + 1) / 2);
  std::string text = track.text;
  if (text.size() % 2 != 0) text += ' ';
  EXPECT_EQ(track::DumpText(packed, true), text);
  EXPECT_LT(packed.size(), 0x210000u);
}

}  // namespace
