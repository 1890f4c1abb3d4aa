// SysUtils: exceptions, integer and floating-point texts, case mapping and comparison.
#include "vcl/sysutils.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "char_case.h"

void Abort() {
  throw EAbort("Operation aborted");
}

// ---- Integers ----

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Leading blanks, a sign, then decimal digits or "$"/"0x"/"x" and hexadecimal digits, up to the
// end of the text. Hexadecimal takes up to 32 bits and wraps above 0x7FFFFFFF as a 32-bit int.
bool ParseInt(const std::string& s, int& out) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  if (hex) {
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
      const int d = HexDigit(s[i]);
      if (d < 0) return false;
      v = v * 16 + static_cast<unsigned>(d);
      if (v > 0xFFFFFFFFu) return false;
    }
    auto u = static_cast<std::uint32_t>(v);
    if (negative) u = 0u - u;
    out = static_cast<int>(u);
    return true;
  }
  std::int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace

int StrToInt(const AnsiString& s) {
  int v = 0;
  if (!ParseInt(s.str(), v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

int StrToIntDef(const AnsiString& s, int default_value) {
  int v = 0;
  return ParseInt(s.str(), v) ? v : default_value;
}

AnsiString IntToStr(int value) {
  return AnsiString(value);
}
AnsiString IntToStr(unsigned value) {
  return AnsiString(value);
}
AnsiString IntToStr(long value) {
  return AnsiString(value);
}
AnsiString IntToStr(unsigned long value) {
  return AnsiString(value);
}
AnsiString IntToStr(long long value) {
  return AnsiString(value);
}
AnsiString IntToStr(unsigned long long value) {
  return AnsiString(value);
}

AnsiString IntToHex(int value, int digits) {
  char buf[16];
  const int n = std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(value));
  std::string out(buf, static_cast<std::size_t>(n));
  if (digits > n) out.insert(0, static_cast<std::size_t>(digits - n), '0');
  return AnsiString(std::move(out));
}

// ---- Floating point ----

namespace {

// The decimal digits of |value| to 18 significant digits (the precision the library formats
// with), without leading zeros: value = 0.digits * 10^exponent. Zero gives no digits.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal ToDecimal(double value) {
  Decimal d;
  if (value == 0) return d;
  char buf[64];
  auto [end, ec] =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
  std::string text(buf, end);  // d.ddddddddddddddddde[+-]xx
  const auto e = text.find('e');
  d.digits = text.substr(0, 1) + text.substr(2, e - 2);
  d.exponent = std::stoi(text.substr(e + 1)) + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Rounds half away from zero to `decimals` places after the point; returns the integer digits
// (empty for zero) and exactly `decimals` fraction digits.
void RoundDecimal(const Decimal& d, int decimals, std::string& int_part, std::string& frac_part) {
  // Digits of the fixed-point text: int digits then `decimals` fraction digits.
  std::string all;
  const int int_len = d.exponent > 0 ? d.exponent : 0;
  for (int i = 0; i < int_len; ++i)
    all += i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0';
  // Fraction position k (0-based) holds the digit at index exponent + k of `digits`.
  auto digit_at = [&](int k) -> char {
    const int idx = d.exponent + k;
    if (idx < 0 || idx >= static_cast<int>(d.digits.size())) return '0';
    return d.digits[static_cast<std::size_t>(idx)];
  };
  for (int k = 0; k < decimals; ++k) all += digit_at(k);
  if (digit_at(decimals) >= '5') {
    int i = static_cast<int>(all.size()) - 1;
    for (; i >= 0; --i) {
      if (all[static_cast<std::size_t>(i)] == '9') {
        all[static_cast<std::size_t>(i)] = '0';
      } else {
        ++all[static_cast<std::size_t>(i)];
        break;
      }
    }
    if (i < 0) all.insert(0, "1");
  }
  int_part = all.substr(0, all.size() - static_cast<std::size_t>(decimals));
  frac_part = all.substr(all.size() - static_cast<std::size_t>(decimals));
  const auto nz = int_part.find_first_not_of('0');
  int_part = nz == std::string::npos ? "" : int_part.substr(nz);
}

std::string SpecialFloatText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// One section of a picture: placeholders, point, thousands flag and literal text.
struct Picture {
  enum Kind { kDigit, kPoint, kText };
  struct Item {
    Kind kind;
    std::string text;  // literal text
  };
  std::vector<Item> items;
  int int_digits = 0;  // placeholders before the point
  int int_min = 0;     // digits shown at least before the point (from the first '0')
  int frac_max = 0;    // placeholders after the point
  int frac_min = 0;    // up to the last '0' after the point
  bool thousands = false;
};

Picture ParsePicture(const std::string& section) {
  Picture p;
  bool after_point = false;
  int first_zero = -1;  // index among integer placeholders
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '0' || c == '#') {
      p.items.push_back({Picture::kDigit, {}});
      if (after_point) {
        ++p.frac_max;
        if (c == '0') p.frac_min = p.frac_max;
      } else {
        if (c == '0' && first_zero < 0) first_zero = p.int_digits;
        ++p.int_digits;
      }
    } else if (c == '.' && !after_point) {
      after_point = true;
      p.items.push_back({Picture::kPoint, {}});
    } else if (c == '.') {
      // Only the first point counts.
    } else if (c == ',') {
      p.thousands = true;
    } else if (c == '"' || c == '\'') {
      const auto close = section.find(c, i + 1);
      const auto stop = close == std::string::npos ? section.size() : close;
      p.items.push_back({Picture::kText, section.substr(i + 1, stop - i - 1)});
      i = stop;
    } else {
      p.items.push_back({Picture::kText, std::string(1, c)});
    }
  }
  if (first_zero >= 0) p.int_min = p.int_digits - first_zero;
  return p;
}

std::vector<std::string> SplitSections(const std::string& format) {
  std::vector<std::string> sections(1);
  char quote = 0;
  for (char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

std::string ApplyPicture(const Picture& p, const std::string& int_part,
                         const std::string& frac_part) {
  std::string digits = int_part;
  if (static_cast<int>(digits.size()) < p.int_min)
    digits.insert(0, static_cast<std::size_t>(p.int_min) - digits.size(), '0');
  const int n = static_cast<int>(digits.size());

  std::string out;
  auto put_int_digit = [&](int idx) {
    out += digits[static_cast<std::size_t>(idx)];
    const int from_right = n - 1 - idx;
    if (p.thousands && from_right > 0 && from_right % 3 == 0)
      out += FormatSettings.ThousandSeparator;
  };
  int int_seen = 0, frac_seen = 0;
  bool after_point = false, int_done = p.int_digits > 0;
  for (const auto& item : p.items) {
    if (item.kind == Picture::kText) {
      out += item.text;
    } else if (item.kind == Picture::kPoint) {
      if (!int_done) {
        for (int i = 0; i < n; ++i) put_int_digit(i);  // no placeholder before the point
        int_done = true;
      }
      after_point = true;
      if (!frac_part.empty()) out += FormatSettings.DecimalSeparator;
    } else if (!after_point) {
      // Placeholders take the digits from the right; the first takes any excess.
      const int from_left_end = n - (p.int_digits - int_seen);
      if (int_seen == 0)
        for (int i = 0; i <= from_left_end && i < n; ++i) put_int_digit(i);
      else if (from_left_end >= 0)
        put_int_digit(from_left_end);
      ++int_seen;
    } else {
      if (frac_seen < static_cast<int>(frac_part.size()))
        out += frac_part[static_cast<std::size_t>(frac_seen)];
      ++frac_seen;
    }
  }
  if (!int_done)
    for (int i = 0; i < n; ++i) put_int_digit(i);
  return out;
}

// The number of places of a plain fixed picture ("0", "0.0", "0.00", ...), or -1 for any other.
int FixedPicturePlaces(const std::string& format) {
  constexpr int kMaxPlaces = 18;
  if (format.empty() || format[0] != '0') return -1;
  if (format.size() == 1) return 0;
  if (format[1] != '.' || format.size() == 2) return -1;
  for (std::size_t i = 2; i < format.size(); ++i)
    if (format[i] != '0') return -1;
  const int places = static_cast<int>(format.size()) - 2;
  return places <= kMaxPlaces ? places : -1;
}

// Powers of ten up to 10^22 as 128-bit integers.
constexpr auto kPowersOfTen = [] {
  std::array<unsigned __int128, 23> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

// The 18 significant digits of |value| (> 0) rounded to nearest, ties to even, as the library
// prints them, by integer arithmetic: value = 0.digits * 10^exponent. False where the scaled
// value does not fit 128 bits (below about 1e-5 or from 1e18 on); the caller prints then.
bool EighteenDigits(double value, char (&digits)[18], int& exponent) {
  using u128 = unsigned __int128;
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const std::uint64_t m = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
  if (m == 0) return false;
  const int e = biased == 0 ? -1074 : biased - 1075;          // |value| = m * 2^e
  constexpr std::uint64_t kLow = 100'000'000'000'000'000ull;  // 10^17
  constexpr std::uint64_t kHigh = 10 * kLow;                  // 10^18
  // |value| lies in [2^b, 2^(b+1)); the decimal exponent estimated from it may be one too low,
  // which the first attempt finds.
  const int b = e + 63 - __builtin_clzll(m);
  int k = 17 - static_cast<int>(std::floor(b * 0.30102999566398120));
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (k < 0 || k > 22) return false;
    const u128 n = m * kPowersOfTen[static_cast<std::size_t>(k)];  // < 2^53 * 10^22 < 2^127
    u128 q, r = 0, half = 0;
    if (e >= 0) {
      if (e > 10) return false;
      q = n << e;
    } else {
      const int s = -e;
      if (s >= 127) return false;
      q = n >> s;
      r = n - (q << s);
      half = u128{1} << (s - 1);
    }
    if (q >= kHigh) {
      --k;
      continue;
    }
    if (q < kLow) {
      ++k;
      continue;
    }
    auto d = static_cast<std::uint64_t>(q);
    if (r > half || (r == half && half != 0 && (d & 1))) ++d;
    if (d == kHigh) {
      d = kLow;
      --k;
    }
    for (int i = 17; i >= 0; --i, d /= 10) digits[i] = static_cast<char>('0' + d % 10);
    exponent = 18 - k;
    return true;
  }
  return false;
}

// FormatFloat of a plain fixed picture without building strings on the way: the same 18
// significant digits, rounded half away from zero to `places`.
AnsiString FormatFixed(double value, int places) {
  char digits[18];
  int count = 0;
  int exponent = 0;
  if (value != 0 && EighteenDigits(value, digits, exponent)) {
    count = 18;
  } else if (value != 0) {
    char sci[40];
    const auto [sci_end, ec] =
        std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, 17);
    // d.ddddddddddddddddde[+-]xx: 18 digits at 0 and 2..18.
    digits[count++] = sci[0];
    for (int i = 2; i < 19; ++i) digits[count++] = sci[i];
    const char* e = sci + 19;  // 'e'
    std::from_chars(e + (e[1] == '+' ? 2 : 1), sci_end, exponent);
    exponent += 1;
  }
  auto digit_at = [&](int idx) { return idx >= 0 && idx < count ? digits[idx] : '0'; };
  // The fixed-point digits: integer digits then `places` fraction digits, one spare in front
  // for a carry. At most 309 integer digits and 18 places.
  const int int_len = exponent > 0 ? exponent : 0;
  const int len = 1 + int_len + places;
  char all[1 + 309 + 18];
  all[0] = '0';
  for (int i = 0; i < int_len; ++i) all[1 + i] = digit_at(i);
  for (int i = 0; i < places; ++i) all[1 + int_len + i] = digit_at(exponent + i);
  if (digit_at(exponent + places) >= '5') {
    for (int i = len - 1; i >= 0; --i) {
      if (all[i] != '9') {
        ++all[i];
        break;
      }
      all[i] = '0';
    }
  }
  const int int_end = len - places;
  int first = 0;
  while (first < len && all[first] == '0') ++first;
  const bool zero = first == len;
  if (first >= int_end) first = int_end - 1;  // "0" before the point
  char out[2 + sizeof all];
  int n = 0;
  if (value < 0 && !zero) out[n++] = '-';
  for (int i = first; i < int_end; ++i) out[n++] = all[i];
  if (places > 0) {
    out[n++] = FormatSettings.DecimalSeparator;
    for (int i = int_end; i < len; ++i) out[n++] = all[i];
  }
  return AnsiString(std::string(out, static_cast<std::size_t>(n)));
}

}  // namespace

AnsiString FormatFloat(const AnsiString& format, double value) {
  if (!std::isfinite(value)) return SpecialFloatText(value);
  if (format.IsEmpty()) return FloatToStr(value);
  if (const int places = FixedPicturePlaces(format.str()); places >= 0)
    return FormatFixed(value, places);
  const auto sections = SplitSections(format.str());
  const bool has_negative = sections.size() > 1 && !sections[1].empty();
  const bool has_zero = sections.size() > 2 && !sections[2].empty();

  const bool negative = value < 0;
  const bool use_negative = negative && has_negative;
  Picture p = ParsePicture(sections[use_negative ? 1 : 0]);
  std::string int_part, frac_part;
  RoundDecimal(ToDecimal(value), p.frac_max, int_part, frac_part);
  const bool zero = int_part.empty() && frac_part.find_first_not_of('0') == std::string::npos;
  if (zero && has_zero) {
    p = ParsePicture(sections[2]);
    RoundDecimal(Decimal{}, p.frac_max, int_part, frac_part);
  }
  while (static_cast<int>(frac_part.size()) > p.frac_min && frac_part.back() == '0')
    frac_part.pop_back();
  // A value that rounds to zero shows no minus sign.
  const bool minus = negative && !use_negative && !zero;
  return AnsiString((minus ? "-" : "") + ApplyPicture(p, int_part, frac_part));
}

AnsiString FloatToStr(double value) {
  if (!std::isfinite(value)) return SpecialFloatText(value);
  if (value == 0) return "0";
  // 15 significant digits; fixed notation unless the value needs more integer digits than that
  // or is below 0.00001.
  char buf[64];
  auto [end, ec] =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
  std::string text(buf, end);
  const auto e = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  const int exp10 = std::stoi(text.substr(e + 1));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = value < 0 ? "-" : "";
  const char point = FormatSettings.DecimalSeparator;
  if (exp10 >= 15 || exp10 < -5) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += point + digits.substr(1);
    out += "E" + std::to_string(exp10);
  } else if (exp10 < 0) {
    out += "0";
    out += point;
    out += std::string(static_cast<std::size_t>(-exp10 - 1), '0') + digits;
  } else {
    const auto int_len = static_cast<std::size_t>(exp10 + 1);
    if (digits.size() <= int_len) {
      out += digits + std::string(int_len - digits.size(), '0');
    } else {
      out += digits.substr(0, int_len);
      out += point;
      out += digits.substr(int_len);
    }
  }
  return AnsiString(std::move(out));
}

double StrToFloat(const AnsiString& s) {
  // Blanks, a sign, digits with the locale's decimal separator, an optional exponent, blanks.
  const std::string& t = s.str();
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  std::string c_text;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) c_text += t[i++];
  bool any_digit = false;
  for (; i < t.size() && IsDigit(t[i]); ++i, any_digit = true) c_text += t[i];
  if (i < t.size() && t[i] == FormatSettings.DecimalSeparator) {
    c_text += '.';
    for (++i; i < t.size() && IsDigit(t[i]); ++i, any_digit = true) c_text += t[i];
  }
  bool ok = any_digit;
  if (ok && i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    c_text += 'e';
    ++i;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) c_text += t[i++];
    bool exp_digit = false;
    for (; i < t.size() && IsDigit(t[i]); ++i, exp_digit = true) c_text += t[i];
    ok = exp_digit;
  }
  while (i < t.size() && t[i] == ' ') ++i;
  double v = 0;
  if (ok && i == t.size()) {
    const char* begin = c_text.data() + (c_text[0] == '+' ? 1 : 0);
    auto [end, ec] = std::from_chars(begin, c_text.data() + c_text.size(), v);
    ok = ec == std::errc() && end == c_text.data() + c_text.size();
  } else {
    ok = false;
  }
  if (!ok) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}

// ---- Text ----

AnsiString Trim(const AnsiString& s) {
  return s.Trim();
}
AnsiString TrimLeft(const AnsiString& s) {
  return s.TrimLeft();
}
AnsiString TrimRight(const AnsiString& s) {
  return s.TrimRight();
}

AnsiString UpperCase(const AnsiString& s) {
  std::string out = s.str();
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return AnsiString(std::move(out));
}

AnsiString LowerCase(const AnsiString& s) {
  std::string out = s.str();
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return AnsiString(std::move(out));
}

AnsiString AnsiUpperCase(const AnsiString& s) {
  return s.UpperCase();
}
AnsiString AnsiLowerCase(const AnsiString& s) {
  return s.LowerCase();
}

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) {
  const int c = a.str().compare(b.str());
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int AnsiCompareText(const AnsiString& a, const AnsiString& b) {
  const std::string& x = a.str();
  const std::string& y = b.str();
  const std::size_t n = x.size() < y.size() ? x.size() : y.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto cx = static_cast<unsigned char>(vcl::detail::UpperChar(x[i]));
    const auto cy = static_cast<unsigned char>(vcl::detail::UpperChar(y[i]));
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
}

bool AnsiSameText(const AnsiString& a, const AnsiString& b) {
  return AnsiCompareText(a, b) == 0;
}
