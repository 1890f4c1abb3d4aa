// The device's track log ("gps_msg.txt") turned into the tool's track files: DumpRecord lines
// sorted into valid-fix lines ("GPS_conv.txt", with the restart markers) and no-fix lines
// ("GPSV_conv.txt"), and the restart report ("Reload.txt") built from a converted file.
//
// A DumpRecord is eleven ";"-separated fields: tag ("$..."), time hhmmss.sss, fix ("1" none,
// "2"/"3" valid), latitude, latitude side, longitude, longitude side, date ddmmyy, speed, value
// (tenths), extra; "/" stands for a minus sign. Only lines of 31 to 79 characters are records.
// A record is used only when all eleven fields are there and each fits its width (RecordFields);
// a shorter or overlong record is skipped, so no column is ever cut or left from another line.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "vcl/string_list.h"
#include "vcl/system.h"

namespace track {

// The widest text each DumpRecord field may have: tag, time, fix, latitude, latitude side,
// longitude, longitude side, date, speed, value, extra.
inline constexpr std::array<int, 11> RecordWidths = {14, 14, 14, 14, 4, 14, 4, 24, 19, 19, 10};
// ConvertedLine fields as read back: status, time, latitude, latitude side, longitude,
// longitude side, speed, date, value, extra.
inline constexpr std::array<int, 10> ConvertedWidths = {14, 14, 14, 4, 14, 4, 19, 24, 19, 14};

inline constexpr int MinRecordLength = 31;
inline constexpr int MaxRecordLength = 79;

// Called with a line index as a conversion passes it (the progress bar's position).
using Progress = std::function<void(int)>;

// What the conversion of one log gives: the texts of the two files, lines ended by "\n".
struct TrackConversion {
  std::string valid;  // ConvertedLines of valid fixes (decimal marks ","), and restart markers
  std::string nofix;  // ConvertedLines of records without a fix
  int reload_count = 0;
};

// Converts the lines of a log, every line but the last. `progress` gets the index of each
// valid-fix line written.
TrackConversion ConvertTrackLines(const TStrings& lines, const AnsiString& marker,
                                  const Progress& progress = {});

// "123456.000" -> "12:34:56": characters 7 to 10 dropped, ":" before the 3rd and the 6th.
AnsiString ConvertedTime(const AnsiString& time);

// The report text of one ConvertedLine: status, a blank and its date and time plus
// `correction`; "**********" when the line is no ConvertedLine whose date and time convert.
AnsiString ReloadNeighbourText(const AnsiString& line, TDateTime correction);

// The ReloadReport of a converted file: for each marker that has a line before it (the last
// line excepted), the texts of its two neighbours and a line of 23 "-".
std::vector<AnsiString> BuildReloadReport(const TStrings& lines, const AnsiString& marker,
                                          TDateTime correction);

}  // namespace track
