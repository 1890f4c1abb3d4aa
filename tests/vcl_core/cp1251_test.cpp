#include "platform/cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The tests' own literals are CP1251 (compiled with -fexec-charset=CP1251); UTF-8 texts are
// spelled out as bytes.
TEST(Cp1251, ConvertsBothWays) {
  struct Case {
    std::string cp1251, utf8;
  } cases[] = {
      {"", ""},
      {"COM3", "COM3"},
      {"Настройка", "\xD0\x9D\xD0\xB0\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xB9\xD0\xBA\xD0\xB0"},
      {"Ёё", "\xD0\x81\xD1\x91"},
      {"\x88", "\xE2\x82\xAC"},  // euro sign
      {"\xB9", "\xE2\x84\x96"},  // numero sign
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::Cp1251ToUtf8(c.cp1251), c.utf8);
    EXPECT_EQ(platform::Utf8ToCp1251(c.utf8), c.cp1251);
  }
}

TEST(Cp1251, EveryDefinedByteSurvivesARoundTrip) {
  for (int b = 1; b < 256; ++b) {
    if (b == 0x98) continue;  // no character in code page 1251
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(platform::Utf8ToCp1251(platform::Cp1251ToUtf8(one)), one) << b;
  }
}

TEST(Cp1251, UnmappableAndInvalidInputBecomesQuestionMarks) {
  EXPECT_EQ(platform::Cp1251ToUtf8("a\x98"
                                   "b"),
            "a?b");
  EXPECT_EQ(platform::Utf8ToCp1251("a\xE4\xB8\xAD"
                                   "b"),
            "a?b");  // CJK: one '?' per character
  EXPECT_EQ(platform::Utf8ToCp1251("a\xFF"
                                   "b"),
            "a?b");                                  // not UTF-8
  EXPECT_EQ(platform::Utf8ToCp1251("a\xD0"), "a?");  // cut off at the end
  EXPECT_EQ(platform::Utf8ToCp1251(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
