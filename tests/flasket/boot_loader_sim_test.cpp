// The boot-loader simulator checked from the host's side: what it answers and what it writes.
#include "sim/boot_loader_sim.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const sim::LineSettings kOwn{460800, 8, 0, 0};

class BootLoaderSimTest : public ::testing::Test {
 protected:
  // Sends bytes 10 us apart; returns the text of every reply, in order.
  std::string Send(const std::string& bytes, const sim::LineSettings& s = kOwn) {
    std::string out;
    for (char c : bytes) {
      now += 10;
      sim::Response r = loader.Receive(static_cast<std::uint8_t>(c), now, s);
      for (const auto& t : r.sends) out.append(t.bytes.begin(), t.bytes.end());
      vanished = vanished || r.vanish;
    }
    return out;
  }
  std::string Block(int n, const std::vector<std::uint8_t>& data) {
    Send("#WRITE_BL " + std::to_string(n) + "\r");
    return Send(std::string(data.begin(), data.end()));
  }

  sim::BootLoaderSim loader;
  std::uint64_t now = 0;
  bool vanished = false;
};

std::vector<std::uint8_t> Pattern(std::uint8_t seed) {
  std::vector<std::uint8_t> data(256);
  for (int i = 0; i < 256; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 7);
  return data;
}

TEST_F(BootLoaderSimTest, WritesBlocksAndAnswersWithTheirCrc) {
  EXPECT_EQ(Send("#CLR_ADDR 0000\r"), "CLR_ADDR OK\r");
  EXPECT_EQ(Send("#WRITE_BL 2\r"), "");  // the command itself is not answered
  EXPECT_EQ(Send(std::string(256, '\xFF')), "5B2F $WRITE_BL 2\r");
  const auto data = Pattern(3);
  char expected[32];
  std::snprintf(expected, sizeof expected, "%04X $WRITE_BL 0\r", sim::BootCrc16(data));
  EXPECT_EQ(Block(0, data), expected);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), loader.flash().begin()));
  EXPECT_EQ(loader.flash()[256], 0xFF);
  EXPECT_EQ(loader.BlocksWritten(), (std::vector<int>{2, 0}));
}

TEST_F(BootLoaderSimTest, FaultsOfTheAcknowledgement) {
  loader.faults().split_ack = true;
  EXPECT_EQ(Block(1, std::vector<std::uint8_t>(256, 0xFF)), "5B2F\r$WRITE_BL 1\r");
  loader.faults().split_ack = false;
  loader.faults().wrong_crc_block = 4;
  EXPECT_NE(Block(4, std::vector<std::uint8_t>(256, 0xFF)), "5B2F $WRITE_BL 4\r");
  EXPECT_EQ(Block(5, std::vector<std::uint8_t>(256, 0xFF)), "5B2F $WRITE_BL 5\r");
  loader.faults().wrong_number_block = 6;
  EXPECT_EQ(Block(6, std::vector<std::uint8_t>(256, 0xFF)), "5B2F $WRITE_BL 7\r");
  loader.faults().repeat_ack_block = 7;
  loader.faults().stray_byte = '>';
  EXPECT_EQ(Block(7, std::vector<std::uint8_t>(256, 0xFF)),
            ">5B2F $WRITE_BL 7\r>5B2F $WRITE_BL 7\r");
  EXPECT_EQ(Block(8, std::vector<std::uint8_t>(256, 0xFF)), ">5B2F $WRITE_BL 8\r");
  loader.faults().silent_from_block = 6;
  EXPECT_EQ(Block(6, std::vector<std::uint8_t>(256, 0xFF)), "");
  EXPECT_EQ(Send("#TEST 0000\r"), "");
}

TEST_F(BootLoaderSimTest, ALateBlockByteStartsANewCommandLine) {
  Send("#WRITE_BL 0\r");
  Send(std::string(100, 'x'));
  now += sim::kBlockGapUs + 1;
  EXPECT_EQ(Send("#TEST 0000\r"), "TEST OK\r");
  EXPECT_TRUE(loader.BlocksWritten().empty());
}

TEST_F(BootLoaderSimTest, DumpLockAndOtherCommands) {
  loader.flash()[0x10] = 0xAB;
  EXPECT_EQ(Send("#DUMP 0010 0030 \r"),
            "000010: AB FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF\r"
            "000020: FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF\r");
  EXPECT_EQ(Send("#READ_LOCK 0000\r"), "FF D9 E4 3F\r");
  EXPECT_EQ(Send("#LOCK_WR 0C\r"), "LOCK_WR OK\r");
  EXPECT_EQ(Send("\n#READ_LOCK 0000\r"), "FF D9 E4 0C\r");
  EXPECT_EQ(Send("#ST\r"), "ST OK\r");
  EXPECT_EQ(Send("#WHAT\r"), "ERROR\r");
  // At another rate nothing is understood.
  EXPECT_EQ(Send("#TEST 0000\r", {115200, 8, 0, 0}), "");
  EXPECT_EQ(Send("#JMP_0000\r"), "");
  EXPECT_TRUE(loader.jumped());
  EXPECT_EQ(Send("#TEST 0000\r"), "");
}

TEST_F(BootLoaderSimTest, VanishesOnTheChosenByte) {
  loader.faults().vanish_on_byte = 3;
  Send("#TE");
  EXPECT_TRUE(vanished);
  EXPECT_TRUE(loader.vanished());
  EXPECT_EQ(Send("ST 0000\r"), "");
}

}  // namespace
