// The work file in decimal degrees.
#include "read_dev/track_work.h"

#include <cmath>
#include <limits>

#include "read_dev/track_fields.h"
#include "vcl/sysutils.h"

namespace track {
namespace {

enum ConvertedField {
  StatusField,
  TimeField,
  LatField,
  LatSideField,
  LonField,
  LonSideField,
  SpeedField,
  DateField,
  ValueField,
  ExtraField
};

// The extra field as the record holds it: through a 32-bit float, so large magnitudes come out
// as the nearest float; kept within the integer range.
int ExtraThroughFloat(int extra) {
  const double f = static_cast<float>(extra);
  if (f >= 2147483647.0) return std::numeric_limits<int>::max();
  return static_cast<int>(f);
}

}  // namespace

bool ReadPointNumbers(std::string_view value, std::string_view latitude, std::string_view longitude,
                      std::string_view speed, TrackPoint& point) {
  double v, lat, lon, sp;
  if (!LeadingNumbers({{value, &v}, {latitude, &lat}, {longitude, &lon}, {speed, &sp}})) {
    return false;
  }
  point.value = static_cast<float>(v);
  point.latitude = static_cast<float>(lat);
  point.longitude = static_cast<float>(lon);
  point.speed = static_cast<float>(sp);
  return true;
}

float DecimalDegrees(float field) {
  const long double x = static_cast<long double>(field) * 0.01;
  const long double degrees = std::trunc(x);
  return static_cast<float>(degrees + (x - degrees) * 100 * (1.0L / 60));
}

std::vector<TrackPoint> ReadConvertedPoints(const TStrings& lines, const AnsiString& marker,
                                            const Progress& progress) {
  std::vector<TrackPoint> points;
  const int count = lines.GetCount();
  points.reserve(static_cast<std::size_t>(count) + 10);
  for (int j = 0; j + 1 < count; ++j) {
    AnsiString line = lines.Get(j);
    if (line == marker) continue;
    ReplaceBeforeLast(line, ';', ' ');
    ReplaceBeforeLast(line, ',', '.');
    const auto scan = ScanFields(line.str(), ConvertedWidths);
    if (scan.count < 10 || scan.too_long) continue;
    const auto& f = scan.field;
    if (f[StatusField][0] == 'V') continue;
    TrackPoint p;
    if (!ReadPointNumbers(f[ValueField], f[LatField], f[LonField], f[SpeedField], p)) continue;
    try {
      p.extra = ExtraThroughFloat(StrToInt(AnsiString(f[ExtraField])));
      p.date_time =
          StrToDateTime(DottedDate(AnsiString(f[DateField])) + " " + AnsiString(f[TimeField]));
    } catch (const Exception&) {
      continue;
    }
    p.index = static_cast<int>(points.size());
    p.latitude = DecimalDegrees(p.latitude);
    p.longitude = DecimalDegrees(p.longitude);
    points.push_back(p);
    if (progress) progress(static_cast<int>(points.size()));
  }
  return points;
}

namespace {

// The WorkLine of a point whose date-time text is already made.
std::string WorkLineWithDate(int index, const TrackPoint& point, const AnsiString& date_time) {
  std::string line = IntToStr(index).str();
  line += ' ';
  line += FormatFloat("0.000000", point.latitude).str();
  line += ' ';
  line += FormatFloat("0.000000", point.longitude).str();
  line += ' ';
  line += FormatFloat("0.00", point.speed).str();
  line += ' ';
  line += date_time.str();
  line += ' ';
  line += FormatFloat("0.00", point.value).str();
  line += ' ';
  line += IntToStr(point.extra).str();
  line += '\n';
  return line;
}

}  // namespace

std::string WorkLine(int index, const TrackPoint& point) {
  return WorkLineWithDate(index, point, DateTimeToStr(point.date_time));
}

std::string WorkFileText(const std::vector<TrackPoint>& points, const Progress& progress) {
  std::string text;
  text.reserve(points.size() * 64);                      // a work line is about 60 characters
  const int last = static_cast<int>(points.size()) - 1;  // the index of the last point stored
  for (int k = 0; k + 1 < last; ++k) {
    const AnsiString date_time = DateTimeToStr(points[k].date_time);
    if (date_time.Length() <= 11) continue;
    text += WorkLineWithDate(points[k].index, points[k], date_time);
    if (progress) progress(k);
  }
  return text;
}

}  // namespace track
