// The one-button download end to end: the simulator tool serving a pseudo-terminal as COM1 in
// real time, the window on the headless widget set over the real serial port, and the day
// files compared with the track the tool was given.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "comm_port/comm_port.h"
#include "platform/testing.h"
#include "read_dev/ml_form.h"
#include "read_dev/track_dump.h"
#include "sim/tool_process.h"
#include "sim/track_memory.h"
#include "test_support/files.h"
#include "test_support/temp_dir.h"
#include "track_window.h"
#include "vcl/headless_gtest.h"

namespace {

namespace fs = std::filesystem;

// Memory bytes as the dump writes them to its file: unpacked, each line feed as CR LF.
std::string DumpFileText(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (char c : track::DumpText(bytes, true)) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

class DownloadOverPty : public vcl::headless::FormTest {
 protected:
  DownloadOverPty() {
    if (const char* old = ::getenv("TRAKMON_PREFIX")) old_prefix_ = old;
    ::setenv("TRAKMON_PREFIX", dir_.c_str(), 1);
    platform::testing::SetModuleFileName(dir_ + "/Trakmon");
    fs::create_directories(dir_ + "/drive_c/Tc/WorkDir");
    cwd_ = fs::current_path();
  }
  ~DownloadOverPty() override {
    if (CommPort && CommPort->IsOpen()) CommPort->Close();
    vcl::ResetApplication();
    ML_Form = nullptr;
    fs::current_path(cwd_);
    platform::testing::SetModuleFileName("");
    if (old_prefix_.empty())
      ::unsetenv("TRAKMON_PREFIX");
    else
      ::setenv("TRAKMON_PREFIX", old_prefix_.c_str(), 1);
  }

  // The simulator tool on COM1 with the generated track and `faults` (its --fault values).
  std::unique_ptr<sim::ToolProcess> StartTool(const std::vector<std::string>& faults = {}) {
    std::vector<std::string> args = {"--prefix", dir_,           "--com",
                                     "1",        "--track-text", dir_ + "/track.txt"};
    for (const std::string& f : faults) {
      args.push_back("--fault");
      args.push_back(f);
    }
    auto tool = std::make_unique<sim::ToolProcess>(TRACKER_SIM_TOOL, args);
    EXPECT_FALSE(tool->ReadLine().empty());
    return tool;
  }
  // Writes the track that the tool serves; its packed size is the device's write address.
  std::uint32_t WriteTrack() {
    sim::TrackPlan plan;
    plan.days = 2;
    plan.first_second = 9 * 3600;
    plan.end_second = 10 * 3600;
    track_ = sim::GenerateTrack(plan);
    std::ofstream(dir_ + "/track.txt", std::ios::binary) << track_.text;
    return static_cast<std::uint32_t>(sim::PackTrackText(track_.text).size());
  }
  // The window, connected at the tool's rate through its button.
  void CreateConnectedWindow() {
    std::ofstream(dir_ + "/Trakmon.INI") << "[Port]\nCOMM_PORT_NMEA=0\nBAUD_RATE_NMEA=115200\n";
    Application->CreateForm<TML_Form>(&ML_Form);
    ML_Form->Show();
    vcl::headless::Click(ML_Form->SBOpenComPort);
    ASSERT_TRUE(CommPort->IsOpen());
    vcl::headless::Click(ML_Form->track_panel);
  }
  // The window's state after the device went away, and a port that opens once it is back.
  void ExpectDisconnectedThenReconnects() {
    EXPECT_EQ(responder().Texts(vcl::headless::ModalKind::Exception),
              std::vector<AnsiString>{"Прибор отключен... Comm Port_1 закрыт."});
    EXPECT_FALSE(CommPort->IsOpen());
    EXPECT_EQ(ML_Form->Caption, "  Close COMM PORT_1");
    EXPECT_TRUE(ML_Form->SBOpenComPort->Enabled);
    EXPECT_FALSE(ML_Form->SBCloseComPort->Enabled);
    const auto tool = StartTool();
    responder().ClearShown();
    vcl::headless::Click(ML_Form->SBOpenComPort);
    EXPECT_TRUE(CommPort->IsOpen());
    vcl::headless::Click(ML_Form->SBMode);
    EXPECT_TRUE(responder().Shown().empty());
    EXPECT_EQ(ML_Form->Label23->Caption, "Номер прибора-> ID= A001AA");
  }

  test_support::TempDir temp_{"track_pty"};
  std::string dir_ = temp_.str();
  std::string old_prefix_;
  fs::path cwd_;
  sim::GeneratedTrack track_;
};

TEST_F(DownloadOverPty, OneButtonDownloadOfTwoDays) {
  sim::TrackPlan plan;
  plan.days = 2;
  plan.first_second = 9 * 3600;
  plan.end_second = 10 * 3600;
  const sim::GeneratedTrack track = sim::GenerateTrack(plan);
  std::ofstream(dir_ + "/track.txt", std::ios::binary) << track.text;
  sim::ToolProcess tool(TRACKER_SIM_TOOL,
                        {"--prefix", dir_, "--com", "1", "--track-text", dir_ + "/track.txt"});
  ASSERT_FALSE(tool.ReadLine().empty());

  Application->CreateForm<TML_Form>(&ML_Form);
  ML_Form->Show();
  ASSERT_EQ(CommPort->Open(0, 2048, 2048), 0);
  CommPort->SetBaudRate(115200);
  vcl::headless::Click(ML_Form->track_panel);
  responder().AnswerMessageBox(IDYES).AnswerMessageBox(IDCANCEL);
  vcl::headless::Click(ML_Form->AutuRead);

  const auto& shown = responder().Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1].text, "Файлы сохранены в папке c:\\Tc\\WorkDir\\ID= A001AA\\");
  // The end address the device sent is a page above where the packed track ends; the dump
  // brought every byte up to there.
  const auto write_address = static_cast<std::uint32_t>(sim::PackTrackText(track.text).size());
  EXPECT_EQ(ML_Form->Edit2->Text, IntToHex(static_cast<int>(write_address + 528), 1));
  EXPECT_EQ(FileBytes(dir_ + "/drive_c/Tc/WorkDir/gps_msg.txt"),
            DumpFileText(sim::PackTrackText(track.text)));
  ExpectDayFilesHoldTrack(dir_ + "/drive_c/Tc/WorkDir/ID= A001AA", track, write_address);
}

TEST_F(DownloadOverPty, CutDumpAfterACompleteDownloadChangesNothing) {
  WriteTrack();
  const fs::path work = dir_ + "/drive_c/Tc/WorkDir";
  {
    const auto tool = StartTool();
    CreateConnectedWindow();
    responder().AnswerMessageBox(IDYES).AnswerMessageBox(IDCANCEL);
    vcl::headless::Click(ML_Form->AutuRead);
    ASSERT_EQ(responder().Shown().size(), 3u);
    vcl::headless::Click(ML_Form->SBCloseComPort);
  }
  ASSERT_TRUE(fs::exists(work / "ID= A001AA" / "Date 08-12-2026_TC.txt"));
  const auto before = test_support::FolderFiles(work);

  // The same device cutting its dump off after 5000 bytes.
  const auto tool = StartTool({"cut=5000"});
  responder().ClearShown();
  vcl::headless::Click(ML_Form->SBOpenComPort);
  vcl::headless::Click(ML_Form->AutuRead);
  const auto messages = responder().Texts(vcl::headless::ModalKind::Message);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Time Out");
  EXPECT_EQ(messages[1].SubString(1, 42), "Чтение не завершено: получено 4999 байт из");
  EXPECT_EQ(responder().Shown().size(), 2u);  // no question, no success message
  auto after = test_support::FolderFiles(work);
  // What came: the first 4999 bytes of the memory.
  const auto memory = sim::PackTrackText(track_.text);
  EXPECT_EQ(after["gps_msg_incomplete.txt"], DumpFileText(std::span(memory).first(4999)));
  after.erase("gps_msg_incomplete.txt");
  EXPECT_TRUE(after == before);
}

TEST_F(DownloadOverPty, DeviceGoneInTheDumpClosesThePort) {
  const std::uint32_t write_address = WriteTrack();
  // 'e', 'd', then '^' with "0000 <end>" and its 0x00: the device goes at the first
  // acknowledgement.
  const std::size_t command =
      1 + 5 + IntToHex(static_cast<int>(write_address + 528), 1).Length() + 1;
  {
    const auto tool = StartTool({"vanish=" + std::to_string(2 + command + 1)});
    CreateConnectedWindow();
    vcl::headless::Click(ML_Form->AutuRead);
    const auto messages = responder().Texts(vcl::headless::ModalKind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].SubString(1, 41), "Чтение не завершено: получено 528 байт из");
  }
  EXPECT_FALSE(fs::exists(dir_ + "/drive_c/Tc/WorkDir/gps_msg.txt"));
  ExpectDisconnectedThenReconnects();
}

TEST_F(DownloadOverPty, DeviceGoneInTheStateQueryClosesThePort) {
  WriteTrack();
  {
    const auto tool = StartTool({"vanish=1"});
    CreateConnectedWindow();
    vcl::headless::Click(ML_Form->SBMode);
    EXPECT_TRUE(responder().Texts(vcl::headless::ModalKind::Message).empty());
  }
  ExpectDisconnectedThenReconnects();
}

}  // namespace
