// Conversion of the track log into valid-fix and no-fix lines, and the restart report.
#include "read_dev/track_records.h"

#include "read_dev/track_fields.h"
#include "vcl/sysutils.h"

namespace track {
namespace {

enum RecordField {
  TagField,
  TimeField,
  FixField,
  LatField,
  LatSideField,
  LonField,
  LonSideField,
  DateField,
  SpeedField,
  ValueField,
  ExtraField
};

// The ConvertedLine of a record (its status already set), ended by "\n".
std::string ConvertedLine(const AnsiString& status, const std::array<std::string_view, 11>& f,
                          double value) {
  std::string line = status.str();
  line += ';';
  line += ConvertedTime(AnsiString(f[TimeField])).str();
  for (int k : {LatField, LatSideField, LonField, LonSideField, SpeedField, DateField}) {
    line += ';';
    line += f[k];
  }
  line += ';';
  line += FormatFloat("0.0", value).str();
  line += ';';
  line += f[ExtraField];
  line += '\n';
  return line;
}

}  // namespace

AnsiString ConvertedTime(const AnsiString& time) {
  AnsiString t = time;
  t.Delete(7, 4);
  t.Insert(":", 3);
  t.Insert(":", 6);
  return t;
}

TrackConversion ConvertTrackLines(const TStrings& lines, const AnsiString& marker,
                                  const Progress& progress) {
  TrackConversion out;
  const int count = lines.GetCount();
  for (int i = 0; i + 1 < count; ++i) {
    AnsiString line = lines.Get(i);
    if (line == marker) {
      ++out.reload_count;
      out.valid += line.str();
      out.valid += '\n';
    }
    if (line.Length() < MinRecordLength || line.Length() > MaxRecordLength) continue;
    ReplaceBeforeLast(line, '/', '-');
    ReplaceBeforeLast(line, ';', ' ');
    const auto scan = ScanFields(line.str(), RecordWidths);
    const auto& f = scan.field;
    if (scan.count < 1 || f[TagField][0] != '$') continue;
    if (scan.count < 11 || scan.too_long) continue;
    AnsiString status(f[FixField]);
    const double value = LeadingValue(f[ValueField]) * 0.1;
    if (status[1] == '1') {
      status[1] = 'V';
      out.nofix += ConvertedLine(status, f, value);
      continue;
    }
    if (status[1] == '2' || status[1] == '3') status[1] = 'A';
    if (status[1] == 'V') continue;
    if (static_cast<float>(LeadingValue(f[SpeedField])) > 200.0f || value == 0) continue;
    if (progress) progress(i);
    std::string valid = ConvertedLine(status, f, value);
    for (char& c : valid) {
      if (c == '.') c = ',';
    }
    out.valid += valid;
  }
  return out;
}

AnsiString ReloadNeighbourText(const AnsiString& line, TDateTime correction) {
  static const AnsiString UnknownText = "**********";
  AnsiString text = line;
  ReplaceBeforeLast(text, ';', ' ');
  ReplaceBeforeLast(text, ',', '.');
  const auto scan = ScanFields(text.str(), ConvertedWidths);
  if (scan.count < 10 || scan.too_long) return UnknownText;
  const auto& f = scan.field;
  TDateTime at;
  try {
    at = StrToDateTime(DottedDate(AnsiString(f[7])) + " " + AnsiString(f[1]));
  } catch (const Exception&) {
    return UnknownText;
  }
  at += static_cast<double>(correction);
  return AnsiString(f[0]) + " " + DateTimeToStr(at);
}

std::vector<AnsiString> BuildReloadReport(const TStrings& lines, const AnsiString& marker,
                                          TDateTime correction) {
  std::vector<AnsiString> report;
  const int count = lines.GetCount();
  for (int i = 1; i + 1 < count; ++i) {
    if (lines.Get(i) != marker) continue;
    report.push_back(ReloadNeighbourText(lines.Get(i - 1), correction));
    report.push_back(ReloadNeighbourText(lines.Get(i + 1), correction));
    report.push_back("-----------------------");
  }
  return report;
}

}  // namespace track
