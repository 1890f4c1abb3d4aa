// End to end in real time: the main window on the headless widget set, the real serial backend,
// and the tracker simulator tool on a pseudo-terminal linked as COM1. Connect, state query with
// the rate fallback, erase, disconnect.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <string>

#include "child_processes.h"
#include "comm_port/comm_port.h"
#include "platform/testing.h"
#include "read_dev/ml_form.h"
#include "vcl/headless_gtest.h"

namespace fs = std::filesystem;
using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

class ConnectPtyTest : public vcl::headless::FormTest {
 protected:
  ConnectPtyTest() {
    ::setenv("TRAKMON_PREFIX", (folder.path() / "prefix").c_str(), 1);
    platform::testing::SetModuleFileName((folder.path() / "Trakmon").string());
  }
  ~ConnectPtyTest() override {
    if (CommPort->IsOpen()) CommPort->Close();
    vcl::ResetApplication();
    ML_Form = nullptr;
    platform::testing::SetModuleFileName("");
    ::unsetenv("TRAKMON_PREFIX");
  }

  TempFolder folder{"trakmon_pty"};
};

TEST_F(ConnectPtyTest, ConnectStateWithFallbackEraseAndDisconnect) {
  const fs::path log = folder.path() / "sim.log";
  sim::ToolProcess tool(TRACKER_SIM_TOOL, {"--prefix", (folder.path() / "prefix").string(), "--com",
                                           "1", "--baud", "115200", "--log", log.string()});
  ASSERT_FALSE(tool.ReadLine().empty());

  Application->CreateForm<TML_Form>(&ML_Form);
  TML_Form* form = ML_Form;
  form->Show();
  Click(form->SBOpenComPort);
  ASSERT_TRUE(CommPort->IsOpen());
  EXPECT_EQ(form->Caption(), "  Open COMM PORT_1  Baud Rate 921600");

  auto t0 = std::chrono::steady_clock::now();
  Click(form->SBMode);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(800));
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(form->Caption(), "  Open COMM PORT_1  Baud Rate 115200");
  EXPECT_EQ(form->Label17->Caption(), "Свобдная память = 2112(kB)");
  EXPECT_EQ(form->Label18->Caption(), "Интервал записи =10(S)");
  EXPECT_EQ(form->Label23->Caption(), "Номер прибора-> ID= A001AA");
  EXPECT_EQ(form->Label13->Caption(), "Порт сервера-> 2020");
  EXPECT_EQ(form->Label43->Caption(), "IP Сервера-> 192.168.0.1");

  responder().AnswerMessageBox(IDOK);
  t0 = std::chrono::steady_clock::now();
  Click(form->SBCHErase);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::seconds(3));    // the countdown
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{});  // "@" came
  EXPECT_FALSE(form->Panel3->Visible);

  Click(form->SBCloseComPort);
  EXPECT_FALSE(CommPort->IsOpen());
  EXPECT_EQ(form->Caption(), "  Close COMM PORT_1");
  vcl::headless::Close(form);
  EXPECT_NE(FileBytes(folder.path() / "Trakmon.INI").find("BAUD_RATE_NMEA=115200"),
            std::string::npos);

  EXPECT_EQ(tool.Stop(), 0);
  const std::string sent = FileBytes(log);
  EXPECT_NE(sent.find("RX 65 921600 8N1 garbled"), std::string::npos) << sent;
  EXPECT_NE(sent.find("RX 65 115200 8N1\n"), std::string::npos) << sent;
  EXPECT_NE(sent.find("RX 5A 115200 8N1\n"), std::string::npos) << sent;
}

}  // namespace
