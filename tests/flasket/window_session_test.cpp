// The real Flasket program under Xvfb with the Qt widget set, driven through its window by the
// test-only driver (loaded with LD_PRELOAD) against the simulator tool's boot loader on a
// pseudo-terminal as COM3: two HEX files joined into one are refused with the message on screen,
// then a good one is opened, the port picked and connected, the image written (a command
// pressed during the write is refused with a box and the write goes on), the port
// disconnected and the window closed. The tool's flash must then hold the image; pictures of the
// refusal and of the window after the write are kept under the build folder.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driven_program.h"
#include "sim/intel_hex.h"
#include "sim/tool_process.h"
#include "test_support/files.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using test_support::FileBytes;

TEST(FlasketWindowSession, OpenConnectWriteAllThroughTheWindow) {
#if !defined(FLASKET_BINARY) || !defined(WINDOW_DRIVER)
  GTEST_SKIP() << "Flasket is built only with the Qt widget set";
#else
  test_support::TempDir folder("flasket_window");
  const fs::path prefix = folder.path() / "prefix";
  fs::create_directories(prefix);
  const fs::path flash_file = folder.path() / "flash.bin";
  const fs::path sim_log = folder.path() / "sim.log";

  // 49 blocks, the last one partly filled: the write lasts a few seconds, long enough for a
  // button pressed during it.
  std::vector<std::uint8_t> image(0x3034);
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(i * 29 + (i >> 8) + 5);
  const fs::path hex = folder.path() / "firmware.hex";
  std::ofstream(hex, std::ios::binary) << sim::MakeIntelHex(image);
  const int blocks = static_cast<int>((image.size() - 1) / 256 + 1);
  // The same file with a boot loader's file joined after it: the second part would not be
  // written, so the file is refused at the first record after the end record.
  const std::vector<std::uint8_t> boot(0x40, 0x5A);
  const std::string joined_boot = sim::MakeIntelHex(boot, 16, 0xF000);
  const std::string first_boot_line = joined_boot.substr(0, joined_boot.find('\r'));
  const int joined_line = static_cast<int>((image.size() + 15) / 16) + 2;
  const fs::path bad_hex = folder.path() / "joined.hex";
  std::ofstream(bad_hex, std::ios::binary) << sim::MakeIntelHex(image) + joined_boot;

  sim::ToolProcess tool(TRACKER_SIM_TOOL,
                        {"--prefix", prefix.string(), "--com", "3", "--start", "boot-loader",
                         "--flash", flash_file.string(), "--log", sim_log.string()});
  ASSERT_FALSE(tool.ReadLine().empty());

  const fs::path shot = folder.path() / "write.png";
  const fs::path refused_shot = folder.path() / "refused.png";
  const fs::path busy_shot = folder.path() / "busy.png";
  const std::string refusal =
      "Data after the end record in line " + std::to_string(joined_line) + ": " + first_boot_line;
  const std::string blocks_text = std::to_string(blocks);
  const std::vector<std::string> steps = {
      "click sb_open_files",
      "file " + bad_hex.string(),
      "shot box " + refused_shot.string(),
      "answer ОК",
      "click sb_open_files",
      "file " + hex.string(),
      "wait Label1 Rec Count = " + std::to_string((image.size() + 15) / 16 + 1),
      // The machine's own ports may be listed before the tool's.
      "pick ComboBox1 COM3",
      "click sb_connect",
      "wait FormProg   Comm Port ( \\\\.\\COM3 ) Open",
      "pick PageControl1  Write Mem.",
      "click sb_write_all",
      // A device command during the write is refused with a box; the write goes on meanwhile.
      "wait Label11 Mode = 1",
      "pick PageControl1 Dump Mem",
      "click sb_dump",
      "shot box " + busy_shot.string(),
      "answer ОК",
      "wait Label4 Block = " + blocks_text,
      "wait Label11 Mode = 0",
      "wait prog_b1 " + blocks_text + "/" + blocks_text,
      "shot FormProg " + shot.string(),
      "click sb_disconnect",
      "wait FormProg   Comm Port ( COM3 ) Close",
      "close FormProg",
  };
  const fs::path script = folder.path() / "script.txt";
  {
    std::ofstream out(script);
    for (const std::string& step : steps) out << step << '\n';
  }

  const auto run =
      x_server::RunDriven(RUN_WITH_X, WINDOW_DRIVER, folder.path(), prefix, FLASKET_BINARY, script);
  const std::string& output = run.output;
  if (run.skipped) GTEST_SKIP() << output;
  // A box on the way (a CRC error, a silent boot loader) stops the script with exit code 3.
  const std::string exchange = FileBytes(sim_log);
  ASSERT_EQ(run.exit_code, 0) << output << "the tool's log ends with:\n"
                              << exchange.substr(exchange.size() -
                                                 std::min<std::size_t>(exchange.size(), 3000));
  EXPECT_NE(output.find("step " + std::to_string(steps.size()) + ": close FormProg"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("step 3: shot box \"" + refusal + "\" saved"), std::string::npos) << output;
  EXPECT_NE(output.find("step 4: answer ОК to \"" + refusal + "\""), std::string::npos) << output;
  EXPECT_NE(output.find(": answer ОК to \"Write In Progress... Wait For Its End\""),
            std::string::npos)
      << output;

  // The tool writes its flash when it stops.
  ASSERT_EQ(tool.Stop(SIGTERM), 0);
  const std::string flash = FileBytes(flash_file);
  ASSERT_GE(flash.size(), static_cast<std::size_t>(blocks) * 256);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin(),
                         [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
  // The rest of the last block is the blank image's.
  EXPECT_TRUE(std::all_of(flash.begin() + static_cast<std::ptrdiff_t>(image.size()),
                          flash.begin() + blocks * 256,
                          [](char b) { return static_cast<std::uint8_t>(b) == 0xFF; }));

  for (const fs::path& picture : {refused_shot, busy_shot, shot}) {
    ASSERT_TRUE(fs::exists(picture)) << output;
    EXPECT_GT(fs::file_size(picture), 10'000u);
  }
  x_server::KeepPicture(refused_shot, SCREENSHOT_DIR, "Flasket_refused.png");
  x_server::KeepPicture(busy_shot, SCREENSHOT_DIR, "Flasket_write_in_progress.png");
  x_server::KeepPicture(shot, SCREENSHOT_DIR, "Flasket_write.png");
#endif
}

}  // namespace
