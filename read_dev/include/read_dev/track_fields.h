// Reading the blank-separated fields of a track line, as the track files are read throughout:
// fields are runs of non-blank characters ("%s" of the run-time library's scan), each held in a
// text field of fixed width, and numbers are read from the start of a field ("%f", atof).
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "vcl/system.h"

namespace track {

// The fields of one line as scanned into `N` fixed-width text fields.
template <std::size_t N>
struct ScannedFields {
  std::array<std::string_view, N> field{};  // views into the scanned line
  int count = 0;                            // fields read (the scan's result, never below 0)
  bool too_long = false;  // a field read is longer than its width: it would not fit its field
};

// Splits `line` at runs of white space (blank, tab, CR, LF, VT, FF; a NUL ends the line) into
// at most `widths.size()` fields. Fields the scan does not reach stay empty: no text of an
// earlier line is kept.
template <std::size_t N>
ScannedFields<N> ScanFields(std::string_view line, const std::array<int, N>& widths);

// The longest decimal number at the start of `text` after leading white space (sign, digits,
// an optional "." and fraction, an optional exponent). False when the text does not start with
// a number; `value` is then left alone.
bool LeadingNumber(std::string_view text, double& value);
// LeadingNumber of each field into its target, in order; false at the first field that does
// not start with a number.
struct NumberField {
  std::string_view text;
  double* value;
};
bool LeadingNumbers(std::initializer_list<NumberField> fields);
// atof: the leading number, 0 when there is none.
double LeadingValue(std::string_view text);

// Replaces `from` by `to` at the character positions 1 to Length - 1: the last character of a
// line is never changed.
void ReplaceBeforeLast(AnsiString& line, char from, char to);

// "081226" -> "08.12.26": "." inserted before the 3rd character and then before the 6th.
AnsiString DottedDate(const AnsiString& text);

// ---- implementation of the template ----
namespace detail {
inline bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
}  // namespace detail

template <std::size_t N>
ScannedFields<N> ScanFields(std::string_view line, const std::array<int, N>& widths) {
  ScannedFields<N> out;
  if (const auto nul = line.find('\0'); nul != std::string_view::npos) line = line.substr(0, nul);
  std::size_t p = 0;
  for (std::size_t k = 0; k < N; ++k) {
    while (p < line.size() && detail::IsScanSpace(line[p])) ++p;
    if (p == line.size()) break;
    const std::size_t start = p;
    while (p < line.size() && !detail::IsScanSpace(line[p])) ++p;
    out.field[k] = line.substr(start, p - start);
    if (static_cast<int>(p - start) > widths[k]) out.too_long = true;
    ++out.count;
  }
  return out;
}

}  // namespace track
