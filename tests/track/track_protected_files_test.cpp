// Files the user protected during the one-button download: a track file, a day file or a report
// made read-only (0444) is not replaced; the failure is shown with the file's name and reason, as
// a full disk's is, and nothing after it is written. A temporary file that a killed program left
// beside "gps_msg.txt" goes with the next download; a live program's stays.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "track_window.h"

using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

namespace fs = std::filesystem;

class ProtectedFilesTest : public DownloadPanelTest {
 protected:
  void SetUp() override {
    DownloadPanelTest::SetUp();
    LoadTrack();
    fs::create_directories(Vehicle());
  }
};

// In the order the download writes them.
struct Protected {
  std::string file;  // under the working folder
  const char* shown;
  bool by_string_list;  // saved by the class library, whose error names the file itself
  bool after_split;     // written once the split's question was answered
};

TEST_F(ProtectedFilesTest, AReadOnlyFileIsKeptAndTheDownloadStopsThere) {
  const std::vector<Protected> files = {
      {"gps_msg.txt", "c:\\Tc\\WorkDir\\gps_msg.txt", false, false},
      {"Reload.txt", "c:\\Tc\\WorkDir\\Reload.txt", true, false},
      {"ID= A001AA/Date 08-12-2026_TC.txt", "c:\\Tc\\WorkDir\\ID= A001AA\\Date 08-12-2026_TC.txt",
       false, true},
      {"ID= A001AA/08-12-2026_9-31-05_RELOAD.txt",
       "c:\\Tc\\WorkDir\\ID= A001AA\\08-12-2026_9-31-05_RELOAD.txt", true, true},
  };
  const AnsiString reason = "Нет прав на запись в файл";
  for (std::size_t k = 0; k < files.size(); ++k) {
    const Protected& locked = files[k];
    SCOPED_TRACE(locked.file);
    for (const Protected& f : files) {
      const std::string path = WorkDir() + "/" + f.file;
      ::chmod(path.c_str(), 0644);
      WriteWork(f.file, "old " + f.file + "\n");
    }
    const std::string locked_path = WorkDir() + "/" + locked.file;
    ASSERT_EQ(::chmod(locked_path.c_str(), 0444), 0);
    responder().ClearShown();
    if (locked.after_split) responder().AnswerMessageBox(IDYES);
    Click(form->AutuRead);

    if (locked.by_string_list) {
      EXPECT_TRUE(responder().Texts(ModalKind::Message).empty());
      EXPECT_EQ(responder().Texts(ModalKind::Exception),
                std::vector<AnsiString>{AnsiString("Cannot write file \"") + locked.shown + "\". " +
                                        reason + "."});
    } else {
      EXPECT_EQ(
          responder().Texts(ModalKind::Message),
          std::vector<AnsiString>{AnsiString("Файл ") + locked.shown + " не записан: " + reason});
    }
    EXPECT_EQ(responder().Pending(), 0u);
    EXPECT_EQ(ReadWork(locked.file), OnDisk("old " + locked.file + "\n"));
    struct stat st {};
    ASSERT_EQ(::stat(locked_path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    for (std::size_t j = 0; j < files.size(); ++j)
      if (j < k)
        EXPECT_NE(ReadWork(files[j].file), OnDisk("old " + files[j].file + "\n"))
            << files[j].file << " is written";
      else
        EXPECT_EQ(ReadWork(files[j].file), OnDisk("old " + files[j].file + "\n"))
            << files[j].file << " stays";
    for (const auto& entry : fs::recursive_directory_iterator(WorkDir()))
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    ::chmod(locked_path.c_str(), 0644);
  }
}

TEST_F(ProtectedFilesTest, TheNextDumpRemovesATemporaryFileThatAKilledProgramLeft) {
  const pid_t killed = ::fork();
  ASSERT_GE(killed, 0);
  if (killed == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(killed, nullptr, 0), killed);
  const std::string stale = ".gps_msg.txt." + std::to_string(killed) + "-0.tmp";
  const std::string live = ".gps_msg.txt." + std::to_string(::getppid()) + "-0.tmp";
  WriteWork(stale, "cut dump");
  WriteWork(live, "another window's dump");

  responder().AnswerMessageBox(IDNO).AnswerMessageBox(IDCANCEL);
  Click(form->AutuRead);
  EXPECT_EQ(responder().Pending(), 0u);
  EXPECT_TRUE(responder().Texts(ModalKind::Message).empty());
  EXPECT_FALSE(WorkFileExists(stale));
  EXPECT_TRUE(WorkFileExists(live));
  EXPECT_GT(ReadWork("gps_msg.txt").size(), 1000u);
}

}  // namespace
