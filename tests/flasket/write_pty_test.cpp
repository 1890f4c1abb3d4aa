// End to end over a pseudo-terminal: the loader window (headless) writes a HEX file to the
// simulator tool, which the tracker hands over to its boot loader; the tool's flash is then the
// image. A write that goes wrong (a wrong CRC, a device that vanishes) ends saying so. Real time,
// bounded waits.
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
