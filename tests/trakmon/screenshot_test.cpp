// The real Trakmon program under Xvfb with the Qt widget set: it starts from a folder of its own
// (so that its Trakmon.INI lands there), shows its main window, saves a picture of it and ends.
// The picture is kept under the build folder for people to look at.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "child_processes.h"
#include "driven_program.h"

namespace fs = std::filesystem;

namespace {

TEST(TrakmonScreenshot, MainWindowIsShownAndSaved) {
#ifndef TRAKMON_BINARY
  GTEST_SKIP() << "Trakmon is built only with the Qt widget set";
#else
  TempFolder folder("trakmon_shot");
  const fs::path program = folder.path() / "Trakmon";
  fs::copy_file(TRAKMON_BINARY, program);
  const fs::path prefix = folder.path() / "prefix";
  const fs::path shots = folder.path() / "shots";
  fs::create_directories(prefix);
  fs::create_directories(shots);

  const std::string command =
      "cd " + Quoted(folder.path()) + " && TRAKMON_PREFIX=" + Quoted(prefix) +
      " VCL_SCREENSHOT_DIR=" + Quoted(shots) + " timeout 120 " + Quoted(RUN_WITH_X) + " " +
      Quoted(program) + " > " + Quoted(folder.path() / "out.txt") + " 2>&1";
  int status = std::system(command.c_str());
  std::ifstream out(folder.path() / "out.txt");
  std::string output((std::istreambuf_iterator<char>(out)), {});
  ASSERT_TRUE(WIFEXITED(status)) << output;
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << output;
  ASSERT_EQ(WEXITSTATUS(status), 0) << output;

  const fs::path main_window = shots / "ML_Form.png";
  ASSERT_TRUE(fs::exists(main_window)) << output;
  std::ifstream png(main_window, std::ios::binary);
  std::string magic(8, '\0');
  png.read(magic.data(), 8);
  EXPECT_EQ(magic, "\x89PNG\r\n\x1a\n");
  EXPECT_GT(fs::file_size(main_window), 10'000u);   // a window with text and a picture
  EXPECT_FALSE(fs::exists(shots / "FormMsg.png"));  // the modem window stays hidden
  // The window closed normally: its settings were written beside the program.
  EXPECT_TRUE(fs::exists(folder.path() / "Trakmon.INI"));

  x_server::KeepPicture(main_window, SCREENSHOT_DIR, "Trakmon_main.png");
#endif
}

}  // namespace
