// Files written by replacement: the old file stays whole until a write has fully succeeded.
#include "platform/file_replace.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/cp1251.h"
#include "platform/crt.h"
#include "platform_test_support.h"
#include "test_support/files.h"

namespace fs = std::filesystem;
using platform_test::TempPrefix;
using test_support::FileBytes;

namespace {

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Nothing but the files a test made: no temporary file left beside them.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct LiftLimit {
  ~LiftLimit() { platform::testing::LimitFileWrites(-1); }
};

TEST(FileReplacement, TextStreamReplacesTheFileOnlyWhenEverythingWasWritten) {
  const std::string old_bytes = "old line\r\nsecond\r\n";
  const std::string text(100000, 'x');
  struct Case {
    const char* name;
    long long budget;  // bytes the disk takes; -1 no limit
    bool discard;      // closed with fdiscard
    bool replaced;
    int error;  // errno after a failed close
  } cases[] = {
      {"everything fits", -1, false, true, 0},
      {"disk full at once", 0, false, false, ENOSPC},
      {"disk full in the middle", 5000, false, false, ENOSPC},
      {"disk full at the last byte", static_cast<long long>(text.size()) + 1, false, false, ENOSPC},
      {"writer gives up", -1, true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempPrefix prefix;
    LiftLimit lift;
    const fs::path file = prefix.prefix() / "drive_c" / "track.txt";
    WriteBytes(file, old_bytes);
    FILE* f = crt::fopen("c:\\track.txt", "wt");
    ASSERT_NE(f, nullptr);
    platform::testing::LimitFileWrites(c.budget);
    std::fputs(text.c_str(), f);
    std::fputs("\n", f);
    errno = 0;
    const int closed = c.discard ? crt::fdiscard(f) : std::fclose(f);
    if (c.replaced) {
      EXPECT_EQ(closed, 0);
      EXPECT_EQ(FileBytes(file), text + "\r\n");
    } else {
      EXPECT_EQ(FileBytes(file), old_bytes);
      if (c.error != 0) {
        EXPECT_EQ(closed, EOF);
        EXPECT_EQ(errno, c.error);
      }
    }
    EXPECT_EQ(Names(file.parent_path()), std::vector<std::string>{"track.txt"});
  }
}

TEST(FileReplacement, NewFileAppearsOnlyOnSuccess) {
  TempPrefix prefix;
  LiftLimit lift;
  const fs::path folder = prefix.prefix() / "drive_c";
  fs::create_directories(folder);
  platform::testing::LimitFileWrites(3);
  FILE* f = crt::fopen("c:\\new.txt", "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("too long", f);
  EXPECT_EQ(std::fclose(f), EOF);
  EXPECT_TRUE(Names(folder).empty());

  platform::testing::LimitFileWrites(-1);
  f = crt::fopen("c:\\new.txt", "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("a\nb", f);
  EXPECT_EQ(std::fclose(f), 0);
  EXPECT_EQ(FileBytes(folder / "new.txt"), "a\nb");
}

TEST(FileReplacement, MissingFolderFailsAtOpen) {
  TempPrefix prefix;
  errno = 0;
  EXPECT_EQ(crt::fopen("c:\\no_such_folder\\x.txt", "wt"), nullptr);
  EXPECT_EQ(errno, ENOENT);
  platform::FileReplacement file((prefix.scratch() / "missing" / "x.txt").string());
  EXPECT_FALSE(file.opened());
  EXPECT_FALSE(file.Write("data"));
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(file.error(), ENOENT);
}

TEST(FileReplacement, KeepsPermissionsAndFollowsLinks) {
  TempPrefix prefix;
  const fs::path real = prefix.scratch() / "data" / "settings.ini";
  WriteBytes(real, "old");
  ::chmod(real.c_str(), 0640);
  const fs::path link = prefix.scratch() / "settings.ini";
  fs::create_symlink(real, link);

  platform::FileReplacement file(link.string());
  ASSERT_TRUE(file.Write("new"));
  ASSERT_TRUE(file.Commit());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(FileBytes(real), "new");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(FileReplacement, FolderInTheWayIsRefused) {
  TempPrefix prefix;
  const fs::path folder = prefix.scratch() / "gps_msg.txt";
  fs::create_directories(folder);
  platform::FileReplacement file(folder.string());
  EXPECT_FALSE(file.opened());
  EXPECT_EQ(file.error(), EISDIR);
  EXPECT_TRUE(fs::is_directory(folder));
}

// A file made read-only is refused as a full disk is, by every way of writing it: the writer
// learns it at its writes and its close, the file keeps its bytes and its mode, and no temporary
// file is made. Root is refused too, as the read-only attribute refuses an administrator.
TEST(FileReplacement, ReadOnlyFileIsRefusedAndKept) {
  TempPrefix prefix;
  const fs::path folder = prefix.scratch() / "day";
  const fs::path file = folder / "Date 08-12-2026_TC.txt";
  for (const mode_t mode : {0444, 0400, 0555}) {
    SCOPED_TRACE(mode);
    WriteBytes(file, "old\r\n");
    ::chmod(file.c_str(), mode);

    FILE* stream = crt::fopen(file.c_str(), "wt");
    ASSERT_NE(stream, nullptr) << "the refusal comes with the writes, as a full disk's does";
    std::fputs("new\n", stream);
    errno = 0;
    EXPECT_EQ(std::fclose(stream), EOF);
    EXPECT_EQ(errno, EPERM);

    platform::FileReplacement replacement(file.string());
    EXPECT_TRUE(replacement.opened());
    EXPECT_FALSE(replacement.Write("new"));
    EXPECT_FALSE(replacement.Commit());
    EXPECT_EQ(replacement.error(), EPERM);

    EXPECT_EQ(FileBytes(file), "old\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, mode);
    EXPECT_EQ(Names(folder), std::vector<std::string>{file.filename().string()});
    ::chmod(file.c_str(), 0644);
  }
  // One write bit is enough: the owner's file stays the owner's to replace.
  ::chmod(file.c_str(), 0644);
  platform::FileReplacement writable(file.string());
  ASSERT_TRUE(writable.Write("new"));
  EXPECT_TRUE(writable.Commit());
  EXPECT_EQ(FileBytes(file), "new");
}

// The temporary files a killed writer left beside a file go with the next write of that file;
// those of a writer that still runs (another program, or this one), those of other files and
// names of other shapes stay.
TEST(FileReplacement, NextWriteRemovesTheTemporariesOfKilledWriters) {
  TempPrefix prefix;
  const fs::path folder = prefix.scratch() / "work";
  const pid_t dead = ::fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  const std::string gone = std::to_string(dead), live = std::to_string(::getppid()),
                    self = std::to_string(::getpid());
  const std::vector<std::string> stale = {".gps_msg.txt." + gone + "-0.tmp",
                                          ".gps_msg.txt." + gone + "-17.tmp"};
  const std::vector<std::string> kept = {
      ".gps_msg.txt." + live + "-0.tmp",   // another program that runs
      ".gps_msg.txt." + self + "-99.tmp",  // a writer of this program
      ".GPS_conv.txt." + gone + "-0.tmp",  // another file's
      ".gps_msg.txt.x" + gone + "-0.tmp", ".gps_msg.txt." + gone + "-0.tmp.bak",
      ".gps_msg.txt." + gone + ".tmp",    "gps_msg.txt." + gone + "-0.tmp"};
  for (const auto& name : stale) WriteBytes(folder / name, "part");
  for (const auto& name : kept) WriteBytes(folder / name, "part");
  WriteBytes(folder / "gps_msg.txt", "old");

  platform::FileReplacement file((folder / "gps_msg.txt").string());
  ASSERT_TRUE(file.Write("new"));
  ASSERT_TRUE(file.Commit());
  std::vector<std::string> expected = kept;
  expected.push_back("gps_msg.txt");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(folder), expected);
  EXPECT_EQ(FileBytes(folder / "gps_msg.txt"), "new");
}

TEST(FileReplacement, ReasonsInTheUsersWords) {
  EXPECT_EQ(platform::Cp1251ToUtf8(platform::FileErrorText(EPERM)), "Нет прав на запись в файл");
  EXPECT_EQ(platform::Cp1251ToUtf8(platform::FileErrorText(EACCES)), "Нет прав на запись в папку");
  EXPECT_EQ(platform::Cp1251ToUtf8(platform::FileErrorText(ENOSPC)), "Нет места на диске");
  EXPECT_EQ(platform::Cp1251ToUtf8(platform::FileErrorText(EDQUOT)), "Нет места на диске");
  EXPECT_EQ(platform::Cp1251ToUtf8(platform::FileErrorText(EROFS)), "Диск только для чтения");
  EXPECT_FALSE(platform::FileErrorText(EIO).empty());
}

// A real small file system that fills up, where the machine lets a test mount one.
TEST(FileReplacement, RealFullDiskKeepsTheOldFile) {
  TempPrefix prefix;
  const fs::path disk = prefix.scratch() / "disk";
  fs::create_directories(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  struct Unmount {
    fs::path at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{disk};

  const fs::path file = disk / "gps_msg.txt";
  const std::string old_bytes(20000, 'o');
  WriteBytes(file, old_bytes);
  FILE* f = crt::fopen(file.c_str(), "wt");
  ASSERT_NE(f, nullptr);
  const std::string text(100000, 'n');
  std::fwrite(text.data(), 1, text.size(), f);
  errno = 0;
  EXPECT_EQ(std::fclose(f), EOF);
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_EQ(FileBytes(file), old_bytes);
  EXPECT_EQ(Names(disk), std::vector<std::string>{"gps_msg.txt"});
}

}  // namespace
