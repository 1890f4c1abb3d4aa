// The day split: the WorkLines of the work file read back into TrackPoints and grouped into one
// DayFile per calendar day, "Date " + the short date with "-" for "." + "_TC.txt", each holding
// its WorkLines renumbered from 0. A file is started by the first record of a later day than
// the current file's; a record of the same or an earlier day stays in the current file.
#pragma once

#include <string>
#include <vector>

#include "read_dev/track_work.h"

namespace track {

// SplitFields widths: index, latitude, longitude, speed, date, time, value, extra.
inline constexpr std::array<int, 8> SplitWidths = {9, 14, 14, 14, 14, 14, 14, 14};

// The TrackPoints of the WorkLines of `lines` (every line but the last), in line order, each
// with its line index. A line is left out when it has fewer than eight tokens or one longer than
// its field, when its date and time do not convert, when its value, latitude, longitude or speed
// does not start with a number, or when its extra is no integer. `progress` gets the line index
// of each point read.
std::vector<TrackPoint> ReadWorkPoints(const TStrings& lines, const Progress& progress = {});

struct DayFile {
  AnsiString stem;     // "Date 08-12-2026"
  std::string text;    // its WorkLines, numbered from 0, ended by "\n"
  int first_line = 0;  // the line index of its first record
};

// "Date " + the short date of `at` with each "." but a last one turned into "-".
AnsiString DayFileStem(TDateTime at);

// The day files of the points, in the order they are started.
std::vector<DayFile> GroupByDays(const std::vector<TrackPoint>& points);

// The time-stamp prefix of a download's files: the date-time text of `at` with every "." and
// ":" turned into "-" and every blank into "_" (8 December 2026 9:31:05 gives
// 08-12-2026_9-31-05; exactly midnight gives the date alone).
AnsiString TimeStampName(TDateTime at);

}  // namespace track
