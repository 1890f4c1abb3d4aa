// The HEX reader and the memory image: what a file loads or why it is refused, and the listings.
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

// A record with its checksum: `data` is the data field's text.
std::string Record(int count, int address, int type, const std::string& data) {
  char head[16];
  std::snprintf(head, sizeof head, ":%02X%04X%02X", count, address, type);
  unsigned sum = static_cast<unsigned>(count + (address >> 8) + (address & 0xFF) + type);
  for (std::size_t i = 0; i + 1 < data.size(); i += 2)
    sum += static_cast<unsigned>(std::stoi(data.substr(i, 2), nullptr, 16));
  char check[4];
  std::snprintf(check, sizeof check, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return head + data + check;
}
std::string Data(int address, const std::string& data) {
  return Record(static_cast<int>(data.size() / 2), address, 0, data);
}

const std::string kEnd = ":00000001FF";

// Each case: the lines, then either the message that refuses them, or the end address and the
// image characters below it (the rest must be "F").
struct FileCase {
  const char* name;
  std::vector<std::string> lines;
  std::string message;
  int end;
  std::string image;
};
FileCase Loads(const char* name, std::vector<std::string> lines, int end, std::string image) {
  return {name, std::move(lines), "", end, std::move(image)};
}
FileCase Refused(const char* name, std::vector<std::string> lines, std::string message) {
  return {name, std::move(lines), std::move(message), 0, ""};
}

TEST(HexFile, ReadsExactlyTheDataRecordsOrRefusesTheFileNamingTheLine) {
  const std::string good = Data(0, "0C945C00");
  const FileCase cases[] = {
      Loads("a good file", {Data(0, "0C945C00"), Data(4, "AABB"), kEnd}, 6, "0C945C00AABB"),
      Loads("lower case kept, blanks and CR after a record ignored",
            {Data(2, "ab12") + " \r", kEnd + "\r"}, 4, "FFFFab12"),
      Loads("records out of address order: the end is the highest byte",
            {Data(0x10, "1122"), Data(0, "3344"), kEnd}, 0x12,
            "3344" + std::string(28, 'F') + "1122"),
      Loads("gaps read FF", {Data(0, "01"), Data(3, "02"), kEnd}, 4, "01FFFF02"),
      Loads("start addresses (03, 05) and zero bases (02, 04) carry no data",
            {Record(4, 0, 3, "00001234"), Record(2, 0, 2, "0000"), Data(2, "5566"),
             Record(2, 0, 4, "0000"), Record(4, 0, 5, "00000100"), kEnd},
            4, "FFFF5566"),
      Loads("a zero-length data record holds no byte and does not move the end",
            {Data(0, "0C945C00"), ":00500000B0", kEnd}, 4, "0C945C00"),
      Loads("blank lines and a DOS end-of-file character after the end record",
            {good, kEnd, "", "  \r", "\x1A"}, 4, "0C945C00"),
      Loads("a DOS end-of-file character on the end record's line", {good, kEnd + "\x1A"}, 4,
            "0C945C00"),
      Loads("data up to FFFF", {Data(0xFFF0, std::string(32, 'A')), Data(0, "01"), kEnd}, 0x10000,
            "01" + std::string(0xFFF0 * 2 - 2, 'F') + std::string(32, 'A')),
      Refused("two files joined: a record after the end record",
              {good, kEnd, Data(0x100, "AABB"), kEnd},
              "Data after the end record in line 3: " + Data(0x100, "AABB")),
      Refused("two files joined after a blank line", {good, kEnd, "", Data(0x100, "AABB"), kEnd},
              "Data after the end record in line 4"),
      Refused("text after the end record", {good, kEnd, "garbage"},
              "Data after the end record in line 3: garbage"),
      Refused("a record after a DOS end-of-file character", {good, kEnd, "\x1A", kEnd},
              "Data after the end record in line 4"),
      Refused("a data record that runs past FFFF", {good, Data(0xFFF0, std::string(64, 'A')), kEnd},
              "Address above 64K in line 2"),
      Refused("one byte past FFFF", {Data(0xFFFF, "0102"), kEnd}, "Address above 64K in line 1"),
      Refused("bad checksum", {good, ":02000400AABB00", kEnd},
              "Bad checksum in line 2: :02000400AABB00"),
      Refused("bad checksum of the end record", {good, ":00000001FE"}, "Bad checksum in line 2"),
      Refused("non-hex digit in the data", {":02000000ZZ11ED", kEnd},
              "Not a hexadecimal digit in line 1"),
      Refused("non-hex count", {":G2000000AABB99", kEnd}, "Not a hexadecimal digit in line 1"),
      Refused("non-hex address", {good, ":0200X000AABB99", kEnd},
              "Not a hexadecimal digit in line 2"),
      Refused("non-hex type", {":020000G0AABB99", kEnd}, "Not a hexadecimal digit in line 1"),
      Refused("short record", {":04000000AABB95", kEnd},
              "Record length does not match its count in line 1"),
      Refused("long record", {":02000000AABBCC99", kEnd},
              "Record length does not match its count in line 1"),
      Refused("a line cut in the middle", {good, ":1000100001020304", kEnd},
              "Record length does not match its count in line 2"),
      Refused("a line cut before its type", {good, ":10001", kEnd},
              "Record length does not match its count in line 2"),
      Refused("no record mark", {"02000000AABB99", kEnd}, "No record mark in line 1"),
      Refused("an empty line among the records", {good, "", kEnd}, "No record mark in line 2"),
      Refused("unknown record type", {Record(2, 0, 6, "AABB"), kEnd},
              "Unknown record type 06 in line 1"),
      Refused("extended segment above 64K", {good, ":020000021000EC", kEnd},
              "Address above 64K in line 2"),
      Refused("extended linear above 64K", {":020000040001F9", good, kEnd},
              "Address above 64K in line 1"),
      Refused("an address record of one byte", {Record(1, 0, 4, "00"), good, kEnd},
              "Bad address record in line 1"),
      Refused("overlapping records", {Data(0, "11223344"), Data(0x10, "AA"), Data(3, "5566"), kEnd},
              "Data overlapping line 1 in line 3: " + Data(3, "5566")),
      Refused("the same record twice", {good, good, kEnd}, "Data overlapping line 1 in line 2"),
      Refused("no end record", {good}, "No End Record In File..."),
      Refused("an empty file", {}, "No End Record In File..."),
      Refused("no data", {Record(4, 0, 3, "00001234"), kEnd}, "No Data In File..."),
      Refused("the end record alone", {kEnd}, "No Data In File..."),
      Refused("the end record first", {kEnd, good}, "Data after the end record in line 2"),
      Refused("only zero-length data records", {":00010000FF", ":00500000B0", kEnd},
              "No Data In File..."),
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto lines = Lines(c.lines);
    if (!c.message.empty()) {
      try {
        hex::read_firmware(*lines);
        ADD_FAILURE() << "accepted";
      } catch (const EHexFile& e) {
        EXPECT_EQ(e.Message.str().rfind(c.message, 0), 0u) << e.Message.str();
      }
      continue;
    }
    hex::Firmware firmware = hex::read_firmware(*lines);
    EXPECT_EQ(firmware.end_addr, c.end);
    ASSERT_EQ(firmware.image.size(), static_cast<std::size_t>(c.end) * 2 + 512);
    EXPECT_EQ(firmware.image.substr(0, c.image.size()), c.image);
    EXPECT_EQ(firmware.image.substr(c.image.size()),
              std::string(firmware.image.size() - c.image.size(), 'F'));
  }
}

TEST(HexFile, TheDemosFirmwareLoads) {
  TStringList lines;
  lines.LoadFromFile(DEMO_FIRMWARE);
  EXPECT_EQ(hex::read_firmware(lines).end_addr, 0xC00);
}

TEST(HexFile, ARefusalShowsTheStartOfALongLine) {
  const std::string record = Data(0, std::string(64, 'A'));
  auto lines = Lines({record.substr(0, record.size() - 2) + "00", kEnd});
  try {
    hex::read_firmware(*lines);
    FAIL() << "accepted";
  } catch (const EHexFile& e) {
    EXPECT_EQ(e.Message.str(), "Bad checksum in line 1: " + record.substr(0, 44) + "...");
  }
}

TEST(HexFile, TheHighestAddressFitsTheImage) {
  auto lines = Lines({Data(0xFFFF, "01"), Data(0, "03"), kEnd});
  hex::Firmware firmware = hex::read_firmware(*lines);
  EXPECT_EQ(firmware.end_addr, 0x10000);
  EXPECT_EQ(firmware.image.substr(0xFFFF * 2, 4), "01FF");
  EXPECT_EQ(hex::end_label(0x1A30).str(), "End addr.= 0x01A30");
  EXPECT_EQ(hex::end_label(0x123456).str(), "End addr.= 0x123456");
}

// An image with nothing written: end x 2 + 512 characters "F".
std::string Blank(int end) {
  return std::string(static_cast<std::size_t>(end) * 2 + 512, 'F');
}

std::string Groups(const std::string& chars, int group) {
  std::string out;
  for (std::size_t i = 0; i < chars.size(); i += group) out += chars.substr(i, group) + " ";
  return out;
}

TEST(HexListing, MegaListsLinesOf16AddressUnits) {
  std::string image = Blank(0x41);
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
  std::string image = Blank(3);
  image.replace(0, 6, "a1B2c3");
  EXPECT_EQ(Strings(hex::list_groups(image, 3, true)),
            (std::vector<std::string>{"00000    a1", "00001    B2", "00002    c3"}));
  EXPECT_EQ(Strings(hex::list_groups(image, 3, false)),
            (std::vector<std::string>{"00000    a1B2", "00001    c3FF"}));
  EXPECT_EQ(Strings(hex::list_groups(image, 0, true)), (std::vector<std::string>{"00000    a1"}));
}

TEST(HexListing, FieldsListStopsAtTheEndRecord) {
  int end = -1;
  // The end address is the highest data byte's, whatever the order.
  auto lines = Lines({":0300100011223344", ":02000000AB12C3", kEnd, ":02002000EEEE00"});
  EXPECT_EQ(Strings(hex::list_fields(*lines, end)),
            (std::vector<std::string>{": 03 0010 00 112233 44", ": 02 0000 00 AB12 C3"}));
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
