// The protocol's pure parts: CRC-16, block bytes, the reply line buffer and the reply readings.
#include "prog/boot_protocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "sim/boot_loader_sim.h"
#include "vcl/sysutils.h"

namespace {

std::uint16_t Crc(const std::vector<unsigned char>& data) {
  std::uint16_t table[256];
  boot::make_crc_table(table);
  return boot::crc16(table, data.data(), static_cast<int>(data.size()));
}

TEST(BootCrc, CheckValuesAndTheDevicesBitwiseCrc) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc({check.begin(), check.end()}), 0x29B1);
  EXPECT_EQ(Crc(std::vector<unsigned char>(256, 0xFF)), 0x5B2F);
  EXPECT_EQ(Crc({}), 0xFFFF);
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::vector<unsigned char> block(256);
    for (auto& b : block) b = static_cast<unsigned char>(random());
    EXPECT_EQ(Crc(block), sim::BootCrc16(block)) << round;
  }
}

TEST(BootBlock, EachPairOfHexDigitsIsOneByteAndAnythingElseFF) {
  std::string image(512, 'F');
  image.replace(0, 10, "0A1bzz9 Ff");
  unsigned char bytes[256];
  boot::block_bytes(image, 0, bytes);
  EXPECT_EQ(std::vector<int>(bytes, bytes + 6),
            (std::vector<int>{0x0A, 0x1B, 0xFF, 0xFF, 0xFF, 0xFF}));
  // A block that would run past the image reads FF there.
  boot::block_bytes(image, 508, bytes);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[255], 0xFF);
}

TEST(BootCommands, Texts) {
  EXPECT_EQ(boot::write_block_cmd(0).str(), "#WRITE_BL 0");
  EXPECT_EQ(boot::write_block_cmd(18).str(), "#WRITE_BL 18");
  EXPECT_EQ(boot::dump_cmd("0000", "0200").str(), "#DUMP 0000 0200 ");
  EXPECT_EQ(boot::lock_write_cmd(0x3F).str(), "#LOCK_WR 3F");
  EXPECT_EQ(boot::lock_write_cmd(5).str(), "#LOCK_WR 05");
  EXPECT_EQ(boot::lock_write_cmd(0x1FF).str(), "#LOCK_WR 1FF");
  EXPECT_EQ(boot::lock_write_cmd(-1).str(), "#LOCK_WR FFFFFFFF");
}

TEST(BootCommands, AFailedWriteNamesItsBlocks) {
  struct Case {
    std::vector<int> crc_failed, not_confirmed;
    int first_unwritten, count;
    const char* text;
  };
  const Case cases[] = {
      {{1}, {}, 4, 4, "Write Failed: CRT Error in Block 1. Repeat Write All..."},
      {{0, 2, 3, 4, 7},
       {},
       9,
       9,
       "Write Failed: CRT Error in Block 0, 2-4, 7. Repeat Write All..."},
      {{}, {}, 2, 5, "Write Failed: Block 2-4 Not Written. Repeat Write All..."},
      {{}, {}, 0, 1, "Write Failed: Block 0 Not Written. Repeat Write All..."},
      {{}, {3}, 6, 6, "Write Failed: Block 3 Not Confirmed. Repeat Write All..."},
      {{1},
       {4, 5},
       7,
       19,
       "Write Failed: CRT Error in Block 1; Block 4-5 Not Confirmed; Block 7-18 Not Written. "
       "Repeat Write All..."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(
        boot::write_failed_text(c.crc_failed, c.not_confirmed, c.first_unwritten, c.count).str(),
        c.text);
}

// Feeds the text; returns the lines it finished, each as text() showed it then.
std::vector<std::string> Feed(boot::ReplyLine& line, const std::string& bytes) {
  std::vector<std::string> done;
  for (char c : bytes)
    if (line.store(c)) done.emplace_back(line.text());
  return done;
}

TEST(BootReplyLine, FinishesAtCarriageReturnAndWrapsAt512) {
  boot::ReplyLine line;
  EXPECT_EQ(Feed(line, "\nCLR_ADDR OK\r"), (std::vector<std::string>{"\nCLR_ADDR OK\r"}));
  // Without clearing, the next line is appended (the acknowledgement over two lines).
  EXPECT_EQ(Feed(line, "$WRITE_BL 3\r"),
            (std::vector<std::string>{"\nCLR_ADDR OK\r$WRITE_BL 3\r"}));
  line.clear();
  EXPECT_EQ(Feed(line, "\r"), (std::vector<std::string>{"\r"}));

  // 511 characters and their CR: the CR lands in the last cell and finishes nothing.
  line.clear();
  EXPECT_TRUE(Feed(line, std::string(511, 'a') + "\r").empty());
  EXPECT_EQ(line.pos(), 0);
  EXPECT_EQ(Feed(line, "xy\r"), (std::vector<std::string>{"xy\r"}));
  // More than 512 characters: what came since the wrap is the line.
  line.clear();
  EXPECT_EQ(Feed(line, std::string(512, 'b') + "tail\r"), (std::vector<std::string>{"tail\r"}));
}

TEST(BootReplies, BlockAcknowledgementNamesItsCrcAndItsBlock) {
  struct Case {
    const char* text;
    bool has_crc;
    std::uint16_t crc;
    int block;
    const char* label;
  };
  const std::string long3(25, '7');
  const std::string long_line = "5B2F $WRITE_BL " + long3 + "\r";
  const Case cases[] = {
      {"5B2F $WRITE_BL 7\r", true, 0x5B2F, 7, "7"},
      {"5b2f\r$WRITE_BL 7\r", true, 0x5B2F, 7, "7"},         // over two lines
      {"12345 $WRITE_BL 3\r", true, 0x2345, 3, "3"},         // the low 16 bits
      {"OK\r5B2F $WRITE_BL 1\r", true, 0x5B2F, 1, "1"},      // a line left from before leads it
      {"\x01 5B2F $WRITE_BL 12\r", true, 0x5B2F, 12, "12"},  // a stray byte on the line
      {">5B2F $WRITE_BL 2\r", true, 0x5B2F, 2, "2"},         // ... or stuck to the CRC
      {"5B2F$WRITE_BL 2\r", true, 0x5B2F, 2, "2"},
      {"5B2F $WRITE_BL\r", true, 0x5B2F, -1, ""},  // no number: confirms no block
      {"5B2F $WRITE_BL 3x\r", true, 0x5B2F, -1, "3x"},
      {"5B2F $WRITE_BL -3\r", true, 0x5B2F, -1, "-3"},
      {"$WRITE_BL 4\r", false, 0, 4, "4"},  // no CRC
      {"ERROR $WRITE_BL 4\r", false, 0, 4, "4"},
      {"5B2F 4\r", false, 0, -1, ""},  // no mark
      {"", false, 0, -1, ""},
      {long_line.c_str(), true, 0x5B2F, -1, "7777777777777777777"},  // cut at 19
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    boot::BlockAck ack = boot::read_block_ack(c.text);
    EXPECT_EQ(ack.has_crc, c.has_crc);
    EXPECT_EQ(ack.crc, c.crc);
    EXPECT_EQ(ack.block, c.block);
    EXPECT_EQ(ack.label.str(), c.label);
  }
}

TEST(BootReplies, DumpAddressAndLockLine) {
  std::uint32_t address = 77;
  EXPECT_TRUE(boot::read_dump_address("  00012A: FF FF\r", address));
  EXPECT_EQ(address, 0x12Au);
  EXPECT_FALSE(boot::read_dump_address("xyz\r", address));
  EXPECT_EQ(address, 0x12Au);
  EXPECT_TRUE(boot::read_dump_address("123456789A\r", address));
  EXPECT_EQ(address, 0x3456789Au);

  std::uint32_t values[4] = {};
  ASSERT_TRUE(boot::read_lock_line("FF D9 e4 3F\r", values));
  EXPECT_EQ(boot::fuses_text(values).str(), "0xE4 0xD9 0xFF");
  EXPECT_EQ(boot::lock_text(values).str(), " 0x3F");
  // The lock text converts back as typed and is written unchanged.
  EXPECT_EQ(boot::lock_write_cmd(StrToInt(boot::lock_text(values))).str(), "#LOCK_WR 3F");
  std::uint32_t kept[4] = {1, 2, 3, 4};
  EXPECT_FALSE(boot::read_lock_line("FF D9 E4\r", kept));
}

}  // namespace
