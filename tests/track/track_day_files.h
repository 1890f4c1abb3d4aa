// The day files of a download compared with the generated track the device held.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim/track_memory.h"
#include "test_support/files.h"
#include "track_lines.h"

// The day files of two days in `folder` hold, in order and numbered from 0 per day, the valid-fix
// records of the generated track, from its first on, as far as the dump reached (its first
// `dumped_bytes` bytes of memory); only the few records at the end of what was read may be
// missing (the last lines of each stage are not used).
inline void ExpectDayFilesHoldTrack(const std::string& folder, const sim::GeneratedTrack& track,
                                    std::uint32_t dumped_bytes) {
  const std::size_t dumped = dumped_bytes * 2;
  std::vector<const sim::TrackRecord*> expected;
  std::size_t end = 0;
  for (const auto& r : track.records) {
    end = track.text.find(r.line, end) + r.line.size() + 1;
    if (end <= dumped && r.fix) expected.push_back(&r);
  }
  std::size_t k = 0;
  for (int day = 0; day < 2; ++day) {
    const sim::TrackRecord& first = track.records[day * (track.records.size() / 2)];
    char name[48];
    std::snprintf(name, sizeof name, "/Date %02d-%02d-%04d_TC.txt", first.mday, first.month,
                  first.year);
    const auto lines = SplitLines(test_support::FileBytes(folder + name));
    ASSERT_FALSE(lines.empty()) << name;
    for (std::size_t n = 0; n < lines.size(); ++n, ++k) {
      ASSERT_LT(k, expected.size());
      const sim::TrackRecord& r = *expected[k];
      char when[40];
      std::snprintf(when, sizeof when, " %02d.%02d.%04d %d:%02d:%02d ", r.mday, r.month, r.year,
                    r.second / 3600, r.second / 60 % 60, r.second % 60);
      EXPECT_EQ(lines[n].substr(0, lines[n].find(' ')), std::to_string(n)) << name;
      EXPECT_NE(lines[n].find(when), std::string::npos) << lines[n] << " / " << when;
      EXPECT_EQ(lines[n].substr(lines[n].size() - 3), " " + std::to_string(r.day) + "\r");
    }
  }
  EXPECT_GE(k + 5, expected.size());
}
