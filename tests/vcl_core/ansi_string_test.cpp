#include <gtest/gtest.h>

#include "vcl/system.h"
#include "vcl/sysutils.h"

namespace {

TEST(AnsiString, SubStringClipsLikeCopy) {
  struct Case {
    int index, count;
    const char* expected;
  } cases[] = {
      {1, 3, "abc"}, {2, 2, "bc"},  {5, 10, "ef"}, {6, 1, "f"}, {7, 1, ""},
      {0, 2, "ab"},  {-3, 2, "ab"}, {2, 0, ""},    {2, -1, ""}, {1, 100, "abcdef"},
  };
  const AnsiString s = "abcdef";
  for (const auto& c : cases)
    EXPECT_EQ(s.SubString(c.index, c.count), c.expected) << c.index << "," << c.count;
}

TEST(AnsiString, PosIsOneBasedAndZeroWhenAbsent) {
  const AnsiString s = "12:34:56";
  EXPECT_EQ(s.Pos(":"), 3);
  EXPECT_EQ(s.Pos("56"), 7);
  EXPECT_EQ(s.Pos("12"), 1);
  EXPECT_EQ(s.Pos("7"), 0);
  EXPECT_EQ(s.Pos(""), 0);
}

TEST(AnsiString, DeleteAndInsertUseOneBasedPositions) {
  // The time field of a record: characters 7 to 10 deleted, ":" before the 3rd and the 6th.
  AnsiString t = "123456.789";
  t.Delete(7, 4);
  EXPECT_EQ(t, "123456");
  t.Insert(":", 3);
  t.Insert(":", 6);
  EXPECT_EQ(t, "12:34:56");

  struct Case {
    int index, count;
    const char* expected;
  } deletes[] = {{1, 1, "bcd"}, {4, 5, "abc"}, {0, 2, "abcd"}, {5, 1, "abcd"}, {2, 0, "abcd"}};
  for (const auto& c : deletes) {
    AnsiString s = "abcd";
    EXPECT_EQ(s.Delete(c.index, c.count), c.expected) << c.index << "," << c.count;
  }
  AnsiString front = "bc", back = "ab";
  EXPECT_EQ(front.Insert("a", 0), "abc");
  EXPECT_EQ(back.Insert("c", 10), "abc");
}

TEST(AnsiString, IndexOutsideTheTextRaises) {
  AnsiString s = "ab";
  EXPECT_EQ(s[1], 'a');
  EXPECT_EQ(s[2], 'b');
  EXPECT_THROW(s[0], ERangeError);
  EXPECT_THROW(s[3], ERangeError);
}

TEST(AnsiString, NumbersBecomeDecimalText) {
  EXPECT_EQ(AnsiString(0), "0");
  EXPECT_EQ(AnsiString(-42), "-42");
  EXPECT_EQ(AnsiString(4294967295u), "4294967295");
  EXPECT_EQ(AnsiString(static_cast<short>(-7)), "-7");
  EXPECT_EQ(AnsiString(-9223372036854775807LL - 1), "-9223372036854775808");
  EXPECT_EQ("Mode = " + AnsiString(0), "Mode = 0");
  EXPECT_EQ(AnsiString(2.5), "2,5");
}

TEST(AnsiString, LengthConstructorRejectsNegativeLength) {
  EXPECT_EQ(AnsiString("abc", 2), "ab");
  EXPECT_EQ(AnsiString("abc", -1), "");
}

TEST(AnsiString, CaseMappingCoversCyrillic) {
  EXPECT_EQ(AnsiString("Привет, World ё").UpperCase(), "ПРИВЕТ, WORLD Ё");
  EXPECT_EQ(AnsiString("ПРИВЕТ, World Ё").LowerCase(), "привет, world ё");
  EXPECT_EQ(UpperCase("abc где"), "ABC где");  // SysUtils' UpperCase maps ASCII only
  EXPECT_EQ(AnsiUpperCase("abc где"), "ABC ГДЕ");
}

TEST(AnsiString, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\n 12 34\x01 "), "12 34");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \r\n"), "  a");
  EXPECT_EQ(Trim("\x1f\x20"), "");
  EXPECT_EQ(Trim("яблоко "), "яблоко");  // bytes above 0x7F are letters, not blanks
}

TEST(AnsiString, FormatsLikePrintf) {
  AnsiString s;
  s.sprintf("%s=%d", "n", 5);
  s.cat_sprintf("/%02X", 10);
  EXPECT_EQ(s, "n=5/0A");
}

}  // namespace
