// SysUtils: the date-time value, the locale's date and time texts, and their readers.
#include <sys/time.h>

#include <cmath>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "vcl/sysutils.h"

TFormatSettings FormatSettings;

void ResetFormatSettings() {
  FormatSettings = TFormatSettings();
}

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

bool IsLeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 to a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

constexpr std::int64_t kUnixEpochDay = 25569;  // 1970-01-01 as a TDateTime

bool ValidDate(int y, int m, int d) {
  return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

bool ValidTime(int h, int n, int s, int ms) {
  return h >= 0 && h < 24 && n >= 0 && n < 60 && s >= 0 && s < 60 && ms >= 0 && ms < 1000;
}

double DateValue(int y, int m, int d) {
  return static_cast<double>(DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) +
                             kUnixEpochDay);
}

double TimeValue(int h, int n, int s, int ms) {
  return static_cast<double>(((h * 60 + n) * 60 + s) * 1000 + ms) / kMsPerDay;
}

// A date before 30 December 1899 is negative; its time of day still counts forward from midnight.
double Combine(double date, double time) {
  return date >= 0 ? date + time : date - time;
}

// The value split into whole days and the time of day rounded to the millisecond.
struct Split {
  std::int64_t day;
  std::int64_t ms;
};

Split SplitValue(double value) {
  const double whole = std::trunc(value);
  auto day = static_cast<std::int64_t>(whole);
  auto ms = static_cast<std::int64_t>(std::llround(std::fabs(value - whole) * kMsPerDay));
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    day += value >= 0 ? 1 : -1;
  }
  return {day, ms};
}

std::optional<double>& FixedNow() {
  static std::optional<double> fixed;
  return fixed;
}

// ---- Formatting ----

std::string Pad2(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string FormatDateTimeText(const std::string& format, double value) {
  const Split sp = SplitValue(value);
  int y, mo, d;
  CivilFromDays(sp.day - kUnixEpochDay, y, mo, d);
  const int h = static_cast<int>(sp.ms / 3600000);
  const int mi = static_cast<int>(sp.ms / 60000 % 60);
  const int s = static_cast<int>(sp.ms / 1000 % 60);

  std::string out;
  bool after_hour = false;  // "m" right after an hour field means minutes
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    const char lc = Lower(c);
    std::size_t run = 1;
    while (i + run < format.size() && Lower(format[i + run]) == lc) ++run;
    switch (lc) {
      case 'd':
        out += run >= 2 ? Pad2(d) : std::to_string(d);
        after_hour = false;
        break;
      case 'm':
        if (after_hour)
          out += run >= 2 ? Pad2(mi) : std::to_string(mi);
        else
          out += run >= 2 ? Pad2(mo) : std::to_string(mo);
        after_hour = false;
        break;
      case 'n':
        out += run >= 2 ? Pad2(mi) : std::to_string(mi);
        after_hour = false;
        break;
      case 'y': {
        if (run <= 2) {
          out += Pad2(y % 100);
        } else {
          std::string ys = std::to_string(y);
          out += std::string(ys.size() < 4 ? 4 - ys.size() : 0, '0') + ys;
        }
        after_hour = false;
        break;
      }
      case 'h':
        out += run >= 2 ? Pad2(h) : std::to_string(h);
        after_hour = true;
        break;
      case 's':
        out += run >= 2 ? Pad2(s) : std::to_string(s);
        after_hour = false;
        break;
      case '/':
        out.append(run, FormatSettings.DateSeparator);
        break;
      case ':':
        out.append(run, FormatSettings.TimeSeparator);
        break;
      case '"':
      case '\'': {
        const auto close = format.find(c, i + 1);
        const auto stop = close == std::string::npos ? format.size() : close;
        out += format.substr(i + 1, stop - i - 1);
        run = stop + 1 - i;
        break;
      }
      default:
        out.append(format, i, run);
        break;
    }
    i += run;
  }
  return out;
}

// ---- Reading ----

class Scanner {
 public:
  explicit Scanner(const std::string& s) : s_(s) {}

  void SkipBlanks() {
    while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
  }
  // Up to four digits after blanks; `digits` tells how many were read.
  bool Number(int& value, int& digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (pos_ < s_.size() && digits < 4 && s_[pos_] >= '0' && s_[pos_] <= '9') {
      value = value * 10 + (s_[pos_++] - '0');
      ++digits;
    }
    return digits > 0;
  }
  bool Char(char c) {
    SkipBlanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool AtEnd() {
    SkipBlanks();
    return pos_ >= s_.size();
  }
  std::size_t pos() const { return pos_; }
  void set_pos(std::size_t p) { pos_ = p; }

 private:
  const std::string& s_;
  std::size_t pos_ = 0;
};

enum class DateOrder { kDMY, kMDY, kYMD };

DateOrder OrderOf(const std::string& format) {
  char quote = 0;
  for (char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
      continue;
    }
    switch (Lower(c)) {
      case 'd':
        return DateOrder::kDMY;
      case 'm':
        return DateOrder::kMDY;
      case 'y':
        return DateOrder::kYMD;
      default:
        break;
    }
  }
  return DateOrder::kDMY;
}

int CurrentYear() {
  int y, m, d;
  DecodeDate(Now(), y, m, d);
  return y;
}

int ExpandYear(int year, int digits) {
  if (digits > 2) return year;
  const int window = FormatSettings.TwoDigitYearCenturyWindow;
  const int base = CurrentYear() - window;
  int full = year + base / 100 * 100;
  if (window > 0 && full < base) full += 100;
  return full;
}

bool ScanDate(Scanner& sc, double& out) {
  const char sep = FormatSettings.DateSeparator;
  int n1, n2, n3 = 0, l1, l2, l3 = 0;
  if (!sc.Number(n1, l1) || !sc.Char(sep) || !sc.Number(n2, l2)) return false;
  int y, m, d;
  const DateOrder order = OrderOf(FormatSettings.ShortDateFormat.str());
  if (sc.Char(sep)) {
    if (!sc.Number(n3, l3)) return false;
    switch (order) {
      case DateOrder::kDMY:
        d = n1, m = n2, y = ExpandYear(n3, l3);
        break;
      case DateOrder::kMDY:
        m = n1, d = n2, y = ExpandYear(n3, l3);
        break;
      case DateOrder::kYMD:
        y = ExpandYear(n1, l1), m = n2, d = n3;
        break;
    }
  } else {
    // Day and month of the current year.
    y = CurrentYear();
    if (order == DateOrder::kDMY)
      d = n1, m = n2;
    else
      m = n1, d = n2;
  }
  if (!ValidDate(y, m, d)) return false;
  out = DateValue(y, m, d);
  return true;
}

bool ScanTime(Scanner& sc, double& out) {
  const char sep = FormatSettings.TimeSeparator;
  int h, n, s = 0, digits;
  if (!sc.Number(h, digits) || !sc.Char(sep) || !sc.Number(n, digits)) return false;
  if (sc.Char(sep) && !sc.Number(s, digits)) return false;
  if (!ValidTime(h, n, s, 0)) return false;
  out = TimeValue(h, n, s, 0);
  return true;
}

bool TryStrToTime(const std::string& s, double& out) {
  Scanner sc(s);
  return ScanTime(sc, out) && sc.AtEnd();
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
  if (!ValidDate(year, month, day)) throw EConvertError("Invalid argument to date encode");
  return DateValue(year, month, day);
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  if (!ValidTime(hour, min, sec, msec)) throw EConvertError("Invalid argument to time encode");
  return TimeValue(hour, min, sec, msec);
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  CivilFromDays(SplitValue(value).day - kUnixEpochDay, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec) {
  const std::int64_t ms = SplitValue(value).ms;
  hour = static_cast<int>(ms / 3600000);
  min = static_cast<int>(ms / 60000 % 60);
  sec = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

TDateTime Now() {
  if (FixedNow()) return *FixedNow();
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm local{};
  localtime_r(&ts.tv_sec, &local);
  return Combine(DateValue(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                 TimeValue(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                           static_cast<int>(ts.tv_nsec / 1000000)));
}

TDateTime Date() {
  return std::trunc(static_cast<double>(Now()));
}

AnsiString DateTimeToStr(TDateTime value) {
  std::string out = FormatDateTimeText(FormatSettings.ShortDateFormat.str(), value);
  if (SplitValue(value).ms != 0)
    out += " " + FormatDateTimeText(FormatSettings.LongTimeFormat.str(), value);
  return AnsiString(std::move(out));
}

AnsiString DateToStr(TDateTime value) {
  return FormatDateTimeText(FormatSettings.ShortDateFormat.str(), value);
}

AnsiString TimeToStr(TDateTime value) {
  return FormatDateTimeText(FormatSettings.LongTimeFormat.str(), value);
}

TDateTime StrToDateTime(const AnsiString& s) {
  Scanner sc(s.str());
  double date = 0, time = 0;
  if (ScanDate(sc, date) && (sc.AtEnd() || (ScanTime(sc, time) && sc.AtEnd())))
    return Combine(date, time);
  if (TryStrToTime(s.str(), time)) return time;
  throw EConvertError("'" + s + "' is not a valid date and time");
}

TDateTime StrToDate(const AnsiString& s) {
  Scanner sc(s.str());
  double date = 0;
  if (ScanDate(sc, date) && sc.AtEnd()) return date;
  throw EConvertError("'" + s + "' is not a valid date");
}

TDateTime StrToTime(const AnsiString& s) {
  double time = 0;
  if (TryStrToTime(s.str(), time)) return time;
  throw EConvertError("'" + s + "' is not a valid time");
}

namespace vcl::testing {
void SetNow(TDateTime value) {
  FixedNow() = value.Val;
}
void ClearNow() {
  FixedNow().reset();
}
}  // namespace vcl::testing
