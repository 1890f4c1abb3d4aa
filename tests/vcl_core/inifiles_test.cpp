#include "vcl/inifiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/cp1251.h"
#include "temp_dir.h"

namespace {

class IniFile : public ::testing::Test {
 protected:
  AnsiString Name() const { return dir_.File("TRAKMON.INI"); }
  TempFiles dir_;
};

TEST_F(IniFile, MissingOrUnreadableValuesGiveTheDefaults) {
  dir_.Write("TRAKMON.INI",
             "[Port]\r\n"
             "COMM_PORT_NMEA=abc\r\n"
             "BAUD_RATE_NMEA = 57600 \r\n"
             "hex=0x10\r\n"
             "empty=\r\n"
             "[Catalog]\r\n"
             "work_dir=d:\\Data\\\r\n"
             "quoted=\"  padded  \"\r\n"
             "[Ser]\n"
             "ser_ini=1\n"
             "flag=yes\n");
  const TIniFile ini(Name());
  struct IntCase {
    const char *section, *key;
    int def, value;
  } ints[] = {
      {"Port", "COMM_PORT_NMEA", 0, 0},  // not a number
      {"Port", "BAUD_RATE_NMEA", 921600, 57600},
      {"port", "baud_rate_nmea", 921600, 57600},  // names ignore case
      {"Port", "hex", 0, 16},
      {"Port", "empty", 7, 7},
      {"Port", "missing", 5, 5},
      {"Nowhere", "BAUD_RATE_NMEA", 9600, 9600},
      {"Ser", "ser_ini", 0, 1},
  };
  for (const auto& c : ints)
    EXPECT_EQ(ini.ReadInteger(c.section, c.key, c.def), c.value) << c.section << "/" << c.key;

  struct StringCase {
    const char *section, *key, *def, *value;
  } strings[] = {
      {"Catalog", "work_dir", "c:\\Tc\\WorkDir\\", "d:\\Data\\"},
      {"Catalog", "quoted", "", "  padded  "},
      {"Port", "empty", "default", ""},  // present but empty: not the default
      {"Time", "CorTime", "04:00:00", "04:00:00"},
      {"Port", "BAUD_RATE_NMEA", "", "57600"},
  };
  for (const auto& c : strings)
    EXPECT_EQ(ini.ReadString(c.section, c.key, c.def), c.value) << c.section << "/" << c.key;

  EXPECT_TRUE(ini.ReadBool("Ser", "ser_ini", false));
  EXPECT_TRUE(ini.ReadBool("Ser", "flag", true));  // not an integer: the default
  EXPECT_FALSE(ini.ReadBool("Ser", "flag", false));
  EXPECT_FALSE(ini.ReadBool("Ser", "missing", false));
}

TEST_F(IniFile, AMissingFileReadsAsEmptyAndWritesCreateIt) {
  TIniFile ini(Name());
  EXPECT_EQ(ini.ReadInteger("Port", "BAUD_RATE_NMEA", 921600), 921600);
  EXPECT_FALSE(FileExists(Name()));

  ini.WriteInteger("Port", "COMM_PORT_NMEA", 0);
  ini.WriteInteger("Port", "BAUD_RATE_NMEA", 921600);
  ini.WriteString("Catalog", "work_dir", "c:\\Tc\\WorkDir\\");
  ini.WriteInteger("Ser", "ser_ini", 0);
  ini.WriteBool("Ser", "debug", true);
  EXPECT_EQ(dir_.Read("TRAKMON.INI"),
            "[Port]\r\n"
            "COMM_PORT_NMEA=0\r\n"
            "BAUD_RATE_NMEA=921600\r\n"
            "[Catalog]\r\n"
            "work_dir=c:\\Tc\\WorkDir\\\r\n"
            "[Ser]\r\n"
            "ser_ini=0\r\n"
            "debug=1\r\n");
  EXPECT_EQ(ini.ReadString("Catalog", "work_dir", ""), "c:\\Tc\\WorkDir\\");
}

TEST_F(IniFile, WritesReplaceValuesAndKeepEveryOtherLine) {
  dir_.Write("TRAKMON.INI",
             "; settings\n"
             "[Port]\n"
             "Baud_Rate_Nmea=9600\n"
             "other=x\n"
             "\n"
             "[Time]\n"
             "CorTime=05:00:00\n");
  TIniFile ini(Name());
  ini.WriteInteger("PORT", "BAUD_RATE_NMEA", 115200);  // keeps the spelling in the file
  ini.WriteInteger("Port", "COMM_PORT_NMEA", 3);       // new key at the end of its section
  ini.WriteString("Catalog", "work_dir", "Папка\\");   // new section at the end
  EXPECT_EQ(dir_.Read("TRAKMON.INI"),
            "; settings\r\n"
            "[Port]\r\n"
            "Baud_Rate_Nmea=115200\r\n"
            "other=x\r\n"
            "COMM_PORT_NMEA=3\r\n"
            "\r\n"
            "[Time]\r\n"
            "CorTime=05:00:00\r\n"
            "[Catalog]\r\n"
            "work_dir=Папка\\\r\n");
  EXPECT_EQ(ini.ReadInteger("Port", "baud_rate_nmea", 0), 115200);
  EXPECT_EQ(ini.ReadString("Time", "CorTime", ""), "05:00:00");
}

TEST_F(IniFile, SectionsKeysAndTheirRemoval) {
  dir_.Write("TRAKMON.INI",
             "[A]\r\nk1=1\r\n;note=0\r\nk2=2\r\n[Empty]\r\n[B]\r\nk=3\r\n[a]\r\nlater=4\r\n");
  TIniFile ini(Name());
  TStringList keys;
  keys.Add("stale");
  ini.ReadSection("a", &keys);
  EXPECT_EQ(keys.Text(), "k1\r\nk2\r\n");  // the first section of that name; no comments
  EXPECT_TRUE(ini.SectionExists("A"));
  EXPECT_FALSE(ini.SectionExists("Empty"));  // no keys
  EXPECT_FALSE(ini.SectionExists("C"));
  EXPECT_TRUE(ini.ValueExists("A", "K2"));
  EXPECT_FALSE(ini.ValueExists("A", "note"));
  EXPECT_FALSE(ini.ValueExists("B", "k1"));

  ini.DeleteKey("A", "k1");
  ini.EraseSection("B");
  EXPECT_EQ(dir_.Read("TRAKMON.INI"), "[A]\r\n;note=0\r\nk2=2\r\n[Empty]\r\n[a]\r\nlater=4\r\n");
  EXPECT_EQ(ini.ReadString("B", "k", "gone"), "gone");
  EXPECT_EQ(ini.FileName(), Name());
}

TEST_F(IniFile, AFileThatCannotBeWrittenRaises) {
  TIniFile ini(dir_.File("no_such_folder/x.ini"));
  EXPECT_THROW(ini.WriteString("S", "k", "v"), EIniFileException);
}

// A file saved by an editor as UTF-8 starts with a byte order mark: its first section is found,
// its texts reach the program in its code page, and a write keeps the mark, the encoding and
// every other line; nothing is added twice.
TEST_F(IniFile, AUtf8FileWithAByteOrderMarkReadsAsWithoutIt) {
  const std::string mark = "\xEF\xBB\xBF";
  const std::string utf8_folder = platform::Cp1251ToUtf8("c:\\Tc\\Папка\\");
  dir_.Write("TRAKMON.INI", mark +
                                "[Port]\r\n"
                                "COMM_PORT_NMEA=3\r\n"
                                "BAUD_RATE_NMEA=115200\r\n"
                                "; caf\xC3\xA9 (UTF-8)\r\n"
                                "[Catalog]\r\n"
                                "work_dir=" +
                                utf8_folder + "\r\n");
  TIniFile ini(Name());
  EXPECT_EQ(ini.ReadInteger("Port", "COMM_PORT_NMEA", 0), 3);
  EXPECT_EQ(ini.ReadInteger("Port", "BAUD_RATE_NMEA", 921600), 115200);
  EXPECT_EQ(ini.ReadString("Catalog", "work_dir", ""), "c:\\Tc\\Папка\\");
  EXPECT_TRUE(ini.SectionExists("Port"));

  ini.WriteInteger("Port", "BAUD_RATE_NMEA", 9600);
  ini.WriteString("Catalog", "work_dir", "c:\\Tc\\Другая\\");
  ini.WriteString("Время", "Пояс", "Москва");
  EXPECT_EQ(dir_.Read("TRAKMON.INI"), mark +
                                          "[Port]\r\nCOMM_PORT_NMEA=3\r\nBAUD_RATE_NMEA=9600\r\n; "
                                          "caf\xC3\xA9 (UTF-8)\r\n[Catalog]\r\n" +
                                          "work_dir=" + platform::Cp1251ToUtf8("c:\\Tc\\Другая\\") +
                                          "\r\n" +
                                          platform::Cp1251ToUtf8("[Время]\r\nПояс=Москва\r\n"));
  EXPECT_EQ(ini.ReadString("время", "пояс", ""), "Москва");
  TStringList keys;
  ini.ReadSection("Время", &keys);
  EXPECT_EQ(keys.Text(), "Пояс\r\n");
}

// A file that is there but cannot be read (here a FIFO, which is no file to read whole and is
// refused at once) reads as empty and is never written over: a write raises, naming it.
TEST_F(IniFile, AFileThatCannotBeReadIsNotWrittenOver) {
  const std::string fifo = dir_.path() + "/TRAKMON.INI";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  TIniFile ini(Name());
  EXPECT_EQ(ini.ReadInteger("Port", "BAUD_RATE_NMEA", 921600), 921600);
  try {
    ini.WriteInteger("Port", "BAUD_RATE_NMEA", 9600);
    ADD_FAILURE() << "written over";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message, "Unable to write to " + Name() + ". Not a regular file");
  }
  EXPECT_THROW(ini.EraseSection("Port"), EIniFileException);
  EXPECT_THROW(ini.DeleteKey("Port", "x"), EIniFileException);
  struct stat st {};
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A settings file the user made read-only keeps its settings; the write says why.
TEST_F(IniFile, AReadOnlyFileIsKeptAndTheWriteSaysWhy) {
  dir_.Write("TRAKMON.INI", "[Port]\r\nBAUD_RATE_NMEA=115200\r\n");
  ::chmod((dir_.path() + "/TRAKMON.INI").c_str(), 0444);
  TIniFile ini(Name());
  try {
    ini.WriteInteger("Port", "BAUD_RATE_NMEA", 9600);
    ADD_FAILURE() << "written over";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message, "Unable to write to " + Name() + ". Нет прав на запись в файл");
  }
  EXPECT_EQ(dir_.Read("TRAKMON.INI"), "[Port]\r\nBAUD_RATE_NMEA=115200\r\n");
  EXPECT_EQ(ini.ReadInteger("Port", "BAUD_RATE_NMEA", 0), 115200);
}

}  // namespace
