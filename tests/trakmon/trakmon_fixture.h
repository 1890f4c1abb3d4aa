// The main window in a sandbox: a fresh folder that holds the program file's INI and serves as
// the prefix (drive C, COM ports), the virtual clock, a headless session, and the tracker
// simulator on COM1.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "comm_port/comm_port.h"
#include "platform/clock.h"
#include "platform/sim_comm.h"
#include "platform/testing.h"
#include "read_dev/ml_form.h"
#include "sim/tracker_device.h"
#include "test_support/files.h"
#include "test_support/temp_dir.h"
#include "vcl/headless_gtest.h"

// Answers command bytes with texts at given times after the byte; records what came.
class ScriptedDevice : public platform::sim::Device {
 public:
  struct Send {
    std::uint64_t delay_ms;
    std::string bytes;
  };
  std::map<std::uint8_t, std::vector<Send>> replies;
  std::vector<std::uint8_t> received;

  void OnOpen(platform::sim::Line& line) override { line_ = &line; }
  void OnClose(platform::sim::Line& line) override { line_ = nullptr; }
  // The modem lines as the host has set them (off while the port is closed).
  bool Rts() const { return line_ && line_->Rts(); }
  bool Dtr() const { return line_ && line_->Dtr(); }

  void OnByte(platform::sim::Line& line, std::uint8_t byte,
              const platform::sim::LineSettings&) override {
    received.push_back(byte);
    auto it = replies.find(byte);
    if (it == replies.end()) return;
    for (const Send& s : it->second)
      line.Send(std::span(reinterpret_cast<const std::uint8_t*>(s.bytes.data()), s.bytes.size()),
                s.delay_ms * 1000);
  }

 private:
  platform::sim::Line* line_ = nullptr;
};

class TrakmonTest : public vcl::headless::FormTest {
 protected:
  TrakmonTest() {
    if (const char* old = ::getenv("TRAKMON_PREFIX")) old_prefix_ = old;
    ::setenv("TRAKMON_PREFIX", dir_.c_str(), 1);
    platform::testing::SetModuleFileName(dir_ + "/Trakmon");
    tracker = std::make_shared<sim::TrackerDevice>();
    platform::sim::Attach("COM1", tracker);
  }

  ~TrakmonTest() override {
    ResetCommPort();
    platform::sim::DetachAll();
    vcl::ResetApplication();
    ML_Form = nullptr;
    platform::testing::SetModuleFileName("");
    platform::testing::SetProcessInterceptor(nullptr);
    platform::testing::ClearProcesses();
    platform::testing::ClearBeeps();
    if (old_prefix_.empty())
      ::unsetenv("TRAKMON_PREFIX");
    else
      ::setenv("TRAKMON_PREFIX", old_prefix_.c_str(), 1);
  }

  // Writes the INI file that the program reads beside itself.
  void WriteIni(const std::string& text) { std::ofstream(IniPath(), std::ios::binary) << text; }
  std::string ReadIni() const { return test_support::FileBytes(IniPath()); }
  bool IniExists() const { return std::filesystem::exists(IniPath()); }
  std::string IniPath() const { return dir_ + "/Trakmon.INI"; }
  const std::string& dir() const { return dir_; }

  // Creates the main window as the program does (constructor, then FormCreate) and shows it,
  // as the message loop does.
  TML_Form* CreateMainForm() {
    Application->CreateForm<TML_Form>(&ML_Form);
    ML_Form->Show();
    return ML_Form;
  }

  // Writes the INI with the port, the rate and the developer switch, creates the main window and
  // connects through its button.
  TML_Form* CreateConnectedForm(int port_index = 0, int baud = 115200, bool developer = false) {
    WriteIni("[Port]\nCOMM_PORT_NMEA=" + std::to_string(port_index) + "\nBAUD_RATE_NMEA=" +
             std::to_string(baud) + "\n[Ser]\nser_ini=" + (developer ? "1" : "0") + "\n");
    CreateMainForm();
    vcl::headless::Click(ML_Form->SBOpenComPort);
    return ML_Form;
  }

  // Opens COM1 at the simulator's rate.
  void OpenPort() {
    ASSERT_EQ(CommPort->Open(0, 2048, 2048), 0);
    CommPort->SetBaudRate(sim::kDefaultBaud);
  }

  // The global port as a run starts with it: closed, with the line settings of a port never
  // opened (9600 baud at the first open). A port whose device vanished may refuse to close: its
  // handle is dropped then, so that the next test starts closed all the same.
  static void ResetCommPort() {
    if (!CommPort) return;
    try {
      if (CommPort->IsOpen()) CommPort->Close();
    } catch (const ECommError&) {
      CommPort->Opened = false;
      CommPort->Handle = nullptr;
    }
    const TCommPort fresh;
    CommPort->Dcb = fresh.Dcb;
    CommPort->PortName = fresh.PortName;
  }

  platform::ScopedVirtualClock clock;
  std::shared_ptr<sim::TrackerDevice> tracker;

 private:
  test_support::TempDir temp_{"trakmon_test"};
  std::string dir_ = temp_.str();
  std::string old_prefix_;
};
