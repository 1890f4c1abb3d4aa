#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"
#include "vcl/sysutils.h"

namespace {

TEST(FileNames, SplitWindowsStyleNames) {
  struct Case {
    const char* name;
    const char* path;
    const char* file;
    const char* ext;
  } cases[] = {
      {"c:\\Tc\\WorkDir\\gps_msg.txt", "c:\\Tc\\WorkDir\\", "gps_msg.txt", ".txt"},
      {"c:\\Tc\\WorkDir\\", "c:\\Tc\\WorkDir\\", "", ""},
      {"c:gps.txt", "c:", "gps.txt", ".txt"},
      {"Reload.txt", "", "Reload.txt", ".txt"},
      {"c:\\dir.d\\name", "c:\\dir.d\\", "name", ""},
      {"/tmp/a/b.tar.gz", "/tmp/a/", "b.tar.gz", ".gz"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
}

TEST(FileNames, ChangeExtensionAndTrailingBackslash) {
  EXPECT_EQ(ChangeFileExt("c:\\Prog\\trakmon.exe", ".INI"), "c:\\Prog\\trakmon.INI");
  EXPECT_EQ(ChangeFileExt("c:\\dir.d\\trakmon", ".INI"), "c:\\dir.d\\trakmon.INI");
  EXPECT_EQ(ChangeFileExt("a.b.c", ""), "a.b");
  EXPECT_EQ(IncludeTrailingBackslash("D:\\Data"), "D:\\Data\\");
  EXPECT_EQ(IncludeTrailingBackslash("D:\\Data\\"), "D:\\Data\\");
  EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
  EXPECT_EQ(ExcludeTrailingBackslash("D:\\Data\\"), "D:\\Data");
  EXPECT_EQ(ExcludeTrailingBackslash("D:\\Data"), "D:\\Data");
}

class Folders : public ::testing::Test {
 protected:
  void SetUp() override { start_ = std::filesystem::current_path(); }
  void TearDown() override { std::filesystem::current_path(start_); }
  TempFiles dir_;
  std::filesystem::path start_;
};

TEST_F(Folders, ExistenceTellsFilesFromFolders) {
  dir_.Write("f.txt", "x");
  EXPECT_TRUE(FileExists(dir_.File("f.txt")));
  EXPECT_FALSE(DirectoryExists(dir_.File("f.txt")));
  EXPECT_TRUE(DirectoryExists(AnsiString(dir_.path())));
  EXPECT_FALSE(FileExists(AnsiString(dir_.path())));
  EXPECT_FALSE(FileExists(dir_.File("missing.txt")));
  EXPECT_FALSE(DirectoryExists(dir_.File("missing")));
}

TEST_F(Folders, CreateDirMakesOneLevelOnly) {
  EXPECT_TRUE(CreateDir(dir_.File("one")));
  EXPECT_TRUE(DirectoryExists(dir_.File("one")));
  EXPECT_FALSE(CreateDir(dir_.File("one")));   // exists already
  EXPECT_FALSE(CreateDir(dir_.File("a\\b")));  // parent missing
  EXPECT_FALSE(DirectoryExists(dir_.File("a")));
}

TEST_F(Folders, ForceDirectoriesCreatesEveryMissingLevel) {
  EXPECT_TRUE(ForceDirectories(dir_.File("a\\b\\c\\")));
  EXPECT_TRUE(DirectoryExists(dir_.File("a/b/c")));
  EXPECT_TRUE(ForceDirectories(dir_.File("a\\b")));  // already there
  dir_.Write("file", "");
  EXPECT_FALSE(ForceDirectories(dir_.File("file\\sub")));
}

TEST_F(Folders, CurrentDirectoryRenameAndDelete) {
  ASSERT_TRUE(CreateDir(dir_.File("work")));
  EXPECT_TRUE(SetCurrentDir(dir_.File("work")));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir_.path()) / "work");
  EXPECT_FALSE(GetCurrentDir().IsEmpty());
  EXPECT_TRUE(DirectoryExists(GetCurrentDir()));
  EXPECT_FALSE(SetCurrentDir(dir_.File("missing")));

  dir_.Write("work/GPSV_conv.txt", "data");
  EXPECT_TRUE(RenameFile("GPSV_conv.txt", "08-12-2026_INVAL.txt"));  // relative names
  EXPECT_EQ(dir_.Read("work/08-12-2026_INVAL.txt"), "data");
  EXPECT_FALSE(RenameFile("GPSV_conv.txt", "other.txt"));  // source gone
  dir_.Write("work/x.txt", "x");
  EXPECT_FALSE(RenameFile("x.txt", "08-12-2026_INVAL.txt"));  // target exists
  EXPECT_TRUE(DeleteFile("x.txt"));
  EXPECT_FALSE(FileExists("x.txt"));
  EXPECT_FALSE(DeleteFile("x.txt"));
}

}  // namespace
