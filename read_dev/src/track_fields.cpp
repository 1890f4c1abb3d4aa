// Fields and numbers of track lines.
#include "read_dev/track_fields.h"

#include <charconv>
#include <cmath>
#include <string>

namespace track {

bool LeadingNumber(std::string_view text, double& value) {
  std::size_t p = 0;
  while (p < text.size() && detail::IsScanSpace(text[p])) ++p;
  std::string number;
  if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
    if (text[p] == '-') number += '-';
    ++p;
  }
  auto is_digit = [&](std::size_t i) {
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
  };
  bool digits = false;
  for (; is_digit(p); ++p, digits = true) number += text[p];
  if (p < text.size() && text[p] == '.') {
    number += '.';
    for (++p; is_digit(p); ++p, digits = true) number += text[p];
  }
  if (!digits) return false;
  // An exponent counts only when digits follow it.
  if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
    std::size_t q = p + 1;
    if (q < text.size() && (text[q] == '-' || text[q] == '+')) ++q;
    if (is_digit(q)) {
      number += 'e';
      number.append(text.substr(p + 1, q - p - 1));
      for (; is_digit(q); ++q) number += text[q];
    }
  }
  double v = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
  if (ec == std::errc::result_out_of_range) {
    // Too large: the run-time library's HUGE_VAL; too small: zero.
    const bool tiny = number.find("e-") != std::string::npos;
    v = tiny ? 0.0 : (number[0] == '-' ? -HUGE_VAL : HUGE_VAL);
  } else if (ec != std::errc()) {
    return false;
  }
  value = v;
  return true;
}

bool LeadingNumbers(std::initializer_list<NumberField> fields) {
  for (const NumberField& f : fields) {
    if (!LeadingNumber(f.text, *f.value)) return false;
  }
  return true;
}

double LeadingValue(std::string_view text) {
  double v = 0;
  return LeadingNumber(text, v) ? v : 0.0;
}

void ReplaceBeforeLast(AnsiString& line, char from, char to) {
  std::string& s = line.str();
  for (std::size_t i = 0; i + 1 < s.size(); ++i) {
    if (s[i] == from) s[i] = to;
  }
}

AnsiString DottedDate(const AnsiString& text) {
  AnsiString out = text;
  out.Insert(".", 3);
  out.Insert(".", 6);
  return out;
}

}  // namespace track
