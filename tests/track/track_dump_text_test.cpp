// The track memory's alphabet and the text of dumped bytes; the field scan and number reading
// shared by every track file reader.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "read_dev/track_dump.h"
#include "read_dev/track_fields.h"

namespace {

TEST(NibbleToChar, EveryCodeHasItsCharacter) {
  const std::string expected = " 1234567890;./\n$";
  for (int code = 0; code < 16; ++code) {
    EXPECT_EQ(track::NibbleToChar(code), expected[code]) << "code " << code;
    EXPECT_NE(track::NibbleToChar(code), '\0');
  }
}

struct PackedCase {
  std::uint8_t byte;
  const char* text;
};

TEST(DumpText, UnpacksHighNibbleFirst) {
  const PackedCase cases[] = {
      {0x1F, "1$"}, {0xAB, "0;"}, {0xC0, ". "}, {0xE5, "\n5"}, {0x00, "  "}, {0xDE, "/\n"},
  };
  for (const auto& c : cases) {
    const std::uint8_t b[] = {c.byte};
    EXPECT_EQ(track::DumpText(b, true), c.text) << std::hex << int(c.byte);
  }
  const std::vector<std::uint8_t> bytes = {0xF1, 0xB1, 0x23};
  EXPECT_EQ(track::DumpText(bytes, true), "$1;123");
}

TEST(DumpText, PackedOffWritesBytesAsTheyCame) {
  const std::vector<std::uint8_t> bytes = {'a', 0x0A, 0x00, 0xFF};
  EXPECT_EQ(track::DumpText(bytes, false), std::string("a\n\0\xFF", 4));
  EXPECT_EQ(track::DumpText({}, true), "");
}

// Four times the time on the line at ten bits a byte, rounded up to the millisecond, plus a
// minute.
TEST(DumpBoundMs, FourLineTimesAndAMinute) {
  const struct {
    long long length;
    std::uint32_t baud;
    std::uint32_t ms;
  } cases[] = {
      {0x210000, 115200, 4 * 187'734 + 60'000},  // the full memory: 12.5 minutes
      {0x210000, 921600, 4 * 23'467 + 60'000},
      {0x210000, 9600, 4 * 2'252'800 + 60'000},  // about 2.5 hours
      {2112, 115200, 4 * 184 + 60'000},
      {0, 115200, 60'000},
      {-1, 115200, 60'000},
      {9600, 0, 4 * 10'000 + 60'000},  // a port without a rate: the slowest one
  };
  for (const auto& c : cases)
    EXPECT_EQ(track::DumpBoundMs(c.length, c.baud), c.ms) << c.length << " at " << c.baud;
}

struct ScanCase {
  const char* line;
  int count;
  bool too_long;
  std::vector<std::string> fields;
};

TEST(ScanFields, SplitsAtRunsOfWhiteSpaceWithinWidths) {
  constexpr std::array<int, 3> widths = {3, 2, 4};
  const ScanCase cases[] = {
      {"abc de fghi", 3, false, {"abc", "de", "fghi"}},
      {"  abc \t de\r\nfghi  rest", 3, false, {"abc", "de", "fghi"}},
      {"abc", 1, false, {"abc", "", ""}},
      {"", 0, false, {"", "", ""}},
      {"   ", 0, false, {"", "", ""}},
      {"abcd de", 2, true, {"abcd", "de", ""}},
      {"a b cdefg", 3, true, {"a", "b", "cdefg"}},
      // Only the fields scanned are measured.
      {"a b c toolongtoolong", 3, false, {"a", "b", "c"}},
  };
  for (const auto& c : cases) {
    const auto s = track::ScanFields(c.line, widths);
    EXPECT_EQ(s.count, c.count) << c.line;
    EXPECT_EQ(s.too_long, c.too_long) << c.line;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(s.field[k], c.fields[k]) << c.line << " field " << k;
  }
  // A NUL ends the line as it ends a C string.
  const auto s = track::ScanFields(std::string_view("ab\0cd", 5), widths);
  EXPECT_EQ(s.count, 1);
}

struct NumberCase {
  const char* text;
  bool ok;
  double value;
};

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumber) {
  const NumberCase cases[] = {
      {"45.5", true, 45.5}, {"200.1", true, 200.1}, {"-0.5", true, -0.5}, {" 12.3abc", true, 12.3},
      {"+7", true, 7},      {".5", true, 0.5},      {"5.", true, 5},      {"1e3", true, 1000},
      {"2e", true, 2},      {"3e+x", true, 3},      {"abc", false, 0},    {"", false, 0},
      {"-", false, 0},      {".", false, 0},        {"$12", false, 0},    {"1e999", true, HUGE_VAL},
      {"1e-999", true, 0},  {"0x10", true, 0},      {"nan", false, 0},    {"inf", false, 0},
  };
  for (const auto& c : cases) {
    double v = -99;
    EXPECT_EQ(track::LeadingNumber(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    } else {
      EXPECT_EQ(v, -99) << c.text << ": left alone";
    }
    EXPECT_DOUBLE_EQ(track::LeadingValue(c.text), c.ok ? c.value : 0.0) << c.text;
  }
}

TEST(TrackText, DottedDateAndReplacementBeforeTheLastCharacter) {
  EXPECT_EQ(track::DottedDate("081226"), "08.12.26");
  EXPECT_EQ(track::DottedDate("0812"), "08.12.");
  EXPECT_EQ(track::DottedDate(""), "..");
  AnsiString line = "a;b;c;";
  track::ReplaceBeforeLast(line, ';', ' ');
  EXPECT_EQ(line, "a b c;");
  AnsiString empty;
  track::ReplaceBeforeLast(empty, ';', ' ');
  EXPECT_EQ(empty, "");
}

}  // namespace
