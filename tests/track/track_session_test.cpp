// The download through the real Trakmon window under Xvfb (Qt widget set), against the tracker
// simulator tool on a pseudo-terminal, driven by the test-only driver: a complete one-button
// download split into day files, then one whose dump the device cuts off, which leaves every
// file as the first one made it; a full memory at 921600 baud, every record of it in the files;
// and a device too slow to wait for, whose dump the title bar's close and the session's end
// each end at once. Pictures are kept under the build folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "driven_trakmon.h"
#include "sim/tool_process.h"
#include "sim/track_memory.h"
#include "test_support/files.h"
#include "track_day_files.h"

namespace fs = std::filesystem;

namespace {

// Sets `trakmon` to COM1 at `baud` and makes its working folder, which it returns.
fs::path PrepareDownload(const DrivenTrakmon& trakmon, int baud) {
  std::ofstream(trakmon.folder() / "Trakmon.INI")
      << "[Port]\nCOMM_PORT_NMEA=0\nBAUD_RATE_NMEA=" << baud << "\n";
  const fs::path work = trakmon.prefix() / "drive_c" / "Tc" / "WorkDir";
  fs::create_directories(work);
  return work;
}

TEST(TrackWindowSession, CompleteThenCutDownloadThroughTheWindow) {
  if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  const DrivenTrakmon trakmon("track_window");
  const fs::path work = PrepareDownload(trakmon, 115200);
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

// Text as a text stream writes it: each line feed as CR LF.
std::string OnDisk(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(TrackWindowSession, FullMemoryDownloadCarriesEveryRecord) {
  if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  const DrivenTrakmon trakmon("track_full");
  const fs::path work = PrepareDownload(trakmon, 921600);
  // Two days of a record every 2 s: more than the memory holds, which keeps their first 0x210000
  // bytes (the second day's records up to about its middle).
  sim::TrackPlan plan;
  plan.days = 2;
  plan.first_second = 0;
  plan.end_second = 24 * 3600;
  plan.interval_s = 2;
  const sim::GeneratedTrack track = sim::GenerateTrack(plan);
  constexpr std::size_t kMemory = 0x210000;
  ASSERT_GT(sim::PackTrackText(track.text).size(), kMemory);
  const fs::path text = trakmon.folder() / "track.txt";
  std::ofstream(text, std::ios::binary) << track.text;

  sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", trakmon.prefix().string(), "--com", "1",
                                           "--baud", "921600", "--track-text", text.string()});
  ASSERT_FALSE(tool.ReadLine().empty());
  const fs::path shot = trakmon.folder() / "full.png";
  const auto run = trakmon.Drive(
      "click SBOpenComPort\n"
      "wait ML_Form   Open COMM PORT_1  Baud Rate 921600\n"
      "click track_panel\n"
      "click AutuRead\n"
      // Shown while the dump runs: the window is painted between its pages.
      "wait Edit2 210210\n"
      "shot ML_Form " +
          shot.string() +
          "\n"
          "answer Да\n"
          "answer ОК\n"
          "answer Отмена\n" +
          DrivenTrakmon::kCloseAndExit,
      170);
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("answer ОК to \"Файлы сохранены в папке"), std::string::npos)
      << run.output;
  // Every byte of the memory, unpacked.
  EXPECT_TRUE(test_support::FileBytes(work / "gps_msg.txt") ==
              OnDisk(track.text.substr(0, 2 * kMemory)));
  ExpectDayFilesHoldTrack((work / "ID= A001AA").string(), track, kMemory);
  ASSERT_TRUE(fs::exists(shot)) << run.output;
  x_server::KeepPicture(shot, SCREENSHOT_DIR, "Trakmon_full_memory_dump.png");
}

// A device that sends a byte every 90 ms (in time for each byte) would keep this dump going for
// ten minutes, and a full memory's for days. The title bar's close and the end of the session
// each end it at once as a cut read (the earlier "gps_msg.txt" stays byte for byte, what came is
// kept beside it), and the program then closes as it always does (the settings written). The
// run is cut after 45 s, well before the dump's own bound (a minute and more) would end it.
TEST(TrackWindowSession, CloseOrSessionEndDuringASlowDumpEndsIt) {
  if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  const struct {
    const char* name;
    const char* steps;  // during the dump
    const char* told;   // how the message of the cut read was answered
  } cases[] = {
      {"close", "close ML_Form\nshot box %SHOT%\nanswer ОК\n",
       "answer ОК to \"Чтение не завершено: получено "},
      {"session end", "signal TERM\n",
       "the session ends; answered \"Чтение не завершено: получено "},
  };
  sim::TrackPlan plan;
  plan.days = 2;
  plan.first_second = 9 * 3600;
  plan.end_second = 10 * 3600;
  const std::string track = sim::GenerateTrack(plan).text;
  const std::string earlier = "earlier download\r\n\x01\xFF\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const DrivenTrakmon trakmon("track_slow");
    const fs::path work = PrepareDownload(trakmon, 115200);
    std::ofstream(work / "gps_msg.txt", std::ios::binary) << earlier;
    const fs::path text = trakmon.folder() / "track.txt";
    std::ofstream(text, std::ios::binary) << track;
    sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", trakmon.prefix().string(), "--com", "1",
                                             "--track-text", text.string(), "--fault", "slow=90"});
    ASSERT_FALSE(tool.ReadLine().empty());
    // The box that says what the cut dump kept, as the close leaves it on screen.
    const fs::path shot = trakmon.folder() / "closed.png";
    std::string steps = c.steps;
    if (const auto at = steps.find("%SHOT%"); at != std::string::npos)
      steps.replace(at, 6, shot.string());
    const auto run = trakmon.Drive(
        "click SBOpenComPort\n"
        "wait ML_Form   Open COMM PORT_1  Baud Rate 115200\n"
        "click track_panel\n"
        "click SBReadAndSave\n"
        "wait Label4 Старт Адрес= 0\n" +
            steps,
        45);
    if (run.skipped) GTEST_SKIP() << run.output;
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_NE(run.output.find(c.told), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Time Out"), std::string::npos) << run.output;
    EXPECT_EQ(test_support::FileBytes(work / "gps_msg.txt"), earlier);
    EXPECT_TRUE(fs::exists(work / "gps_msg_incomplete.txt"));
    const std::string settings = test_support::FileBytes(trakmon.folder() / "Trakmon.INI");
    EXPECT_NE(settings.find("work_dir=c:\\Tc\\WorkDir\\"), std::string::npos) << settings;
    if (fs::exists(shot)) x_server::KeepPicture(shot, SCREENSHOT_DIR, "Trakmon_dump_closed.png");
  }
}

}  // namespace
