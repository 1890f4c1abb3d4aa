// Lines of a track file as a string list, and text split back into lines.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "vcl/string_list.h"

inline void FillLines(TStringList& list, std::initializer_list<std::string> lines) {
  list.Clear();
  for (const std::string& l : lines) list.Add(AnsiString(l));
}

// "a\nb\n" -> {"a", "b"}.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t p = 0;
  while (p < text.size()) {
    const auto nl = text.find('\n', p);
    out.push_back(text.substr(p, nl - p));
    p = nl == std::string::npos ? text.size() : nl + 1;
  }
  return out;
}
