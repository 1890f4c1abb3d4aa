#include "vcl/inifiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

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

}  // namespace
