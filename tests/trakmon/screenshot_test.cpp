// The real Trakmon program under Xvfb with the Qt widget set, driven through its window by the
// test-only driver: it starts from a folder of its own (so that its Trakmon.INI lands there) with
// no device, shows its main window with the modem window hidden, a picture of the main window is
// taken, and the window is closed as its title bar does. The picture is kept under the build
// folder for people to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "driven_trakmon.h"

namespace fs = std::filesystem;

namespace {

TEST(TrakmonScreenshot, MainWindowIsShownAndSaved) {
  if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  const DrivenTrakmon trakmon("trakmon_shot");
  const fs::path main_window = trakmon.folder() / "main.png";
  const auto run = trakmon.Drive(
      "shown ML_Form\n"
      "wait ML_Form Настройка параметров прибора\n"
      "hidden FormMsg\n"
      "shot ML_Form " +
      main_window.string() +
      "\n"
      "close ML_Form\n");
  const std::string& output = run.output;
  if (run.skipped) GTEST_SKIP() << output;
  ASSERT_EQ(run.exit_code, 0) << output;
  EXPECT_NE(output.find("step 3: hidden FormMsg"), std::string::npos) << output;

  ASSERT_TRUE(fs::exists(main_window)) << output;
  EXPECT_EQ(FileBytes(main_window).substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_GT(fs::file_size(main_window), 10'000u);  // a window with text and a picture
  // The window closed normally: its settings were written beside the program.
  EXPECT_TRUE(fs::exists(trakmon.folder() / "Trakmon.INI"));

  x_server::KeepPicture(main_window, SCREENSHOT_DIR, "Trakmon_main.png");
}

}  // namespace
