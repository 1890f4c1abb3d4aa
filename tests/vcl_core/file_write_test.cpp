// The class library's file writers on a disk that fills up: the old file stays whole and the
// error names the file and the reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/testing.h"
#include "test_support/files.h"
#include "test_support/temp_dir.h"
#include "vcl/inifiles.h"
#include "vcl/string_list.h"

namespace {

using test_support::FileBytes;

struct FullDisk {
  explicit FullDisk(long long bytes) { platform::testing::LimitFileWrites(bytes); }
  ~FullDisk() { platform::testing::LimitFileWrites(-1); }
};

TEST(FileWrite, FullDiskKeepsTheOldFileAndSaysWhy) {
  test_support::TempDir dir;
  const std::filesystem::path ini_path = dir.path() / "Trakmon.INI";
  const std::string ini_bytes = "[Port]\r\nCOMM_PORT_NMEA=2\r\n[Time]\r\nCorTime=3\r\n";
  std::ofstream(ini_path, std::ios::binary) << ini_bytes;
  const std::filesystem::path list_path = dir.path() / "phone.txt";
  std::ofstream(list_path, std::ios::binary) << "old\r\n";

  FullDisk full(10);
  TIniFile ini(AnsiString(ini_path.string()));
  try {
    ini.WriteString("Port", "COMM_PORT_NMEA", "5");
    ADD_FAILURE() << "no error";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message.Pos("Unable to write to " + AnsiString(ini_path.string())), 1);
    EXPECT_GT(e.Message.Pos("Нет места на диске"), 0) << e.Message.c_str();
  }
  EXPECT_EQ(FileBytes(ini_path), ini_bytes);

  TStringList list;
  list.Add("a line longer than what the disk takes");
  try {
    list.SaveToFile(AnsiString(list_path.string()));
    ADD_FAILURE() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_GT(e.Message.Pos(AnsiString(list_path.string())), 0) << e.Message.c_str();
    EXPECT_GT(e.Message.Pos("Нет места на диске"), 0) << e.Message.c_str();
  }
  EXPECT_EQ(FileBytes(list_path), "old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
