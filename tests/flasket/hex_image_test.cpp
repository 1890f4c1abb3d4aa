// The HEX reader and the memory image: end address, image, and the four listings.
#include "prog/hex_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TStringList> Lines(const std::vector<std::string>& lines) {
  auto list = std::make_unique<TStringList>();
  for (const auto& line : lines) list->Add(line.c_str());
  return list;
}

std::vector<std::string> Strings(const std::vector<AnsiString>& lines) {
  std::vector<std::string> out;
  for (const auto& line : lines) out.push_back(line.str());
  return out;
}

// A data record of `count` bytes at `address` whose data text is `data` (checksum not checked).
std::string Record(int count, int address, const std::string& type, const std::string& data) {
  char head[16];
  std::snprintf(head, sizeof head, ":%02X%04X", count, address);
  return head + type + data + "00";
}

const std::string kEnd = ":00000001FF";

TEST(HexEndAddress, ComesFromTheRecordBeforeTheEndRecord) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    int end;
  };
  const Case cases[] = {
      {"ascending records",
       {Record(16, 0, "00", std::string(32, '1')), Record(16, 16, "00", std::string(32, '2')),
        Record(4, 32, "00", "AABBCCDD"), kEnd},
       36},
      {"an earlier record reaching higher does not count",
       {Record(16, 0x100, "00", std::string(32, '1')), Record(4, 0, "00", "AABBCCDD"), kEnd},
       4},
      {"lines after the end record are not read",
       {Record(2, 0x10, "00", "AABB"), kEnd, "garbage"},
       0x12},
      {"a CR left at the end of the last record", {":02001000AABB00\r", kEnd}, 0x12},
      {"zero-length record at 0", {":00000000FF", kEnd}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(hex::end_address(*Lines(c.lines)), c.end);
  }
}

TEST(HexEndAddress, RefusesFilesItCannotSize) {
  EXPECT_THROW(hex::end_address(*Lines({kEnd, Record(2, 0, "00", "AABB")})), EStringListError);
  EXPECT_THROW(hex::end_address(*Lines({Record(2, 0, "00", "AABB")})), EHexFile);
  EXPECT_THROW(hex::end_address(*Lines({})), EHexFile);
  EXPECT_THROW(hex::end_address(*Lines({":ZZ000000", kEnd})), EConvertError);
  EXPECT_EQ(hex::end_label(0x1A30).str(), "End addr.= 0x01A30");
  EXPECT_EQ(hex::end_label(0x123456).str(), "End addr.= 0x123456");
}

TEST(HexImage, FillsWithFAndCopiesTheDataAsWritten) {
  auto lines = Lines({
      Record(2, 4, "00", "ab12"),  // lower case kept
      ":020000020000FC",           // extended segment with a zero base: data at 0000
      Record(2, 8, "00", "3344"), Record(2, 9, "00", "5566"),  // overlaps: the later record wins
      kEnd, Record(2, 0, "00", "EEEE"),                        // after the end record: never copied
  });
  hex::refuse_extended_addresses(*lines);
  const int end = hex::end_address(*lines);
  ASSERT_EQ(end, 11);
  std::string image = hex::blank_image(end);
  ASSERT_EQ(image.size(), 11u * 2 + 512);
  hex::copy_records(*lines, image);
  EXPECT_EQ(image.substr(0, 22), "0000FFFFab12FFFF335566");
  EXPECT_EQ(image.substr(22), std::string(512, 'F'));
}

TEST(HexImage, RefusesExtendedAddressesWithANonZeroBase) {
  for (const char* record : {":020000021000EC", ":020000040001F9"}) {
    SCOPED_TRACE(record);
    auto lines = Lines({Record(2, 0, "00", "AABB"), record, Record(2, 0, "00", "CCDD"), kEnd});
    EXPECT_THROW(hex::refuse_extended_addresses(*lines), EHexFile);
  }
  // After the end record nothing counts.
  EXPECT_NO_THROW(hex::refuse_extended_addresses(*Lines({kEnd, ":020000040001F9"})));
}

TEST(HexImage, RecordsPastTheImageAreCutAtItsEnd) {
  // The end address is 0x10: the image holds 0x10 + 256 bytes.
  auto lines = Lines({Record(0x20, 0x100, "00", std::string(64, 'A')),
                      Record(16, 0x1000, "00", std::string(32, 'B')),
                      Record(16, 0, "00", std::string(32, 'C')), kEnd});
  std::string image = hex::blank_image(hex::end_address(*lines));
  ASSERT_EQ(image.size(), 0x10u * 2 + 512);
  hex::copy_records(*lines, image);
  EXPECT_EQ(image.size(), 0x10u * 2 + 512);
  EXPECT_EQ(image.substr(0, 32), std::string(32, 'C'));
  EXPECT_EQ(image.substr(0x200), std::string(image.size() - 0x200, 'A'));
}

TEST(HexImage, AShortOrMalformedRecordStopsTheCopyAfterWhatCameBefore) {
  std::string image = hex::blank_image(0x20);
  auto short_line = Lines({Record(2, 0, "00", "1122"), ":10000800334", kEnd});
  EXPECT_THROW(hex::copy_records(*short_line, image), ERangeError);
  EXPECT_EQ(image.substr(0, 20), "1122FFFFFFFFFFFF334F");

  image = hex::blank_image(0x20);
  auto bad = Lines({Record(2, 0, "00", "1122"), ":0G000000", kEnd});
  EXPECT_THROW(hex::copy_records(*bad, image), EConvertError);
  EXPECT_EQ(image.substr(0, 8), "1122FFFF");
}

std::string Groups(const std::string& chars, int group) {
  std::string out;
  for (std::size_t i = 0; i < chars.size(); i += group) out += chars.substr(i, group) + " ";
  return out;
}

TEST(HexListing, MegaListsLinesOf16AddressUnits) {
  std::string image = hex::blank_image(0x41);
  for (int i = 0; i < 0x41 * 2; ++i) image[i] = "0123456789abcdef"[i % 16];
  const std::string row = "0123456789abcdef0123456789abcdef";
  struct Case {
    const char* name;
    int end;
    bool bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"0x40 in words",
       0x40,
       false,
       {"00000    " + Groups(row + row, 4), "00010    " + Groups(row + row, 4)}},
      {"0x40 in bytes",
       0x40,
       true,
       {"00000    " + Groups(row, 2), "00010    " + Groups(row, 2), "00020    " + Groups(row, 2),
        "00030    " + Groups(row, 2)}},
      {"0x41 in bytes: the last line runs into the fill",
       0x41,
       true,
       {"00000    " + Groups(row, 2), "00010    " + Groups(row, 2), "00020    " + Groups(row, 2),
        "00030    " + Groups(row, 2), "00040    " + Groups("01" + std::string(30, 'F'), 2)}},
      {"0x41 in words",
       0x41,
       false,
       {"00000    " + Groups(row + row, 4), "00010    " + Groups(row + row, 4),
        "00020    " + Groups("01" + std::string(62, 'F'), 4)}},
      {"end address 0: one line", 0, true, {"00000    " + Groups(row, 2)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Strings(hex::list_image(image, c.end, c.bytes)), c.lines);
  }
}

TEST(HexListing, DatListsOneGroupPerLine) {
  std::string image = hex::blank_image(3);
  image.replace(0, 6, "a1B2c3");
  EXPECT_EQ(Strings(hex::list_groups(image, 3, true)),
            (std::vector<std::string>{"00000    a1", "00001    B2", "00002    c3"}));
  EXPECT_EQ(Strings(hex::list_groups(image, 3, false)),
            (std::vector<std::string>{"00000    a1B2", "00001    c3FF"}));
  EXPECT_EQ(Strings(hex::list_groups(image, 0, true)), (std::vector<std::string>{"00000    a1"}));
}

TEST(HexListing, FieldsListStopsAtTheEndRecord) {
  int end = -1;
  auto lines = Lines({":02000000AB12C3", ":0300100011223344", kEnd, ":02002000EEEE00"});
  EXPECT_EQ(Strings(hex::list_fields(*lines, end)),
            (std::vector<std::string>{": 02 0000 00 AB12 C3", ": 03 0010 00 112233 44"}));
  EXPECT_EQ(end, 0x13);

  // Without an end record every line is listed and the end address is left alone; a line
  // shorter than its count shows what it has.
  end = -1;
  auto open = Lines({":02000000AB12C3", ":04000400AB"});
  EXPECT_EQ(Strings(hex::list_fields(*open, end)),
            (std::vector<std::string>{": 02 0000 00 AB12 C3", ": 04 0004 00 AB "}));
  EXPECT_EQ(end, -1);
}

}  // namespace
