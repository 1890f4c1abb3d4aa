// The sensor panel and the modem window of the real Trakmon under Xvfb, driven through its window
// by the test-only driver against the simulator tool on a pseudo-terminal as COM1: connect, show
// the RS-485 box, read the level and the temperature, type a calibration table into the grid,
// write it, read it back, then show the modem window with the phone book loaded, disconnect and
// exit. Pictures of both windows are kept under the build folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "driven_trakmon.h"

namespace fs = std::filesystem;

namespace {

// Codes of the typed table, none with a byte that a table reply cannot carry intact ("#" is
// removed by the reader, "$" ends the reply).
int CleanCode(int code) {
  auto clean = [](int byte) { return byte != '#' && byte != '$'; };
  while (!clean(code & 0xFF) || !clean(code >> 8 & 0xFF)) ++code;
  return code;
}
int InputCode(int row) {
  return CleanCode(100 + 37 * row);
}
int OutputCode(int row) {
  return CleanCode(row * row);
}

// Steps on every row of the grid's table, `verb` taking the cell and its code; from the last row
// up, so that the grid ends scrolled to its top, as its picture shows it.
std::string TableSteps(const std::string& verb, int last_row) {
  std::ostringstream steps;
  for (int row = last_row; row >= 1; --row)
    steps << verb << " StringGrid1[1," << row << "] " << InputCode(row) << "\n"
          << verb << " StringGrid1[2," << row << "] " << OutputCode(row) << "\n";
  return steps.str();
}

TEST(TrakmonSensorSession, LevelTemperatureAndTableThenTheModemWindow) {
  if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  const DrivenTrakmon trakmon("trakmon_sensor");
  const fs::path work = trakmon.folder() / "work";
  fs::create_directories(work);
  // The program keeps its INI beside itself: the simulator's rate, and the working folder that
  // holds the modem window's phone book.
  std::ofstream(trakmon.folder() / "Trakmon.INI", std::ios::binary)
      << "[Port]\r\nCOMM_PORT_NMEA=0\r\nBAUD_RATE_NMEA=115200\r\n[Catalog]\r\nwork_dir="
      << work.string() << "/\r\n";
  std::ofstream(work / "phone.txt", std::ios::binary)
      << "petrov 111\r\nivanov 222\r\nsidorov 333\r\n";
  const fs::path sim_log = trakmon.folder() / "sim.log";
  sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", trakmon.prefix().string(), "--com", "1",
                                           "--log", sim_log.string()});
  ASSERT_FALSE(tool.ReadLine().empty());

  const fs::path calibration = trakmon.folder() / "calibration.png";
  const fs::path modem = trakmon.folder() / "modem.png";
  std::ostringstream steps;
  steps << "click SBOpenComPort\n"
           "wait ML_Form   Open COMM PORT_1  Baud Rate 115200\n"
           "click SpeedButton12\n"
           "shown RS485\n"
           "click SpeedButton14\n"
           "wait Edit8 1024\n"
           "wait Edit11 1024\n"
           "click SpeedButton16\n"
           "wait Edit10 22\n"
        // A table typed into the grid, written, the grid zeroed, and the
        // table read back (its last row, "EXT", is not shown back).
        << TableSteps("type", 30)
        << "click SpeedButton23\n"
           "click SpeedButton12\n"
           "wait StringGrid1[1,5] 0\n"
           "click SpeedButton22\n"
           "wait StringGrid1[0,30] EXT\n"
        << TableSteps("wait", 29) << "shot ML_Form " << calibration.string()
        << "\n"
           // The modem window, with the phone book loaded into its editor.
           "press SpeedButton1\n"
           "shown FormMsg\n"
           "click edit_ph_box\n"
           "count cb_name_user 3\n"
           "wait CBNamber 222\n"
           "shot FormMsg "
        << modem.string()
        << "\n"
           "click SBCloseComPort\n"
           "wait ML_Form   Close COMM PORT_1\n"
           "close FormMsg\n"
           "click SBAllExit\n";

  const auto run = trakmon.Drive(steps.str());
  const std::string& output = run.output;
  if (run.skipped) GTEST_SKIP() << output;
  EXPECT_EQ(tool.Stop(), 0);
  const std::string log = FileBytes(sim_log);
  ASSERT_EQ(run.exit_code, 0) << output << "\nthe simulator saw, at the end:\n"
                              << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
  EXPECT_NE(output.find("click SBAllExit"), std::string::npos) << output;

  for (const auto& [shot, name] :
       {std::pair{calibration, "Trakmon_calibration.png"}, std::pair{modem, "Trakmon_modem.png"}}) {
    ASSERT_TRUE(fs::exists(shot)) << output;
    EXPECT_GT(fs::file_size(shot), 10'000u) << name;
    x_server::KeepPicture(shot, SCREENSHOT_DIR, name);
  }
}

}  // namespace
