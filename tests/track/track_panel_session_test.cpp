// The download panel through the real Trakmon window under Xvfb (Qt widget set), against the
// tracker simulator tool on a pseudo-terminal, driven by the test-only driver: the first
// download from a fresh prefix with its progress in view and its pictures; Cancel in the day
// split's folder choice; the longest settings the program's writes accept, then a download;
// the hand-over's Flasket opening its file dialog in the working folder. Pictures are kept under
// the build folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "driven_trakmon.h"
#include "sim/tool_process.h"
#include "sim/track_memory.h"
#include "test_support/files.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kConnect =
    "click SBOpenComPort\n"
    "wait ML_Form   Open COMM PORT_1  Baud Rate 115200\n";
// The one-button download answered Yes to the split, then Cancel to the save question.
constexpr const char* kDownloadSplit =
    "click track_panel\n"
    "click AutuRead\n"
    "answer Да\n"
    "answer ОК\n"
    "answer Отмена\n";

// A Trakmon of the test's own at 115200 baud on COM1, and the simulator tool serving COM1 with
// a track of two days (09:00 to 10:00), or the tool's own longer track of `days` days.
class TrackPanelSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
    std::ofstream(trakmon.folder() / "Trakmon.INI")
        << "[Port]\nCOMM_PORT_NMEA=0\nBAUD_RATE_NMEA=115200\n";
  }
  void StartTool(int days = 0) {
    std::vector<std::string> args = {"--prefix", trakmon.prefix().string(), "--com", "1"};
    if (days > 0) {
      args.insert(args.end(), {"--track", std::to_string(days)});
    } else {
      sim::TrackPlan plan;
      plan.days = 2;
      plan.first_second = 9 * 3600;
      plan.end_second = 10 * 3600;
      const fs::path track = trakmon.folder() / "track.txt";
      std::ofstream(track, std::ios::binary) << sim::GenerateTrack(plan).text;
      args.insert(args.end(), {"--track-text", track.string()});
    }
    tool = std::make_unique<sim::ToolProcess>(TRACKER_SIM_TOOL, args);
    ASSERT_FALSE(tool->ReadLine().empty());
  }
  fs::path Work() const { return trakmon.prefix() / "drive_c" / "Tc" / "WorkDir"; }
  fs::path Shot(const std::string& name) const { return trakmon.folder() / name; }
  // The day files of a folder, by name.
  static std::map<std::string, std::string> DayFiles(const fs::path& folder) {
    std::map<std::string, std::string> days;
    for (const auto& [name, bytes] : test_support::FolderFiles(folder))
      if (name.rfind("Date ", 0) == 0) days[name] = bytes;
    return days;
  }
  static void Keep(const fs::path& shot, const std::string& name) {
    ASSERT_TRUE(fs::exists(shot)) << shot;
    EXPECT_GT(fs::file_size(shot), 2'000u);
    x_server::KeepPicture(shot, SCREENSHOT_DIR, name);
  }

  const DrivenTrakmon trakmon{"track_panel"};
  std::unique_ptr<sim::ToolProcess> tool;
};

// No folder made by hand: the program makes its working folder. The dump's progress is in view
// half way (the state probe's box lies beneath), and one choice of the menu item brings the
// panel back over the state box afterwards.
TEST_F(TrackPanelSession, FirstDownloadFromAFreshPrefixShowsItsProgress) {
  ASSERT_TRUE(fs::is_empty(trakmon.prefix()));
  StartTool(3);
  const auto run =
      trakmon.Drive(std::string(kConnect) +
                    "click track_panel\n"
                    "in-view Panel4\n"
                    "shot Panel4 " +
                    Shot("panel.png").string() + "\nduring PBar1 50 " + Shot("half.png").string() +
                    "\n"
                    "click AutuRead\n"
                    "answer Да\n"
                    "answer ОК\n"
                    "answer Отмена\n"
                    "click SBMode\n"
                    "hidden Panel4\n"
                    "click track_panel\n"
                    "in-view Panel4\n"
                    "shot ML_Form " +
                    Shot("after.png").string() + "\n" + DrivenTrakmon::kCloseAndExit);
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  const std::size_t at = run.output.find("during PBar1: ");
  ASSERT_NE(at, std::string::npos) << run.output;
  int position = -1, maximum = -1;
  ASSERT_EQ(std::sscanf(run.output.c_str() + at, "during PBar1: %d/%d", &position, &maximum), 2);
  EXPECT_GT(position, 0);
  EXPECT_LT(position, maximum);
  EXPECT_EQ(run.output.compare(run.output.find(' ', at + 14) + 1, 7, "in view"), 0)
      << run.output.substr(at, 80);
  EXPECT_NE(
      run.output.find("answer ОК to \"Файлы сохранены в папке c:\\Tc\\WorkDir\\ID= A001AA\\\""),
      std::string::npos)
      << run.output;
  EXPECT_EQ(DayFiles(Work() / "ID= A001AA").size(), 3u);
  Keep(Shot("panel.png"), "Trakmon_download_panel.png");
  Keep(Shot("half.png"), "Trakmon_download_half_way.png");
  Keep(Shot("after.png"), "Trakmon_download_panel_after.png");
}

// A download of vehicle A, then the conversion of another vehicle's log of the same days with
// Cancel in the split's folder choice: A's day files stay byte for byte, nothing says saved.
TEST_F(TrackPanelSession, CancelInTheSplitsFolderChoiceKeepsTheDayFiles) {
  StartTool();
  const auto first =
      trakmon.Drive(std::string(kConnect) + kDownloadSplit + DrivenTrakmon::kCloseAndExit);
  if (first.skipped) GTEST_SKIP() << first.output;
  ASSERT_EQ(first.exit_code, 0) << first.output;
  const fs::path vehicle = Work() / "ID= A001AA";
  const auto before = DayFiles(vehicle);
  ASSERT_EQ(before.size(), 2u);

  sim::TrackPlan other;
  other.days = 2;
  other.first_second = 11 * 3600;
  other.end_second = 12 * 3600;
  const fs::path log = Work() / "gps_other.txt";
  std::ofstream(log, std::ios::binary) << "x\n" << sim::GenerateTrack(other).text;
  const auto run = trakmon.Drive(std::string(kConnect) + kDownloadSplit +
                                 "click SBConversion\n"
                                 "file " +
                                 log.string() +
                                 "\n"
                                 "answer Да\n"
                                 "answer Отмена\n"
                                 "shot ML_Form " +
                                 Shot("cancel.png").string() + "\n" + DrivenTrakmon::kCloseAndExit);
  ASSERT_EQ(run.exit_code, 0) << run.output;
  const std::size_t cancel =
      run.output.find("answer Отмена", run.output.find("click SBConversion"));
  ASSERT_NE(cancel, std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Файлы сохранены", cancel), std::string::npos) << run.output;
  EXPECT_TRUE(DayFiles(vehicle) == before);
  EXPECT_TRUE(DayFiles(trakmon.folder()).empty());
  Keep(Shot("cancel.png"), "Trakmon_split_cancelled.png");
}

// The longest values that the program's own writes accept (the server address and port as
// long as their fields in the state line, a vehicle number of 15 characters): the state query
// shows them, and a download files the track under that number.
TEST_F(TrackPanelSession, LongestSettingsThenStateAndDownload) {
  StartTool();
  const std::string address = "gps-monitoring.transport-co.ru1";
  const std::string port = std::string(46, '9') + "02020";
  const std::string number = "A123BC777RUS199";
  const auto run = trakmon.Drive(
      std::string(kConnect) + "click sb_apn_panel_on\ntype ip_box " + address +
      "\nclick sb_write_ip\ntype edit_write_portip " + port +
      "\nclick write_portip\nclick SpeedButton10\ntype SrEdit " + number +
      "\nclick OK_SERIAL\nclick SBMode\nwait Label43 IP Сервера-> " + address +
      "\nwait Label13 Порт сервера-> " + port + "\nwait Label23 Номер прибора-> ID= " + number +
      "\nshot ML_Form " + Shot("state.png").string() + "\n" + kDownloadSplit +
      DrivenTrakmon::kCloseAndExit);
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(run.output.find("Error Status String"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find(
                "answer ОК to \"Файлы сохранены в папке c:\\Tc\\WorkDir\\ID= " + number + "\\\""),
            std::string::npos)
      << run.output;
  EXPECT_EQ(DayFiles(Work() / ("ID= " + number)).size(), 2u);
  Keep(Shot("state.png"), "Trakmon_state_longest_settings.png");
}

// After the save question made the vehicle folder current, the hand-over's Flasket opens its
// file dialog in the working folder, where the firmware is kept.
TEST_F(TrackPanelSession, HandOversFlasketOpensItsDialogInTheWorkingFolder) {
#if !defined(FLASKET_BINARY)
  GTEST_SKIP() << "Flasket is built only with the Qt widget set";
#else
  StartTool();
  fs::create_directories(Work());
  fs::create_symlink(FLASKET_BINARY, Work() / "Flasket");
  const fs::path flasket_done = Shot("flasket.png");
  const fs::path child = trakmon.folder() / "flasket_script.txt";
  std::ofstream(child) << "click sb_open_files\n"
                          "folder\n"
                          "answer Отмена\n"
                          "answer ОК\n"
                          "shot FormProg "
                       << flasket_done.string() << "\nclose FormProg\n";
  const auto run = trakmon.Drive(std::string(kConnect) +
                                     "click track_panel\n"
                                     "click AutuRead\n"
                                     "answer Нет\n"
                                     "answer ОК\n"
                                     "click sb_jmp_boot\n"
                                     "wait ML_Form   Close COMM PORT_1\n"
                                     "wait-file " +
                                     flasket_done.string() + "\nclick SBAllExit\n",
                                 120, "env TRAKMON_TEST_DRIVE_CHILD=" + child.string());
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_TRUE(fs::is_directory(Work() / "ID= A001AA"));
  const std::size_t folder = run.output.find("child step 2: folder of ");
  ASSERT_NE(folder, std::string::npos) << run.output;
  const std::string line = run.output.substr(folder, run.output.find('\n', folder) - folder);
  const std::string shown = line.substr(line.rfind("\": ") + 3);
  EXPECT_EQ(shown, fs::canonical(Work()).string()) << line;
  Keep(flasket_done, "Flasket_from_hand_over.png");
#endif
}

}  // namespace
