// The real Trakmon program under Xvfb with the Qt widget set, against the tracker simulator tool
// on a pseudo-terminal as COM1, driven through its window by the test-only driver (loaded with
// LD_PRELOAD): connect, state query with the rate fallback, erase, disconnect, exit. A picture of
// the filled state box is kept under the build folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "child_processes.h"

namespace fs = std::filesystem;

namespace {

TEST(TrakmonWindowSession, ConnectStateEraseDisconnectThroughTheWindow) {
#if !defined(TRAKMON_BINARY) || !defined(WINDOW_DRIVER)
  GTEST_SKIP() << "Trakmon is built only with the Qt widget set";
#else
  TempFolder folder("trakmon_window");
  const fs::path program = folder.path() / "Trakmon";
  fs::copy_file(TRAKMON_BINARY, program);
  const fs::path prefix = folder.path() / "prefix";
  fs::create_directories(prefix);
  const fs::path sim_log = folder.path() / "sim.log";
  SimToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", prefix.string(), "--com", "1", "--baud",
                                         "115200", "--log", sim_log.string()});
  ASSERT_FALSE(tool.WaitReady().empty());

  // No INI: the first query goes out at 921600, the device answers at 115200.
  const fs::path shot = folder.path() / "state.png";
  const fs::path script = folder.path() / "script.txt";
  std::ofstream(script) << "click SBOpenComPort\n"
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
                           "click SBCloseComPort\n"
                           "wait ML_Form   Close COMM PORT_1\n"
                           "click SBAllExit\n";

  // The driver is loaded first; a sanitized program must then not insist on its runtime coming
  // first in the library list.
  std::string asan_options = "verify_asan_link_order=0";
  if (const char* given = std::getenv("ASAN_OPTIONS")) asan_options = given + (":" + asan_options);
  const std::string command = "cd " + Quoted(folder.path()) +
                              " && TRAKMON_PREFIX=" + Quoted(prefix) + " timeout 120 " +
                              Quoted(RUN_WITH_X) + " env ASAN_OPTIONS=" + Quoted(asan_options) +
                              " LD_PRELOAD=" + Quoted(WINDOW_DRIVER) +
                              " TRAKMON_TEST_DRIVE=" + Quoted(script) + " " + Quoted(program) +
                              " > " + Quoted(folder.path() / "out.txt") + " 2>&1";
  int status = std::system(command.c_str());
  const std::string output = ReadFile(folder.path() / "out.txt");
  ASSERT_TRUE(WIFEXITED(status)) << output;
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << output;
  ASSERT_EQ(WEXITSTATUS(status), 0) << output;
  EXPECT_NE(output.find("step 9: answer ОК to \"Память будет стерта ?\""), std::string::npos)
      << output;
  EXPECT_NE(output.find("step 12: click SBAllExit"), std::string::npos) << output;

  // What the device saw: the state query at both rates, then the erase.
  EXPECT_TRUE(tool.Stop());
  const std::string log = ReadFile(sim_log);
  EXPECT_NE(log.find("RX 65 921600 8N1 garbled"), std::string::npos) << log;
  EXPECT_NE(log.find("RX 65 115200 8N1\n"), std::string::npos) << log;
  EXPECT_NE(log.find("RX 5A 115200 8N1\n"), std::string::npos) << log;
  // The exit wrote the rate that answered.
  EXPECT_NE(ReadFile(folder.path() / "Trakmon.INI").find("BAUD_RATE_NMEA=115200"),
            std::string::npos);

  ASSERT_TRUE(fs::exists(shot)) << output;
  EXPECT_GT(fs::file_size(shot), 10'000u);
  const fs::path kept = fs::path(SCREENSHOT_DIR) / "Trakmon_state.png";
  fs::create_directories(kept.parent_path());
  fs::copy_file(shot, kept, fs::copy_options::overwrite_existing);
  std::cout << "screenshot: " << kept.string() << "\n";
#endif
}

}  // namespace
