// The one-button download through the real Trakmon window under Xvfb (Qt widget set), against
// the tracker simulator tool on a pseudo-terminal, driven by the test-only driver: a complete
// download split into day files, then one whose dump the device cuts off, which leaves every
// file as the first one made it. Pictures of both are kept under the build folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "driven_trakmon.h"
#include "sim/tool_process.h"
#include "sim/track_memory.h"
#include "test_support/files.h"

namespace fs = std::filesystem;

namespace {

TEST(TrackWindowSession, CompleteThenCutDownloadThroughTheWindow) {
  if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  const DrivenTrakmon trakmon("track_window");
  std::ofstream(trakmon.folder() / "Trakmon.INI")
      << "[Port]\nCOMM_PORT_NMEA=0\nBAUD_RATE_NMEA=115200\n";
  const fs::path work = trakmon.prefix() / "drive_c" / "Tc" / "WorkDir";
  fs::create_directories(work);
  sim::TrackPlan plan;
  plan.days = 2;
  plan.first_second = 9 * 3600;
  plan.end_second = 10 * 3600;
  const fs::path track = trakmon.folder() / "track.txt";
  std::ofstream(track, std::ios::binary) << sim::GenerateTrack(plan).text;

  // One run of the program against the tool with `faults`, playing `steps`.
  auto run = [&](const std::vector<std::string>& faults, const std::string& steps) {
    std::vector<std::string> args = {
        "--prefix", trakmon.prefix().string(), "--com", "1", "--track-text", track.string()};
    for (const std::string& f : faults) args.insert(args.end(), {"--fault", f});
    sim::ToolProcess tool(TRACKER_SIM_TOOL, args);
    EXPECT_FALSE(tool.ReadLine().empty());
    return trakmon.Drive(
        "click SBOpenComPort\n"
        "wait ML_Form   Open COMM PORT_1  Baud Rate 115200\n"
        "click track_panel\n"
        "click AutuRead\n" +
        steps + DrivenTrakmon::kCloseAndExit);
  };

  const fs::path complete_shot = trakmon.folder() / "complete.png";
  const auto complete = run({},
                            "answer Да\n"
                            "answer ОК\n"
                            "answer Отмена\n"
                            "shot ML_Form " +
                                complete_shot.string() + "\n");
  if (complete.skipped) GTEST_SKIP() << complete.output;
  ASSERT_EQ(complete.exit_code, 0) << complete.output;
  EXPECT_NE(complete.output.find("answer ОК to \"Файлы сохранены в папке c:\\Tc\\WorkDir\\ID= "
                                 "A001AA\\\""),
            std::string::npos)
      << complete.output;
  ASSERT_TRUE(fs::exists(work / "ID= A001AA" / "Date 08-12-2026_TC.txt"));
  const auto before = test_support::FolderFiles(work);

  const fs::path cut_shot = trakmon.folder() / "cut.png";
  const auto cut = run({"cut=5000"},
                       "answer ОК\n"
                       "shot box " +
                           cut_shot.string() +
                           "\n"
                           "answer ОК\n");
  ASSERT_EQ(cut.exit_code, 0) << cut.output;
  EXPECT_NE(cut.output.find("answer ОК to \"Time Out\""), std::string::npos) << cut.output;
  EXPECT_NE(cut.output.find("answer ОК to \"Чтение не завершено: получено 4999 байт из "),
            std::string::npos)
      << cut.output;
  EXPECT_EQ(cut.output.find("Разделить"), std::string::npos) << cut.output;
  auto after = test_support::FolderFiles(work);
  EXPECT_EQ(after.erase("gps_msg_incomplete.txt"), 1u);
  EXPECT_TRUE(after == before);

  for (const auto& [shot, name] : {std::pair{complete_shot, "Trakmon_download.png"},
                                   std::pair{cut_shot, "Trakmon_download_cut.png"}}) {
    ASSERT_TRUE(fs::exists(shot)) << cut.output;
    EXPECT_GT(fs::file_size(shot), 2'000u);
    x_server::KeepPicture(shot, SCREENSHOT_DIR, name);
  }
}

}  // namespace
