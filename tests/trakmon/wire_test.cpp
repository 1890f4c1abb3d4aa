// Every command of the connection, state, memory, hand-over, exit and debug handlers as the
// device receives it: the exact bytes in order and the pauses before them, from the simulator's
// timestamps on the virtual clock.
#include <ostream>
#include <string>
#include <vector>

#include "read_dev/device_command.h"
#include "trakmon_fixture.h"

using vcl::headless::Click;

namespace {

// Bytes that go out together, and the pause before the first of them: from the click for the
// first piece, else from the last byte of the piece before.
struct Piece {
  std::string bytes;
  std::uint64_t pause_ms;
};

struct WireCase {
  const char* what;
  std::vector<const char*> clicks;
  std::vector<int> answers;  // to the message boxes, in order
  std::vector<Piece> wire;
};
void PrintTo(const WireCase& c, std::ostream* os) {
  *os << c.what;
}

class CommandWireTest : public TrakmonTest, public ::testing::WithParamInterface<WireCase> {};

TEST_P(CommandWireTest, SendsItsBytesWithItsPauses) {
  const WireCase& c = GetParam();
  TML_Form* form = CreateConnectedForm(0, 115200, true);
  Click(form->deb_panel);
  for (int answer : c.answers) responder().AnswerMessageBox(answer);
  const std::uint64_t t0 = clock->NowUs();
  for (const char* name : c.clicks) Click(vcl::headless::Find<TComponent>(form, name));

  std::string expected;
  for (const Piece& p : c.wire) expected += p.bytes;
  const auto received = tracker->Received();
  std::string sent;
  for (const auto& r : received) sent += static_cast<char>(r.byte);
  ASSERT_EQ(sent, expected);

  // One character time at 115200 baud is about 87 us; a pause is met when the byte's transfer
  // ends at least the pause after the previous one and within one more millisecond.
  std::size_t at = 0;
  std::uint64_t previous = t0;
  for (const Piece& p : c.wire) {
    const std::uint64_t gap = received[at].at_us - previous;
    EXPECT_GE(gap, p.pause_ms * 1000) << "before byte " << at;
    EXPECT_LT(gap, p.pause_ms * 1000 + 1000) << "before byte " << at;
    for (std::size_t i = 1; i < p.bytes.size(); ++i)
      EXPECT_LT(received[at + i].at_us - received[at + i - 1].at_us, 200u) << "byte " << at + i;
    at += p.bytes.size();
    previous = received[at - 1].at_us;
  }
}

const std::string kNul(1, '\0');

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandWireTest,
    ::testing::Values(
        WireCase{"state", {"SBMode"}, {}, {{"e", 100}}},
        WireCase{"erase", {"SBCHErase"}, {IDOK}, {{"Z", 100}}},
        WireCase{"format_button", {"sb_full_erase"}, {IDOK}, {{"x", 100}}},
        WireCase{"format_menu", {"N1"}, {IDOK}, {{"x", 100}}},
        WireCase{"factory_button", {"SBSetup"}, {IDOK}, {{"o", 100}}},
        WireCase{"factory_menu", {"mill_setup"}, {IDOK}, {{"o", 100}}},
        WireCase{"hand_over", {"sb_jmp_boot"}, {}, {{"}", 100}}},
        WireCase{"exit_with_erase", {"SBAllExit"}, {IDOK, IDOK}, {{"Z", 100}}},
        WireCase{"exit_without_erase", {"SBAllExit"}, {IDCANCEL}, {}},
        WireCase{"debug_read", {"SBCHRead"}, {}, {{"\\", 200}, {"0000 00FF" + kNul, 200}}},
        WireCase{"debug_write", {"SBCHWrite"}, {}, {{"[", 200}, {"0000 00FF FF" + kNul, 200}}},
        WireCase{"modem_lines",
                 {"SpeedButton7", "SpeedButton8", "SpeedButton2", "SpeedButton3"},
                 {},
                 {}}),
    [](const ::testing::TestParamInfo<WireCase>& info) { return std::string(info.param.what); });

TEST_F(CommandWireTest, StateQueryAtTheFallbackRateFollowsTheFirstOneAfterItsDeadline) {
  TML_Form* form = CreateConnectedForm(0, 921600);
  const std::uint64_t t0 = clock->NowUs();
  Click(form->SBMode);
  const auto r = tracker->Received();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].byte, CmdStatus);
  EXPECT_EQ(r[0].settings.baud, 921600u);
  EXPECT_TRUE(r[0].garbled);
  EXPECT_GE(r[0].at_us - t0, 100'000u);
  EXPECT_EQ(r[1].byte, CmdStatus);
  EXPECT_EQ(r[1].settings.baud, 115200u);
  // 800 ms and the read running then (at most one read time-out), the purges, 100 ms.
  EXPECT_GE(r[1].at_us - r[0].at_us, 900'000u);
  EXPECT_LT(r[1].at_us - r[0].at_us, 1'200'000u);
}

}  // namespace
