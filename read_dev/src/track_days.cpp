// The split of the work file by days.
#include "read_dev/track_days.h"

#include <cmath>

#include "read_dev/track_fields.h"
#include "vcl/sysutils.h"

namespace track {
namespace {

enum SplitField {
  IndexField,
  LatField,
  LonField,
  SpeedField,
  DateField,
  TimeField,
  ValueField,
  ExtraField
};

}  // namespace

std::vector<TrackPoint> ReadWorkPoints(const TStrings& lines, const Progress& progress) {
  std::vector<TrackPoint> points;
  const int count = lines.GetCount();
  points.reserve(static_cast<std::size_t>(count) + 10);
  for (int j = 0; j + 1 < count; ++j) {
    AnsiString line = lines.Get(j);
    ReplaceBeforeLast(line, ',', '.');
    const auto scan = ScanFields(line.str(), SplitWidths);
    if (scan.count < 8 || scan.too_long) continue;
    const auto& f = scan.field;
    TrackPoint p;
    if (!ReadPointNumbers(f[ValueField], f[LatField], f[LonField], f[SpeedField], p)) continue;
    try {
      p.date_time = StrToDateTime(AnsiString(f[DateField]) + " " + AnsiString(f[TimeField]));
      p.extra = StrToInt(AnsiString(f[ExtraField]));
    } catch (const Exception&) {
      continue;
    }
    p.index = j;
    points.push_back(p);
    if (progress) progress(j);
  }
  return points;
}

AnsiString DayFileStem(TDateTime at) {
  AnsiString date = DateToStr(at);
  ReplaceBeforeLast(date, '.', '-');
  return "Date " + date;
}

std::vector<DayFile> GroupByDays(const std::vector<TrackPoint>& points) {
  std::vector<DayFile> files;
  double day = 0;
  int n = 0;
  for (const TrackPoint& p : points) {
    const double point_day = std::trunc(static_cast<double>(p.date_time));
    if (files.empty() || point_day > day) {
      files.push_back({DayFileStem(p.date_time), {}, p.index});
      day = point_day;
      n = 0;
    }
    files.back().text += WorkLine(n++, p);
  }
  return files;
}

AnsiString TimeStampName(TDateTime at) {
  AnsiString text = DateTimeToStr(at);
  for (char& c : text.str()) {
    if (c == '.' || c == ':') c = '-';
    if (c == ' ') c = '_';
  }
  return text;
}

}  // namespace track
