// The work file "GPS_WORK.txt": the valid-fix lines of "GPS_conv.txt" as TrackPoints with
// decimal-degree coordinates and a date and time, written one WorkLine each:
//   index latitude longitude speed date time value extra
// (blank-separated; the numbers and the date-time in the locale's forms). The day split reads
// the same lines back into TrackPoints.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "read_dev/track_records.h"
#include "vcl/string_list.h"
#include "vcl/system.h"

namespace track {

// One stored record.
struct TrackPoint {
  int index = 0;
  float latitude = 0;   // decimal degrees
  float longitude = 0;  // decimal degrees
  float speed = 0;
  TDateTime date_time;  // the device's time, without the time correction
  float value = 0;
  int extra = 0;
};

// Reads a point's value, latitude, longitude and speed fields, in this order, as 32-bit floats
// (the coordinates as they stand in the field); false when one does not start with a number.
bool ReadPointNumbers(std::string_view value, std::string_view latitude, std::string_view longitude,
                      std::string_view speed, TrackPoint& point);

// ddmm.mmmm (degrees x 100 + minutes) -> decimal degrees; the sign is the field's own.
float DecimalDegrees(float field);

// The TrackPoints of the ConvertedLines of `lines` (every line but the last; markers and
// no-fix lines skipped), indexed 0, 1, ... in the order stored. A line is left out when it has
// fewer than ten fields or one longer than its width, when its value, latitude, longitude or
// speed does not start with a number, when its extra is no integer, or when its date and time
// do not convert. `progress` gets the count of points stored so far after each one.
std::vector<TrackPoint> ReadConvertedPoints(const TStrings& lines, const AnsiString& marker,
                                            const Progress& progress = {});

// The WorkLine of a point with the given index (the point's own index in the work file, a
// counter in a day file), ended by "\n".
std::string WorkLine(int index, const TrackPoint& point);

// The text of the work file: the WorkLines of every point but the last two, leaving out those
// whose date-time text is 11 characters or less (a time of exactly 00:00:00 shows no time).
// `progress` gets the index of each point written.
std::string WorkFileText(const std::vector<TrackPoint>& points, const Progress& progress = {});

}  // namespace track
