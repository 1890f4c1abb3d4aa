// For tests that run programs through the shell: quoting.
#pragma once

#include <string>

namespace test_support {

// `s` in single quotes for the shell.
inline std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace test_support
