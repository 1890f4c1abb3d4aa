// The user APN's modem command text and the splitting of its reply.
#include "read_dev/user_apn_reply.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

#include "vcl/sysutils.h"

namespace {

// White space between the reply's tokens: blanks, tabs and line ends.
bool IsSpace(char c) {
  return std::strchr(" \t\n\v\f\r", c) != nullptr && c != '\0';
}

// Copies `token` into `field`, cut to the field's width, and ends it with 0x00.
void Fill(std::span<char> field, std::string_view token) {
  const std::size_t n = std::min(token.size(), field.size() - 1);
  std::copy_n(token.data(), n, field.data());
  field[n] = '\0';
}

}  // namespace

char UserApnReplyChar(char c) {
  if (c == '"') return '_';
  if (c == ',') return ' ';
  return c;
}

void SplitUserApnReply(const AnsiString& text, UserApnReplyFields& fields) {
  const std::span<char> targets[] = {fields.ReplyPrefix, fields.ReplyCommand, fields.ReplyApn,
                                     fields.ReplyLogin, fields.ReplyPassword};
  std::string_view rest(text.str());
  rest = rest.substr(0, std::min<std::size_t>(rest.size(), UserApnReplyLimit));
  rest = rest.substr(0, rest.find('\0'));
  for (std::span<char> field : targets) {
    while (!rest.empty() && IsSpace(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) return;
    std::size_t end = 0;
    while (end < rest.size() && !IsSpace(rest[end])) ++end;
    Fill(field, rest.substr(0, end));
    rest.remove_prefix(end);
  }
}

AnsiString UserApnValue(const char* field) {
  AnsiString value = field;
  for (char& c : value.str())
    if (c == '_') c = ' ';
  return Trim(value);
}

AnsiString UserApnCommand(const AnsiString& apn, const AnsiString& login,
                          const AnsiString& password) {
  return "9 AT+CIPCSGP=1,\"" + apn + "\",\"" + login + "\",\"" + password + "\"";
}
