// Basic types of the class library: the 8-bit string, the date-time value, the root object.
// Strings hold code page 1251 bytes; indexes are 1-based as in the original library.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class AnsiString {
 public:
  AnsiString() = default;
  AnsiString(const char* s) : s_(s ? s : "") {}
  AnsiString(const char* s, int length)
      : s_(s && length > 0 ? std::string(s, static_cast<size_t>(length)) : "") {}
  AnsiString(std::string s) : s_(std::move(s)) {}
  AnsiString(std::string_view s) : s_(s) {}
  AnsiString(char c) : s_(1, c) {}
  // Numbers become their decimal text.
  AnsiString(int value);
  AnsiString(unsigned value);
  AnsiString(long value);
  AnsiString(unsigned long value);
  AnsiString(long long value);
  AnsiString(unsigned long long value);
  AnsiString(short value) : AnsiString(static_cast<int>(value)) {}
  AnsiString(unsigned short value) : AnsiString(static_cast<unsigned>(value)) {}
  // A floating-point number becomes the text of FloatToStr (15 significant digits, the locale's
  // decimal separator).
  AnsiString(double value);

  const char* c_str() const { return s_.c_str(); }
  const char* data() const { return s_.data(); }
  int Length() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  const std::string& str() const { return s_; }
  std::string& str() { return s_; }

  // 1-based character access; an index outside 1..Length() throws ERangeError.
  char& operator[](int index);
  char operator[](int index) const;

  // Characters from 1-based `index`, at most `count`; an index below 1 counts as 1, the part
  // beyond the end is clipped.
  AnsiString SubString(int index, int count) const;
  // 1-based position of the first occurrence, 0 when absent (an empty needle gives 0).
  int Pos(const AnsiString& needle) const;
  AnsiString& Delete(int index, int count);
  AnsiString& Insert(const AnsiString& text, int index);
  AnsiString& SetLength(int length);
  // Leading/trailing blanks and control characters removed.
  AnsiString Trim() const;
  AnsiString TrimLeft() const;
  AnsiString TrimRight() const;
  // Case mapping for Latin and code page 1251 Cyrillic letters.
  AnsiString UpperCase() const;
  AnsiString LowerCase() const;
  // Conversions through StrToInt / StrToFloat rules; raise EConvertError.
  int ToInt() const;
  int ToIntDef(int default_value) const;
  double ToDouble() const;
  // printf-style formatting into this string.
  AnsiString& sprintf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  AnsiString& cat_sprintf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  static AnsiString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

  AnsiString& operator+=(const AnsiString& other) {
    s_ += other.s_;
    return *this;
  }
  AnsiString& operator+=(const char* other) {
    s_ += other ? other : "";
    return *this;
  }
  AnsiString& operator+=(char c) {
    s_ += c;
    return *this;
  }

  friend AnsiString operator+(const AnsiString& a, const AnsiString& b) {
    return AnsiString(a.s_ + b.s_);
  }
  friend AnsiString operator+(const AnsiString& a, const char* b) {
    return AnsiString(a.s_ + (b ? b : ""));
  }
  friend AnsiString operator+(const char* a, const AnsiString& b) {
    return AnsiString((a ? a : "") + b.s_);
  }
  friend AnsiString operator+(const AnsiString& a, char b) { return AnsiString(a.s_ + b); }
  friend AnsiString operator+(char a, const AnsiString& b) { return AnsiString(a + b.s_); }

  friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.s_ == b.s_; }
  friend bool operator==(const AnsiString& a, const char* b) { return a.s_ == (b ? b : ""); }
  friend std::strong_ordering operator<=>(const AnsiString& a, const AnsiString& b) {
    return a.s_ <=> b.s_;
  }

 private:
  std::string s_;
};

using String = AnsiString;

template <>
struct std::hash<AnsiString> {
  size_t operator()(const AnsiString& s) const noexcept {
    return std::hash<std::string>{}(s.str());
  }
};

// Days since 30 December 1899; the fraction is the time of day.
class TDateTime {
 public:
  TDateTime() = default;
  TDateTime(double value) : Val(value) {}
  operator double() const { return Val; }
  TDateTime& operator+=(double d) {
    Val += d;
    return *this;
  }
  TDateTime& operator-=(double d) {
    Val -= d;
    return *this;
  }
  double Val = 0.0;
};

// Root of the class library's object hierarchy.
class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual AnsiString ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
