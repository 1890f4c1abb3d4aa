// The real Trakmon program under Xvfb with the Qt widget set, against the tracker simulator tool
// on a pseudo-terminal as COM1, driven through its window by the test-only driver (loaded with
// LD_PRELOAD): connect, state query with the rate fallback, erase, disconnect, exit. A picture of
// the filled state box is kept under the build folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "driven_trakmon.h"

namespace fs = std::filesystem;

namespace {

TEST(TrakmonWindowSession, ConnectStateEraseDisconnectThroughTheWindow) {
  if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  const DrivenTrakmon trakmon("trakmon_window");
  const fs::path sim_log = trakmon.folder() / "sim.log";
  sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", trakmon.prefix().string(), "--com", "1",
                                           "--baud", "115200", "--log", sim_log.string()});
  ASSERT_FALSE(tool.ReadLine().empty());

  // No INI: the first query goes out at 921600, the device answers at 115200.
  const fs::path shot = trakmon.folder() / "state.png";
  std::ostringstream steps;
  steps << "click SBOpenComPort\n"
           "wait ML_Form   Open COMM PORT_1  Baud Rate 921600\n"
           "click SBMode\n"
           "wait Label23 Номер прибора-> ID= A001AA\n"
           "wait ML_Form   Open COMM PORT_1  Baud Rate 115200\n"
           "wait Label17 Свобдная память = 2112(kB)\n"
           "shot ML_Form "
        << shot.string()
        << "\n"
           "click SBCHErase\n"
           "answer ОК\n"
        << DrivenTrakmon::kCloseAndExit;

  const auto run = trakmon.Drive(steps.str());
  const std::string& output = run.output;
  if (run.skipped) GTEST_SKIP() << output;
  ASSERT_EQ(run.exit_code, 0) << output;
  EXPECT_NE(output.find("step 9: answer ОК to \"Память будет стерта ?\""), std::string::npos)
      << output;
  EXPECT_NE(output.find("step 12: click SBAllExit"), std::string::npos) << output;

  // What the device saw: the state query at both rates, then the erase.
  EXPECT_EQ(tool.Stop(), 0);
  const std::string log = FileBytes(sim_log);
  EXPECT_NE(log.find("RX 65 921600 8N1 garbled"), std::string::npos) << log;
  EXPECT_NE(log.find("RX 65 115200 8N1\n"), std::string::npos) << log;
  EXPECT_NE(log.find("RX 5A 115200 8N1\n"), std::string::npos) << log;
  // The exit wrote the rate that answered.
  EXPECT_NE(FileBytes(trakmon.folder() / "Trakmon.INI").find("BAUD_RATE_NMEA=115200"),
            std::string::npos);

  ASSERT_TRUE(fs::exists(shot)) << output;
  EXPECT_GT(fs::file_size(shot), 10'000u);
  x_server::KeepPicture(shot, SCREENSHOT_DIR, "Trakmon_state.png");
}

}  // namespace
