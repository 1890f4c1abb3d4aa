#include "sim/tracker_sim.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using sim::TrackerSim;
using Bytes = std::vector<std::uint8_t>;

const sim::LineSettings kOwn{115200, 8, 0, 0};

Bytes B(std::string_view s) {
  return Bytes(s.begin(), s.end());
}
std::string S(const Bytes& b) {
  return std::string(b.begin(), b.end());
}

// Feeds bytes to the simulator 1 ms apart and keeps what it answers, with absolute times.
class Host {
 public:
  explicit Host(TrackerSim& sim) : sim_(sim) {}

  struct Sent {
    std::uint64_t at_us;
    Bytes bytes;
  };

  // Returns the bytes answered to these bytes, in order.
  Bytes Send(const Bytes& bytes, const sim::LineSettings& settings = kOwn) {
    Bytes all;
    for (std::uint8_t b : bytes) {
      now_ += 1000;
      const sim::Response r = sim_.Receive(b, now_, settings);
      vanished_ = vanished_ || r.vanish;
      for (const auto& t : r.sends) {
        sent_.push_back({now_ + t.delay_us, t.bytes});
        all.insert(all.end(), t.bytes.begin(), t.bytes.end());
      }
    }
    return all;
  }
  Bytes Send(std::string_view s) { return Send(B(s)); }
  std::string Ask(std::string_view s) { return S(Send(B(s))); }

  void Wait(std::uint64_t us) { now_ += us; }
  std::uint64_t now() const { return now_; }
  const std::vector<Sent>& sent() const { return sent_; }
  bool vanished() const { return vanished_; }

 private:
  TrackerSim& sim_;
  std::uint64_t now_ = 0;
  std::vector<Sent> sent_;
  bool vanished_ = false;
};

class TrackerSimTest : public ::testing::Test {
 protected:
  TrackerSimTest() : host(sim) {
    auto& s = sim.settings();
    s.reg_number = "/A123BC/";
    s.server_port = "2020";
    s.server_address = "10.1.2.3";
    s.interval = 5;
    s.user_phones = {"+70001112233", "+74445556677", ""};
    s.std_apn = 3;
    s.user_apn = "9 AT+CIPCSGP=1,\"net.op\",\"lg\",\"pw\"";
    sim.memory().write_address = 0x1F0;
    sim.sensor().table[5] = {1200, 40};
  }
  TrackerSim sim;
  Host host;
};

struct ReplyCase {
  const char* name;
  std::string request;
  std::string reply;
  std::uint64_t delay_us;
};

TEST_F(TrackerSimTest, RepliesWithTheirFramingsAndDelays) {
  using namespace std::string_literals;
  const ReplyCase cases[] = {
      {"status", "e", "#1F0 5 0 1 0 /A123BC/ 2020 10.1.2.3\0"s, sim::kReplyDelayUs},
      // A page above the write address: the host reads up to a page below what it is told.
      {"end address", "d", "#400\0"s, sim::kReplyDelayUs},
      {"password", "M", "Vomar.", sim::kReplyDelayUs},
      {"phone 2", "Q2", "+74445556677.", sim::kReplyDelayUs},
      {"phone 3 empty", "Q3", ".", sim::kReplyDelayUs},
      {"phone of no place", "Q7", ".", sim::kReplyDelayUs},
      {"standard apn", "t", "3.", sim::kReplyDelayUs},
      {"user apn", "y", "#9 AT+CIPCSGP=1,\"net.op\",\"lg\",\"pw\"\0"s, sim::kReplyDelayUs},
      {"server port", "W", "2020.", sim::kReplyDelayUs},
      {"server address", "v", "10.1.2.3$", sim::kReplyDelayUs},
      {"parking mode", "\xB6", "GPS.", sim::kReplyDelayUs},
      {"output mode", "\xF4", "CODE.", sim::kReplyDelayUs},
      {"sensor address", ",", "1$", sim::kSensorDelayUs},
      {"sensor level", "-", "1024$", sim::kSensorDelayUs},
      {"sensor temperature", ".", "22$", sim::kSensorDelayUs},
      {"calibration point", "\xFD\x05", "5 1200 40$", sim::kSensorDelayUs},
      {"calibration point out of range", "\xFD\x2C", "ERR$", sim::kSensorDelayUs},
      {"sensor address write", "333\0"s, "33$", sim::kSensorDelayUs},
      {"debug write", "[0000 0001 AB\0"s, "@", sim::kReplyDelayUs},
      {"debug read of no range", "\\zz\0"s, "@", sim::kReplyDelayUs},
      {"erase", "Z", "@", sim::kEraseUs},
      {"format", "x", "@", sim::kFormatUs},
      {"factory settings", "o", "@", sim::kFactoryUs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t before = host.sent().size();
    EXPECT_EQ(host.Ask(c.request), c.reply);
    ASSERT_EQ(host.sent().size(), before + 1);
    EXPECT_EQ(host.sent().back().at_us, host.now() + c.delay_us);
  }
}

TEST_F(TrackerSimTest, SettingWritesAnswerNothing) {
  using namespace std::string_literals;
  const std::string requests[] = {"f",
                                  "g",
                                  "h\x0A",
                                  "n/B77/\0"s,
                                  "Npw\0"s,
                                  "Ou=2 *\0"s,
                                  "Pu1=+7 *\0"s,
                                  "u2\0"s,
                                  "z9 AT+CIPCSGP=1,\"a\",\"b\",\"c\"\0"s,
                                  "|3030\0"s,
                                  "w1.2.3.4\0"s,
                                  "\xB4",
                                  "\xB5",
                                  "\xF2",
                                  "\xF3",
                                  "0",
                                  "\xF6"
                                  "1 2 3\0"s,
                                  std::string("2") + std::string(120, '\0') + " ",
                                  "\x01",
                                  "\x55\xAA"};
  for (const auto& r : requests) EXPECT_EQ(host.Ask(r), "") << r;
}

struct StateCase {
  const char* name;
  std::string request;
  std::function<bool(TrackerSim&)> check;
};

TEST_F(TrackerSimTest, CommandsChangeTheDeviceState) {
  using namespace std::string_literals;
  const StateCase cases[] = {
      {"reg number stored as sent", "n/X 77/\0"s,
       [](TrackerSim& t) { return t.settings().reg_number == "/X 77/"; }},
      {"empty password", "N\0"s, [](TrackerSim& t) { return t.settings().password.empty(); }},
      {"user count", "Ou=3 *\0"s, [](TrackerSim& t) { return t.settings().user_count == 3; }},
      {"user count out of range", "Ou=4 *\0"s,
       [](TrackerSim& t) { return t.settings().user_count == 1; }},
      {"phone of place 3", "Pu3=+79001234567 *\0"s,
       [](TrackerSim& t) { return t.settings().user_phones[2] == "+79001234567"; }},
      {"phone of no place", "Pu4=1 *\0"s,
       [](TrackerSim& t) { return t.settings().user_phones[2].empty(); }},
      {"standard apn", "u5\0"s, [](TrackerSim& t) { return t.settings().std_apn == 5; }},
      {"standard apn without digit", "u\0"s,
       [](TrackerSim& t) { return t.settings().std_apn == 3; }},
      {"user apn", "z9 AT+CIPCSGP=1,\"a.b\",\" \",\"p w\"\0"s,
       [](TrackerSim& t) {
         return t.settings().user_apn == "9 AT+CIPCSGP=1,\"a.b\",\" \",\"p w\"";
       }},
      // The device keeps the modem command text whatever its form.
      {"user apn of another form", "zAT+CIPCSGP=1,a,,\0"s,
       [](TrackerSim& t) { return t.settings().user_apn == "AT+CIPCSGP=1,a,,"; }},
      {"server port", "|abc\0"s, [](TrackerSim& t) { return t.settings().server_port == "abc"; }},
      {"server address", "w5.6.7.8\0"s,
       [](TrackerSim& t) { return t.settings().server_address == "5.6.7.8"; }},
      {"interval is a raw byte", "h\x65",
       [](TrackerSim& t) { return t.settings().interval == 0x65; }},
      {"beeper off", "g", [](TrackerSim& t) { return !t.settings().beeper; }},
      {"parking by ignition", "\xB5",
       [](TrackerSim& t) { return t.settings().parking_by_ignition; }},
      {"output in litres", "\xF2", [](TrackerSim& t) { return t.settings().output_litres; }},
      {"calibration point",
       "\xF6"
       "29 70000 7\0"s,
       [](TrackerSim& t) {
         return t.sensor().table[29] == sim::CalibrationEntry{4464, 7};
       }},
      {"calibration point out of range",
       "\xF6"
       "30 1 1\0"s,
       [](TrackerSim& t) { return t.sensor().table[29] == sim::CalibrationEntry{}; }},
      {"table cleared", "0", [](TrackerSim& t) { return t.sensor().table[5].input == 0; }},
      {"sensor address", "3200\0"s, [](TrackerSim& t) { return t.sensor().address == 200; }},
      {"sensor address not a number", "3x\0"s,
       [](TrackerSim& t) { return t.sensor().address == 1; }},
      {"debug write fills the range", "[0002 0004 5A\0"s,
       [](TrackerSim& t) {
         const auto& m = t.memory().bytes;
         return m[1] == 0xFF && m[2] == 0x5A && m[4] == 0x5A && m[5] == 0xFF;
       }},
      {"erase", "Z",
       [](TrackerSim& t) { return t.memory().write_address == 0 && t.memory().bytes[0] == 0xFF; }},
      {"factory settings", "o",
       [](TrackerSim& t) {
         return t.settings().reg_number == sim::TrackerSettings{}.reg_number &&
                t.settings().interval == sim::TrackerSettings{}.interval &&
                t.memory().write_address == 0 && t.sensor().table[5].input == 1200;
       }},
      {"boot loader", "}", [](TrackerSim& t) { return t.in_boot_loader(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TrackerSim t;
    t.settings().std_apn = 3;
    t.settings().user_apn = "net.op";
    t.sensor().table[5] = {1200, 40};
    t.memory().write_address = 0x1F0;
    t.memory().bytes[0] = 0x12;
    Host h(t);
    h.Send(B(c.request));
    EXPECT_TRUE(c.check(t));
  }
}

TEST_F(TrackerSimTest, WrittenSettingsReadBack) {
  using namespace std::string_literals;
  host.Send(B("Pu2=+7123 *\0"s));
  EXPECT_EQ(host.Ask("Q2"), "+7123.");
  host.Send(B("n/K9/\0"s));
  host.Send(B("h\x1E"));
  host.Send("g");
  host.Send(B("|3030\0"s));
  host.Send(B("w8.8.4.4\0"s));
  EXPECT_EQ(host.Ask("e"), "#1F0 1E 0 0 0 /K9/ 3030 8.8.4.4\0"s);
  host.Send("\xB5\xF2");
  EXPECT_EQ(host.Ask("\xB6"), "IGN.");
  EXPECT_EQ(host.Ask("\xF4"), "LITRE.");
  host.Send(B("z9 AT+CIPCSGP=1,\"x.y\",\" \",\"q\"\0"s));
  EXPECT_EQ(host.Ask("y"), "#9 AT+CIPCSGP=1,\"x.y\",\" \",\"q\"\0"s);
  host.Send(B("Nnew\0"s));
  EXPECT_EQ(host.Ask("M"), "new.");
  host.Send(B("u4\0"s));
  EXPECT_EQ(host.Ask("t"), "4.");
}

TEST_F(TrackerSimTest, DebugReadListsTheRangeInLinesThenDone) {
  using namespace std::string_literals;
  for (int i = 0; i < 18; ++i) sim.memory().bytes[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(host.Ask("\\0000 0011\0"s),
            "#000000: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n"
            "#000010: 10 11\n"
            "@");
  // A huge range is listed only in part.
  const std::string big = host.Ask("\\0 FFFFFF\0"s);
  EXPECT_EQ(std::count(big.begin(), big.end(), '\n'), sim::kMaxDebugLines);
  EXPECT_EQ(big.back(), '@');
}

TEST_F(TrackerSimTest, CalibrationTableTravelsAsRawBytes) {
  // Entry k: input 0x0100 + k, output 0x0065 ('e' and 0x00 inside the block are data).
  Bytes block(120);
  for (int k = 0; k < 30; ++k) {
    block[2 * k] = static_cast<std::uint8_t>(k);
    block[2 * k + 1] = 0x01;
    block[60 + 2 * k] = 0x65;
    block[61 + 2 * k] = 0x00;
  }
  Bytes request{'2'};
  request.insert(request.end(), block.begin(), block.end());
  request.push_back(0x20);
  EXPECT_TRUE(host.Send(request).empty());
  EXPECT_EQ(sim.sensor().table[0], (sim::CalibrationEntry{0x0100, 0x0065}));
  EXPECT_EQ(sim.sensor().table[29], (sim::CalibrationEntry{0x011D, 0x0065}));

  Bytes expected = block;
  expected.push_back('$');
  EXPECT_EQ(host.Send("/"), expected);

  // A block not closed by 0x20 is dropped.
  request.back() = 0x21;
  request[1] = 0x77;
  host.Send(request);
  EXPECT_EQ(sim.sensor().table[0].input, 0x0100);
}

TEST_F(TrackerSimTest, CommandBytesInsideParametersAreData) {
  using namespace std::string_literals;
  EXPECT_EQ(host.Ask("Ne.Z$\0"s), "");
  EXPECT_EQ(sim.settings().password, "e.Z$");
  EXPECT_EQ(host.Ask("Q"), "");
  EXPECT_EQ(host.Ask("e"), ".");  // the place byte of 'Q', no place
}

TEST_F(TrackerSimTest, ALateParameterByteIsANewCommand) {
  host.Send("N");
  host.Wait(sim::kParameterGapUs / 2);
  host.Send("ab");
  host.Wait(sim::kParameterGapUs + 1);
  EXPECT_EQ(host.Ask("M"), "Vomar.");  // the password write was abandoned
  host.Send("Q");
  host.Wait(sim::kParameterGapUs + 1);
  EXPECT_EQ(host.Ask("e").substr(0, 4), "#1F0");
}

TEST_F(TrackerSimTest, TextParametersAreCutToTheDeviceBuffer) {
  host.Send("N");
  host.Send(std::string(300, 'p'));
  host.Send(Bytes{0});
  EXPECT_EQ(sim.settings().password, std::string(sim::kMaxText, 'p'));
}

// The dump: "#", then pages of 528 bytes counted from the start, each after the host's 0x55 0xAA.
class DumpTest : public TrackerSimTest {
 protected:
  DumpTest() {
    auto& m = sim.memory().bytes;
    for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint8_t>(i * 7 + i / 528);
  }
  Bytes Memory(std::size_t from, std::size_t n) {
    Bytes b;
    for (std::size_t i = from; i < from + n; ++i) {
      b.push_back(i < sim.memory().bytes.size() ? sim.memory().bytes[i] : 0xFF);
    }
    return b;
  }
  Bytes Dump(const std::string& range) {
    Bytes r{'^'};
    r.insert(r.end(), range.begin(), range.end());
    r.push_back(0);
    return host.Send(r);
  }
  const Bytes kAck{0x55, 0xAA};
};

TEST_F(DumpTest, PagesWaitForTheAcknowledgement) {
  // 0x530 bytes from 0x100 to the end address: two full pages and 272 bytes.
  Bytes first = Dump("0100 0630");
  ASSERT_EQ(first.size(), 1 + sim::kPageSize);
  EXPECT_EQ(first[0], '#');
  EXPECT_EQ(Bytes(first.begin() + 1, first.end()), Memory(0x100, sim::kPageSize));
  EXPECT_TRUE(host.Send(Bytes{0x55}).empty());
  EXPECT_EQ(host.Send(Bytes{0xAA}), Memory(0x100 + sim::kPageSize, sim::kPageSize));
  EXPECT_EQ(host.sent().back().at_us, host.now() + sim::kPageTurnUs);
  EXPECT_EQ(host.Send(kAck), Memory(0x100 + 2 * sim::kPageSize, 272));
  // The dump is over: acknowledgements are no command.
  EXPECT_TRUE(host.Send(kAck).empty());
}

TEST_F(DumpTest, OneFullPageNeedsNoAcknowledgement) {
  EXPECT_EQ(Dump("0100 0310").size(), 1 + sim::kPageSize);
  EXPECT_EQ(host.Ask("M"), "Vomar.");
}

TEST_F(DumpTest, AnotherByteEndsTheDumpAndIsACommand) {
  Dump("0 1000");
  EXPECT_EQ(host.Ask("M"), "Vomar.");
  EXPECT_TRUE(host.Send(kAck).empty());
  Dump("0 1000");
  host.Send(Bytes{0x55});
  EXPECT_EQ(host.Ask("M"), "Vomar.");
}

TEST_F(DumpTest, WholeMemoryAndBeyond) {
  Bytes all = Dump("0 210100");
  while (all.size() < 1 + sim::kMemorySize + 0x100) {
    const Bytes page = host.Send(kAck);
    ASSERT_FALSE(page.empty()) << all.size();
    all.insert(all.end(), page.begin(), page.end());
  }
  EXPECT_EQ(all.size(), 1 + sim::kMemorySize + 0x100);
  EXPECT_EQ(Bytes(all.begin() + 1, all.end()), Memory(0, sim::kMemorySize + 0x100));
  EXPECT_TRUE(host.Send(kAck).empty());
}

TEST_F(DumpTest, EmptyRangeSendsTheMarkOnly) {
  EXPECT_EQ(Dump("0630 0100"), Bytes{'#'});
  EXPECT_TRUE(Dump("zz 0100").empty());
}

TEST_F(TrackerSimTest, AnswersOnlyAtItsOwnRateAndFrame) {
  struct Case {
    sim::LineSettings settings;
    bool answered;
  };
  const Case cases[] = {
      {{115200, 8, 0, 0}, true},  {{115200, 8, 0, 2}, true},  {{117000, 8, 0, 0}, true},
      {{921600, 8, 0, 0}, false}, {{460800, 8, 0, 0}, false}, {{9600, 8, 0, 0}, false},
      {{115200, 7, 0, 0}, false}, {{115200, 8, 2, 0}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(!host.Send(B("e"), c.settings).empty(), c.answered) << c.settings.baud;
  }
  TrackerSim fast(921600);
  Host h(fast);
  EXPECT_FALSE(h.Send(B("e"), {921600, 8, 0, 0}).empty());
  EXPECT_TRUE(h.Send(B("e"), kOwn).empty());
}

TEST_F(TrackerSimTest, GarbledBytesLeaveAPendingParameterAlone) {
  using namespace std::string_literals;
  host.Send("N");
  host.Send(B("xx\0"s), {921600, 8, 0, 0});
  host.Send(B("ok\0"s));
  EXPECT_EQ(sim.settings().password, "ok");
}

TEST_F(TrackerSimTest, RecordsEveryByteWithItsTimeAndSettings) {
  const sim::LineSettings fast{921600, 8, 0, 0};
  host.Send(B("e"), fast);
  host.Wait(5000);
  host.Send(B("eM"));
  const std::vector<sim::ReceivedByte> expected = {
      {1000, 'e', fast, true}, {7000, 'e', kOwn, false}, {8000, 'M', kOwn, false}};
  EXPECT_EQ(sim.Received(), expected);
  EXPECT_EQ(sim.ReceivedBytes(), B("eM"));
  sim.ClearRecord();
  EXPECT_TRUE(sim.Received().empty());
}

TEST_F(TrackerSimTest, BootLoaderHandOverEndsTheProtocol) {
  host.Send("}");
  EXPECT_TRUE(host.Send(B("eMd")).empty());
  EXPECT_EQ(sim.ReceivedBytes(), B("}eMd"));
}

// Fault modes.

TEST_F(TrackerSimTest, SilentDeviceStillCarriesOutCommands) {
  using namespace std::string_literals;
  sim.faults().silent = true;
  EXPECT_TRUE(host.Send(B("eMZ")).empty());
  EXPECT_EQ(sim.memory().write_address, 0u);
  EXPECT_EQ(sim.ReceivedBytes(), B("eMZ"));
}

TEST_F(TrackerSimTest, SlowDeviceSpacesEveryByte) {
  sim.faults().byte_delay_us = 250'000;
  EXPECT_EQ(host.Ask("W"), "2020.");
  ASSERT_EQ(host.sent().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(host.sent()[i].at_us, host.now() + sim::kReplyDelayUs + i * 250'000) << i;
  }
}

TEST_F(TrackerSimTest, DelayedReply) {
  sim.faults().reply_delay_us = 5'001'000;
  EXPECT_EQ(host.Ask("Z"), "@");
  EXPECT_EQ(host.sent().back().at_us, host.now() + sim::kEraseUs + 5'001'000);
}

TEST_F(TrackerSimTest, GarbageBeforeEveryReply) {
  using namespace std::string_literals;
  sim.faults().garbage = {0x11, 0xFE};
  EXPECT_EQ(host.Ask("W"),
            "\x11\xFE"
            "2020.");
  EXPECT_EQ(host.Ask("d"), "\x11\xFE#400\0"s);
  // Before the dump's mark, not before its later pages.
  EXPECT_EQ(host.Send(B("^0 630\0"s)).size(), 2 + 1 + sim::kPageSize);
  EXPECT_EQ(host.Send(Bytes{0x55, 0xAA}).size(), sim::kPageSize);
}

TEST_F(TrackerSimTest, RepliesCutOffMidStream) {
  using namespace std::string_literals;
  sim.faults().cut_after = 3;
  EXPECT_EQ(host.Ask("v"), "10.");
  EXPECT_EQ(host.Ask("e"), "#1F");
  // A dump counts as one reply over its pages.
  sim.faults().cut_after = 1 + sim::kPageSize + 10;
  EXPECT_EQ(host.Send(B("^0 1000\0"s)).size(), 1 + sim::kPageSize);
  EXPECT_EQ(host.Send(Bytes{0x55, 0xAA}).size(), 10u);
  EXPECT_TRUE(host.Send(Bytes{0x55, 0xAA}).empty());
}

TEST_F(TrackerSimTest, OverlongReplies) {
  using namespace std::string_literals;
  sim.faults().short_length = 30;
  sim.faults().status_length = 60;
  sim.faults().address_length = 10;
  EXPECT_EQ(host.Ask("W"), "2020" + std::string(26, '0') + ".");
  const std::string status = host.Ask("e");
  EXPECT_EQ(status.size(), 1 + 60 + 1u);
  EXPECT_EQ(status.substr(0, 5), "#1F0 ");
  EXPECT_EQ(host.Ask("d"), "#4000000000\0"s);
}

TEST_F(TrackerSimTest, FillCharactersInShortReplies) {
  using namespace std::string_literals;
  sim.faults().fill_lead = 2;
  sim.faults().fill_every = 1;
  EXPECT_EQ(host.Ask("-"), "##1#0#2#4#$");
  sim.faults().fill_lead = 0;
  sim.faults().fill_every = 2;
  EXPECT_EQ(host.Ask("W"), "20#20#.");
  EXPECT_EQ(host.Ask("d"), "#400\0"s);  // marked texts carry no fill
}

TEST_F(TrackerSimTest, DeviceVanishesAtAChosenByte) {
  sim.faults().vanish_on_byte = 3;
  EXPECT_EQ(host.Ask("M"), "Vomar.");
  host.Send("v");
  EXPECT_FALSE(host.vanished());
  EXPECT_TRUE(host.Send("W").empty());
  EXPECT_TRUE(host.vanished());
  EXPECT_TRUE(sim.vanished());
  EXPECT_TRUE(host.Send("M").empty());
  EXPECT_EQ(sim.Received().size(), 3u);
}

TEST(PackTrackText, PacksTwoCharactersPerByte) {
  EXPECT_EQ(sim::PackTrackText("1$0;. \n5"), (Bytes{0x1F, 0xAB, 0xC0, 0xE5}));
  EXPECT_EQ(sim::PackTrackText("  /"), (Bytes{0x00, 0xD0}));
  EXPECT_THROW(sim::PackTrackText("1A"), std::invalid_argument);
}

TEST(TrackMemory, LoadSetsTheWriteAddress) {
  sim::TrackMemory m;
  m.Load(Bytes{1, 2, 3});
  EXPECT_EQ(m.write_address, 3u);
  EXPECT_EQ(m.bytes[2], 3);
  EXPECT_EQ(m.bytes[3], 0xFF);
  m.Load(Bytes(sim::kMemorySize + 5, 0));
  EXPECT_EQ(m.write_address, sim::kMemorySize);
}

}  // namespace
