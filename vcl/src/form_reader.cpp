// The form-description parser (text form syntax, see vcl/form_reader.h).
#include "vcl/form_reader.h"

#include <cctype>
#include <charconv>
#include <cstring>

#include "platform/cp1251.h"

namespace vcl::dfm {
namespace {

constexpr int kMaxDepth = 100;

bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
  return IsIdentStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

bool SameWord(std::string_view a, const char* b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return true;
}

// A code point as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& file) : text_(text), file_(file) {}

  Object ParseRoot() {
    SkipBlanks();
    Object root = ParseObject(0);
    SkipBlanks();
    if (pos_ < text_.size()) Fail("Text after the end of the root object");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const { FailAt(line_, what); }
  [[noreturn]] void FailAt(int line, const std::string& what) const {
    throw EReadError(AnsiString(file_ + "(" + std::to_string(line) + "): " + what));
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipBlanks() {
    while (!AtEnd()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
      } else if (!(c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v')) {
        // A UTF-8 byte order mark at the very start is a blank.
        if (pos_ == 0 && text_.substr(0, 3) == "\xEF\xBB\xBF") {
          pos_ = 3;
          continue;
        }
        break;
      }
      ++pos_;
    }
  }

  std::string_view Word() {
    SkipBlanks();
    std::size_t start = pos_;
    if (AtEnd() || !IsIdentStart(text_[pos_])) return {};
    while (!AtEnd() && IsIdentChar(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // A property name: identifiers joined by dots.
  std::string DottedName() {
    std::string name(Word());
    while (!name.empty() && Peek() == '.') {
      ++pos_;
      std::string_view part = Word();
      if (part.empty()) Fail("Identifier expected after '.'");
      name += '.';
      name += part;
    }
    return name;
  }

  void Expect(char c, const char* what) {
    SkipBlanks();
    if (Peek() != c) Fail(std::string(what) + " expected");
    ++pos_;
  }

  Object ParseObject(int depth) {
    if (depth > kMaxDepth) Fail("Objects nested too deeply");
    SkipBlanks();
    Object obj;
    obj.line = line_;
    std::string_view keyword = Word();
    if (SameWord(keyword, "inherited") || SameWord(keyword, "inline"))
      Fail("'" + std::string(keyword) + "' objects are not supported");
    if (!SameWord(keyword, "object")) Fail("'object' expected");
    std::string_view first = Word();
    if (first.empty()) Fail("Object name or class expected");
    SkipBlanks();
    if (Peek() == ':') {
      ++pos_;
      std::string_view cls = Word();
      if (cls.empty()) Fail("Class name expected");
      obj.name = std::string(first);
      obj.class_name = std::string(cls);
    } else {
      obj.class_name = std::string(first);
    }
    SkipBlanks();
    if (Peek() == '[') {  // a creation index, not used
      ++pos_;
      ParseNumberOrFail();
      Expect(']', "']'");
    }
    for (;;) {
      SkipBlanks();
      if (AtEnd()) FailAt(obj.line, "'end' of object " + Describe(obj) + " missing");
      std::size_t save = pos_;
      int save_line = line_;
      std::string_view word = Word();
      if (word.empty()) Fail("Property name, 'object' or 'end' expected");
      if (SameWord(word, "end")) break;
      if (SameWord(word, "object") || SameWord(word, "inherited") || SameWord(word, "inline")) {
        pos_ = save;
        line_ = save_line;
        obj.children.push_back(ParseObject(depth + 1));
        continue;
      }
      pos_ = save;
      line_ = save_line;
      obj.properties.push_back(ParseProperty(depth));
    }
    return obj;
  }

  static std::string Describe(const Object& obj) {
    return obj.name.empty() ? obj.class_name : obj.name + ": " + obj.class_name;
  }

  Property ParseProperty(int depth) {
    Property prop;
    SkipBlanks();
    prop.line = line_;
    prop.name = DottedName();
    if (prop.name.empty()) Fail("Property name expected");
    Expect('=', "'='");
    prop.value = ParseValue(depth);
    return prop;
  }

  Value ParseValue(int depth) {
    if (depth > kMaxDepth) Fail("Values nested too deeply");
    SkipBlanks();
    Value v;
    v.line = line_;
    char c = Peek();
    if (AtEnd()) Fail("Value expected");
    if (c == '\'' || c == '#') {
      v.kind = Value::String;
      v.text = ParseStringExpression();
    } else if (IsDigit(c) || c == '-' || c == '+' || c == '$') {
      ParseNumber(v);
    } else if (IsIdentStart(c)) {
      v.kind = Value::Ident;
      v.text = std::string(Word());
    } else if (c == '[') {
      ++pos_;
      v.kind = Value::SetOf;
      SkipBlanks();
      if (Peek() != ']') {
        for (;;) {
          std::string_view name = Word();
          if (name.empty()) Fail("Identifier expected in set");
          v.names.emplace_back(name);
          SkipBlanks();
          if (Peek() == ',') {
            ++pos_;
            continue;
          }
          break;
        }
      }
      Expect(']', "']'");
    } else if (c == '(') {
      ++pos_;
      v.kind = Value::List;
      for (;;) {
        SkipBlanks();
        if (AtEnd()) FailAt(v.line, "')' missing");
        if (Peek() == ')') break;
        char k = Peek();
        if (k == '(' || k == '<' || k == '[' || k == '{')
          Fail("Only simple values may stand in a list");
        v.items.push_back(ParseValue(depth + 1));
      }
      ++pos_;
    } else if (c == '<') {
      ++pos_;
      v.kind = Value::Collection;
      for (;;) {
        SkipBlanks();
        if (AtEnd()) FailAt(v.line, "'>' missing");
        if (Peek() == '>') break;
        std::string_view word = Word();
        if (!SameWord(word, "item")) Fail("'item' expected");
        SkipBlanks();
        if (Peek() == '[') {
          ++pos_;
          ParseNumberOrFail();
          Expect(']', "']'");
        }
        std::vector<Property> props;
        for (;;) {
          SkipBlanks();
          if (AtEnd()) Fail("'end' of item missing");
          std::size_t save = pos_;
          int save_line = line_;
          std::string_view w = Word();
          if (SameWord(w, "end")) break;
          pos_ = save;
          line_ = save_line;
          props.push_back(ParseProperty(depth + 1));
        }
        v.collection.push_back(std::move(props));
      }
      ++pos_;
    } else if (c == '{') {
      ++pos_;
      v.kind = Value::Binary;
      int high = -1;
      for (;;) {
        if (AtEnd()) FailAt(v.line, "'}' missing");
        char h = text_[pos_++];
        if (h == '}') break;
        if (h == '\n') ++line_;
        if (h == ' ' || h == '\t' || h == '\r' || h == '\n') continue;
        if (!IsHexDigit(h)) Fail("Hexadecimal digit expected in binary data");
        if (high < 0) {
          high = HexValue(h);
        } else {
          v.bytes.push_back(static_cast<std::uint8_t>(high * 16 + HexValue(h)));
          high = -1;
        }
      }
      if (high >= 0) FailAt(v.line, "Odd number of hexadecimal digits in binary data");
    } else {
      Fail(std::string("Unexpected character '") + c + "'");
    }
    return v;
  }

  void ParseNumberOrFail() {
    SkipBlanks();
    Value v;
    ParseNumber(v);
  }

  void ParseNumber(Value& v) {
    SkipBlanks();
    std::size_t start = pos_;
    bool negative = false;
    if (Peek() == '-' || Peek() == '+') {
      negative = Peek() == '-';
      ++pos_;
    }
    if (Peek() == '$') {
      ++pos_;
      std::size_t digits = pos_;
      std::uint64_t value = 0;
      while (!AtEnd() && IsHexDigit(text_[pos_])) {
        value = value * 16 + static_cast<std::uint64_t>(HexValue(text_[pos_]));
        if (value > 0xFFFFFFFFull) Fail("Number out of range");
        ++pos_;
      }
      if (pos_ == digits) Fail("Hexadecimal digits expected after '$'");
      // Hexadecimal values are 32-bit patterns: $FFFFFFFF is -1.
      auto bits =
          static_cast<std::int64_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
      v.kind = Value::Int;
      v.integer = negative ? -bits : bits;
      return;
    }
    std::size_t digits = pos_;
    while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
    if (pos_ == digits) Fail("Number expected");
    bool real = false;
    if (Peek() == '.' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1])) {
      real = true;
      ++pos_;
      while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      std::size_t save = pos_;
      ++pos_;
      if (Peek() == '-' || Peek() == '+') ++pos_;
      if (!AtEnd() && IsDigit(text_[pos_])) {
        real = true;
        while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
      } else {
        pos_ = save;
      }
    }
    std::string_view number = text_.substr(start, pos_ - start);
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    if (real) {
      double d = 0;
      auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), d);
      if (ec != std::errc() || end != number.data() + number.size()) Fail("Invalid number");
      v.kind = Value::Float;
      v.real = d;
    } else {
      std::int64_t i = 0;
      auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), i);
      if (ec != std::errc() || end != number.data() + number.size() || i > 0xFFFFFFFFll ||
          i < -0x80000000ll)
        Fail("Number out of range");
      v.kind = Value::Int;
      v.integer = i;
    }
    if (!AtEnd() && IsIdentChar(text_[pos_])) Fail("Invalid number");
  }

  // Quoted parts and #nnn codes side by side, and such groups joined with '+'.
  std::string ParseStringExpression() {
    std::string out = ParseStringGroup();
    for (;;) {
      SkipBlanks();
      if (Peek() != '+') break;
      ++pos_;
      SkipBlanks();
      if (Peek() != '\'' && Peek() != '#') Fail("String expected after '+'");
      out += ParseStringGroup();
    }
    return out;
  }

  std::string ParseStringGroup() {
    std::string out;
    while (!AtEnd() && (Peek() == '\'' || Peek() == '#')) {
      if (Peek() == '\'') {
        int start_line = line_;
        ++pos_;
        std::string utf8;
        for (;;) {
          if (AtEnd() || text_[pos_] == '\n') FailAt(start_line, "Unterminated string");
          char c = text_[pos_++];
          if (c == '\'') {
            if (Peek() == '\'') {
              utf8 += '\'';
              ++pos_;
              continue;
            }
            break;
          }
          utf8 += c;
        }
        out += platform::Utf8ToCp1251(utf8);
      } else {
        ++pos_;
        std::uint64_t code = 0;
        std::size_t digits = pos_;
        if (Peek() == '$') {
          ++pos_;
          digits = pos_;
          while (!AtEnd() && IsHexDigit(text_[pos_]) && code <= 0x10FFFF)
            code = code * 16 + static_cast<std::uint64_t>(HexValue(text_[pos_++]));
        } else {
          while (!AtEnd() && IsDigit(text_[pos_]) && code <= 0x10FFFF)
            code = code * 10 + static_cast<std::uint64_t>(text_[pos_++] - '0');
        }
        if (pos_ == digits) Fail("Character code expected after '#'");
        if (code > 0x10FFFF) Fail("Character code out of range");
        if (code <= 255) {
          out += static_cast<char>(code);
        } else {
          std::string utf8;
          AppendUtf8(utf8, static_cast<std::uint32_t>(code));
          out += platform::Utf8ToCp1251(utf8);
        }
      }
    }
    return out;
  }

  std::string_view text_;
  const std::string& file_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

Object Parse(std::string_view text, const std::string& file_name) {
  return Parser(text, file_name).ParseRoot();
}

}  // namespace vcl::dfm
