// The phone book "phone.txt": one entry a line, a name and a telephone number as the first two
// words of the line (blanks or tabs between them). Text in, entry out; no window involved.
#pragma once

#include "vcl/system.h"

struct PhoneBookEntry {
  AnsiString Name;
  AnsiString Number;
  bool operator==(const PhoneBookEntry&) const = default;
};

// Longest name or number kept; a longer word is cut to this many characters.
constexpr int PhoneBookWordLimit = 99;

// The entry of one line. Words are separated by blanks, tabs and the other white-space
// characters; words after the second are ignored. A line of one word gives an empty number, an
// empty or blank line an empty name as well, so that every line gives one entry.
PhoneBookEntry ParsePhoneBookLine(const AnsiString& line);
