// Connecting to the tracker and asking for its state, on the virtual clock: the status line's
// tokens, the connect and disconnect buttons, the port-settings panel, the state box filled from
// the reply, and the fallback between 115200 and 460800 baud.
#include <ostream>
#include <string>
#include <vector>

#include "read_dev/device_command.h"
#include "read_dev/status_line.h"
#include "trakmon_fixture.h"

using vcl::headless::Click;
using vcl::headless::ModalKind;

namespace {

// ---- The status line, text in and text out ----

struct SplitCase {
  const char* what;
  std::string line;
  std::vector<std::string> tokens;  // all eight
};
void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.what;
}

class SplitStatusLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitStatusLineTest, GivesEightTokensEachCutToItsWidth) {
  StatusLine status = SplitStatusLine(GetParam().line);
  for (int i = 0; i < StatusTokenCount; ++i)
    EXPECT_EQ(status.Tokens[i].str(), GetParam().tokens[i]) << "token " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitStatusLineTest,
    ::testing::Values(
        SplitCase{"eight",
                  "1F0 5 0 1 0 /A123BC/ 2020 10.0.0.7",
                  {"1F0", "5", "0", "1", "0", "/A123BC/", "2020", "10.0.0.7"}},
        SplitCase{"five_only", "1F0 5 0 1 0", {"1F0", "5", "0", "1", "0", "", "", ""}},
        SplitCase{"empty", "", {"", "", "", "", "", "", "", ""}},
        SplitCase{"any_white_space",
                  "\t1F0  5\t0 \r1\v0\f/X/   2020 h ",
                  {"1F0", "5", "0", "1", "0", "/X/", "2020", "h"}},
        SplitCase{"more_than_eight", "1 2 3 4 5 6 7 8 9", {"1", "2", "3", "4", "5", "6", "7", "8"}},
        // The rest of an over-long token is dropped: it does not become the next token.
        SplitCase{"overlong_number_cut",
                  std::string(25, 'A') + " 5 0 1 0 /X/ 2020 h",
                  {std::string(19, 'A'), "5", "0", "1", "0", "/X/", "2020", "h"}},
        SplitCase{"overlong_device_number_cut",
                  "0 5 0 1 0 /" + std::string(38, 'B') + "/ 2020",
                  {"0", "5", "0", "1", "0", "/" + std::string(30, 'B'), "2020", ""}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.what); });

TEST(StatusLineTextTest, DeviceNumberLosesItsFramingSlashes) {
  EXPECT_EQ(UnframeDeviceNumber("/A123BC/"), " A123BC ");
  EXPECT_EQ(UnframeDeviceNumber("A123BC"), "A123BC");
  EXPECT_EQ(UnframeDeviceNumber("/A/B/"), " A B/");  // two at most
  EXPECT_EQ(UnframeDeviceNumber("AB/CD"), "AB CD");
  EXPECT_EQ(UnframeDeviceNumber(""), "");
  // The second "/" is looked for up to position 19 only.
  EXPECT_EQ(UnframeDeviceNumber("/" + std::string(18, 'C') + "/"),
            " " + std::string(18, 'C') + " ");
  EXPECT_EQ(UnframeDeviceNumber("/" + std::string(19, 'C') + "/"),
            " " + std::string(19, 'C') + "/");
}

TEST(StatusLineTextTest, FreeMemoryCountsDownFromTheEndOfTheTrackMemory) {
  EXPECT_EQ(FreeMemoryKb(0), 2112);
  EXPECT_EQ(FreeMemoryKb(0x1F0), 2111);
  EXPECT_EQ(FreeMemoryKb(0x10000), 2048);
  EXPECT_EQ(FreeMemoryKb(0x210000), 0);
  EXPECT_EQ(FreeMemoryKb(0x210000 + 1023), 0);  // toward zero
  EXPECT_EQ(FreeMemoryKb(0x210000 + 1024), -1);
  EXPECT_EQ(FreeMemoryKb(0x7FFFFFFF), -2095039);  // no overflow
}

// ---- The window ----

class ConnectTest : public TrakmonTest {
 protected:
  TML_Form* Connect(int port_index, int baud) {
    return form = CreateConnectedForm(port_index, baud);
  }

  // A scripted device on COM2 whose answer to the state query is `reply`; connected at 115200.
  void ConnectToScripted(const std::string& reply) {
    scripted = std::make_shared<ScriptedDevice>();
    scripted->replies[CmdStatus] = {{2, reply}};
    platform::sim::Attach("COM2", scripted);
    Connect(1, 115200);
  }

  // The rates at which the host sent the state query, in order.
  std::vector<std::uint32_t> StateQueryRates() const {
    std::vector<std::uint32_t> rates;
    for (const auto& r : tracker->Received())
      if (r.byte == CmdStatus) rates.push_back(r.settings.baud);
    return rates;
  }

  void ExpectDisconnected(int port_number) {
    EXPECT_FALSE(CommPort->IsOpen());
    EXPECT_EQ(form->Caption(), "  Close COMM PORT_" + std::to_string(port_number));
    EXPECT_TRUE(form->SBOpenComPort->Enabled);
    EXPECT_FALSE(form->SBCloseComPort->Enabled);
    EXPECT_TRUE(form->Setup1->Enabled);
  }

  TML_Form* form = nullptr;
  std::shared_ptr<ScriptedDevice> scripted;
};

TEST_F(ConnectTest, ConnectSetsTheRateAndShowsItAndDisconnectHidesTheDeviceBoxes) {
  Connect(0, 115200);
  EXPECT_TRUE(CommPort->IsOpen());
  EXPECT_EQ(CommPort->Dcb.BaudRate, 115200u);
  EXPECT_EQ(form->Caption(), "  Open COMM PORT_1  Baud Rate 115200");
  EXPECT_FALSE(form->SBOpenComPort->Enabled);
  EXPECT_TRUE(form->SBCloseComPort->Enabled);
  EXPECT_FALSE(form->Setup1->Enabled);
  EXPECT_TRUE(tracker->Received().empty());  // connecting sends nothing

  for (TGroupBox* box :
       {form->user_phone, form->GBMode, form->apn_panel, form->SerialBox, form->RS485, form->Ext})
    box->Visible = true;
  Click(form->SBCloseComPort);
  ExpectDisconnected(1);
  for (TGroupBox* box :
       {form->user_phone, form->GBMode, form->apn_panel, form->SerialBox, form->RS485, form->Ext})
    EXPECT_FALSE(box->Visible) << box->Name().str();
  EXPECT_TRUE(responder().Shown().empty());
}

// A port that does not open keeps its old message and says beneath it what the system found:
// the device the port maps to and why it did not open.
struct OpenFailureCase {
  const char* what;
  enum { NoDevice, Held, Fault, LinkToNothing, LinkToFile } cause;
  int port_index;
  std::string reason;  // the lines beneath; <dir> stands for the prefix
  DWORD fault = 0;     // Fault: what CreateFileA fails with
};
void PrintTo(const OpenFailureCase& c, std::ostream* os) {
  *os << c.what;
}

class OpenFailureTest : public ConnectTest, public ::testing::WithParamInterface<OpenFailureCase> {
 protected:
  // The default assignment finds no serial device of this machine.
  OpenFailureTest() { platform::testing::SetDeviceRoot(dir() + "/machine"); }
  ~OpenFailureTest() override {
    platform::testing::SetDeviceRoot("");
    platform::testing::ClearFaults();
  }
  // dosdevices/com2 -> <dir>/<target>
  void LinkCom2(const std::string& target) {
    std::filesystem::create_directories(dir() + "/dosdevices");
    std::filesystem::create_symlink(dir() + "/" + target, dir() + "/dosdevices/com2");
  }
};

TEST_P(OpenFailureTest, SaysNotFoundAndWhyBeneath) {
  const OpenFailureCase& c = GetParam();
  HANDLE held = INVALID_HANDLE_VALUE;
  switch (c.cause) {
    case OpenFailureCase::NoDevice:
      break;
    case OpenFailureCase::Held:
      held = CreateFileA("\\\\.\\COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
      break;
    case OpenFailureCase::Fault:
      platform::testing::InjectFault("CreateFileA", c.fault, "\\\\.\\COM1");
      break;
    case OpenFailureCase::LinkToNothing:
      LinkCom2("ttyUSB7");
      break;
    case OpenFailureCase::LinkToFile:
      std::ofstream(dir() + "/notes.txt") << "text";
      LinkCom2("notes.txt");
      break;
  }
  Connect(c.port_index, 115200);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

  std::string reason = c.reason;
  for (auto at = reason.find("<dir>"); at != std::string::npos; at = reason.find("<dir>"))
    reason.replace(at, 5, dir());
  const AnsiString n = IntToStr(c.port_index + 1);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Comm Port_" + n + "  Не найден...\n" + reason});
  EXPECT_FALSE(CommPort->IsOpen());
  EXPECT_TRUE(form->SBOpenComPort->Enabled);
  EXPECT_FALSE(form->SBCloseComPort->Enabled);
  EXPECT_EQ(form->Caption(), "Настройка параметров прибора");
}

INSTANTIATE_TEST_SUITE_P(
    Causes, OpenFailureTest,
    ::testing::Values(OpenFailureCase{"no_device", OpenFailureCase::NoDevice, 4,
                                      "Порт COM5 не связан ни с одним устройством (нет ссылки "
                                      "<dir>/dosdevices/com5)\nНайдены порты: COM1 - sim"},
                      OpenFailureCase{"held_by_another_program", OpenFailureCase::Held, 0,
                                      "Устройство sim занято другой программой"},
                      OpenFailureCase{
                          "no_permission", OpenFailureCase::Fault, 0,
                          "Нет прав на доступ к устройству sim: добавьте пользователя в группу "
                          "dialout и войдите в систему заново",
                          ERROR_ACCESS_DENIED},
                      OpenFailureCase{"adapter_unplugged", OpenFailureCase::LinkToNothing, 1,
                                      "Устройство <dir>/ttyUSB7 не найдено (адаптер отключен?)"},
                      OpenFailureCase{"no_serial_port", OpenFailureCase::LinkToFile, 1,
                                      "<dir>/notes.txt не является последовательным портом"},
                      OpenFailureCase{"other_error", OpenFailureCase::Fault, 0,
                                      "Устройство sim: системная ошибка 31", ERROR_GEN_FAILURE}),
    [](const ::testing::TestParamInfo<OpenFailureCase>& info) {
      return std::string(info.param.what);
    });

TEST_F(ConnectTest, PortAlreadyOpenIsReportedAndLeftAsItIs) {
  WriteIni("[Port]\nBAUD_RATE_NMEA=460800\n");
  form = CreateMainForm();
  OpenPort();  // at 115200, behind the window's back
  Click(form->SBOpenComPort);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Comm Port_1 Уже открыт..."});
  EXPECT_EQ(CommPort->Dcb.BaudRate, 115200u);
  EXPECT_EQ(form->Caption(), "Настройка параметров прибора");
  EXPECT_TRUE(form->SBOpenComPort->Enabled);
}

TEST_F(ConnectTest, PortSettingsTakeEffectAtTheNextConnection) {
  WriteIni("[Port]\nBAUD_RATE_NMEA=115200\n");
  form = CreateMainForm();
  Click(form->Setup1);  // opened before connecting, confirmed while connected
  EXPECT_TRUE(form->Panel1->Visible);
  Click(form->SBOpenComPort);
  vcl::headless::Pick(form->NmeaComRG, "Comm2");
  vcl::headless::Pick(form->NmeaBR, "460800");
  Click(form->DoneNmea);
  EXPECT_FALSE(form->Panel1->Visible);
  EXPECT_EQ(form->PortIndex, 1);
  EXPECT_EQ(form->BaudRate, 460800);
  EXPECT_EQ(CommPort->Dcb.BaudRate, 115200u);  // nothing applied to the open port
  EXPECT_TRUE(tracker->Received().empty());

  Click(form->SBCloseComPort);
  ExpectDisconnected(2);
  auto second = std::make_shared<sim::TrackerDevice>(460800);
  platform::sim::Attach("COM2", second);
  Click(form->SBOpenComPort);
  EXPECT_EQ(form->Caption(), "  Open COMM PORT_2  Baud Rate 460800");
  Click(form->SBMode);
  EXPECT_EQ(form->Label13->Caption(), "Порт сервера-> 2020");
  EXPECT_TRUE(responder().Shown().empty());
}

TEST_F(ConnectTest, StateReplyFillsTheStateBox) {
  tracker->memory().write_address = 0x1F0;
  tracker->settings().interval = 5;
  tracker->settings().beeper = true;
  tracker->settings().reg_number = "/A123BC/";
  tracker->settings().server_port = "2020";
  tracker->settings().server_address = "10.0.0.7";
  Connect(0, 115200);
  form->apn_panel->Visible = true;
  form->RS485->Visible = true;
  EXPECT_EQ(form->Label13->Caption(), "Label13");  // until the first query
  Click(form->SBMode);

  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_TRUE(form->GBMode->Visible);
  EXPECT_FALSE(form->apn_panel->Visible);
  EXPECT_FALSE(form->RS485->Visible);
  EXPECT_EQ(form->Label17->Caption(), "Свобдная память = 2111(kB)");
  EXPECT_EQ(form->Label18->Caption(), "Интервал записи =5(S)");
  EXPECT_EQ(form->Label21->Caption(), "Звук ВКЛ");
  EXPECT_EQ(form->DeviceId, "ID= A123BC");
  EXPECT_EQ(form->Label23->Caption(), "Номер прибора-> ID= A123BC");
  EXPECT_EQ(form->Label13->Caption(), "Порт сервера-> 2020");
  EXPECT_EQ(form->Label43->Caption(), "IP Сервера-> 10.0.0.7");
  EXPECT_EQ(form->ServerPortText, "2020");
  EXPECT_EQ(form->Edit4->Text(), "5");
  EXPECT_EQ(form->tbar_interval->Position(), 5);

  // The request: both purges, 100 ms, "e".
  const std::vector<std::uint8_t> sent = {CmdStatus};
  EXPECT_EQ(tracker->ReceivedBytes(), sent);
}

struct StateCase {
  const char* what;
  std::string reply;  // to "e", after "#"
  const char* free_memory;
  const char* beeper;
  const char* device_id;
  const char* server_port;
  const char* server_address;
};
void PrintTo(const StateCase& c, std::ostream* os) {
  *os << c.what;
}

class StateReplyTest : public ConnectTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(StateReplyTest, LabelsFollowTheTokens) {
  const StateCase& c = GetParam();
  ConnectToScripted("#" + c.reply + std::string(1, '\0'));
  Click(form->SBMode);
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(form->Label17->Caption(), AnsiString("Свобдная память = ") + c.free_memory + "(kB)");
  EXPECT_EQ(form->Label21->Caption(), c.beeper);
  EXPECT_EQ(form->DeviceId, c.device_id);
  EXPECT_EQ(form->Label23->Caption(), AnsiString("Номер прибора-> ") + c.device_id);
  EXPECT_EQ(form->Label13->Caption(), AnsiString("Порт сервера-> ") + c.server_port);
  EXPECT_EQ(form->Label43->Caption(), AnsiString("IP Сервера-> ") + c.server_address);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, StateReplyTest,
    ::testing::Values(
        StateCase{"five_tokens", "1F0 5 0 1 0", "2111", "Звук ВКЛ", "ID= ", "", ""},
        StateCase{"beeper_01_is_on", "0 A 0 01 0 /X1/ 1 h", "2112", "Звук ВКЛ", "ID= X1", "1", "h"},
        StateCase{"beeper_2_is_off", "10000 A 0 2 0 /X1/ 1 h", "2048", "Звук ВЫКЛ", "ID= X1", "1",
                  "h"},
        StateCase{"past_the_end", "210400 A 0 0 0 /X1/ 1 h", "-1", "Звук ВЫКЛ", "ID= X1", "1", "h"},
        StateCase{"number_without_slashes", "0 A 0 0 0 A123BC 2020 h", "2112", "Звук ВЫКЛ",
                  "ID= A123BC", "2020", "h"}),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.what); });

// The rest of an over-long number is dropped: the server port keeps its own token.
TEST_F(ConnectTest, OverlongDeviceNumberIsCutToItsWidth) {
  ConnectToScripted("#0 5 0 1 0 /" + std::string(38, 'B') + "/ 2020" + std::string(1, '\0'));
  Click(form->SBMode);
  EXPECT_EQ(form->DeviceId, "ID= " + std::string(30, 'B'));
  EXPECT_EQ(form->Label13->Caption(), "Порт сервера-> 2020");
}

struct BadLineCase {
  const char* what;
  std::vector<ScriptedDevice::Send> reply;
  ModalKind kind;
  const char* shown;
  DWORD min_ms, max_ms;  // how long the click takes
};
void PrintTo(const BadLineCase& c, std::ostream* os) {
  *os << c.what;
}

class BadStatusLineTest : public ConnectTest, public ::testing::WithParamInterface<BadLineCase> {};

TEST_P(BadStatusLineTest, EndsTheQueryWithItsMessageAndLeavesTheLabels) {
  const BadLineCase& c = GetParam();
  ConnectToScripted("");
  scripted->replies[CmdStatus] = c.reply;
  form->Ext->Visible = true;
  DWORD t0 = GetTickCount();
  Click(form->SBMode);
  EXPECT_GE(GetTickCount() - t0, c.min_ms);
  EXPECT_LE(GetTickCount() - t0, c.max_ms);
  EXPECT_EQ(responder().Texts(c.kind), std::vector<AnsiString>{c.shown});
  EXPECT_EQ(responder().Shown().size(), 1u);
  EXPECT_EQ(form->Label17->Caption(), "Свобдная память...");
  EXPECT_EQ(form->Label23->Caption(), "Номер прибора...");
  EXPECT_TRUE(form->Ext->Visible);  // the handler ended inside the query
  EXPECT_TRUE(CommPort->IsOpen());
}

const std::string kZero(1, '\0');

INSTANTIATE_TEST_SUITE_P(
    Lines, BadStatusLineTest,
    ::testing::Values(
        // One character more than the eight fields of the device make at their widths.
        BadLineCase{"beyond_the_fields",
                    {{2, "#" + std::string(StatusLineMax + 1, '1') + kZero}},
                    ModalKind::Message,
                    "Error Status String",
                    100,
                    400},
        // The line stops coming: the silence limit ends the wait.
        BadLineCase{
            "cut_off", {{2, "#1F0 5 0"}}, ModalKind::Message, "Error Status String", 3100, 3500},
        BadLineCase{"slow_then_silent",
                    {{2, "#1F0"}, {2500, " 5"}, {5000, " 0"}},
                    ModalKind::Message,
                    "Error Status String",
                    8000,
                    8400},
        BadLineCase{"not_hexadecimal",
                    {{2, "#XYZ 5 0 1 0" + kZero}},
                    ModalKind::Exception,
                    "'0xXYZ' is not a valid integer value.",
                    100,
                    400}),
    [](const ::testing::TestParamInfo<BadLineCase>& info) { return std::string(info.param.what); });

// Every field at its width makes the longest line taken: 215 characters.
TEST_F(ConnectTest, LineOfEveryFieldAtItsWidthIsTaken) {
  const std::string number = "/" + std::string(29, 'N') + "/";
  std::string line;
  for (int i = 0; i < 5; ++i) line += std::string(18, '0') + "1 ";
  line += number + " " + std::string(51, '7') + " " + std::string(31, 's');
  ASSERT_EQ(line.size(), 215u);
  ASSERT_EQ(StatusLineMax, 215);
  ConnectToScripted("#" + line + kZero);
  Click(form->SBMode);
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(form->Label17->Caption(),
            "Свобдная память = " + std::to_string((0x210000 - 1) / 1024) + "(kB)");
  // The number's closing "/" lies past where it is looked for: it stays, and no folder name
  // holds it.
  EXPECT_EQ(form->DeviceId, "ID= " + std::string(29, 'N') + "_");
  EXPECT_EQ(form->Label13->Caption(), "Порт сервера-> " + std::string(51, '7'));
  EXPECT_EQ(form->Label43->Caption(), "IP Сервера-> " + std::string(31, 's'));
}

// The longest settings that the program's own writes accept come back in a state line that is
// taken: "IP Сервера" and the server port as long as their fields, the vehicle number of 15.
TEST_F(ConnectTest, LongestSettingsThatTheWritesAcceptComeBackInTheState) {
  const std::string address = "gps-monitoring.transport-co.ru1";
  const std::string port = std::string(46, '2') + "02020";
  const std::string number = "A123BC777RUS199";
  ASSERT_EQ(address.size(), 31u);
  ASSERT_EQ(port.size(), 51u);
  Connect(0, 115200);
  Click(form->sb_apn_panel_on);
  form->ip_box->Text = AnsiString(address);
  Click(form->sb_write_ip);
  form->edit_write_portip->Text = AnsiString(port);
  Click(form->write_portip);
  Click(form->SpeedButton10);
  form->SrEdit->Text = AnsiString(number);
  Click(form->OK_SERIAL);
  ASSERT_TRUE(responder().Shown().empty());
  EXPECT_EQ(tracker->settings().server_address, address);
  EXPECT_EQ(tracker->settings().server_port, port);
  EXPECT_EQ(tracker->settings().reg_number, "/" + number + "/");

  Click(form->SBMode);
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(form->DeviceId, "ID= " + number);
  EXPECT_EQ(form->Label13->Caption(), "Порт сервера-> " + port);
  EXPECT_EQ(form->Label43->Caption(), "IP Сервера-> " + address);
}

// A value longer than its field in the state line is not written: it would come back cut.
TEST_F(ConnectTest, ServerValueLongerThanItsFieldIsNotWritten) {
  Connect(0, 115200);
  Click(form->sb_apn_panel_on);
  tracker->ClearRecord();
  form->ip_box->Text = AnsiString(std::string(32, 'a'));
  Click(form->sb_write_ip);
  form->edit_write_portip->Text = AnsiString(std::string(52, '1'));
  Click(form->write_portip);
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            (std::vector<AnsiString>{"IP адрес  > 31 символов...", "Порт  > 51 символов..."}));
  EXPECT_TRUE(tracker->Received().empty());
  EXPECT_EQ(tracker->settings().server_address, "192.168.0.1");
  EXPECT_EQ(tracker->settings().server_port, "2020");
}

TEST_F(ConnectTest, NoIniAndADeviceAt115200FallsBackAndKeepsTheRate) {
  form = CreateMainForm();
  EXPECT_EQ(form->BaudRate, 921600);
  Click(form->SBOpenComPort);
  EXPECT_EQ(form->Caption(), "  Open COMM PORT_1  Baud Rate 921600");
  Click(form->SBMode);
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(form->Caption(), "  Open COMM PORT_1  Baud Rate 115200");
  EXPECT_EQ(form->BaudRate, 115200);
  EXPECT_EQ(CommPort->Dcb.BaudRate, 115200u);
  EXPECT_EQ(StateQueryRates(), (std::vector<std::uint32_t>{921600, 115200}));
  EXPECT_EQ(form->Label23->Caption(), "Номер прибора-> ID= A001AA");
  EXPECT_EQ(form->NmeaBR->ItemIndex, 5);  // the radio group still shows 921600

  vcl::headless::Close(form);
  EXPECT_NE(ReadIni().find("BAUD_RATE_NMEA=115200"), std::string::npos) << ReadIni();
}

TEST_F(ConnectTest, SilentAtBothRatesGivesUpWithThePortClosed) {
  tracker->faults().silent = true;
  Connect(0, 115200);
  form->SerialBox->Visible = true;
  DWORD t0 = GetTickCount();
  Click(form->SBMode);
  EXPECT_LT(GetTickCount() - t0, 2600u);  // two waits of 800 ms and their last reads
  EXPECT_EQ(responder().Texts(ModalKind::Message),
            std::vector<AnsiString>{"Прибор не отвечает..."});
  EXPECT_EQ(StateQueryRates(), (std::vector<std::uint32_t>{115200, 460800}));
  EXPECT_EQ(form->BaudRate, 460800);
  ExpectDisconnected(1);
  EXPECT_TRUE(form->SerialBox->Visible);  // the handler ended in the probe
  EXPECT_TRUE(form->GBMode->Visible);
}

TEST_F(ConnectTest, DeviceAt460800AnswersAfterTheFallback) {
  tracker->set_baud(460800);
  Connect(0, 115200);
  Click(form->SBMode);
  EXPECT_TRUE(responder().Shown().empty());
  EXPECT_EQ(form->Caption(), "  Open COMM PORT_1  Baud Rate 460800");
  EXPECT_EQ(StateQueryRates(), (std::vector<std::uint32_t>{115200, 460800}));
}

TEST_F(ConnectTest, StateButtonWithThePortClosedSendsNothing) {
  form = CreateMainForm();
  Click(form->SBMode);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"Com Port Not Open."});
  EXPECT_TRUE(form->GBMode->Visible);
  EXPECT_TRUE(tracker->Received().empty());
}

}  // namespace
