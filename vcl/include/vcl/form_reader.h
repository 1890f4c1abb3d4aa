// The form-description reader: parses the text form of a description into a tree of objects,
// and builds components from such a tree.
//
// Syntax (the class library's text form):
//   object Name: TClass            nested objects: children of the enclosing one
//     Prop = value                 dotted names reach sub-objects: Font.Style, Items.Strings
//   end
// Values: integers (-5, $FF), floats (1.5, -2.5E3), strings ('it''s', #13#10, 'a'#9'b', and
// 'a' + 'b' across lines; the text is UTF-8 and string contents become code page 1251; #nnn
// above 255 is a Unicode code point), identifiers (True, clRed, bsSingle), sets ([fsBold,
// fsItalic]), lists (( 'a' 'b' ) or ( 1 2 )), collections (< item Width = 300 end item end >)
// and binary data ({ 0A1B... } as hexadecimal digits). `inherited` and `inline` objects are not
// supported. Comments do not exist in this syntax.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/classes.h"

namespace vcl::dfm {

struct Property;

struct Value {
  enum Kind { Int, Float, String, Ident, SetOf, List, Collection, Binary };
  Kind kind = Int;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;                               // String (CP1251) or Ident
  std::vector<std::string> names;                 // SetOf
  std::vector<Value> items;                       // List
  std::vector<std::vector<Property>> collection;  // Collection: the items' properties
  std::vector<std::uint8_t> bytes;                // Binary
  int line = 0;
};

struct Property {
  std::string name;  // as written, dotted
  Value value;
  int line = 0;
};

struct Object {
  std::string name;  // may be empty ("object TClass")
  std::string class_name;
  int line = 0;
  std::vector<Property> properties;
  std::vector<Object> children;
};

// Parses one description (its root object and nothing after it but blanks). Raises
// EReadError "<file>(<line>): <what is wrong>" on any error. Nesting deeper than 100 levels
// is refused.
Object Parse(std::string_view text, const std::string& file_name);

}  // namespace vcl::dfm
