// The tracker's side of the configuration protocol, independent of transport: bytes from the host
// go in with their time, bytes for the host come out with their delays. The in-process adapter
// (tracker_device.h) and the pty tool put it on a line.
//
// What this device does, for the tests that talk to it:
//
// Line
//   Own rate 115200 baud unless configured, 8 data bits, no parity (stop bits are not checked).
//   A byte that arrives more than 2 % off that rate, or with another frame, is recorded as
//   garbled and otherwise ignored: no answer, no change of the parser state.
//   Replies start kReplyDelayUs after the byte that completes the request; answers relayed from
//   the fuel sensor kSensorDelayUs after it. Pacing on the wire is the transport's (one character
//   time per byte).
//   Parameters: a text parameter is collected up to its 0x00 (at most kMaxText bytes are kept);
//   one-byte and block parameters are taken as they come, whatever their value. A parameter byte
//   that comes more than kParameterGapUs after the previous byte of its request abandons the
//   request and is taken as a new command byte. Bytes that are no command are ignored.
//
// Commands (reply texts without quotes; "." and "$" are the terminators)
//   'e'  "#" + status line + 0x00. The line is "%X %X 0 %X 0 %s %s %s": write address,
//        interval, 0, beeper (1 on, 0 off), 0, registration number as stored (with its "/"),
//        server port, server address.
//   'Z'  erase: write address 0, memory 0xFF; "@" after kEraseUs.
//   'x'  format: as erase; "@" after kFormatUs.
//   'o'  factory settings: settings back to their defaults, memory erased; "@" after kFactoryUs.
//   '}'  hand-over to the boot loader: from then on nothing of this protocol is answered (bytes
//        are still recorded).
//   '\'  text "start end" (hexadecimal): for each 16 bytes from start to end inclusive (at most
//        kMaxDebugLines lines) "#" + "AAAAAA:" + " XX" per byte + 0x0A; then "@". Text that is no
//        pair of addresses: "@" alone.
//   '['  text "start end data" (hexadecimal): memory from start to end inclusive (within the
//        memory) set to data; "@" (also for text that does not parse).
//   'd'  "#" + (write address + 528) in upper-case hexadecimal + 0x00: the host reads up to a
//        page below the end it is told, so this end lets a dump carry every recorded byte (a
//        full memory answers 210210).
//   '^'  text "start end" (hexadecimal): "#", then the memory bytes from start up to end
//        (exclusive; 0xFF past the memory) in pages of 528 bytes counted from start. After each
//        full page that is not the last, the device waits for 0x55 then 0xAA and sends the next
//        page kPageTurnUs after the 0xAA; any other byte ends the dump and is taken as a
//        command. Text that does not parse: no answer.
//   'f' / 'g'   beeper on / off.            'h' + one byte   interval in seconds.
//   'n' + text  registration number, stored as sent.
//   'M'  password + ".".                    'N' + text   password, stored as sent.
//   'O' + "u=" count " *"   user count 1 to 3 (other texts ignored).
//   'P' + "u" place "=" phone " *"   phone of place 1 to 3 (the trailing "*" and blanks dropped).
//   'Q' + digit "1" to "3"   phone of that place + "."; another digit: "." alone.
//   't'  standard APN index digit + ".".   'u' + text   index from its first character "0"-"5".
//   'y'  "#" + the user APN text as 'z' last stored it + 0x00.
//   'z' + text   user APN text (the modem command with APN, login and password), stored as sent.
//   'W'  server port + ".".                 '|' + text   server port.
//   'v'  server address + "$".              'w' + text   server address.
//   0xB4 / 0xB5   parking by GPS / by ignition (no reply of its own).
//   0xB6 "GPS." or "IGN.".
//   0xF3 / 0xF2   fuel output in codes / in litres (no reply of its own).
//   0xF4 "CODE." or "LITRE.".
//   Fuel sensor (answers kSensorDelayUs after the request):
//   ','  sensor address in decimal + "$".
//   '3' + text   new address 0 to 255 in decimal; answers the address it then has + "$" (a text
//        that is no such number leaves the address).
//   '-'  level in decimal + "$"; while unanswered_level_requests is above 0, a request only
//        counts it down (a sensor that misses a request).
//   '.'  temperature in decimal + "$" (251 and 253 are the
//        sensor's fault codes; tests set them).
//   0xFD + one byte n   "n in out" in decimal + "$" for n 0 to 29, "ERR$" otherwise.
//   0xF6 + text "n in out"   sets entry n (0 to 29; codes taken modulo 65536; else ignored).
//   '/'  the 120-byte table (input codes, then output codes, 16 bits low byte first) + "$".
//   '0'  all 30 entries set to 0 (no reply).
//   '2' + 120 bytes + 0x20   table replaced; a 121st byte other than 0x20 discards the block.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/sim_comm.h"
#include "sim/track_memory.h"

namespace sim {

using LineSettings = platform::sim::LineSettings;

inline constexpr std::uint32_t kDefaultBaud = 115200;
inline constexpr std::uint32_t kMemorySize = 0x210000;
inline constexpr std::uint32_t kPageSize = 528;
inline constexpr int kCalibrationEntries = 30;
inline constexpr std::uint64_t kReplyDelayUs = 2'000;
inline constexpr std::uint64_t kSensorDelayUs = 60'000;
// The dump's next page follows the host's acknowledgement this soon (the device has it ready).
inline constexpr std::uint64_t kPageTurnUs = 100;
inline constexpr std::uint64_t kEraseUs = 400'000;
inline constexpr std::uint64_t kFormatUs = 1'500'000;
inline constexpr std::uint64_t kFactoryUs = 500'000;
inline constexpr std::uint64_t kParameterGapUs = 2'000'000;
inline constexpr std::size_t kMaxText = 255;
inline constexpr int kMaxDebugLines = 256;

// The settings that factory settings restore.
struct TrackerSettings {
  std::string reg_number = "/A001AA/";
  std::string password = "Vomar";
  int user_count = 1;
  std::array<std::string, 3> user_phones;
  int std_apn = 0;  // 0 to 5
  std::string user_apn = "9 AT+CIPCSGP=1,\"internet\",\"norvale\",\"norvale\"";
  std::string server_port = "2020";
  std::string server_address = "192.168.0.1";
  bool parking_by_ignition = false;
  bool output_litres = false;
  std::uint8_t interval = 10;  // seconds
  bool beeper = true;
};

struct TrackMemory {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kMemorySize, 0xFF);
  std::uint32_t write_address = 0;

  // Puts `data` at the start of the memory (cut to its size) and the write address after it.
  void Load(std::span<const std::uint8_t> data);
  void Erase();
};

struct CalibrationEntry {
  std::uint16_t input = 0;
  std::uint16_t output = 0;
  bool operator==(const CalibrationEntry&) const = default;
};

// The fuel sensor on the tracker's RS-485 line.
struct FuelSensor {
  int address = 1;
  int level = 1024;
  int temperature = 22;
  int unanswered_level_requests = 0;
  std::array<CalibrationEntry, kCalibrationEntries> table{};
};

struct TrackerFaults {
  bool silent = false;                // nothing is sent; commands are still carried out
  std::uint64_t byte_delay_us = 0;    // slow: each reply byte this long after the one before
  std::uint64_t reply_delay_us = 0;   // added before every reply
  std::vector<std::uint8_t> garbage;  // sent before every reply
  int cut_after = -1;      // only this many bytes of each reply go out (a dump counts as one reply)
  int short_length = 0;    // short replies padded with "0" to this many characters (e.g. 30)
  int status_length = 0;   // status line padded likewise (e.g. 60)
  int address_length = 0;  // end address padded likewise (e.g. 10)
  int fill_lead = 0;       // "#" fill characters before a short reply's text
  int fill_every = 0;      // a "#" after every n-th character of a short reply's text
  std::uint64_t vanish_on_byte = 0;  // the device disappears when its n-th byte arrives
  // Chatty: in place of every reply, `chatter_byte` once every `chatter_gap_us` for
  // `chatter_us`: bytes keep coming, the awaited mark never does.
  std::uint64_t chatter_us = 0;
  std::uint64_t chatter_gap_us = 100'000;
  std::uint8_t chatter_byte = 'x';
};

struct ReceivedByte {
  std::uint64_t at_us;
  std::uint8_t byte;
  LineSettings settings;
  bool garbled;  // came at another rate or frame than the device's own
  bool operator==(const ReceivedByte&) const = default;
};

struct Transmission {
  std::uint64_t delay_us;  // from the time of the byte that caused it
  std::vector<std::uint8_t> bytes;
  bool operator==(const Transmission&) const = default;
};

struct Response {
  std::vector<Transmission> sends;
  bool vanish = false;  // the device disappears (after nothing more is sent)
};

// What both devices do with every byte that reaches them: the check of their own rate and
// frame, the record of what came (readable from another thread while the device runs), and the
// fault that makes the device vanish when its n-th byte arrives.
class DeviceInput {
 public:
  explicit DeviceInput(std::uint32_t baud) : baud_(baud) {}

  std::uint32_t baud() const { return baud_; }
  void set_baud(std::uint32_t baud) { baud_ = baud; }
  // Whether a byte that came at these settings is understood (the device's own rate and frame).
  bool OwnFrame(const LineSettings& settings) const;
  // Records the byte. False when the device does nothing with it: it came garbled, or the
  // device has vanished (on the byte that makes it vanish `out.vanish` is set).
  bool Take(std::uint8_t byte, std::uint64_t at_us, const LineSettings& settings,
            std::uint64_t vanish_on_byte, Response& out);
  bool vanished() const { return vanished_; }

  std::vector<ReceivedByte> Received() const;
  std::vector<std::uint8_t> ReceivedBytes() const;  // those at the device's own rate
  void Clear();

 private:
  std::uint32_t baud_;
  bool vanished_ = false;
  mutable std::mutex mutex_;
  std::vector<ReceivedByte> record_;
};

class TrackerSim {
 public:
  explicit TrackerSim(std::uint32_t baud = kDefaultBaud) : input_(baud) {}

  // One byte from the host, at the moment its transfer ended, with the line settings it came at.
  Response Receive(std::uint8_t byte, std::uint64_t at_us, const LineSettings& settings);

  // Device state; change it only while no exchange runs.
  TrackerSettings& settings() { return settings_; }
  TrackMemory& memory() { return memory_; }
  FuelSensor& sensor() { return sensor_; }
  TrackerFaults& faults() { return faults_; }
  std::uint32_t baud() const { return input_.baud(); }
  void set_baud(std::uint32_t baud) { input_.set_baud(baud); }
  // Whether a byte that came at these settings is understood (the device's own rate and frame).
  bool OwnFrame(const LineSettings& settings) const { return input_.OwnFrame(settings); }
  bool in_boot_loader() const { return boot_loader_; }
  bool vanished() const { return input_.vanished(); }

  // Every byte received, in order.
  std::vector<ReceivedByte> Received() const { return input_.Received(); }
  // The values of the bytes received at the device's own rate.
  std::vector<std::uint8_t> ReceivedBytes() const { return input_.ReceivedBytes(); }
  void ClearRecord() { input_.Clear(); }

 private:
  enum class Wait { Command, Text, OneByte, Block, BlockEnd, AckLow, AckHigh };

  void Command(std::uint8_t byte, Response& out);
  void Parameter(std::uint8_t byte, Response& out);
  void TextDone(Response& out);
  void OneByteDone(std::uint8_t value, Response& out);
  void SendPage(Response& out, std::uint64_t delay_us);

  // Reply helpers: every reply passes the fault modes here.
  void Reply(Response& out, std::vector<std::uint8_t> bytes, std::uint64_t delay_us,
             bool continues = false);
  void ShortReply(Response& out, std::string text, char terminator, std::uint64_t delay_us);
  void MarkedText(Response& out, std::string text, int pad_to);

  DeviceInput input_;
  TrackerSettings settings_;
  TrackMemory memory_;
  FuelSensor sensor_;
  TrackerFaults faults_;

  bool boot_loader_ = false;
  Wait wait_ = Wait::Command;
  std::uint8_t command_ = 0;
  std::string text_;
  std::vector<std::uint8_t> block_;
  std::uint64_t last_byte_us_ = 0;
  std::uint64_t dump_next_ = 0;
  std::uint64_t dump_end_ = 0;
  int cut_left_ = -1;
};

}  // namespace sim
