// The settings panels of the real Trakmon under Xvfb, driven through its window by the test-only
// driver against the simulator tool on a pseudo-terminal as COM1: values are typed and buttons
// clicked as a person does, what the panels then show is checked, and each panel is saved as a
// picture under the build folder (<build>/screenshots/Trakmon_panel_*.png) for people to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driven_trakmon.h"

namespace fs = std::filesystem;

namespace {

TEST(PanelsOnScreen, WrittenSettingsAreReadBackIntoThePanels) {
  if (!DrivenTrakmon::kBuilt) GTEST_SKIP() << DrivenTrakmon::kNotBuilt;
  const DrivenTrakmon trakmon("trakmon_panels_shot");
  std::ofstream(trakmon.folder() / "Trakmon.INI")
      << "[Port]\nCOMM_PORT_NMEA=0\nBAUD_RATE_NMEA=115200\n";
  sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", trakmon.prefix().string(), "--com", "1"});
  ASSERT_FALSE(tool.ReadLine().empty());

  const std::vector<std::string> panels = {"phones", "apn", "number", "extra", "state"};
  auto shot = [&](const std::string& panel) {
    return "shot ML_Form " + (trakmon.folder() / (panel + ".png")).string() + "\n";
  };
  std::ostringstream steps;
  steps << "click SBOpenComPort\n"
           "wait ML_Form   Open COMM PORT_1  Baud Rate 115200\n"
           // The password and a user's phone written, then read back.
           "click sb_user_phone\n"
           "type edit_pass Parol9\n"
           "click sb_pass\n"
           "click SBWritePH\n"
           "type user_spin 2\n"
           "type done_edit_phone +79005550011\n"
           "click sb_done_edit_phone\n"
           "click SBWritePH\n"
           "type edit_pass\n"
           "click sb_read_pass\n"
           "click SBReadPH\n"
           "wait edit_pass Parol9\n"
           "wait EditReadUser +79005550011\n"
           "wait EditPhone u2=+79005550011 *\n"
        << shot("phones")
        // The user's APN, the server's address and a standard APN written, the
        // edits cleared, and all read back.
        << "click sb_apn_panel_on\n"
           "type edit_user_apn GPRS.Volna\n"
           "type edit_user_login usr\n"
           "type edit_user_pass\n"
           "click sb_write_apn_user\n"
           "type ip_box 10.1.2.3\n"
           "click sb_write_ip\n"
           "pick apn_box Меридиан GSM\n"
           "click sb_write_apn\n"
           "type edit_user_apn\n"
           "type edit_user_login\n"
           "type edit_user_pass\n"
           "click sb_read_apn_user\n"
           "click sb_read_ip\n"
           "click read_portip\n"
           "click sb_read_apn\n"
           "wait edit_user_apn gprs.volna\n"
           "wait edit_user_login usr\n"
           "wait edit_user_pass\n"
           "wait edit_ip 10.1.2.3\n"
           "wait edit_read_portip 2020\n"
           "wait edit_apn Меридиан GSM\n"
        << shot("apn")
        // The registration number, then both extra modes switched.
        << "click SpeedButton10\n"
           "type SrEdit K777KK\n"
           "click OK_SERIAL\n"
        << shot("number")
        << "click SpeedButton21\n"
           "click SpeedButton26\n"
           "click SpeedButton28\n"
           // Shows the panel again and asks for both modes.
           "click SpeedButton21\n"
           "wait Edit14 IGN\n"
           "wait Edit15 LITRE\n"
        << shot("extra")
        << "click SBMode\n"
           "wait Label23 Номер прибора-> ID= K777KK\n"
        << shot("state") << DrivenTrakmon::kCloseAndExit;

  const auto run = trakmon.Drive(steps.str());
  const std::string& output = run.output;
  if (run.skipped) GTEST_SKIP() << output;
  ASSERT_EQ(run.exit_code, 0) << output;
  EXPECT_NE(output.find("click SBAllExit"), std::string::npos) << output;
  EXPECT_EQ(tool.Stop(), 0);

  for (const std::string& panel : panels) {
    const fs::path picture = trakmon.folder() / (panel + ".png");
    ASSERT_TRUE(fs::exists(picture)) << output;
    x_server::KeepPicture(picture, SCREENSHOT_DIR, "Trakmon_panel_" + panel + ".png");
  }
}

}  // namespace
