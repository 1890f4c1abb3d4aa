// Case mapping of code page 1251 letters (Latin, Russian, Ukrainian and Belarusian), shared by the
// string class, SysUtils and the string lists.
#pragma once

namespace vcl::detail {

inline char UpperChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0) return static_cast<char>(c - 32);  // а..я
  switch (c) {
    case 0xB8:
      return static_cast<char>(0xA8);  // ё
    case 0xBA:
      return static_cast<char>(0xAA);  // є
    case 0xBF:
      return static_cast<char>(0xAF);  // ї
    case 0xB3:
      return static_cast<char>(0xB2);  // і
    case 0xB4:
      return static_cast<char>(0xA5);  // ґ
    case 0xA2:
      return static_cast<char>(0xA1);  // ў
    case 0xBE:
      return static_cast<char>(0xBD);  // ѕ
    case 0xBC:
      return static_cast<char>(0xA3);  // ј
    case 0x83:
      return static_cast<char>(0x81);  // ѓ
    case 0x90:
      return static_cast<char>(0x80);  // ђ
    case 0x9A:
      return static_cast<char>(0x8A);  // љ
    case 0x9C:
      return static_cast<char>(0x8C);  // њ
    case 0x9D:
      return static_cast<char>(0x8D);  // ќ
    case 0x9E:
      return static_cast<char>(0x8E);  // ћ
    case 0x9F:
      return static_cast<char>(0x8F);  // џ
    default:
      return ch;
  }
}

inline char LowerChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDF) return static_cast<char>(c + 32);  // А..Я
  switch (c) {
    case 0xA8:
      return static_cast<char>(0xB8);
    case 0xAA:
      return static_cast<char>(0xBA);
    case 0xAF:
      return static_cast<char>(0xBF);
    case 0xB2:
      return static_cast<char>(0xB3);
    case 0xA5:
      return static_cast<char>(0xB4);
    case 0xA1:
      return static_cast<char>(0xA2);
    case 0xBD:
      return static_cast<char>(0xBE);
    case 0xA3:
      return static_cast<char>(0xBC);
    case 0x81:
      return static_cast<char>(0x83);
    case 0x80:
      return static_cast<char>(0x90);
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8D:
      return static_cast<char>(0x9D);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x8F:
      return static_cast<char>(0x9F);
    default:
      return ch;
  }
}

}  // namespace vcl::detail
