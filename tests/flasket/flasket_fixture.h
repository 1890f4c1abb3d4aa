// The loader window on the headless widget set with the boot-loader simulator on COM3. The
// serial worker thread needs the real clock (the virtual clock is single-threaded): these tests
// run in real time, and each wait is bounded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim_comm.h"
#include "platform/testing.h"
#include "platform_test_support.h"
#include "prog/form_prog.h"
#include "serial_event/serial_event.h"
#include "sim/boot_loader_device.h"
#include "sim/intel_hex.h"
#include "vcl/headless_gtest.h"

namespace flasket_test {

namespace hl = vcl::headless;

// `size` bytes of a recognisable pattern.
inline std::vector<std::uint8_t> Firmware(std::size_t size, std::uint8_t seed = 1) {
  std::vector<std::uint8_t> data(size);
  for (std::size_t i = 0; i < size; ++i)
    data[i] = static_cast<std::uint8_t>((i * 13 + seed + (i >> 8)) & 0xFF);
  return data;
}

class FlasketTest : public hl::FormTest {
 protected:
  void SetUp() override {
    platform::testing::ClearBeeps();
    AttachDevice();
    CreateSerialPort();
    Application->CreateForm<TFormProg>(&FormProg);
    form = FormProg;
    form->Show();  // as the loop shows the main form
  }
  void TearDown() override {
    if (form->connected) form->close_port();
    hl::PumpMessages();
    DestroySerialPort();
    FormTest::TearDown();
  }

  // The boot loader on COM3: the in-process simulator unless a test puts another there.
  virtual void AttachDevice() { platform::sim::Attach("COM3", loader); }

  template <class T = TControl>
  T* Get(const char* name) {
    return hl::Find<T>(form, name);
  }
  // Clicks a button as the user does: first the tab it sits on.
  void Press(const char* name) {
    TControl* button = Get(name);
    for (TWinControl* p = button->Parent(); p; p = p->Parent())
      if (auto* sheet = dynamic_cast<TTabSheet*>(p)) hl::Pick(Get("PageControl1"), sheet->Caption);
    hl::Click(button);
  }
  std::string Caption(const char* label) { return Get<TLabel>(label)->Caption().str(); }
  std::vector<std::string> Log() {
    std::vector<std::string> lines;
    TStrings* memo = Get<TRichEdit>("Memo1")->Lines;
    for (int i = 0; i < memo->Count; ++i) lines.push_back(memo->Strings[i]().str());
    return lines;
  }
  // The texts of the message boxes shown, in order (dialogs left out).
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& shown : responder().Shown())
      if (shown.kind == hl::ModalKind::Message || shown.kind == hl::ModalKind::MessageBox ||
          shown.kind == hl::ModalKind::Exception)
        texts.push_back(shown.text.str());
    return texts;
  }
  std::string LastShown() {
    auto& shown = responder().Shown();
    return shown.empty() ? "" : shown.back().text.str();
  }

  // Writes the HEX text into a file and opens it through the window's open button.
  void OpenHex(const std::string& text) {
    const auto path = prefix.scratch() / "firmware.hex";
    std::ofstream(path, std::ios::binary) << text;
    responder().AnswerOpenDialog(path.string().c_str());
    hl::Click(Get("sb_open_files"));
  }
  void OpenFirmware(const std::vector<std::uint8_t>& data) { OpenHex(sim::MakeIntelHex(data)); }
  void Connect() {
    hl::Click(Get("sb_connect"));
    ASSERT_EQ(form->connected, 1);
  }
  // Delivers the worker's notices until `done` or the time is up.
  bool Until(const std::function<bool()>& done,
             std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return hl::PumpUntil(done, limit);
  }
  // The window in its state after a connection has ended: the port box and connect enabled.
  void ExpectClosedState() {
    EXPECT_EQ(form->connected, 0);
    EXPECT_EQ(form->Caption().str(), "  Comm Port ( COM3 ) Close");
    EXPECT_TRUE(Get("sb_connect")->Enabled);
    EXPECT_TRUE(Get("ComboBox1")->Enabled);
    EXPECT_FALSE(Get("sb_disconnect")->Enabled);
  }
  // A byte of block 1: after "#CLR_ADDR 0000", block 0 with its command, and block 1's command.
  static constexpr std::uint64_t kByteOfBlock1 = 15 + 12 + 256 + 12 + 100;
  // A write of six blocks whose device vanished on kByteOfBlock1 ended saying so, with the
  // connection, and without the success beep.
  void ExpectVanishedInBlock1() {
    EXPECT_EQ(LastShown(),
              "Device Disconnected... COM3\n"
              "Write Failed: Block 1-5 Not Written. Repeat Write All...");
    EXPECT_EQ(form->mode, MODE_IDLE);
    ExpectClosedState();
    EXPECT_FALSE(SuccessBeeped());
  }
  // The beep that ends a write that went well.
  static bool SuccessBeeped() {
    const auto beeps = platform::testing::Beeps();
    return std::any_of(beeps.begin(), beeps.end(), [](const auto& b) { return b.duration == 200; });
  }
  // "Write All" and the chain to its end (the window back in MODE_IDLE).
  bool WriteAll(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    Press("sb_write_all");
    return Until([&] { return form->mode == MODE_IDLE; }, limit);
  }

  platform_test::TempPrefix prefix;
  std::shared_ptr<sim::BootLoaderDevice> loader = std::make_shared<sim::BootLoaderDevice>();
  TFormProg* form = nullptr;
};

}  // namespace flasket_test
