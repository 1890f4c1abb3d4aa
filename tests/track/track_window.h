// The main window with the tracker simulator on COM1 (tests/trakmon's sandbox), its working
// folder created, and the track files read back from the working folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/cp1251.h"
#include "read_dev/track_dump.h"
#include "sim/track_memory.h"
#include "track_day_files.h"
#include "track_lines.h"
#include "trakmon_fixture.h"
#include "vcl/sysutils.h"

using test_support::FileBytes;

// The programs' texts as a failed expectation shows them.
inline void PrintTo(const AnsiString& text, std::ostream* os) {
  *os << '"' << platform::Cp1251ToUtf8(text.str()) << '"';
}

class TrackWindowTest : public TrakmonTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(WorkDir());
    form = CreateMainForm();
    cwd_ = std::filesystem::current_path();
  }
  // The handlers change the process's current directory.
  void TearDown() override {
    std::filesystem::current_path(cwd_);
    TrakmonTest::TearDown();
  }

  // Where "c:\Tc\WorkDir\" lands.
  std::string WorkDir() const { return dir() + "/drive_c/Tc/WorkDir"; }
  std::string ReadWork(const std::string& name) const { return FileBytes(WorkDir() + "/" + name); }
  bool WorkFileExists(const std::string& name) const {
    return std::filesystem::exists(WorkDir() + "/" + name);
  }
  // "\n" -> "\r\n", as a text stream writes it.
  static std::string OnDisk(const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  // Puts bytes 0, 1, 2 ... (mod 251) into the memory below `size`.
  void FillMemory(std::size_t size) {
    auto& bytes = tracker->memory().bytes;
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
  }
  std::string MemoryText(std::size_t from, std::size_t count) const {
    const auto& bytes = tracker->memory().bytes;
    return track::DumpText(std::span(bytes).subspan(from, count), true);
  }

  // Loads the tracker's memory with a generated track: two days from 09:00 to 10:00.
  const sim::GeneratedTrack& LoadTrack() {
    sim::TrackPlan plan;
    plan.days = 2;
    plan.first_second = 9 * 3600;
    plan.end_second = 10 * 3600;
    track_ = sim::GenerateTrack(plan);
    tracker->memory().Load(sim::PackTrackText(track_.text));
    return track_;
  }

  void ExpectDayFilesHoldTheTrack(const std::string& folder) const {
    ExpectDayFilesHoldTrack(folder, track_, tracker->memory().write_address);
  }

  // Writes a file into the working folder as a text stream would (CR LF).
  void WriteWork(const std::string& name, const std::string& text) const {
    std::ofstream(WorkDir() + "/" + name, std::ios::binary) << OnDisk(text);
  }

  TML_Form* form = nullptr;

 private:
  std::filesystem::path cwd_;
  sim::GeneratedTrack track_;
};

// The download panel shown, the port open, and the clock of the time stamps at 8 December 2026
// 9:31:05.
class DownloadPanelTest : public TrackWindowTest {
 protected:
  void SetUp() override {
    TrackWindowTest::SetUp();
    OpenPort();
    vcl::headless::Click(form->track_panel);
    vcl::testing::SetNow(EncodeDate(2026, 12, 8) + EncodeTime(9, 31, 5, 0));
  }
  void TearDown() override {
    vcl::testing::ClearNow();
    TrackWindowTest::TearDown();
  }
  // The per-vehicle folder of the simulator's number.
  std::string Vehicle() const { return WorkDir() + "/ID= A001AA"; }
};
