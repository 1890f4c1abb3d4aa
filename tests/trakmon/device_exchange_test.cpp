// The device command exchange on the virtual clock: the open-port guard, text parameters, the
// request shapes, the short-reply reader and the done and data-mark waits with their deadlines
// and bounds, against the tracker simulator and, where a reply must come at an exact moment, a
// scripted device.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "read_dev/device_command.h"
#include "trakmon_fixture.h"

using vcl::headless::ModalKind;

namespace {

class DeviceExchangeTest : public TrakmonTest {
 protected:
  void SetUp() override {
    form = CreateMainForm();
    target = form->edit_pass;
    target->Text = "";
  }

  // Puts the scripted device on COM2 and opens it.
  ScriptedDevice& UseScriptedDevice() {
    scripted = std::make_shared<ScriptedDevice>();
    platform::sim::Attach("COM2", scripted);
    EXPECT_EQ(CommPort->Open(1, 2048, 2048), 0);
    CommPort->SetBaudRate(115200);
    return *scripted;
  }

  // Sends one command byte, as a reader does after its purge.
  void Request(BYTE command) {
    CommPort->PurgeInput();
    CommPort->WriteByte(command);
  }

  DWORD Since(DWORD t0) const { return GetTickCount() - t0; }

  TML_Form* form = nullptr;
  TEdit* target = nullptr;
  std::shared_ptr<ScriptedDevice> scripted;
};

TEST_F(DeviceExchangeTest, GuardOnAClosedPortShowsTheMessageAndAbortsWithoutSending) {
  EXPECT_THROW(RequirePortOpen(), EAbort);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"Com Port Not Open."});
  OpenPort();
  EXPECT_NO_THROW(RequirePortOpen());
  EXPECT_EQ(responder().Shown().size(), 1u);
  EXPECT_TRUE(tracker->Received().empty());
}

struct ReplyCase {
  const char* what;
  std::string password;  // what the tracker answers to CmdReadPassword, before "."
  int short_length, fill_lead, fill_every;
  std::string raw;  // stored by the reader
  ReplyEnd end;
  std::string shown;  // in the target edit
};
void PrintTo(const ReplyCase& c, std::ostream* os) {
  *os << c.what;
}

class ShortReplyTest : public DeviceExchangeTest,
                       public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ShortReplyTest, StoresUpToTwentyFiveBytesAndShowsThemWithoutFillCharacters) {
  const ReplyCase& c = GetParam();
  tracker->settings().password = c.password;
  tracker->faults().short_length = c.short_length;
  tracker->faults().fill_lead = c.fill_lead;
  tracker->faults().fill_every = c.fill_every;
  OpenPort();

  Request(CmdReadPassword);
  ShortReply reply = ReadShortReply('.', 5000);
  EXPECT_EQ(reply.Result, 0);
  EXPECT_EQ(reply.Raw.str(), c.raw);
  EXPECT_EQ(reply.End, c.end);

  Sleep(50);  // the rest of a cut reply arrives and is purged by the next request
  Request(CmdReadPassword);
  DWORD t0 = GetTickCount();
  EXPECT_EQ(ReadReply(target, '.', 5000), 0);
  EXPECT_GE(Since(t0), 100u);  // the pause before the text is shown
  EXPECT_EQ(target->Text().str(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ShortReplyTest,
    ::testing::Values(ReplyCase{"plain", "Vomar", 0, 0, 0, "Vomar", ReplyEnd::Terminator, "Vomar"},
                      ReplyCase{"thirty_characters_cut_to_25", "Vomar", 30, 0, 0,
                                "Vomar" + std::string(20, '0'), ReplyEnd::Limit,
                                "Vomar" + std::string(20, '0')},
                      ReplyCase{"leading_fill", "12", 0, 2, 0, "##12", ReplyEnd::Terminator, "12"},
                      // The fill characters count toward the 25: 13 letters and 12 "#" are stored.
                      ReplyCase{"fill_counts_toward_the_limit", "ABCDEFGHIJKLMNOP", 0, 0, 1,
                                "A#B#C#D#E#F#G#H#I#J#K#L#M", ReplyEnd::Limit, "ABCDEFGHIJKLM"},
                      ReplyCase{"zero_byte_ends_the_shown_text",
                                std::string("12\0"
                                            "34",
                                            5),
                                0, 0, 0,
                                std::string("12\0"
                                            "34",
                                            5),
                                ReplyEnd::Terminator, "12"}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.what); });

// No handler catches a port error: the application shows it with its code and the system
// error, the handler ends there, and the port keeps working for the next click.
TEST_F(DeviceExchangeTest, PortErrorLeavingAHandlerIsShownWithItsCodes) {
  SetLastError(0);
  bool after = false;
  Application->Guard([&] {
    CommPort->WriteByte(CmdStatus);
    after = true;
  });
  OpenPort();
  platform::testing::InjectFault("WriteFile", ERROR_GEN_FAILURE, CommPort->Handle);
  Application->Guard([&] {
    CommPort->WriteByte(CmdStatus);
    after = true;
  });
  EXPECT_FALSE(after);
  EXPECT_EQ(responder().Texts(ModalKind::Exception),
            (std::vector<AnsiString>{"Ошибка COM-порта: код 7, системная ошибка 0.",
                                     "Ошибка COM-порта: код 9, системная ошибка 31."}));
  EXPECT_TRUE(CommPort->IsOpen());
  Request(CmdStatus);
  EXPECT_TRUE(WaitForDataMark(800));
}

TEST_F(DeviceExchangeTest, RestOfACutReplyStaysUntilTheNextReaderPurgesTheInput) {
  tracker->faults().short_length = 30;
  OpenPort();
  Request(CmdReadPassword);
  EXPECT_EQ(ReadReply(target, '.', 5000), 0);
  EXPECT_EQ(target->Text().Length(), 25);
  // Without a purge the next read gets the rest of the reply.
  EXPECT_EQ(ReadShortReply('.', 5000).Raw, "00000");

  Request(CmdReadPassword);
  EXPECT_EQ(ReadReply(target, '.', 5000), 0);
  tracker->faults().short_length = 0;
  Sleep(50);  // the rest of the cut reply is in the input buffer now
  form->edit_read_portip->Text = "";
  Request(CmdReadServerPort);  // purges the five "0" and the "." still waiting
  EXPECT_EQ(ReadReply(form->edit_read_portip, '.', 5000), 0);
  EXPECT_EQ(form->edit_read_portip->Text(), "2020");
}

TEST_F(DeviceExchangeTest, TerminatorAfterTheDeadlineIsDroppedAndTheReadFails) {
  ScriptedDevice& device = UseScriptedDevice();
  device.replies[CmdReadPassword] = {{2, "Vom"}, {5100, "."}};
  Request(CmdReadPassword);
  DWORD t0 = GetTickCount();
  ShortReply reply = ReadShortReply('.', 5000);
  EXPECT_EQ(reply.Result, ReplyTimedOut);
  EXPECT_EQ(reply.End, ReplyEnd::Deadline);
  EXPECT_EQ(reply.Raw, "Vom");
  EXPECT_GT(Since(t0), 5000u);
  EXPECT_LT(Since(t0), 5400u);

  Sleep(300);  // the late terminator arrives and is purged
  Request(CmdReadPassword);
  EXPECT_EQ(ReadReply(target, '.', 5000), ReplyTimedOut);
  EXPECT_EQ(target->Text(), "");  // nothing shown
}

struct DeadlineCase {
  DWORD deadline;
  int result;
  DWORD min_ms, max_ms;  // how long the silent read takes, pause included
};
void PrintTo(const DeadlineCase& c, std::ostream* os) {
  *os << "deadline " << c.deadline;
}

class SilentDeviceTest : public DeviceExchangeTest,
                         public ::testing::WithParamInterface<DeadlineCase> {};

// With 200 or 1000 ms a silent device is no failure: the read ends with nothing to show and no
// message. Only the 5000 ms readers report a missing reply.
TEST_P(SilentDeviceTest, DeadlineDecidesBetweenAnEmptyReplyAndAFailure) {
  tracker->faults().silent = true;
  OpenPort();
  target->Text = "";
  Request(CmdReadUserPhone);
  DWORD t0 = GetTickCount();
  EXPECT_EQ(ReadReply(target, '.', GetParam().deadline), GetParam().result);
  EXPECT_GE(Since(t0), GetParam().min_ms);
  EXPECT_LE(Since(t0), GetParam().max_ms);
  EXPECT_EQ(target->Text(), "");
  EXPECT_TRUE(responder().Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Deadlines, SilentDeviceTest,
                         ::testing::Values(DeadlineCase{200, 0, 300, 700},
                                           DeadlineCase{1000, 0, 1000, 1500},
                                           DeadlineCase{5000, ReplyTimedOut, 5000, 5400}));

TEST_F(DeviceExchangeTest, ShortDeadlineShowsWhatCameSoFar) {
  ScriptedDevice& device = UseScriptedDevice();
  device.replies[CmdReadUserPhone] = {{2, "+7 9"}, {1000, "01."}};
  Request(CmdReadUserPhone);
  EXPECT_EQ(ReadReply(target, '.', 200), 0);
  EXPECT_EQ(target->Text(), "+7 9");
}

TEST_F(DeviceExchangeTest, DeadlinesHoldAcrossTheWrapOfTheTickCount) {
  clock->SetTickOffset(0xFFFFFFFFu - 2000);
  tracker->faults().silent = true;
  OpenPort();
  Request(CmdReadPassword);
  DWORD t0 = GetTickCount();
  EXPECT_EQ(ReadReply(target, '.', 5000), ReplyTimedOut);
  EXPECT_GT(Since(t0), 5000u);
  EXPECT_LT(Since(t0), 5400u);
  EXPECT_LT(GetTickCount(), t0);  // the count did wrap
}

TEST_F(DeviceExchangeTest, TextParameterEndsWithOneZeroByteAlsoWhenEmpty) {
  OpenPort();
  tracker->ClearRecord();
  CommPort->WriteByte(CmdWritePassword);
  Sleep(100);
  WriteTextParameter("");
  CommPort->WriteByte(CmdWriteUserCount);
  Sleep(100);
  WriteTextParameter("u=2 *");
  Sleep(10);

  const std::vector<std::uint8_t> expected = {'N', 0x00, 'O', 'u', '=', '2', ' ', '*', 0x00};
  EXPECT_EQ(tracker->ReceivedBytes(), expected);
  auto received = tracker->Received();
  ASSERT_EQ(received.size(), expected.size());
  EXPECT_GE(received[1].at_us - received[0].at_us, 100'000u);  // the pause before the text
  EXPECT_LT(received[1].at_us - received[0].at_us, 110'000u);
  EXPECT_EQ(tracker->settings().password, "");
  EXPECT_EQ(tracker->settings().user_count, 2);
}

struct DoneCase {
  const char* what;
  std::vector<ScriptedDevice::Send> reply;  // to CmdEraseMemory
  DWORD deadline;
  bool done;
  DWORD min_ms, max_ms;  // when the wait returns
};
void PrintTo(const DoneCase& c, std::ostream* os) {
  *os << c.what;
}

class WaitForDoneTest : public DeviceExchangeTest,
                        public ::testing::WithParamInterface<DoneCase> {};

TEST_P(WaitForDoneTest, AcceptsTheDoneMarkInAnyPassThatBeganWithinTheDeadline) {
  const DoneCase& c = GetParam();
  ScriptedDevice& device = UseScriptedDevice();
  device.replies[CmdEraseMemory] = c.reply;
  CommPort->PurgeOutput();
  CommPort->PurgeInput();
  Sleep(100);
  CommPort->WriteByte(CmdEraseMemory);
  DWORD t0 = GetTickCount();
  EXPECT_EQ(WaitForDone(c.deadline), c.done);
  EXPECT_GE(Since(t0), c.min_ms);
  EXPECT_LE(Since(t0), c.max_ms);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, WaitForDoneTest,
    ::testing::Values(DoneCase{"at_once", {{2, "@"}}, 5000, true, 0, 50},
                      DoneCase{"after_other_bytes", {{2, "#x#"}, {300, "@"}}, 5000, true, 300, 350},
                      // The pass that is running at 5000 ms began before it: its "@" counts.
                      DoneCase{"just_after_the_deadline", {{5010, "@"}}, 5000, true, 5010, 5060},
                      DoneCase{"too_late", {{5300, "@"}}, 5000, false, 5000, 5300},
                      DoneCase{"other_bytes_only", {{2, "xyz"}}, 5000, false, 5000, 5300}),
    [](const ::testing::TestParamInfo<DoneCase>& info) { return std::string(info.param.what); });

TEST_F(DeviceExchangeTest, DataMarkWaitDropsOtherBytesAndGivesUpAfterItsDeadline) {
  ScriptedDevice& device = UseScriptedDevice();
  device.replies[CmdStatus] = {{2, "garbage#"}};
  device.replies[CmdReadEndAddress] = {{2, "no mark"}};

  Request(CmdStatus);
  EXPECT_TRUE(WaitForDataMark(800));
  EXPECT_EQ(ReadShortReply('.', 200).Raw, "");  // nothing left after the mark

  Request(CmdReadEndAddress);
  DWORD t0 = GetTickCount();
  EXPECT_FALSE(WaitForDataMark(800));
  EXPECT_GT(Since(t0), 800u);
  EXPECT_LT(Since(t0), 1100u);
}

TEST_F(DeviceExchangeTest, ExchangeWithTheTrackerFramesEachCommandAsItExpects) {
  OpenPort();
  // A state query: "#" then the status line up to its 0x00.
  CommPort->PurgeOutput();
  CommPort->PurgeInput();
  Sleep(100);
  CommPort->WriteByte(CmdStatus);
  ASSERT_TRUE(WaitForDataMark(800));
  std::string line;
  BoundedReader reader;
  BYTE b;
  while (reader.Next(b) && b != 0) line += static_cast<char>(b);
  EXPECT_FALSE(reader.Passed());
  EXPECT_EQ(line.substr(0, 2), "0 ");  // write address 0 of an empty memory

  // An erase answers "@".
  CommPort->PurgeOutput();
  CommPort->PurgeInput();
  Sleep(100);
  CommPort->WriteByte(CmdEraseMemory);
  EXPECT_TRUE(WaitForDone(5000));

  // A read with the "$" terminator.
  form->edit_ip->Text = "";
  Request(CmdReadServerIp);
  EXPECT_EQ(ReadReply(form->edit_ip, '$', 5000), 0);
  EXPECT_EQ(form->edit_ip->Text(), AnsiString(tracker->settings().server_address));
}

// ---- Waits without a deadline of their own ----

enum class Mark { Done, Data };

struct BoundCase {
  const char* what;
  std::vector<ScriptedDevice::Send> reply;  // to CmdDebugWrite
  Mark mark;
  WaitBound bound;
  bool found;
  DWORD min_ms, max_ms;  // when the wait returns
};
void PrintTo(const BoundCase& c, std::ostream* os) {
  *os << c.what;
}

// A byte every `gap_ms` from `first_ms` until `until_ms`, none of them a mark.
std::vector<ScriptedDevice::Send> Chatter(std::uint64_t first_ms, std::uint64_t gap_ms,
                                          std::uint64_t until_ms, const char* byte = "x") {
  std::vector<ScriptedDevice::Send> sends;
  for (std::uint64_t t = first_ms; t <= until_ms; t += gap_ms) sends.push_back({t, byte});
  return sends;
}

std::vector<ScriptedDevice::Send> Then(std::vector<ScriptedDevice::Send> sends,
                                       ScriptedDevice::Send last) {
  sends.push_back(last);
  return sends;
}

class BoundedWaitTest : public DeviceExchangeTest,
                        public ::testing::WithParamInterface<BoundCase> {};

TEST_P(BoundedWaitTest, EndsAtTheSilenceLimitOrTheCapWhicheverComesFirst) {
  const BoundCase& c = GetParam();
  ScriptedDevice& device = UseScriptedDevice();
  device.replies[CmdDebugWrite] = c.reply;
  CommPort->WriteByte(CmdDebugWrite);
  DWORD t0 = GetTickCount();
  EXPECT_EQ(c.mark == Mark::Done ? WaitForDone(c.bound) : WaitForDataMark(c.bound), c.found);
  EXPECT_GE(Since(t0), c.min_ms);
  EXPECT_LE(Since(t0), c.max_ms);
}

constexpr WaitBound kShort{1000, 5000};

INSTANTIATE_TEST_SUITE_P(
    Bounds, BoundedWaitTest,
    ::testing::Values(
        BoundCase{"silent_done", {}, Mark::Done, kShort, false, 1000, 1300},
        BoundCase{"silent_data", {}, Mark::Data, kShort, false, 1000, 1300},
        BoundCase{
            "mark_after_other_bytes", {{2, "#x#"}, {600, "@"}}, Mark::Done, kShort, true, 600, 650},
        BoundCase{"data_mark_among_other_bytes",
                  {{2, "ab@c"}, {900, "#"}},
                  Mark::Data,
                  kShort,
                  true,
                  900,
                  950},
        // Bytes 800 ms apart keep the wait going well past its silence limit.
        BoundCase{"each_byte_restarts_the_silence", Then(Chatter(500, 800, 3700), {4500, "@"}),
                  Mark::Done, kShort, true, 4500, 4550},
        BoundCase{"a_gap_longer_than_the_silence",
                  {{500, "x"}, {1900, "@"}},
                  Mark::Done,
                  kShort,
                  false,
                  1500,
                  1800},
        // A device that keeps sending other bytes is left at the cap; so is an "@" after it.
        BoundCase{"chatty_done", Chatter(2, 100, 20000), Mark::Done, kShort, false, 5000, 5300},
        BoundCase{"chatty_data", Chatter(2, 100, 20000, "@"), Mark::Data, kShort, false, 5000,
                  5300},
        BoundCase{"mark_after_the_cap", Then(Chatter(2, 100, 5200), {5300, "@"}), Mark::Done,
                  kShort, false, 5000, 5300},
        // The handlers' bound.
        BoundCase{"device_wait_silent", {}, Mark::Done, DeviceWait, false, 3000, 3300},
        BoundCase{
            "device_wait_slow_reply", {{2900, "@"}}, Mark::Done, DeviceWait, true, 2900, 2950},
        BoundCase{"device_wait_chatty", Chatter(2, 1000, 60000), Mark::Done, DeviceWait, false,
                  30000, 30300}),
    [](const ::testing::TestParamInfo<BoundCase>& info) { return std::string(info.param.what); });

TEST_F(DeviceExchangeTest, BoundedReaderReadsNothingMoreOnceItsBoundHasPassed) {
  ScriptedDevice& device = UseScriptedDevice();
  device.replies[CmdStatus] = {{2, "#ab"}, {2500, "cd"}};
  CommPort->WriteByte(CmdStatus);
  BoundedReader reader(kShort);
  std::string got;
  BYTE b;
  while (reader.Next(b)) got += static_cast<char>(b);
  EXPECT_EQ(got, "#ab");
  EXPECT_TRUE(reader.Passed());
  Sleep(2000);
  EXPECT_FALSE(reader.Next(b));
  // What came later is still in the input buffer for the next reader.
  EXPECT_EQ(ReadShortReply('.', 600).Raw, "cd");
}

TEST_F(DeviceExchangeTest, ReportDeviceSilentShowsItsTextAndEndsTheHandler) {
  EXPECT_THROW(ReportDeviceSilent("Error Status String"), EAbort);
  EXPECT_EQ(responder().Texts(ModalKind::Message), std::vector<AnsiString>{"Error Status String"});
}

// ---- Request shapes ----

TEST_F(DeviceExchangeTest, RequestShapesSendTheirBytesWithTheirPauses) {
  OpenPort();
  // Stale bytes of an earlier reply that a purge must discard.
  CommPort->WriteByte(CmdReadPassword);
  Sleep(50);
  tracker->ClearRecord();

  PurgeBothAndPause(200);
  CommPort->WriteByte(CmdBeepOff);
  WriteSetting(CmdWriteServerPort, "3030");
  Sleep(10);
  form->edit_read_portip->Text = "old";
  int repaints = gui.widget_set().RepaintCount(form->edit_read_portip);
  BeginRead(form->edit_read_portip, CmdReadServerPort);
  EXPECT_EQ(form->edit_read_portip->Text(), "");
  EXPECT_GT(gui.widget_set().RepaintCount(form->edit_read_portip), repaints);
  EXPECT_EQ(ReadReply(form->edit_read_portip, '.', 5000), 0);
  EXPECT_EQ(form->edit_read_portip->Text(), "3030");

  const std::vector<std::uint8_t> expected = {'g', '|', '3', '0', '3', '0', 0x00, 'W'};
  EXPECT_EQ(tracker->ReceivedBytes(), expected);
  auto r = tracker->Received();
  ASSERT_EQ(r.size(), expected.size());
  EXPECT_GE(r[2].at_us - r[1].at_us, 100'000u);  // command byte, 100 ms, text
  EXPECT_LT(r[2].at_us - r[1].at_us, 110'000u);
  EXPECT_FALSE(tracker->settings().beeper);
}

struct ConfirmCase {
  int answer;
  bool aborts;
  bool confirmed;
};
void PrintTo(const ConfirmCase& c, std::ostream* os) {
  *os << "answer " << c.answer;
}

class ConfirmTest : public DeviceExchangeTest, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(ConfirmTest, CancelEndsTheHandlerAndOnlyOkConfirms) {
  responder().AnswerMessageBox(GetParam().answer);
  bool confirmed = false;
  bool aborted = false;
  try {
    confirmed = ConfirmOrAbort("Память будет стерта ?", " ");
  } catch (const EAbort&) {
    aborted = true;
  }
  EXPECT_EQ(aborted, GetParam().aborts);
  EXPECT_EQ(confirmed, GetParam().confirmed);
  ASSERT_EQ(responder().Shown().size(), 1u);
  EXPECT_EQ(responder().Shown()[0].text, "Память будет стерта ?");
  EXPECT_EQ(responder().Shown()[0].caption, " ");
  EXPECT_EQ(responder().Shown()[0].flags, 33);
}

INSTANTIATE_TEST_SUITE_P(Answers, ConfirmTest,
                         ::testing::Values(ConfirmCase{IDOK, false, true},
                                           ConfirmCase{IDCANCEL, true, false}));

struct ReportCase {
  int result;
  bool with_result;
  std::vector<AnsiString> shown;
};
void PrintTo(const ReportCase& c, std::ostream* os) {
  *os << "result " << c.result << (c.with_result ? " with the code" : "");
}

class ReportTest : public DeviceExchangeTest, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportTest, ReportsAFailedReaderWithTimeOut) {
  ReportReaderResult(GetParam().result, GetParam().with_result);
  EXPECT_EQ(responder().Texts(ModalKind::Message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Results, ReportTest,
                         ::testing::Values(ReportCase{0, false, {}}, ReportCase{0, true, {}},
                                           ReportCase{-3, false, {"Time 0ut..."}},
                                           ReportCase{-3, true, {"Time 0ut...-3"}},
                                           ReportCase{-1, true, {"Time 0ut...-1"}}));

}  // namespace
