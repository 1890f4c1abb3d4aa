// The real Trakmon under Xvfb with names it cannot carry: files chosen with "Выбор Файла" whose
// names hold a character outside the code page or a backslash are refused with their own names
// (never is another file read, though the files those names would turn into are there); started
// from a folder named "café", it says at the start that settings will not be kept and writes
// nothing; started from a path of over 300 characters, it keeps its settings under that path.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "child_processes.h"
#include "driven_program.h"

namespace fs = std::filesystem;

namespace {

#if defined(TRAKMON_BINARY) && defined(WINDOW_DRIVER)
constexpr bool kBuilt = true;
#else
constexpr bool kBuilt = false;
constexpr const char* TRAKMON_BINARY = "";
constexpr const char* WINDOW_DRIVER = "";
#endif

constexpr const char* kMainWindowShown = "wait ML_Form Настройка параметров прибора\n";

class ProgramPathSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!kBuilt) GTEST_SKIP() << "Trakmon is built only with the Qt widget set";
    fs::create_directories(prefix);
  }

  // Puts the program at `program` and runs it from its folder with the driver playing `steps`.
  x_server::DrivenRun Run(const fs::path& program, const std::string& steps) const {
    if (!fs::exists(program)) {
      fs::create_directories(program.parent_path());
      std::error_code linked;
      fs::create_hard_link(TRAKMON_BINARY, program, linked);
      if (linked) fs::copy_file(TRAKMON_BINARY, program);
    }
    const fs::path script = folder / "script.txt";
    std::ofstream(script) << steps;
    return x_server::RunDriven(RUN_WITH_X, WINDOW_DRIVER, program.parent_path(), prefix, program,
                               script, 90);
  }

  // The names of the files a run may have left anywhere under the test's folder: the program
  // copies, the pictures and the driver's records apart.
  std::set<std::string> Files() const {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      const fs::path& path = entry.path();
      const std::string name = path.filename().string();
      if (!entry.is_regular_file() || name == "Trakmon" || name == "driven_output.txt" ||
          name == "script.txt" || path.extension() == ".png")
        continue;
      files.insert(fs::relative(path, folder).string());
    }
    return files;
  }

  const TempFolder temp{"trakmon_program_path"};
  const fs::path folder = temp.path();
  const fs::path prefix = folder / "prefix";
};

TEST_F(ProgramPathSession, ChosenFilesTheProgramCannotNameAreRefusedWithTheirNames) {
  const fs::path work = prefix / "drive_c" / "Tc" / "WorkDir";
  fs::create_directories(work / "dump");
  // Each refused name and the file the program would have read instead: it would show
  // "--No Data.--" for its one line.
  for (const char* name : {"track_é.txt", "track_?.txt", "dump\\a.txt", "dump/a.txt"})
    std::ofstream(work / name) << "one line\n";
  const auto before = Files();
  const fs::path shot = folder / "refused.png";
  const std::string refusal =
      "answer ОК to \"Программа не может работать с файлом под этим именем:\n";
  const auto run = Run(folder / "Trakmon", std::string(kMainWindowShown) +
                                               "click track_panel\n"
                                               "click SBConversion\n"
                                               "file " +
                                               (work / "track_é.txt").string() +
                                               "\n"
                                               "shot box " +
                                               shot.string() +
                                               "\n"
                                               "answer ОК\n"
                                               "answer ОК\n"
                                               "click SBConversion\n"
                                               "file " +
                                               (work / "dump\\a.txt").string() +
                                               "\n"
                                               "answer ОК\n"
                                               "answer ОК\n"
                                               "close ML_Form\n");
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find(refusal + (work / "track_é.txt").string() +
                            "\nЗнак «é» не входит в кодовую страницу 1251: программа получила бы "
                            "«?» на его месте.\""),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find(refusal + (work / "dump\\a.txt").string() +
                            "\nЗнак «\\» программа читает как разделитель папок.\""),
            std::string::npos)
      << run.output;
  // Each refusal ends the choice as a cancel does.
  EXPECT_EQ(run.output.find("No Data"), std::string::npos) << run.output;
  auto after = Files();
  EXPECT_EQ(after.erase("Trakmon.INI"), 1u);
  EXPECT_EQ(after, before);
  x_server::KeepPicture(shot, SCREENSHOT_DIR, "Trakmon_file_name_refused.png");
}

TEST_F(ProgramPathSession, AFolderNamedCafeSaysAtTheStartThatSettingsAreNotKept) {
  fs::create_directories(folder / "caf?");  // where a "?" in the path would put the settings
  const fs::path program = folder / "café" / "Trakmon";
  fs::create_directories(program.parent_path());
  const auto before = Files();
  const fs::path shot = folder / "cafe.png";
  const auto run = Run(program, "shot box " + shot.string() +
                                    "\n"
                                    "answer ОК\n" +
                                    kMainWindowShown + "close ML_Form\n");
  if (run.skipped) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("answer ОК to \"Настройки не будут сохранены: в пути программы \"" +
                            (folder / "caf?" / "Trakmon").string() +
                            "\" знак U+00E9 (на месте \"?\") не входит в кодовую страницу 1251.\""),
            std::string::npos)
      << run.output;
  // One message, at the start; the close writes nothing and says nothing.
  EXPECT_EQ(run.output.find("step 4: answer"), std::string::npos) << run.output;
  EXPECT_EQ(Files(), before);
  EXPECT_TRUE(fs::is_empty(folder / "caf?"));
  x_server::KeepPicture(shot, SCREENSHOT_DIR, "Trakmon_settings_not_kept.png");
}

TEST_F(ProgramPathSession, APathOfOver300CharactersKeepsItsSettings) {
  fs::path program_folder = folder;
  while (program_folder.string().size() <= 300) program_folder /= std::string(60, 'p');
  const fs::path program = program_folder / "Trakmon";
  const fs::path ini = program_folder / "Trakmon.INI";
  const auto first = Run(program, std::string(kMainWindowShown) + "close ML_Form\n");
  if (first.skipped) GTEST_SKIP() << first.output;
  ASSERT_EQ(first.exit_code, 0) << first.output;
  const std::string written = FileBytes(ini);
  const std::string old_folder = "work_dir=c:\\Tc\\WorkDir\\";
  ASSERT_NE(written.find(old_folder), std::string::npos) << written;
  // The only settings file is the program's own.
  for (const std::string& name : Files())
    EXPECT_TRUE(fs::path(name).filename() != "Trakmon.INI" || folder / name == ini) << name;

  // The next start reads it: the working-folder panel shows the folder it holds.
  std::string edited = written;
  edited.replace(edited.find(old_folder), old_folder.size(), "work_dir=c:\\Tc\\Kept\\");
  std::ofstream(ini, std::ios::binary) << edited;
  const auto second = Run(program, std::string(kMainWindowShown) +
                                       "click Catalog\n"
                                       "wait Edit5 c:\\Tc\\Kept\\\n"
                                       "close ML_Form\n");
  ASSERT_EQ(second.exit_code, 0) << second.output;
  EXPECT_NE(FileBytes(ini).find("work_dir=c:\\Tc\\Kept\\"), std::string::npos);
}

}  // namespace
