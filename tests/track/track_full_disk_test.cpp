// A disk that fills during the one-button download: the file being written when it fills keeps
// its old contents, the failure is shown with the file's name and reason, and nothing after it
// is written. The disk is filled by the platform's test hook, and once by a small tmpfs where
// the machine lets the test mount one.
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/testing.h"
#include "track_window.h"
#include "vcl/sysutils.h"

using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

namespace fs = std::filesystem;

class FullDiskTest : public DownloadPanelTest {
 protected:
  void SetUp() override {
    DownloadPanelTest::SetUp();
    LoadTrack();
  }
  void TearDown() override {
    platform::testing::LimitFileWrites(-1);
    DownloadPanelTest::TearDown();
  }
};

// What the download writes, in the order it writes it; where each lands on disk and the name
// its message gives.
struct Writer {
  std::string file;  // under the working folder
  const char* shown;
  bool by_string_list;  // saved by the class library, whose error names the file itself
};

const std::vector<Writer>& Writers() {
  static const std::vector<Writer> writers = {
      {"gps_msg.txt", "c:\\Tc\\WorkDir\\gps_msg.txt", false},
      {"GPS_conv.txt", "c:\\Tc\\WorkDir\\GPS_conv.txt", false},
      {"GPSV_conv.txt", "c:\\Tc\\WorkDir\\GPSV_conv.txt", false},
      {"Reload.txt", "c:\\Tc\\WorkDir\\Reload.txt", true},
      {"GPS_WORK.txt", "c:\\Tc\\WorkDir\\GPS_WORK.txt", false},
      {"ID= A001AA/Date 07-12-2026_TC.txt", "c:\\Tc\\WorkDir\\ID= A001AA\\Date 07-12-2026_TC.txt",
       false},
      {"ID= A001AA/Date 08-12-2026_TC.txt", "c:\\Tc\\WorkDir\\ID= A001AA\\Date 08-12-2026_TC.txt",
       false},
      {"ID= A001AA/08-12-2026_9-31-05_RELOAD.txt",
       "c:\\Tc\\WorkDir\\ID= A001AA\\08-12-2026_9-31-05_RELOAD.txt", true},
  };
  return writers;
}

TEST_F(FullDiskTest, EachWriterKeepsItsOldFileAndStopsTheDownload) {
  // A first download gives the size of each file; the split's question answered Yes, the save
  // question Cancel.
  responder().AnswerMessageBox(IDYES).AnswerMessageBox(IDCANCEL);
  Click(form->AutuRead);
  ASSERT_EQ(responder().Shown().size(), 3u);
  // The no-fix file was moved beside the day files.
  std::vector<long long> sizes;
  for (const Writer& w : Writers())
    sizes.push_back(fs::file_size(WorkDir() + "/" +
                                  (w.file == "GPSV_conv.txt"
                                       ? std::string("ID= A001AA/08-12-2026_9-31-05_INVAL.txt")
                                       : w.file)));

  long long before = 0;  // the bytes the writers before this one put on the disk
  for (std::size_t k = 0; k < Writers().size(); ++k) {
    const Writer& failing = Writers()[k];
    SCOPED_TRACE(failing.file);
    for (const Writer& w : Writers()) WriteWork(w.file, "old " + w.file + "\n");
    fs::remove(Vehicle() + "/08-12-2026_9-31-05_INVAL.txt");
    responder().ClearShown();
    // The split comes after the work file: its question is asked once that was written.
    if (k >= 5) responder().AnswerMessageBox(IDYES);
    platform::testing::LimitFileWrites(before + sizes[k] / 2);
    Click(form->AutuRead);
    platform::testing::LimitFileWrites(-1);

    const AnsiString reason = "Нет места на диске";
    if (failing.by_string_list) {
      EXPECT_TRUE(responder().Texts(ModalKind::Message).empty());
      EXPECT_EQ(responder().Texts(ModalKind::Exception),
                std::vector<AnsiString>{AnsiString("Cannot write file \"") + failing.shown +
                                        "\". " + reason + "."});
    } else {
      EXPECT_EQ(
          responder().Texts(ModalKind::Message),
          std::vector<AnsiString>{AnsiString("Файл ") + failing.shown + " не записан: " + reason});
    }
    EXPECT_EQ(responder().Pending(), 0u);
    for (std::size_t j = 0; j < Writers().size(); ++j) {
      const std::string& file = Writers()[j].file;
      if (j < k)
        EXPECT_EQ(fs::file_size(WorkDir() + "/" + file), sizes[j]) << file << " is written";
      else
        EXPECT_EQ(ReadWork(file), OnDisk("old " + file + "\n")) << file << " stays";
    }
    // No temporary file is left behind.
    for (const auto& entry : fs::recursive_directory_iterator(WorkDir()))
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    before += sizes[k];
  }
}

// A real file system that fills up: a tmpfs too small for the old and the new "gps_msg.txt"
// together. Mounting needs privileges that a build machine may not give; the test skips then.
TEST_F(FullDiskTest, SmallFileSystemKeepsTheOldDump) {
  const std::string work = WorkDir();
  if (::mount("tmpfs", work.c_str(), "tmpfs", 0, "size=32k") != 0)
    GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(errno);
  struct Unmount {
    std::string path;
    ~Unmount() {
      fs::current_path(fs::path(path).parent_path());
      ::umount2(path.c_str(), MNT_DETACH);
    }
  } unmount{work};

  const std::string old(20'000, '7');
  WriteWork("gps_msg.txt", old);
  Click(form->AutuRead);
  EXPECT_EQ(
      responder().Texts(ModalKind::Message),
      std::vector<AnsiString>{"Файл c:\\Tc\\WorkDir\\gps_msg.txt не записан: Нет места на диске"});
  EXPECT_EQ(ReadWork("gps_msg.txt"), old);
  for (const auto& entry : fs::directory_iterator(work))
    EXPECT_EQ(entry.path().filename(), "gps_msg.txt");
}

}  // namespace
