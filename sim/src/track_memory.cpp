// Packing track text and generating a track of several days.
#include "sim/track_memory.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace sim {
namespace {

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace

std::vector<std::uint8_t> PackTrackText(std::string_view text) {
  auto code = [](char c) -> std::uint8_t {
    static constexpr std::string_view kChars = " 1234567890;./\n$";
    const auto i = kChars.find(c);
    if (i == std::string_view::npos) {
      throw std::invalid_argument(std::string("no track code for character ") + c);
    }
    return static_cast<std::uint8_t>(i);
  };
  std::vector<std::uint8_t> packed;
  packed.reserve((text.size() + 1) / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const std::uint8_t low = i + 1 < text.size() ? code(text[i + 1]) : 0;
    packed.push_back(static_cast<std::uint8_t>(code(text[i]) << 4 | low));
  }
  return packed;
}

GeneratedTrack GenerateTrack(const TrackPlan& plan) {
  GeneratedTrack track;
  double lat = 5545.0, lon = 3737.0;
  const long first = DaysFromCivil(plan.year, plan.month, plan.day);
  for (int day = 0; day < plan.days; ++day) {
    TrackRecord r{};
    r.day = day;
    CivilFromDays(first + day, r.year, r.month, r.mday);
    track.text += kRestartMarker;
    track.text += '\n';
    for (int s = plan.first_second; s < plan.end_second; s += plan.interval_s) {
      r.second = s;
      r.fix = s >= plan.first_second + plan.nofix_s;
      const double speed = 40 + 25 * std::sin(s / 900.0);
      lat += 0.02 * std::cos(s / 1800.0);
      lon += 0.03 * std::sin(s / 2400.0);
      char line[96];
      std::snprintf(line, sizeof line,
                    "$1;%02d%02d%02d.000;%d;%09.4f;1;%010.4f;1;%02d%02d%02d;%.1f;%d;%d", s / 3600,
                    s / 60 % 60, s % 60, r.fix ? 2 : 1, lat, lon, r.mday, r.month, r.year % 100,
                    speed, 500 + (s / 30) % 200, day);
      r.line = line;
      track.text += r.line;
      track.text += '\n';
      track.records.push_back(r);
    }
  }
  return track;
}

}  // namespace sim
