// The real Trakmon under Xvfb can always be closed. The end of the desktop session (SIGTERM) with
// the port open closes the window as its title bar does and writes the settings, a rate changed by
// the state query's fallback among them. With an INI file that cannot be written (its path is a
// folder, which not even root can replace with a file) the title-bar close shows the error once
// and the program ends; at the session's end the error goes to the session's log instead of a box
// no one is left to answer. Where the machine allows a mount namespace, the program folder is
// also made read-only for real.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "driven_trakmon.h"

namespace fs = std::filesystem;

namespace {

class TrakmonCloseSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  }

  void MakeIniUnwritable() { fs::create_directory(ini); }

  const DrivenTrakmon trakmon{"trakmon_close"};
  const fs::path& folder = trakmon.folder();
  const fs::path& prefix = trakmon.prefix();
  const fs::path ini = folder / "Trakmon.INI";
};

constexpr const char* kMainWindowShown = "wait ML_Form Настройка параметров прибора\n";

TEST_F(TrakmonCloseSession, SessionEndWithThePortOpenWritesTheSettings) {
  const fs::path sim_log = folder / "sim.log";
  sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", prefix.string(), "--com", "1", "--baud",
                                           "115200", "--log", sim_log.string()});
  ASSERT_FALSE(tool.ReadLine().empty());
  // No INI: the query goes out at 921600 and the fallback finds the device at 115200.
  const auto run = trakmon.Drive(
      "click SBOpenComPort\n"
      "wait ML_Form   Open COMM PORT_1  Baud Rate 921600\n"
      "click SBMode\n"
      "wait ML_Form   Open COMM PORT_1  Baud Rate 115200\n"
      "wait Label23 Номер прибора-> ID= A001AA\n"
      "signal TERM\n",
      120);
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("step 6: signal TERM"), std::string::npos) << run.output;
  const std::string settings = FileBytes(ini);
  for (const char* key :
       {"COMM_PORT_NMEA=0", "BAUD_RATE_NMEA=115200", "work_dir=c:\\Tc\\WorkDir\\", "ser_ini=0"})
    EXPECT_NE(settings.find(key), std::string::npos) << key << " missing in\n" << settings;
  EXPECT_EQ(tool.Stop(), 0);
}

TEST_F(TrakmonCloseSession, UnwritableIniIsReportedOnceAndTheProgramEnds) {
  MakeIniUnwritable();
  // Were the error to come back at every close, the program would stay until the run is cut.
  const auto run = trakmon.Drive(std::string(kMainWindowShown) +
                                     "close ML_Form\n"
                                     "answer ОК\n",
                                 60);
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("step 3: answer ОК to \"Unable to write to"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Trakmon.INI"), std::string::npos) << run.output;
  EXPECT_TRUE(fs::is_directory(ini));
}

// The program folder read-only, as after an install into a system folder: a mount namespace of
// the run's own mounts the folder over itself read-only (where the machine allows it).
TEST_F(TrakmonCloseSession, ReadOnlyProgramFolderKeepsItsIniAndTheProgramEnds) {
  if (std::system("unshare -rm true >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no mount namespace of its own can be had here";
  const std::string settings = "[Port]\r\nCOMM_PORT_NMEA=2\r\n[Ser]\r\nser_ini=1\r\n";
  std::ofstream(ini, std::ios::binary) << settings;
  const std::string read_only =
      "unshare -rm sh -c 'mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && "
      "cd \"$0\" && exec \"$@\"' " +
      Quoted(folder);
  const auto run = trakmon.Drive(std::string(kMainWindowShown) +
                                     "close ML_Form\n"
                                     "answer ОК\n",
                                 60, read_only);
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("step 3: answer ОК to \"Unable to write to"), std::string::npos)
      << run.output;
  EXPECT_EQ(FileBytes(ini), settings);
}

TEST_F(TrakmonCloseSession, SessionEndWithAnUnwritableIniLogsTheErrorAndEnds) {
  MakeIniUnwritable();
  const auto run = trakmon.Drive(std::string(kMainWindowShown) + "signal TERM\n", 60);
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("the session ends; answered \"Unable to write to"), std::string::npos)
      << run.output;
}

}  // namespace
