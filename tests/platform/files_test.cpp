#include "test_support/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/cp1251.h"
#include "platform/paths.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "platform_test_support.h"

namespace fs = std::filesystem;
using platform_test::TempPrefix;

namespace {

TEST(Folders, CreateOneLevelExistsAndErrors) {
  TempPrefix prefix;
  EXPECT_EQ(GetFileAttributesA("c:\\Tc"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(CreateDirectoryA("c:\\Tc", nullptr));
  EXPECT_EQ(GetFileAttributesA("c:\\Tc\\"), FILE_ATTRIBUTE_DIRECTORY);

  EXPECT_FALSE(CreateDirectoryA("c:\\Tc", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  // One level only: the parent must exist.
  EXPECT_FALSE(CreateDirectoryA("c:\\Tc\\A\\B", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA("c:\\Tc\\A\\B"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(Files, MoveNeverReplacesAndDeleteReportsMissingFiles) {
  TempPrefix prefix;
  ASSERT_TRUE(CreateDirectoryA("c:\\W", nullptr));
  fs::path w = prefix.prefix() / "drive_c" / "W";
  std::ofstream(w / "a.txt") << "A";
  std::ofstream(w / "b.txt") << "B";
  EXPECT_EQ(GetFileAttributesA("c:\\W\\a.txt"), FILE_ATTRIBUTE_NORMAL);

  EXPECT_FALSE(MoveFileA("c:\\W\\a.txt", "c:\\W\\b.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(test_support::FileBytes(w / "b.txt"), "B");
  ASSERT_TRUE(MoveFileA("c:\\W\\a.txt", "c:\\W\\c.txt"));
  EXPECT_EQ(test_support::FileBytes(w / "c.txt"), "A");
  EXPECT_FALSE(fs::exists(w / "a.txt"));
  EXPECT_FALSE(MoveFileA("c:\\W\\a.txt", "c:\\W\\d.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  ASSERT_TRUE(DeleteFileA("c:\\W\\c.txt"));
  EXPECT_FALSE(DeleteFileA("c:\\W\\c.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA("c:\\W"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(Files, CreateFileReadWriteAndHandleChecks) {
  TempPrefix prefix;
  HANDLE h =
      CreateFileA("c:\\f.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, "abc\n", 4, &n, nullptr));
  EXPECT_EQ(n, 4u);
  ASSERT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(test_support::FileBytes(prefix.prefix() / "drive_c" / "f.bin"), "abc\n");

  EXPECT_EQ(CreateFileA("c:\\f.bin", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(CreateFileA("c:\\none\\f.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  h = CreateFileA("c:\\f.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  char buffer[8] = {};
  ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &n, nullptr));
  EXPECT_EQ(std::string(buffer, n), "abc\n");
  ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &n, nullptr));
  EXPECT_EQ(n, 0u);
  CloseHandle(h);

  for (HANDLE bad :
       {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x7777)}) {
    EXPECT_FALSE(ReadFile(bad, buffer, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
}

// An open without sharing holds the file against other opens without sharing until its close;
// one with FILE_FLAG_DELETE_ON_CLOSE takes the file with it.
TEST(Files, AnOpenWithoutSharingHoldsTheFileAndDeleteOnCloseRemovesIt) {
  TempPrefix prefix;
  const fs::path on_disk = prefix.prefix() / "drive_c" / "held.lock";
  HANDLE held = CreateFileA("c:\\held.lock", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(fs::exists(on_disk));

  EXPECT_EQ(CreateFileA("c:\\held.lock", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  HANDLE shared = CreateFileA("c:\\held.lock", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(shared, INVALID_HANDLE_VALUE);
  CloseHandle(shared);

  ASSERT_TRUE(CloseHandle(held));
  EXPECT_FALSE(fs::exists(on_disk));
  // A file left behind (by a holder that was killed) is taken by the next open.
  std::ofstream(on_disk) << "left";
  held = CreateFileA("c:\\held.lock", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0,
                     nullptr);
  EXPECT_NE(held, INVALID_HANDLE_VALUE);
  CloseHandle(held);
  EXPECT_TRUE(fs::exists(on_disk));
}

TEST(Files, ModuleFileNameOverrideAndTruncation) {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  ASSERT_GT(n, 0u);
  EXPECT_NE(std::string(buffer).find("platform_tests"), std::string::npos);

  platform::testing::SetModuleFileName("/opt/Tc/Trakmon");
  n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer), "/opt/Tc/Trakmon");
  EXPECT_EQ(n, 15u);
  // Truncated, still terminated, and the full buffer size returned.
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 6), 6u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(buffer), "/opt/");
  platform::testing::SetModuleFileName("");
}

// The program's path reaches the program only as a text that names it exactly: a character the
// code page lacks would become "?", a backslash in a folder's name a separator, and the settings
// beside the program would go to another file. Then the call fails and says why.
TEST(Files, ModuleFileNameIsExactOrRefused) {
  struct Case {
    std::string path;
    bool exact;
    const char* problem;  // UTF-8; the path is shown as the code page shows it
  } cases[] = {
      {"/opt/Трекер/Trakmon", true, ""},
      {"/opt/Ёлка №1 «x»/Trakmon", true, ""},
      {"/opt/" + std::string(300, 'x').replace(150, 1, "/") + "/Trakmon", true, ""},
      {"/opt/café/Trakmon", false,
       "в пути программы \"/opt/caf?/Trakmon\" знак U+00E9 (на месте \"?\") не входит в "
       "кодовую страницу 1251"},
      {"/opt/日本/Trakmon", false,
       "в пути программы \"/opt/?"
       "?/Trakmon\" знак U+65E5 (на месте \"?\") не входит в кодовую "
       "страницу 1251"},
      {"/opt/bad\xE9"
       "byte/Trakmon",
       false,
       "в пути программы \"/opt/bad?byte/Trakmon\" знак 0xE9 (на месте \"?\") не входит в "
       "кодовую страницу 1251"},
      {"/opt/fw\\new/Trakmon", false,
       "в пути программы \"/opt/fw\\new/Trakmon\" знак \"\\\" стоит в имени, а программа читает "
       "его как разделитель папок"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    platform::testing::SetModuleFileName(c.path);
    std::string buffer(1024, '\0');
    SetLastError(0);
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), 1024);
    if (c.exact) {
      EXPECT_EQ(buffer.substr(0, n), platform::Utf8ToCp1251(c.path));
      EXPECT_EQ(platform::MapPath(buffer.substr(0, n)), c.path);
      EXPECT_EQ(platform::ModuleFileNameProblem(), "");
    } else {
      EXPECT_EQ(n, 0u);
      EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
      EXPECT_EQ(platform::Cp1251ToUtf8(platform::ModuleFileNameProblem()), c.problem);
    }
  }
  platform::testing::SetModuleFileName("");
}

TEST(FaultInjection, FailsTheChosenCallOnTheChosenPathForTheChosenCount) {
  TempPrefix prefix;
  platform::testing::InjectFault("CreateDirectoryA", ERROR_ACCESS_DENIED, "C:\\A", 2);
  EXPECT_TRUE(CreateDirectoryA("c:\\B", nullptr));  // another path
  EXPECT_FALSE(CreateDirectoryA("c:\\A", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(CreateDirectoryA("c:\\a", nullptr));  // paths compare as Windows does
  EXPECT_TRUE(CreateDirectoryA("c:\\A", nullptr));

  platform::testing::InjectFault("GetFileAttributesA", ERROR_GEN_FAILURE, "", -1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(GetFileAttributesA("c:\\A"), INVALID_FILE_ATTRIBUTES);
  platform::testing::ClearFaults();
  EXPECT_EQ(GetFileAttributesA("c:\\A"), FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
