#include "sms_modul/phone_book.h"

#include <string_view>

namespace {

// The white space that separates words of a line (that of the "C" locale).
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The next word from `rest` (rest then starts after it), cut to the word limit; empty when none
// is left.
AnsiString NextWord(std::string_view& rest) {
  std::size_t start = 0;
  while (start < rest.size() && IsSpace(rest[start])) ++start;
  std::size_t end = start;
  while (end < rest.size() && !IsSpace(rest[end])) ++end;
  std::string_view word = rest.substr(start, end - start);
  rest.remove_prefix(end);
  return AnsiString(word.substr(0, PhoneBookWordLimit));
}

}  // namespace

PhoneBookEntry ParsePhoneBookLine(const AnsiString& line) {
  std::string_view rest(line.str());
  PhoneBookEntry entry;
  entry.Name = NextWord(rest);
  entry.Number = NextWord(rest);
  return entry;
}
