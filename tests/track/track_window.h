// The main window with the tracker simulator on COM1 (tests/trakmon's sandbox), its working
// folder created, and the track files read back from the working folder.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "read_dev/track_dump.h"
#include "trakmon_fixture.h"

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
  std::string Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string ReadWork(const std::string& name) const { return Read(WorkDir() + "/" + name); }
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

  // Writes a file into the working folder as a text stream would (CR LF).
  void WriteWork(const std::string& name, const std::string& text) const {
    std::ofstream(WorkDir() + "/" + name, std::ios::binary) << OnDisk(text);
  }

  TML_Form* form = nullptr;

 private:
  std::filesystem::path cwd_;
};
