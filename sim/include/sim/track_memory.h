// The tracker's track memory as the device fills it: track text packed two characters per byte
// (the first in the high nibble; blank, "1".."9", "0", ";", ".", "/", line feed, "$" are the
// codes 0 to 15), and a generated track of several days to fill it with: per day a restart
// marker, then one record every interval over the day's hours, without a fix in the first
// minutes. Records are "$1;hhmmss.000;fix;ddmm.mmmm;1;dddmm.mmmm;1;ddmmyy;speed;value;day".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr std::string_view kRestartMarker = "/012345543210/";

// Packs track text; an odd text gets a blank as its last nibble. Throws std::invalid_argument
// on a character without a code.
std::vector<std::uint8_t> PackTrackText(std::string_view text);

struct TrackPlan {
  int days = 3;
  int year = 2026, month = 12, day = 7;  // the first day
  int first_second = 8 * 3600;           // of the day, first record
  int end_second = 18 * 3600;            // of the day, no record from here on
  int interval_s = 30;
  int nofix_s = 300;  // records in the day's first seconds have no fix
};

// One generated record as the device wrote it.
struct TrackRecord {
  int day;  // 0 = the plan's first day
  int year, month, mday;
  int second;  // of the day
  bool fix;
  std::string line;  // the record's text without its line feed
};

struct GeneratedTrack {
  std::string text;  // markers and records, each line ended by "\n"
  std::vector<TrackRecord> records;
};

GeneratedTrack GenerateTrack(const TrackPlan& plan);

}  // namespace sim
