// The state reply's tokens and the texts built from them.
#include "read_dev/status_line.h"

#include <cctype>
#include <string>

StatusLine SplitStatusLine(const AnsiString& line) {
  StatusLine status;
  const std::string& text = line.str();
  std::size_t p = 0;
  for (int i = 0; i < StatusTokenCount; ++i) {
    while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) ++p;
    std::size_t begin = p;
    while (p < text.size() && !std::isspace(static_cast<unsigned char>(text[p]))) ++p;
    std::size_t length = p - begin;
    if (length > static_cast<std::size_t>(StatusTokenWidths[i])) length = StatusTokenWidths[i];
    status.Tokens[i] = AnsiString(text.substr(begin, length));
  }
  return status;
}

int FreeMemoryKb(int write_address) {
  return static_cast<int>((0x210000LL - write_address) / 1024);
}

AnsiString UnframeDeviceNumber(const AnsiString& text) {
  std::string s = text.str();
  const std::size_t first = s.find('/');
  if (first == std::string::npos) return text;
  s[first] = ' ';
  for (std::size_t i = first + 1; i <= 19 && i < s.size(); ++i) {
    if (s[i] == '/') {
      s[i] = ' ';
      break;
    }
  }
  return AnsiString(s);
}

AnsiString DeviceFolderName(const AnsiString& number) {
  std::string name = number.str();
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) c = '_';
  }
  return AnsiString(name);
}
