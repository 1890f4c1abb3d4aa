// The settings panels end to end in real time: the main window on the headless widget set, the
// serial port class on a pseudo-terminal served by the tracker simulator tool. Settings written
// through the panels are read back, and again after the port was closed and opened anew.
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "comm_port/comm_port.h"
#include "platform/testing.h"
#include "read_dev/ml_form.h"
#include "sim/tool_process.h"
#include "test_support/temp_dir.h"
#include "vcl/headless_gtest.h"

namespace {

namespace fs = std::filesystem;
namespace hl = vcl::headless;

class PanelsPtyTest : public hl::FormTest {
 protected:
  PanelsPtyTest() {
    ::setenv("TRAKMON_PREFIX", dir_.c_str(), 1);
    platform::testing::SetModuleFileName((dir_ / "Trakmon").string());
    std::ofstream(dir_ / "Trakmon.INI") << "[Port]\nCOMM_PORT_NMEA=0\nBAUD_RATE_NMEA=115200\n";
  }
  ~PanelsPtyTest() override {
    if (CommPort->IsOpen()) CommPort->Close();
    vcl::ResetApplication();
    ML_Form = nullptr;
    platform::testing::SetModuleFileName("");
    ::unsetenv("TRAKMON_PREFIX");
  }

  test_support::TempDir temp_{"trakmon_panels"};
  fs::path dir_ = temp_.path();
};

TEST_F(PanelsPtyTest, SettingsWrittenThroughThePanelsAreReadBackAndKept) {
  // The tool serves a pseudo-terminal as COM1 of the prefix once it prints its path.
  sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", dir_.string(), "--com", "1"});
  ASSERT_FALSE(tool.ReadLine().empty());
  Application->CreateForm<TML_Form>(&ML_Form);
  TML_Form* form = ML_Form;
  form->Show();
  // A person's clicks come apart: a write's last bytes are on the line before the next request
  // purges the output.
  auto click = [](TComponent* control) {
    hl::Click(control);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  };

  click(form->SBOpenComPort);
  ASSERT_TRUE(CommPort->IsOpen());

  // Write.
  click(form->sb_user_phone);
  hl::Type(form->edit_pass, "Secret7");
  click(form->sb_pass);
  click(form->SBWritePH);
  hl::Type(form->user_spin, "2");
  hl::Type(form->done_edit_phone, "+79005550011");
  click(form->sb_done_edit_phone);
  click(form->SBWritePH);

  click(form->sb_apn_panel_on);
  hl::Type(form->edit_user_apn, "gprs.volna");
  hl::Type(form->edit_user_login, "usr");
  hl::Type(form->edit_user_pass, "");
  click(form->sb_write_apn_user);
  hl::Type(form->ip_box, "10.1.2.3");
  click(form->sb_write_ip);

  click(form->SpeedButton10);
  hl::Type(form->SrEdit, "K777KK");
  click(form->OK_SERIAL);

  // Read back, then once more after the port was closed and opened again.
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass == 0 ? "after writing" : "after reconnecting");
    if (pass == 1) {
      click(form->SBCloseComPort);
      ASSERT_FALSE(CommPort->IsOpen());
      click(form->SBOpenComPort);
    }
    click(form->SBMode);
    EXPECT_EQ(form->Label23->Caption(), "Номер прибора-> ID= K777KK");
    click(form->sb_user_phone);
    hl::Type(form->edit_pass, "");
    click(form->sb_read_pass);
    EXPECT_EQ(form->edit_pass->Text(), "Secret7");
    form->EditReadUser->Text = "";
    click(form->SBReadPH);
    EXPECT_EQ(form->EditReadUser->Text(), "+79005550011");

    click(form->sb_apn_panel_on);
    click(form->sb_read_apn_user);
    EXPECT_EQ(form->edit_user_apn->Text(), "gprs.volna");
    EXPECT_EQ(form->edit_user_login->Text(), "usr");
    EXPECT_EQ(form->edit_user_pass->Text(), "");
    click(form->sb_read_ip);
    EXPECT_EQ(form->edit_ip->Text().str(), "10.1.2.3");
  }
  EXPECT_TRUE(responder().Shown().empty());
}

}  // namespace
