#include "vcl/system.h"

#include <cstdarg>
#include <cstdio>

#include "char_case.h"
#include "vcl/sysutils.h"

AnsiString::AnsiString(int value) : s_(std::to_string(value)) {}
AnsiString::AnsiString(unsigned value) : s_(std::to_string(value)) {}
AnsiString::AnsiString(long value) : s_(std::to_string(value)) {}
AnsiString::AnsiString(unsigned long value) : s_(std::to_string(value)) {}
AnsiString::AnsiString(long long value) : s_(std::to_string(value)) {}
AnsiString::AnsiString(unsigned long long value) : s_(std::to_string(value)) {}
AnsiString::AnsiString(double value) : AnsiString(FloatToStr(value)) {}

namespace {

void CheckIndex(int index, int length) {
  if (index < 1 || index > length)
    throw ERangeError("String index out of range (" + AnsiString(index) + ")");
}

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string VFormat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace

char& AnsiString::operator[](int index) {
  CheckIndex(index, Length());
  return s_[static_cast<size_t>(index - 1)];
}

char AnsiString::operator[](int index) const {
  CheckIndex(index, Length());
  return s_[static_cast<size_t>(index - 1)];
}

// As the library's Copy: an index below 1 counts as 1 (the count is kept), a count beyond the end
// takes the rest.
AnsiString AnsiString::SubString(int index, int count) const {
  if (index < 1) index = 1;
  if (count <= 0 || index > Length()) return {};
  return AnsiString(s_.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count)));
}

int AnsiString::Pos(const AnsiString& needle) const {
  if (needle.IsEmpty()) return 0;
  auto at = s_.find(needle.s_);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString& AnsiString::Delete(int index, int count) {
  if (index >= 1 && index <= Length() && count > 0)
    s_.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
  return *this;
}

AnsiString& AnsiString::Insert(const AnsiString& text, int index) {
  if (index < 1) index = 1;
  if (index > Length() + 1) index = Length() + 1;
  s_.insert(static_cast<size_t>(index - 1), text.s_);
  return *this;
}

AnsiString& AnsiString::SetLength(int length) {
  s_.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return *this;
}

AnsiString AnsiString::Trim() const {
  return TrimLeft().TrimRight();
}

AnsiString AnsiString::TrimLeft() const {
  size_t i = 0;
  while (i < s_.size() && IsBlankOrControl(s_[i])) ++i;
  return AnsiString(s_.substr(i));
}

AnsiString AnsiString::TrimRight() const {
  size_t n = s_.size();
  while (n > 0 && IsBlankOrControl(s_[n - 1])) --n;
  return AnsiString(s_.substr(0, n));
}

AnsiString AnsiString::UpperCase() const {
  std::string out = s_;
  for (char& c : out) c = vcl::detail::UpperChar(c);
  return AnsiString(std::move(out));
}

AnsiString AnsiString::LowerCase() const {
  std::string out = s_;
  for (char& c : out) c = vcl::detail::LowerChar(c);
  return AnsiString(std::move(out));
}

int AnsiString::ToInt() const {
  return StrToInt(*this);
}
int AnsiString::ToIntDef(int default_value) const {
  return StrToIntDef(*this, default_value);
}
double AnsiString::ToDouble() const {
  return StrToFloat(*this);
}

AnsiString& AnsiString::sprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  s_ = VFormat(format, args);
  va_end(args);
  return *this;
}

AnsiString& AnsiString::cat_sprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  s_ += VFormat(format, args);
  va_end(args);
  return *this;
}

AnsiString AnsiString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AnsiString out(VFormat(format, args));
  va_end(args);
  return out;
}
