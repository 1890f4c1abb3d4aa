// Fuzzes the track conversions over arbitrary lines: the log conversion, the restart report,
// the work file and the day split, each on the input itself and on what the stage before it
// gave. Nothing crashes, raises or writes past a field, and what comes out keeps its form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "read_dev/track_days.h"
#include "read_dev/track_dump.h"
#include "read_dev/track_records.h"
#include "read_dev/track_work.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

int CountLines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

void Lines(TStringList& list, const std::string& text) {
  list.Clear();
  list.SetText(AnsiString(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const AnsiString marker = "/012345543210/";
  const TDateTime correction = 4.0 / 24;
  TStringList lines;

  // The input as a log, and as the packed memory a dump unpacks.
  for (const std::string& log :
       {input, track::DumpText(std::span<const std::uint8_t>(data, size), true)}) {
    Lines(lines, log);
    const auto conversion = track::ConvertTrackLines(lines, marker);
    Check(CountLines(conversion.valid) <= lines.GetCount());
    Check(conversion.valid.find('.') == std::string::npos);

    TStringList converted;
    Lines(converted, conversion.valid);
    track::BuildReloadReport(converted, marker, correction);
    const auto points = track::ReadConvertedPoints(converted, marker);
    const std::string work = track::WorkFileText(points);
    Check(CountLines(work) <= static_cast<int>(points.size()));

    TStringList work_lines;
    Lines(work_lines, work + "last\n");
    const auto read_back = track::ReadWorkPoints(work_lines);
    // Lines whose numbers do not fit the split's fields are left out, never cut.
    Check(read_back.size() <= static_cast<std::size_t>(CountLines(work)));
    int total = 0;
    for (const auto& day : track::GroupByDays(read_back)) total += CountLines(day.text);
    Check(total == static_cast<int>(read_back.size()));
  }

  // The input straight into the later stages.
  Lines(lines, input);
  track::BuildReloadReport(lines, marker, correction);
  track::WorkFileText(track::ReadConvertedPoints(lines, marker));
  track::GroupByDays(track::ReadWorkPoints(lines));
  return 0;
}
