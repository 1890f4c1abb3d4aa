// The device's boot loader, independent of transport: bytes from the host go in with their
// time, bytes for the host come out with their delays (sim::Response, as the tracker's). The
// in-process adapter (boot_loader_device.h) and the pty tool put it on a line.
//
// Line
//   Own rate 460800 baud, 8 data bits, no parity; a byte at another rate or frame is recorded as
//   garbled and ignored. Commands are text ended by CR (a LF is ignored; at most kMaxLine
//   characters are kept). Replies are text lines ended by CR, kBootReplyDelayUs after the CR of
//   the command (a block's reply kBlockWriteUs after its last byte).
//
// Commands
//   "#CLR_ADDR aaaa"   the block address goes back to 0; "CLR_ADDR OK".
//   "#WRITE_BL n"      n in decimal; the next 256 bytes are block n, written to flash at
//                      n x 256 (bytes past the flash are dropped); then "CCCC $WRITE_BL n" with
//                      CCCC the block's CRC-16/CCITT-FALSE in four upper-case hexadecimal
//                      digits (the faults can name another block, repeat the reply or put a
//                      stray byte before it). A block byte more than kBlockGapUs after the
//                      previous one abandons the block and starts a new command line.
//   "#DUMP s e"        s and e hexadecimal: for each 16 bytes from s up to e (exclusive, at most
//                      kMaxDumpLines lines) "AAAAAA: XX XX ... XX".
//   "#READ_LOCK aaaa"  "F0 F1 F2 LK": the three fuse bytes and the lock byte, hexadecimal.
//   "#LOCK_WR hh"      the lock byte := hh (hexadecimal); "LOCK_WR OK".
//   "#TEST aaaa"       "TEST OK".
//   "#ST"              "ST OK".
//   "#JMP_0000"        no answer; the loader has jumped to the firmware and answers nothing more.
//   anything else      "ERROR".
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "sim/tracker_sim.h"

namespace sim {

inline constexpr std::uint32_t kBootBaud = 460800;
inline constexpr std::size_t kFlashSize = 0x20000;
inline constexpr std::size_t kBlockSize = 256;
inline constexpr std::size_t kMaxLine = 255;
inline constexpr int kMaxDumpLines = 4096;
inline constexpr std::uint64_t kBootReplyDelayUs = 200;
inline constexpr std::uint64_t kBlockWriteUs = 500;
inline constexpr std::uint64_t kBlockGapUs = 1'000'000;

struct BootLoaderFaults {
  int wrong_crc_block = -1;          // this block's reply carries a wrong CRC
  int wrong_number_block = -1;       // this block's reply names the next block (right CRC)
  int repeat_ack_block = -1;         // this block's reply is sent twice
  int stray_byte = -1;               // this byte leads every block's reply, stuck to the CRC
  bool split_ack = false;            // the CRC on one line, "$WRITE_BL n" on the next
  bool silent = false;               // nothing is sent; commands are still carried out
  int silent_from_block = -1;        // from this block's command on nothing is sent
  std::uint64_t vanish_on_byte = 0;  // the device disappears when its n-th byte arrives
};

// CRC-16/CCITT-FALSE, bit by bit, as the boot loader computes it.
std::uint16_t BootCrc16(std::span<const std::uint8_t> data);

class BootLoaderSim {
 public:
  explicit BootLoaderSim(std::uint32_t baud = kBootBaud) : input_(baud) {}

  Response Receive(std::uint8_t byte, std::uint64_t at_us, const LineSettings& settings);
  bool OwnFrame(const LineSettings& settings) const { return input_.OwnFrame(settings); }

  // Device state; change it only while no exchange runs.
  std::vector<std::uint8_t>& flash() { return flash_; }
  std::array<std::uint8_t, 3>& fuses() { return fuses_; }
  std::uint8_t& lock_byte() { return lock_; }
  BootLoaderFaults& faults() { return faults_; }
  bool jumped() const { return jumped_; }
  bool vanished() const { return input_.vanished(); }

  // The command lines received (without their CR) and the blocks written, in order.
  std::vector<std::string> Commands() const;
  std::vector<int> BlocksWritten() const;
  std::vector<ReceivedByte> Received() const { return input_.Received(); }

 private:
  void Command(const std::string& line, std::uint64_t at_us, Response& out);
  void BlockDone(Response& out);
  void Reply(Response& out, const std::string& text, std::uint64_t delay_us);

  DeviceInput input_;
  std::vector<std::uint8_t> flash_ = std::vector<std::uint8_t>(kFlashSize, 0xFF);
  std::array<std::uint8_t, 3> fuses_ = {0xFF, 0xD9, 0xE4};
  std::uint8_t lock_ = 0x3F;
  BootLoaderFaults faults_;
  bool jumped_ = false;
  bool muted_ = false;  // silent_from_block reached

  std::string line_;
  int block_ = -1;  // the block being received, -1 while reading command lines
  std::vector<std::uint8_t> block_bytes_;
  std::uint64_t last_byte_us_ = 0;

  mutable std::mutex record_mutex_;  // the commands and blocks are read while the loader runs
  std::vector<std::string> commands_;
  std::vector<int> blocks_;
};

}  // namespace sim
