// The fuel sensor's panel against the tracker simulator on the virtual clock: what each reading
// shows (fill, length, the level's second request, the temperature's fault codes), the
// calibration points and table (decoding, short and overlong replies, the clear), the
// write button of the user-phone panel that every request disables, and a closed port.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "read_dev/calibration_table.h"
#include "read_dev/device_command.h"
#include "trakmon_fixture.h"

using vcl::headless::Click;
using vcl::headless::Find;
using vcl::headless::ModalKind;

namespace {

class SensorTest : public TrakmonTest {
 protected:
  void SetUp() override {
    form = CreateMainForm();
    Click(form->SpeedButton12);
  }
  void Open() {
    OpenPort();
    tracker->ClearRecord();
  }
  std::vector<std::uint8_t> Sent() const { return tracker->ReceivedBytes(); }
  AnsiString Cell(int col, int row) const { return form->StringGrid1->Cells[col][row]; }
  void SetCell(int col, int row, const AnsiString& text) {
    form->StringGrid1->Cells[col][row] = text;
  }
  std::vector<AnsiString> Messages() { return responder().Texts(ModalKind::Message); }

  TML_Form* form = nullptr;
};

// ---- Readings ----

struct ReplyCase {
  const char* what;
  std::function<void(sim::TrackerDevice&)> set;
  std::string shown;
};
void PrintTo(const ReplyCase& c, std::ostream* os) {
  *os << c.what;
}

class SensorReplyTest : public SensorTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(SensorReplyTest, AddressIsShownWithoutItsFill) {
  GetParam().set(*tracker);
  Open();
  form->SBWritePH->Enabled = true;
  Click(form->SpeedButton11);
  EXPECT_EQ(form->read_addr->Text(), GetParam().shown);
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(form->SBWritePH->Enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SensorReplyTest,
    ::testing::Values(ReplyCase{"plain", [](sim::TrackerDevice& t) { t.sensor().address = 12; },
                                "12"},
                      ReplyCase{"two_fill_before",
                                [](sim::TrackerDevice& t) {
                                  t.sensor().address = 12;
                                  t.faults().fill_lead = 2;
                                },
                                "12"},
                      ReplyCase{"fill_between",
                                [](sim::TrackerDevice& t) {
                                  t.sensor().address = 123;
                                  t.faults().fill_every = 1;
                                },
                                "123"},
                      // 25 characters stored without a "$": shown as they are.
                      ReplyCase{"thirty_characters_cut_to_25",
                                [](sim::TrackerDevice& t) {
                                  t.sensor().address = 7;
                                  t.faults().short_length = 30;
                                },
                                "7" + std::string(24, '0')}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(SensorTest, SilentSensorAddressTimesOutAndLeavesTheEditEmpty) {
  tracker->faults().silent = true;
  Open();
  form->read_addr->Text = "5";
  form->Edit7->Text = "old";
  Click(form->SpeedButton13);
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Time 0ut..."});
  EXPECT_EQ(form->Edit7->Text(), "");
  Click(form->SpeedButton11);
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_EQ(form->read_addr->Text(), "");
}

TEST_F(SensorTest, AddressWriteShowsTheAddressTheSensorThenHas) {
  Open();
  form->read_addr->Text = "42";
  Click(form->SpeedButton13);
  EXPECT_EQ(form->Edit7->Text(), "42");
  EXPECT_EQ(tracker->sensor().address, 42);
}

TEST_F(SensorTest, LevelUnansweredOnceIsAskedAgainAndShownInBothEdits) {
  tracker->sensor().level = 777;
  tracker->sensor().unanswered_level_requests = 1;
  Open();
  Click(form->SpeedButton15);
  EXPECT_EQ(form->Edit9->Text(), "777");
  EXPECT_EQ(form->Edit11->Text(), "777");
  EXPECT_EQ(form->Edit8->Text(), "");
  EXPECT_EQ(Sent(), (std::vector<std::uint8_t>{0x2D, 0x2D}));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SensorTest, LevelUnansweredTwiceEmptiesBothEditsWithoutAMessage) {
  tracker->sensor().unanswered_level_requests = 2;
  Open();
  form->Edit8->Text = "512";
  form->Edit11->Text = "512";
  form->SBWritePH->Enabled = true;
  Click(form->SpeedButton14);
  EXPECT_EQ(form->Edit8->Text(), "");
  EXPECT_EQ(form->Edit11->Text(), "");
  EXPECT_EQ(Sent(), (std::vector<std::uint8_t>{0x2D, 0x2D}));  // no third request
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(form->SBWritePH->Enabled);
}

struct TemperatureCase {
  const char* what;
  int value;
  std::vector<AnsiString> messages;
};
void PrintTo(const TemperatureCase& c, std::ostream* os) {
  *os << c.what;
}

class TemperatureTest : public SensorTest, public ::testing::WithParamInterface<TemperatureCase> {};

TEST_P(TemperatureTest, FaultCodesAreReportedAndTheValueShown) {
  tracker->sensor().temperature = GetParam().value;
  Open();
  Click(form->SpeedButton16);
  EXPECT_EQ(Messages(), GetParam().messages);
  EXPECT_EQ(form->Edit10->Text(), IntToStr(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Values, TemperatureTest,
    ::testing::Values(TemperatureCase{"eeprom_251", 251, {"Датчик не исправен.\nОшибка EEPROM"}},
                      TemperatureCase{
                          "tubes_253", 253, {"Датчик не исправен.\nВозможно замыкание трубок"}},
                      TemperatureCase{"no_fault_255", 255, {}},
                      TemperatureCase{"no_fault_22", 22, {}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(SensorTest, EmptyTemperatureIsAConversionErrorNotATimeOut) {
  tracker->faults().garbage = {'$'};  // a "$" alone comes first
  Open();
  form->SBWritePH->Enabled = true;
  Click(form->SpeedButton16);
  EXPECT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(form->Edit10->Text(), "");
  EXPECT_TRUE(form->SBWritePH->Enabled);
}

// ---- The write button of the user-phone panel, and a closed port ----

struct ButtonCase {
  const char* button;
  bool disables;
};
void PrintTo(const ButtonCase& c, std::ostream* os) {
  *os << c.button;
}

class SensorButtonTest : public SensorTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(SensorButtonTest, DisablesTheStagedWriteWhateverTheResult) {
  tracker->faults().silent = true;
  Open();
  form->SBWritePH->Enabled = true;
  if (std::string(GetParam().button) == "SpeedButton24") responder().AnswerMessageBox(IDOK);
  Click(Find<TSpeedButton>(form, GetParam().button));
  EXPECT_EQ(form->SBWritePH->Enabled, !GetParam().disables);
}

TEST_P(SensorButtonTest, ClosedPortSendsNothingAndKeepsTheStagedWrite) {
  form->SBWritePH->Enabled = true;
  Click(Find<TSpeedButton>(form, GetParam().button));
  EXPECT_TRUE(form->SBWritePH->Enabled);
  EXPECT_TRUE(tracker->Received().empty());
  if (std::string(GetParam().button) == "SpeedButton23") {
    // The table write has no guard: its first byte raises the port's not-open error.
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  } else if (std::string(GetParam().button) != "SpeedButton20") {
    EXPECT_EQ(Messages(), std::vector<AnsiString>{"Com Port Not Open."});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, SensorButtonTest,
    ::testing::Values(ButtonCase{"SpeedButton11", true}, ButtonCase{"SpeedButton13", true},
                      ButtonCase{"SpeedButton14", true}, ButtonCase{"SpeedButton15", true},
                      ButtonCase{"SpeedButton16", true}, ButtonCase{"SpeedButton17", true},
                      ButtonCase{"SpeedButton19", true}, ButtonCase{"SpeedButton22", true},
                      ButtonCase{"SpeedButton23", true}, ButtonCase{"SpeedButton24", true},
                      ButtonCase{"SpeedButton18", false}, ButtonCase{"SpeedButton20", false}),
    [](const auto& info) { return std::string(info.param.button); });

// ---- Points ----

TEST_F(SensorTest, PointComposedWrittenAndReadBack) {
  Open();
  form->CSpinEdit1->Text = "5";
  form->Edit11->Text = "1200";
  form->Edit12->Text = "40";
  Click(form->SpeedButton20);
  EXPECT_EQ(form->Edit13->Text(), "5 1200 40");
  EXPECT_TRUE(Sent().empty());
  Click(form->SpeedButton18);
  Sleep(100);
  EXPECT_EQ(tracker->sensor().table[5], (sim::CalibrationEntry{1200, 40}));

  form->Edit13->Text = "";
  Click(form->SpeedButton19);
  EXPECT_EQ(form->Edit13->Text(), "5 1200 40");
}

TEST_F(SensorTest, PointNumberAboveAByteReadsItsLowByteButIsWrittenAsTyped) {
  tracker->sensor().table[14] = {333, 3};
  Open();
  form->CSpinEdit1->Text = "270";  // 270 & 0xFF = 14
  form->Edit11->Text = "1";
  form->Edit12->Text = "2";
  Click(form->SpeedButton20);
  EXPECT_EQ(form->Edit13->Text(), "270 1 2");
  Click(form->SpeedButton19);
  EXPECT_EQ(form->Edit13->Text(), "14 333 3");
}

TEST_F(SensorTest, PointNumberThatIsNoNumberSendsNothing) {
  Open();
  form->CSpinEdit1->Text = "abc";
  form->Edit13->Text = "old";
  Click(form->SpeedButton19);
  EXPECT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(form->Edit13->Text(), "");
}

TEST_F(SensorTest, SilentPointReadTimesOut) {
  tracker->faults().silent = true;
  Open();
  Click(form->SpeedButton19);
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Time 0ut..."});
  EXPECT_EQ(form->Edit13->Text(), "");
}

// ---- The table ----

TEST_F(SensorTest, TableReadLabelsTheGridAndFillsRowsOneTo29) {
  for (int k = 0; k < 30; ++k)
    tracker->sensor().table[k] = {static_cast<std::uint16_t>(1000 + k),
                                  static_cast<std::uint16_t>(10 * k)};
  tracker->sensor().table[0] = {513, 65535};
  Open();
  SetCell(1, 30, "keep");
  SetCell(2, 30, "this");
  Click(form->SpeedButton22);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Cell(1, 0), "IN");
  EXPECT_EQ(Cell(2, 0), "OUT");
  EXPECT_EQ(Cell(0, 1), "0");
  EXPECT_EQ(Cell(0, 29), "28");
  EXPECT_EQ(Cell(0, 30), "EXT");
  EXPECT_EQ(Cell(1, 1), "513");
  EXPECT_EQ(Cell(2, 1), "65535");
  EXPECT_EQ(Cell(1, 29), "1028");
  EXPECT_EQ(Cell(2, 29), "280");
  EXPECT_EQ(Cell(1, 30), "keep");  // entry 29 is not shown back
  EXPECT_EQ(Cell(2, 30), "this");
}

TEST_F(SensorTest, OverlongTableReplyTimesOutAndKeepsTheValues) {
  // Six bytes before the table and no "$": 126 bytes.
  tracker->faults().garbage = {1, 2, 3, 4, 5, 6};
  tracker->faults().cut_after = 120;
  tracker->sensor().table[0] = {9, 9};
  Open();
  SetCell(1, 1, "77");
  Click(form->SpeedButton22);
  EXPECT_EQ(Messages(), std::vector<AnsiString>{"Time 0ut..."});
  EXPECT_EQ(Cell(1, 1), "77");
  EXPECT_EQ(Cell(2, 1), "0");
  EXPECT_EQ(Cell(0, 30), "EXT");  // the labels come first
}

TEST_F(SensorTest, FillByteInsideTheTableShiftsTheLaterEntries) {
  tracker->sensor().table[0] = {35, 0};   // 0x23 0x00
  tracker->sensor().table[1] = {513, 0};  // 0x01 0x02
  Open();
  Click(form->SpeedButton22);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Cell(1, 1), "256");  // 0x00 0x01
  EXPECT_EQ(Cell(1, 2), "2");    // 0x02 0x00
  EXPECT_EQ(Cell(1, 3), "0");
}

TEST_F(SensorTest, TableReplyEndedEarlyGivesZeroForWhatDidNotCome) {
  tracker->sensor().table[0] = {36, 0};  // 0x24 ends the reply at its first byte
  tracker->sensor().table[3] = {300, 400};
  Open();
  for (int row = 1; row <= 29; ++row) SetCell(1, row, "5");
  Click(form->SpeedButton22);
  EXPECT_TRUE(Messages().empty());
  for (int row = 1; row <= 29; ++row) {
    EXPECT_EQ(Cell(1, row), "0") << row;
    EXPECT_EQ(Cell(2, row), "0") << row;
  }
}

TEST_F(SensorTest, TableWrittenFromTheGridReachesTheSensor) {
  Open();
  for (int row = 1; row <= 30; ++row) {
    SetCell(1, row, IntToStr(100 * row));
    SetCell(2, row, IntToStr(row));
  }
  SetCell(1, 1, "65535");
  SetCell(2, 1, "-1");
  SetCell(1, 2, " 0x10");
  form->SBWritePH->Enabled = true;
  Click(form->SpeedButton23);
  Sleep(100);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(tracker->sensor().table[0], (sim::CalibrationEntry{65535, 65535}));
  EXPECT_EQ(tracker->sensor().table[1], (sim::CalibrationEntry{16, 2}));
  EXPECT_EQ(tracker->sensor().table[29], (sim::CalibrationEntry{3000, 30}));
  EXPECT_FALSE(form->SBWritePH->Enabled);
}

// A code that 16 bits do not hold is refused before anything is sent, not cut to its low bits.
TEST_F(SensorTest, TableCodeAbove65535IsRefused) {
  const struct {
    int column, row;
    const char* message;
  } cases[] = {
      {1, 1, "Значение 70000 > 65535: строка 0, IN"},
      {2, 30, "Значение 70000 > 65535: строка EXT, OUT"},
  };
  Open();
  for (const auto& c : cases) {
    responder().ClearShown();
    form->ClearCalibrationGrid();
    SetCell(c.column, c.row, " 70000");
    form->SBWritePH->Enabled = true;
    tracker->ClearRecord();
    Click(form->SpeedButton23);
    EXPECT_EQ(Messages(), std::vector<AnsiString>{c.message});
    EXPECT_TRUE(tracker->ReceivedBytes().empty());
    EXPECT_TRUE(form->SBWritePH->Enabled);
  }
}

TEST_F(SensorTest, TableWriteWithACellThatIsNoNumberSendsNothing) {
  Open();
  SetCell(2, 30, "12a");
  Click(form->SpeedButton23);
  EXPECT_EQ(responder().Texts(ModalKind::Exception).size(), 1u);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(SensorTest, ClearAsksFirstAndReadsTheEmptiedTableBack) {
  tracker->sensor().table[2] = {5, 6};
  Open();
  form->SBWritePH->Enabled = true;
  responder().AnswerMessageBox(IDCANCEL);
  Click(form->SpeedButton24);
  ASSERT_EQ(responder().Shown().size(), 1u);
  EXPECT_EQ(responder().Shown()[0].text, "Удалить все значения в таблице ?");
  EXPECT_EQ(responder().Shown()[0].caption, " ");
  EXPECT_EQ(responder().Shown()[0].flags, 33);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(form->SBWritePH->Enabled);

  Click(form->SpeedButton22);
  EXPECT_EQ(Cell(1, 3), "5");
  responder().AnswerMessageBox(IDOK);
  Click(form->SpeedButton24);
  EXPECT_EQ(tracker->sensor().table[2], (sim::CalibrationEntry{}));
  EXPECT_EQ(Cell(1, 3), "0");
  EXPECT_FALSE(form->SBWritePH->Enabled);
}

// ---- The table image ----

struct ImageCase {
  const char* what;
  std::vector<std::uint8_t> received;
  std::vector<std::uint8_t> first;  // the image's first bytes; the rest are 0
};
void PrintTo(const ImageCase& c, std::ostream* os) {
  *os << c.what;
}

class TableImageTest : public ::testing::TestWithParam<ImageCase> {};

std::vector<std::uint8_t> WithTail(std::vector<std::uint8_t> head, std::size_t size,
                                   std::vector<std::uint8_t> tail) {
  head.resize(size, 0x11);
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

TEST_P(TableImageTest, RemovesFillAmongTheFirst120AndZeroesTheRest) {
  const ImageCase& c = GetParam();
  CalibrationTableImage image = CalibrationTableImage::FromReply(c.received);
  std::vector<std::uint8_t> expected = c.first;
  expected.resize(CalibrationTableImage::Size, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(image.Bytes.begin(), image.Bytes.end()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, TableImageTest,
    ::testing::Values(
        ImageCase{"nothing", {}, {}}, ImageCase{"short", {1, 2, 3}, {1, 2, 3}},
        ImageCase{"fill_anywhere", {0x23, 1, 0x23, 0x23, 2, 0x23}, {1, 2}},
        // A "#" past 120 that moves into the range goes as well; bytes past it fill the end.
        ImageCase{"fill_moved_in", WithTail({0x23}, 120, {0x23, 7}), WithTail({}, 119, {7})},
        ImageCase{"beyond_120_dropped", WithTail({}, 120, {9, 9, 9}), WithTail({}, 120, {})}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(CalibrationImage, KeepsTheLow16BitsOfEachCode) {
  CalibrationTableImage image;
  image.Set(0, 70000, -1);
  image.Set(29, 513, 0x1FFFF);
  EXPECT_EQ(image.Bytes[0], 0x70);
  EXPECT_EQ(image.Bytes[1], 0x11);
  EXPECT_EQ(image.Bytes[60], 0xFF);
  EXPECT_EQ(image.Bytes[61], 0xFF);
  EXPECT_EQ(image.Input(29), 513u);
  EXPECT_EQ(image.Output(29), 65535u);
  EXPECT_EQ(image.Bytes[58], 0x01);
  EXPECT_EQ(image.Bytes[119], 0xFF);
}

}  // namespace
