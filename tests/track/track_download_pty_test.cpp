// The one-button download end to end: the simulator tool serving a pseudo-terminal as COM1 in
// real time, the window on the headless widget set over the real serial port, and the day
// files compared with the track the tool was given.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "comm_port/comm_port.h"
#include "platform/testing.h"
#include "read_dev/ml_form.h"
#include "sim/tool_process.h"
#include "sim/track_memory.h"
#include "test_support/temp_dir.h"
#include "track_window.h"
#include "vcl/headless_gtest.h"

namespace {

namespace fs = std::filesystem;

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

  test_support::TempDir temp_{"track_pty"};
  std::string dir_ = temp_.str();
  std::string old_prefix_;
  fs::path cwd_;
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
  // The end address the device sent is where the packed track ends.
  const auto write_address = static_cast<std::uint32_t>(sim::PackTrackText(track.text).size());
  EXPECT_EQ(ML_Form->Edit2->Text, IntToHex(static_cast<int>(write_address), 1));
  ExpectDayFilesHoldTrack(dir_ + "/drive_c/Tc/WorkDir/ID= A001AA", track, write_address);
}

}  // namespace
