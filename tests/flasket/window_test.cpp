// The loader window: start-up, connecting, the firmware file, and the boot-loader commands against
// the simulator on COM3 (in real time, see flasket_fixture.h).
#include <algorithm>

#include "flasket_fixture.h"
#include "prog/boot_protocol.h"

namespace flasket_test {
namespace {

using namespace std::chrono_literals;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(FlasketTest, StartsDisconnectedWithThePortsListed) {
  EXPECT_EQ(form->Caption().str(), "Flasket V1.0");
  EXPECT_EQ(Caption("Label11"), "Mode = 0");
  for (const char* label : {"Label1", "Label2", "Label3", "Label4"}) EXPECT_EQ(Caption(label), "");
  EXPECT_EQ(Get<TComboBox>("ComboBox1")->Text().str(), "COM3");
  EXPECT_TRUE(Get("sb_connect")->Enabled);
  EXPECT_FALSE(Get("sb_disconnect")->Enabled);
  EXPECT_FALSE(Get("sb_start_ld")->Visible);
  EXPECT_FALSE(Get("SpeedButton1")->Visible);
  EXPECT_EQ(Get<TEdit>("ed_start")->Text().str(), "0000");
  EXPECT_EQ(Get<TEdit>("ed_stop")->Text().str(), "0200");
  EXPECT_FALSE(Get<TCheckBox>("cb8_16")->Checked);
}

TEST_F(FlasketTest, ConnectAndDisconnectSetCaptionAndButtons) {
  Connect();
  EXPECT_EQ(form->Caption().str(), "  Comm Port ( \\\\.\\COM3 ) Open");
  EXPECT_FALSE(Get("sb_connect")->Enabled);
  EXPECT_FALSE(Get("ComboBox1")->Enabled);
  EXPECT_TRUE(Get("sb_disconnect")->Enabled);
  // The worker's start beeps.
  EXPECT_TRUE(Until([] { return !platform::testing::Beeps().empty(); }, 2s));

  hl::Click(Get("sb_disconnect"));
  ExpectClosedState();
}

TEST_F(FlasketTest, AFailedConnectShowsThePortAndStaysDisconnected) {
  platform::testing::InjectFault("SetCommState", ERROR_GEN_FAILURE);
  hl::Click(Get("sb_connect"));
  EXPECT_EQ(LastShown(), "Error Connect... COM3");
  EXPECT_EQ(form->Caption().str(), "Error Connect... COM3");
  EXPECT_EQ(form->connected, 0);
  EXPECT_TRUE(Get("sb_connect")->Enabled);
  EXPECT_FALSE(Get("sb_disconnect")->Enabled);
}

TEST_F(FlasketTest, APortHeldElsewhereSaysSoBeneathTheFailure) {
  HANDLE held = CreateFileA("\\\\.\\COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  hl::Click(Get("sb_connect"));
  CloseHandle(held);
  const std::string shown = LastShown();
  EXPECT_EQ(shown.substr(0, shown.find('\n')), "Error Connect... COM3");
  EXPECT_NE(shown.find("in use by another program"), std::string::npos) << shown;
  EXPECT_EQ(form->Caption().str(), "Error Connect... COM3");
  EXPECT_EQ(form->connected, 0);
}

TEST_F(FlasketTest, OpeningAFileBuildsTheImageAndListsIt) {
  OpenFirmware(Firmware(0x40));
  EXPECT_EQ(Caption("Label1"), "Rec Count = 5") << LastShown();
  EXPECT_EQ(Caption("Label3"), "End addr.= 0x00040");
  EXPECT_EQ(form->end_addr, 0x40);
  ASSERT_TRUE(form->image.has_value());
  EXPECT_EQ(form->image->size(), 0x40u * 2 + 512);
  EXPECT_EQ(Log().size(), 2u);  // "Mega" in 16-bit words
  EXPECT_EQ(Get<TStatusBar>("StatBar")->Panels->Items[0]->Text().str(),
            (prefix.scratch() / "firmware.hex").string() + " -> OPEN");

  Get<TCheckBox>("cb8_16")->Checked = true;
  Press("sb_test_dat");
  EXPECT_EQ(Log().size(), 0x40u);
  hl::Click(Get("sb_hex_format"));
  EXPECT_EQ(Log().size(), 4u);  // the end record is not listed
  hl::Click(Get("sb_hex"));
  EXPECT_EQ(Log().size(), 5u);
}

TEST_F(FlasketTest, ARefusedFileLeavesNothingLoaded) {
  responder().CancelOpenDialog();
  hl::Click(Get("sb_open_files"));
  EXPECT_EQ(LastShown(), "File Not  Open");
  Press("sb_test_dat");  // no image yet: nothing to show
  EXPECT_TRUE(Log().empty());

  struct Case {
    const char* name;
    std::string text;  // empty: the file cannot be read
    const char* message;
  };
  const Case cases[] = {
      {"bad checksum", ":02000000AABB00\r\n:00000001FF\r\n",
       "Bad checksum in line 1: :02000000AABB00"},
      {"no end record", ":02000000AABB99\r\n", "No End Record In File..."},
      {"above 64K", ":020000040001F9\r\n:02000000AABB99\r\n:00000001FF\r\n",
       "Address above 64K in line 1: :020000040001F9"},
      {"a record cut short", ":02000000AABB99\r\n:1000100001\r\n:00000001FF\r\n",
       "Record length does not match its count in line 2: :1000100001"},
      {"two files joined", ":02000000AABB99\r\n:00000001FF\r\n:02010000AABB98\r\n:00000001FF\r\n",
       "Data after the end record in line 3: :02010000AABB98"},
      {"data past FFFF", ":02FFFF000102FD\r\n:00000001FF\r\n",
       "Address above 64K in line 1: :02FFFF000102FD"},
      {"a file that cannot be read", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenFirmware(Firmware(0x20));
    ASSERT_TRUE(form->image.has_value());
    if (c.text.empty()) {
      responder().AnswerOpenDialog((prefix.scratch() / "missing.hex").string().c_str());
      hl::Click(Get("sb_open_files"));
    } else {
      OpenHex(c.text);
      EXPECT_EQ(LastShown(), c.message);
    }
    EXPECT_EQ(form->file_lines->Count, 0);
    EXPECT_FALSE(form->image.has_value());
    EXPECT_EQ(form->end_addr, 0);
    EXPECT_EQ(form->rec_count, 0);
    EXPECT_EQ(form->file_name.str(), "");
    EXPECT_EQ(Caption("Label1"), "");
    EXPECT_EQ(Caption("Label3"), "");
    EXPECT_EQ(Get<TStatusBar>("StatBar")->Panels->Items[0]->Text().str(), "");
    EXPECT_TRUE(Log().empty());  // no listing of the firmware that went
    hl::Click(Get("sb_mega_format"));
    EXPECT_FALSE(form->image.has_value());
  }
}

TEST_F(FlasketTest, AfterARefusedFileWriteAllWritesNothingAndTheNextGoodFileIsWritten) {
  Connect();
  OpenFirmware(Firmware(0x300, 1));
  OpenHex(":02000000AABB00\r\n:00000001FF\r\n");
  Press("sb_write_all");
  EXPECT_EQ(LastShown(), "No Output File...");
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(loader->Commands().empty());

  const auto good = Firmware(0x180, 7);
  OpenFirmware(good);
  ASSERT_TRUE(WriteAll());
  EXPECT_EQ(loader->BlocksWritten(), (std::vector<int>{0, 1}));
  EXPECT_TRUE(std::equal(good.begin(), good.end(), loader->flash().begin()));
  EXPECT_TRUE(std::all_of(loader->flash().begin() + good.size(), loader->flash().begin() + 0x200,
                          [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(platform::testing::Beeps().back().duration, 200u);
}

TEST_F(FlasketTest, AZeroLengthRecordHoldsNoByteAndTheFileNamedIsTheFileWritten) {
  Connect();
  OpenFirmware(Firmware(0x300, 1));
  // A valid file whose zero-length record lies far above its data.
  OpenHex(":10000000000102030405060708090A0B0C0D0E0F78\r\n:00500000B0\r\n:00000001FF\r\n");
  EXPECT_TRUE(Messages().empty()) << LastShown();
  EXPECT_EQ(Caption("Label3"), "End addr.= 0x00010");
  EXPECT_EQ(Caption("Label1"), "Rec Count = 3");
  ASSERT_TRUE(WriteAll());
  EXPECT_EQ(loader->BlocksWritten(), std::vector<int>{0});
  for (int i = 0; i < 16; ++i) EXPECT_EQ(loader->flash()[i], i);
  EXPECT_TRUE(std::all_of(loader->flash().begin() + 16, loader->flash().begin() + 256,
                          [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_TRUE(SuccessBeeped());
}

TEST_F(FlasketTest, WriteAllWritesEveryBlockCheckedByItsCrc) {
  struct Case {
    const char* name;
    std::size_t size;
    int blocks;
    const char* last_j;
  };
  for (const Case& c : {Case{"end 0x1234", 0x1234, 19, "J=1300"},
                        Case{"end 0x1200: a last block of FF", 0x1200, 19, "J=1300"},
                        Case{"below one block: only later blocks set J", 0x80, 1, "J=1300"}}) {
    SCOPED_TRACE(c.name);
    loader->flash().assign(sim::kFlashSize, 0x00);
    const auto data = Firmware(c.size, static_cast<std::uint8_t>(c.size));
    OpenFirmware(data);
    if (!form->connected) Connect();
    const std::size_t blocks_before = loader->BlocksWritten().size();
    ASSERT_TRUE(WriteAll());
    const auto written = loader->BlocksWritten();
    std::vector<int> expected(c.blocks);
    for (int i = 0; i < c.blocks; ++i) expected[i] = i;
    EXPECT_EQ(std::vector<int>(written.begin() + blocks_before, written.end()), expected);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), loader->flash().begin()));
    EXPECT_TRUE(std::all_of(loader->flash().begin() + data.size(),
                            loader->flash().begin() + c.blocks * 256,
                            [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(Caption("Label4"), "Block = " + std::to_string(c.blocks));
    EXPECT_EQ(Caption("Label2"), c.last_j);
    EXPECT_EQ(Caption("Label11"), "Mode = 0");
    EXPECT_EQ(Get<TProgressBar>("prog_b1")->Max, c.blocks);
    EXPECT_EQ(Get<TProgressBar>("prog_b1")->Position, c.blocks);
    const auto log = Log();
    EXPECT_TRUE(Contains(log, "Send  BL 0"));
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) { return l.rfind("CRT = ", 0) == 0; }),
              c.blocks);
    const auto beeps = platform::testing::Beeps();
    ASSERT_FALSE(beeps.empty());
    EXPECT_EQ(beeps.back().duration, 200u);
  }
  EXPECT_TRUE(Messages().empty()) << LastShown();
}

TEST_F(FlasketTest, AnAcknowledgementOverTwoLinesIsReadAsOne) {
  loader->faults().split_ack = true;
  const auto data = Firmware(0x300);
  OpenFirmware(data);
  Connect();
  ASSERT_TRUE(WriteAll());
  EXPECT_EQ(loader->BlocksWritten().size(), 4u);
  EXPECT_TRUE(Messages().empty()) << LastShown();
  EXPECT_TRUE(std::equal(data.begin(), data.end(), loader->flash().begin()));
}

TEST_F(FlasketTest, ACrcMismatchIsShownTheWriteGoesOnAndItsEndSaysItFailed) {
  loader->faults().wrong_crc_block = 1;
  OpenFirmware(Firmware(0x300));
  Connect();
  ASSERT_TRUE(WriteAll());
  const std::string failed = "Write Failed: CRT Error in Block 1. Repeat Write All...";
  EXPECT_EQ(Messages(), (std::vector<std::string>{"CRT Error in 1 Block...", failed}));
  EXPECT_EQ(loader->BlocksWritten(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(Log().back(), failed);
  EXPECT_EQ(Caption("Label11"), "Mode = 0");
  EXPECT_FALSE(SuccessBeeped());

  // The next write that goes well ends as a success again.
  loader->faults().wrong_crc_block = -1;
  ASSERT_TRUE(WriteAll());
  EXPECT_EQ(Messages().size(), 2u) << LastShown();
  EXPECT_TRUE(SuccessBeeped());
}

TEST_F(FlasketTest, AnAnswerConfirmsOnlyTheBlockItNames) {
  struct Case {
    const char* name;
    sim::BootLoaderFaults faults;
    std::vector<std::string> messages;  // none: the write went well
  };
  auto faults = [](auto set) {
    sim::BootLoaderFaults f;
    set(f);
    return f;
  };
  const Case cases[] = {
      {"block 2 answered as block 3",
       faults([](auto& f) { f.wrong_number_block = 2; }),
       {"Block 2 Not Confirmed: Answer For Block 3...",
        "Write Failed: Block 2 Not Confirmed. Repeat Write All..."}},
      {"a repeated answer moves nothing on", faults([](auto& f) { f.repeat_ack_block = 1; }), {}},
      {"a repeated answer, then a wrong CRC later",
       faults([](auto& f) {
         f.repeat_ack_block = 1;
         f.wrong_crc_block = 3;
       }),
       {"CRT Error in 3 Block...", "Write Failed: CRT Error in Block 3. Repeat Write All..."}},
      {"a stray byte before every CRC", faults([](auto& f) { f.stray_byte = '>'; }), {}},
  };
  const auto data = Firmware(0x500, 3);
  OpenFirmware(data);
  Connect();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    responder().ClearShown();
    platform::testing::ClearBeeps();
    loader->faults() = c.faults;
    loader->flash().assign(sim::kFlashSize, 0x00);
    const std::size_t before = loader->BlocksWritten().size();
    ASSERT_TRUE(WriteAll());
    const auto written = loader->BlocksWritten();
    EXPECT_EQ(std::vector<int>(written.begin() + before, written.end()),
              (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_EQ(Caption("Label11"), "Mode = 0");
    EXPECT_EQ(SuccessBeeped(), c.messages.empty());
    if (c.messages.empty()) {
      EXPECT_TRUE(std::equal(data.begin(), data.end(), loader->flash().begin()));
    }
  }
}

TEST_F(FlasketTest, DeviceCommandsDuringAWriteAreRefusedAndTheWriteGoesOn) {
  const auto data = Firmware(0x500, 4);
  OpenFirmware(data);
  Connect();
  Press("sb_write_all");
  ASSERT_TRUE(Until([&] { return form->block_pos == 512; }));
  const char* buttons[] = {"sb_dump",      "sb_clr_addr",  "sb_test_wr", "wr_lock",
                           "sb_read_lock", "sb_write_all", "sb_jmp_0000"};
  for (const char* button : buttons) {
    SCOPED_TRACE(button);
    Press(button);
    EXPECT_EQ(LastShown(), TFormProg::kWriteInProgress);
    EXPECT_EQ(form->mode, MODE_BLOCK);
  }
  EXPECT_EQ(form->connected, 1);
  ASSERT_TRUE(Until([&] { return form->mode == MODE_IDLE; }, 20s));
  EXPECT_EQ(Messages(), std::vector<std::string>(std::size(buttons), TFormProg::kWriteInProgress));
  EXPECT_EQ(loader->BlocksWritten(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(std::equal(data.begin(), data.end(), loader->flash().begin()));
  EXPECT_EQ(Caption("Label4"), "Block = 6");
  EXPECT_TRUE(SuccessBeeped());
  // Nothing but the write reached the device.
  const auto commands = loader->Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.front(), "#CLR_ADDR 0000");
  for (std::size_t i = 1; i < commands.size(); ++i)
    EXPECT_EQ(commands[i].rfind("#WRITE_BL ", 0), 0u) << commands[i];
}

TEST_F(FlasketTest, WriteAllPressedTwiceAtOnceWritesOnce) {
  const auto data = Firmware(0x300, 5);
  OpenFirmware(data);
  Connect();
  Press("sb_write_all");
  Press("sb_write_all");  // before the boot loader has answered anything
  EXPECT_EQ(LastShown(), TFormProg::kWriteInProgress);
  ASSERT_TRUE(Until([&] { return form->mode == MODE_IDLE; }));
  EXPECT_EQ(Messages(), std::vector<std::string>{TFormProg::kWriteInProgress});
  EXPECT_EQ(loader->BlocksWritten(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(std::equal(data.begin(), data.end(), loader->flash().begin()));
  EXPECT_TRUE(SuccessBeeped());
}

TEST_F(FlasketTest, DisconnectDuringAWriteEndsItAsFailedNamingTheDisconnect) {
  loader->faults().silent_from_block = 1;  // block 1 stays unanswered while the user waits
  OpenFirmware(Firmware(0x500));
  Connect();
  Press("sb_write_all");
  ASSERT_TRUE(Until([&] { return form->block_pos == 2 * 512; }));
  hl::Click(Get("sb_disconnect"));
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Port Closed By Disconnect... COM3\n"
                                     "Write Failed: Block 1-5 Not Written. Repeat Write All..."});
  EXPECT_EQ(form->mode, MODE_IDLE);
  ExpectClosedState();
  // The reply deadline does not come back with another end.
  auto* timer = hl::Find<TTimer>(form, "ReplyTimer");
  EXPECT_FALSE(timer->Active());
  hl::PumpMessages();
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_FALSE(SuccessBeeped());
}

TEST_F(FlasketTest, WriteAllWithoutAConnectionSaysSoAtOnce) {
  OpenFirmware(Firmware(0x100));
  Press("sb_write_all");
  EXPECT_EQ(Messages(), std::vector<std::string>{"Port Not Connected..."});
  EXPECT_EQ(form->mode, MODE_IDLE);
  EXPECT_FALSE(hl::Find<TTimer>(form, "ReplyTimer")->Active());
  EXPECT_TRUE(loader->Commands().empty());
}

TEST_F(FlasketTest, ASilentBootLoaderEndsTheWriteWithAMessage) {
  loader->faults().silent_from_block = 2;
  OpenFirmware(Firmware(0x500));
  Connect();
  Press("sb_write_all");
  ASSERT_TRUE(Until([&] { return loader->BlocksWritten().size() == 2; }));
  auto* timer = hl::Find<TTimer>(form, "ReplyTimer");
  EXPECT_EQ(form->mode, MODE_BLOCK);
  // The deadline passes while the loader stays silent.
  ASSERT_TRUE(Until(
      [&] {
        if (timer->Active()) hl::FireTimer(timer);
        return form->mode == MODE_IDLE;
      },
      std::chrono::milliseconds(TFormProg::kReplyLimitMs + 3000)));
  EXPECT_EQ(LastShown(),
            "No Answer From Boot Loader...\n"
            "Write Failed: Block 2-5 Not Written. Repeat Write All...");
  EXPECT_EQ(Caption("Label11"), "Mode = 0");
  EXPECT_FALSE(timer->Active());
  EXPECT_FALSE(SuccessBeeped());

  // A step of the chain that is handled after it gave up starts nothing again.
  const auto commands = loader->Commands();
  const auto shown = Messages().size();
  for (int code : {SN_BLOCK_ACK, SN_FIRST_BLOCK, SN_ADDR_CLEARED}) {
    SCOPED_TRACE(code);
    PostMessageA(form->Handle, WM_SERIAL_NOTIFY, 0, code);
    hl::PumpMessages();
    EXPECT_EQ(form->mode, MODE_IDLE);
    EXPECT_FALSE(timer->Active());
  }
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(loader->Commands(), commands);
  EXPECT_EQ(Messages().size(), shown);
}

TEST_F(FlasketTest, ADeviceThatVanishesClosesThePortAndEndsTheWriteAsFailed) {
  loader->faults().vanish_on_byte = kByteOfBlock1;
  OpenFirmware(Firmware(0x500));
  Connect();
  Press("sb_write_all");
  ASSERT_TRUE(Until([&] { return form->connected == 0; }));
  ExpectVanishedInBlock1();

  // The device is back: connect again and write.
  loader = std::make_shared<sim::BootLoaderDevice>();
  platform::sim::Attach("COM3", loader);
  Connect();
  ASSERT_TRUE(WriteAll());
  EXPECT_EQ(loader->BlocksWritten().size(), 6u);
  EXPECT_TRUE(SuccessBeeped());

  // Vanishing outside a write only says so.
  const auto shown = Messages().size();
  loader->faults().vanish_on_byte = loader->Received().size() + 1;
  Press("sb_test_wr");
  ASSERT_TRUE(Until([&] { return form->connected == 0; }));
  EXPECT_EQ(Messages().size(), shown + 1);
  EXPECT_EQ(LastShown(), "Device Disconnected... COM3");
}

TEST_F(FlasketTest, OpeningAFileDuringAWriteEndsTheWrite) {
  loader->faults().silent_from_block = 1;
  OpenFirmware(Firmware(0x300));
  Connect();
  Press("sb_write_all");
  // Block 0 answered, block 1 sent: its answer never comes.
  ASSERT_TRUE(Until([&] { return form->block_pos == 2 * 512; }));
  ASSERT_EQ(form->mode, MODE_BLOCK);
  OpenFirmware(Firmware(0x100, 3));
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Write Failed: Block 1-3 Not Written. Repeat Write All..."});
  EXPECT_EQ(form->mode, MODE_IDLE);
  EXPECT_EQ(form->end_addr, 0x100);
  EXPECT_FALSE(SuccessBeeped());
}

TEST_F(FlasketTest, WriteAllWithoutAFileSendsNothing) {
  Connect();
  Press("sb_write_all");
  EXPECT_EQ(LastShown(), "No Output File...");
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(loader->Commands().empty());
  EXPECT_EQ(form->mode, MODE_IDLE);
}

TEST_F(FlasketTest, ReadLockShowsTheBytesAndWrLockWritesTheLockBack) {
  Connect();
  Press("sb_read_lock");
  EXPECT_EQ(Caption("Label11"), "Mode = 1007");
  ASSERT_TRUE(Until([&] { return !Get<TEdit>("ed_lk")->Text().IsEmpty(); }));
  EXPECT_EQ(Get<TEdit>("ed_fs")->Text().str(), "0xE4 0xD9 0xFF");
  EXPECT_EQ(Get<TEdit>("ed_lk")->Text().str(), " 0x3F");
  EXPECT_EQ(Log(), std::vector<std::string>{""});  // the lock line is not logged

  hl::Type(Get("ed_lk"), " 0x0C");
  Press("wr_lock");
  ASSERT_TRUE(Until([&] { return loader->lock_byte() == 0x0C; }, 2s));
  EXPECT_EQ(loader->Commands().back(), "#LOCK_WR 0C");
  ASSERT_TRUE(Until([&] { return Contains(Log(), "LOCK_WR OK\r"); }, 2s));

  // Only a byte goes out.
  const std::size_t sent = loader->Commands().size();
  for (const char* text : {"zz", "-1", "256", "0x1FF", "$FFFFFFFF", ""}) {
    SCOPED_TRACE(text);
    hl::Type(Get("ed_lk"), text);
    Press("wr_lock");
    EXPECT_EQ(LastShown(), "Invali Lock Byte...");
  }
  hl::Type(Get("ed_lk"), "255");
  Press("wr_lock");
  ASSERT_TRUE(Until([&] { return loader->Commands().size() > sent; }, 2s));
  EXPECT_EQ(loader->Commands().size(), sent + 1);
  EXPECT_EQ(loader->Commands().back(), "#LOCK_WR FF");
}

TEST_F(FlasketTest, DumpChecksTheAddressesAndFollowsTheLines) {
  Connect();
  struct Case {
    const char* start;
    const char* stop;
    const char* message;
  };
  for (const Case& c :
       {Case{"0200", "0200", "End Address <= Start Address..."},
        Case{"0300", "0200", "End Address <= Start Address..."},
        Case{"XYZ", "0200", "Error Input Address..."}, Case{"0000", "", "Error Input Address..."},
        Case{"-1", "0200", "Error Input Address..."},
        Case{"0", "123456789", "Error Input Address..."},
        Case{"80000000", "7FFFFFFF", "Address Above FFFF..."},
        Case{"FFFFFFFF", "0000", "Address Above FFFF..."},
        Case{"0000", "10000", "Address Above FFFF..."},
        Case{"FFFF", "0", "End Address <= Start Address..."}}) {
    SCOPED_TRACE(std::string(c.start) + " " + c.stop);
    form->add_memo_line("before");
    hl::Type(Get("ed_start"), c.start);
    hl::Type(Get("ed_stop"), c.stop);
    Press("sb_dump");
    EXPECT_EQ(LastShown(), c.message);
    // A bad address leaves the log; a range that is empty clears it first.
    EXPECT_EQ(Log().empty(), std::string(c.message).rfind("End", 0) == 0);
    EXPECT_EQ(form->mode, MODE_IDLE);
  }
  hl::Type(Get("ed_start"), " 0000 ");
  hl::Type(Get("ed_stop"), "0200");
  Press("sb_dump");
  EXPECT_EQ(Get<TProgressBar>("prog_b1")->Max, 0x200);
  ASSERT_TRUE(Until([&] { return Log().size() == 0x20; }));
  EXPECT_EQ(loader->Commands().back(), "#DUMP 0000 0200 ");
  EXPECT_EQ(Log().front().rfind("000000: ", 0), 0u);
  EXPECT_EQ(Caption("Label4"), "Address = 0001F0");
  EXPECT_EQ(Get<TProgressBar>("prog_b1")->Position, 0x1F0);
  EXPECT_EQ(form->mode, MODE_DUMP);
}

TEST_F(FlasketTest, IdleCommandsLogTheReplyAndBeepAfterTheWrite) {
  Connect();
  ASSERT_TRUE(Until([] { return !platform::testing::Beeps().empty(); }, 2s));
  platform::testing::ClearBeeps();
  Press("sb_test_wr");
  ASSERT_TRUE(Until([&] { return Contains(Log(), "TEST OK\r"); }, 2s));
  ASSERT_TRUE(Until([] { return !platform::testing::Beeps().empty(); }, 2s));
  EXPECT_EQ(platform::testing::Beeps().front().duration, 100u);

  Press("sb_clr_addr");
  EXPECT_EQ(form->block_pos, 0);
  ASSERT_TRUE(Until([&] { return Contains(Log(), "CLR_ADDR OK\r"); }, 2s));
  hl::Click(Get("sb_clr_memo"));
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(loader->Commands(), (std::vector<std::string>{"#TEST 0000", "#CLR_ADDR 0000"}));
}

TEST_F(FlasketTest, JumpClosesThePortAfterItsTextAndTheWindow) {
  Connect();
  Press("sb_jmp_0000");
  EXPECT_EQ(form->connected, 0);
  EXPECT_EQ(form->Caption().str(), "  Comm Port ( COM3 ) Close");
  EXPECT_TRUE(Until([&] { return loader->jumped(); }, 2s));
  EXPECT_EQ(loader->Commands().back(), "#JMP_0000");
  EXPECT_TRUE(Application->Terminated);  // the main window closed: the program ends
}

TEST_F(FlasketTest, ClosingTheWindowStopsAnOpenPort) {
  Connect();
  hl::Close(form);
  EXPECT_EQ(form->connected, 0);
  EXPECT_EQ(form->Caption().str(), "  Comm Port ( COM3 ) Close");
}

TEST_F(FlasketTest, ALineLaterInTheLogDoesNotChangeAnEarlierNotice) {
  // A fast dump: every line is handed over with its own text.
  loader->flash()[0x10] = 0x11;
  Connect();
  hl::Type(Get("ed_start"), "0000");
  hl::Type(Get("ed_stop"), "0800");
  Press("sb_dump");
  ASSERT_TRUE(Until([&] { return Log().size() == 0x80; }, std::chrono::seconds(30)));
  const auto log = Log();
  for (int i = 0; i < 0x80; ++i) {
    char head[16];
    std::snprintf(head, sizeof head, "%06X:", i * 16);
    EXPECT_EQ(log[i].rfind(head, 0), 0u) << i << ": " << log[i];
  }
}

TEST_F(FlasketTest, TheLogTakesAHundredThousandLines) {
  for (int i = 0; i < 100000; ++i) form->add_memo_line("CRT = 5B2F");
  EXPECT_EQ(Get<TRichEdit>("Memo1")->Lines->Count, 100001);  // with the form's empty line
}

}  // namespace
}  // namespace flasket_test
