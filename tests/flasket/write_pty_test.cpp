// End to end over a pseudo-terminal: the loader window (headless) writes a HEX file to the
// simulator tool, which the tracker hands over to its boot loader; the tool's flash is then the
// image. A write that goes wrong (a wrong CRC, an answer for another block, a device that
// vanishes) ends saying so. Real time, bounded waits.
#include <signal.h>

#include "flasket_fixture.h"
#include "sim/tool_process.h"
#include "test_support/files.h"

namespace flasket_test {
namespace {

class WritePtyTest : public FlasketTest {
 protected:
  // The tool's options beyond its port, flash and log.
  virtual std::vector<std::string> ToolOptions() { return {}; }
  void AttachDevice() override { StartTool(ToolOptions()); }
  void StartTool(std::vector<std::string> options) {
    std::vector<std::string> args{"--prefix", prefix.prefix().string(), "--com", "3",
                                  "--flash",  flash_file.string(),      "--log", log_file.string()};
    args.insert(args.end(), options.begin(), options.end());
    tool = std::make_unique<sim::ToolProcess>(TRACKER_SIM_TOOL, args);
    ASSERT_FALSE(tool->ReadLine().empty());
  }
  std::vector<std::uint8_t> Flash() {
    const std::string bytes = test_support::FileBytes(flash_file);
    return {bytes.begin(), bytes.end()};
  }

  // The tool's record of the exchange, shown when the write fails.
  std::string ToolLog() {
    const std::string text = test_support::FileBytes(log_file);
    return text.size() > 3000 ? text.substr(text.size() - 3000) : text;
  }

  std::filesystem::path flash_file = prefix.scratch() / "flash.bin";
  std::filesystem::path log_file = prefix.scratch() / "tool.log";
  std::unique_ptr<sim::ToolProcess> tool;
};

TEST_F(WritePtyTest, TheTrackerHandsOverAndTheBootLoaderTakesTheImage) {
  const auto data = Firmware(0x1234, 9);
  OpenFirmware(data);
  // The tracker's side first: Trakmon's hand-over byte at the tracker's rate.
  {
    HANDLE h = CreateFileA("\\\\.\\COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(h, &dcb));
    dcb.BaudRate = 115200;
    dcb.ByteSize = 8;
    ASSERT_TRUE(SetCommState(h, &dcb));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, "}", 1, &written, nullptr));
    // The tool reads the line's rate when it takes the byte: wait until it has taken it.
    for (int i = 0; i < 500 && ToolLog().find("RX 7D 115200") == std::string::npos; ++i) Sleep(10);
    CloseHandle(h);
  }
  ASSERT_NE(ToolLog().find("RX 7D 115200"), std::string::npos) << ToolLog();
  Connect();
  ASSERT_TRUE(WriteAll(std::chrono::seconds(30))) << ToolLog();
  EXPECT_TRUE(Messages().empty()) << LastShown();
  EXPECT_EQ(Caption("Label4"), "Block = 19");
  hl::Click(Get("sb_disconnect"));
  ASSERT_EQ(tool->Stop(SIGTERM), 0);
  const auto flash = Flash();
  ASSERT_GE(flash.size(), 19u * 256);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), flash.begin()));
  EXPECT_TRUE(std::all_of(flash.begin() + data.size(), flash.begin() + 19 * 256,
                          [](std::uint8_t b) { return b == 0xFF; }));
}

class CrcFaultPtyTest : public WritePtyTest {
  std::vector<std::string> ToolOptions() override {
    return {"--start", "boot-loader", "--boot-fault", "crc=1"};
  }
};

TEST_F(CrcFaultPtyTest, AWrongCrcIsShownAndTheEndOfTheWriteSaysItFailed) {
  const auto data = Firmware(0x300, 4);
  OpenFirmware(data);
  Connect();
  ASSERT_TRUE(WriteAll(std::chrono::seconds(30))) << ToolLog();
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"CRT Error in 1 Block...",
                                      "Write Failed: CRT Error in Block 1. Repeat Write All..."}))
      << ToolLog();
  EXPECT_EQ(Caption("Label4"), "Block = 4");
  EXPECT_FALSE(SuccessBeeped());
}

// The boot loader's answers that confirm another block than the one sent, or confirm it twice,
// or carry a stray byte before the CRC.
struct AnswerCase {
  const char* name;
  std::vector<std::string> faults;
  std::vector<std::string> messages;  // none: the write went well
};

class AnswerPtyTest : public WritePtyTest, public ::testing::WithParamInterface<AnswerCase> {
  std::vector<std::string> ToolOptions() override {
    std::vector<std::string> options{"--start", "boot-loader"};
    for (const std::string& fault : GetParam().faults) {
      options.push_back("--boot-fault");
      options.push_back(fault);
    }
    return options;
  }
};

TEST_P(AnswerPtyTest, AnAnswerConfirmsOnlyTheBlockItNames) {
  const AnswerCase& c = GetParam();
  const auto data = Firmware(0x300, 6);
  OpenFirmware(data);
  Connect();
  ASSERT_TRUE(WriteAll(std::chrono::seconds(30))) << ToolLog();
  EXPECT_EQ(Messages(), c.messages) << ToolLog();
  EXPECT_EQ(Caption("Label4"), "Block = 4");
  EXPECT_EQ(Caption("Label11"), "Mode = 0");
  EXPECT_EQ(SuccessBeeped(), c.messages.empty());
  hl::Click(Get("sb_disconnect"));
  ASSERT_EQ(tool->Stop(SIGTERM), 0);
  if (!c.messages.empty()) return;
  const auto flash = Flash();
  ASSERT_GE(flash.size(), data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), flash.begin()));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AnswerPtyTest,
    ::testing::Values(AnswerCase{"AnotherBlocksNumber",
                                 {"wrong-number=1"},
                                 {"Block 1 Not Confirmed: Answer For Block 2...",
                                  "Write Failed: Block 1 Not Confirmed. Repeat Write All..."}},
                      AnswerCase{"ARepeatedAnswer", {"repeat=0"}, {}},
                      AnswerCase{"ARepeatedAnswerThenAWrongCrc",
                                 {"repeat=0", "crc=2"},
                                 {"CRT Error in 2 Block...",
                                  "Write Failed: CRT Error in Block 2. Repeat Write All..."}},
                      AnswerCase{"AStrayByteBeforeTheCrc", {"stray=3E"}, {}}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

class VanishPtyTest : public WritePtyTest {
  std::vector<std::string> ToolOptions() override {
    return {"--start", "boot-loader", "--boot-fault", "vanish=" + std::to_string(kByteOfBlock1)};
  }
};

TEST_F(VanishPtyTest, AVanishedDeviceEndsTheWriteAndTheConnectionAndCanBeConnectedAgain) {
  const auto data = Firmware(0x500, 5);
  OpenFirmware(data);
  Connect();
  Press("sb_write_all");
  ASSERT_TRUE(Until([&] { return form->connected == 0; }, std::chrono::seconds(20))) << ToolLog();
  ExpectVanishedInBlock1();
  ASSERT_EQ(tool->Stop(SIGTERM), 0);

  // The device is back on COM3: connect again and write the whole image.
  StartTool({"--start", "boot-loader"});
  Connect();
  ASSERT_TRUE(WriteAll(std::chrono::seconds(30))) << ToolLog();
  EXPECT_EQ(Caption("Label4"), "Block = 6");
  EXPECT_TRUE(SuccessBeeped());
  hl::Click(Get("sb_disconnect"));
  ASSERT_EQ(tool->Stop(SIGTERM), 0);
  const auto flash = Flash();
  ASSERT_GE(flash.size(), data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), flash.begin()));
}

}  // namespace
}  // namespace flasket_test
