// The boot loader's text protocol as the loader speaks it: command texts (each sent with one
// CR), CRC-16/CCITT-FALSE of a block, the reply line buffer, and the readings of the replies.
// Pure functions and one small buffer class, so tests and fuzzers reach them without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/system.h"

namespace boot {

inline constexpr const char* kClrAddr = "#CLR_ADDR 0000";
inline constexpr const char* kTest = "#TEST 0000";
inline constexpr const char* kReadLock = "#READ_LOCK 0000";
inline constexpr const char* kJmp0000 = "#JMP_0000";
inline constexpr const char* kStart = "#ST";
inline constexpr const char* kAckMark = "$WRITE_BL";
AnsiString write_block_cmd(int index);                                 // "#WRITE_BL " + index
AnsiString dump_cmd(const AnsiString& start, const AnsiString& stop);  // "#DUMP s e "
AnsiString lock_write_cmd(int value);  // "#LOCK_WR " + at least two upper-case hex digits

// The end of a write that went wrong: the blocks whose CRC did not match and those whose answer
// named another block or none (each in the order found), and the blocks from `first_unwritten`
// to `count` - 1 that were not written (none when `first_unwritten` is `count`). Runs of blocks
// are shown as "4-6".
AnsiString write_failed_text(const std::vector<int>& crc_failed,
                             const std::vector<int>& not_confirmed, int first_unwritten, int count);

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial 0xFFFF, no reflection, no final XOR.
void make_crc_table(std::uint16_t table[256]);
std::uint16_t crc16(const std::uint16_t table[256], const unsigned char* data, int len);

// The 256 bytes of the block at image character offset `pos`: each pair of hexadecimal digits
// is one byte; a pair that is not two hexadecimal digits gives 0xFF.
void block_bytes(const std::string& image, int pos, unsigned char out[256]);

// The line being assembled from the reply bytes, in 512 cells. A byte past the last cell wraps
// to the first, so a line of more than 511 characters overwrites its own beginning.
class ReplyLine {
 public:
  static constexpr int kSize = 512;
  ReplyLine() { clear(); }
  // Stores one byte; true when it finished a line (a CR that did not land in the last cell).
  // The finished text, CR included, is then text() until the next store or clear.
  bool store(char c);
  void clear();
  const char* text() const { return cells_; }
  int pos() const { return pos_; }

 private:
  char cells_[kSize + 1];
  int pos_ = 0;
};

// A block acknowledgement: text that holds the mark "$WRITE_BL". The CRC is the blank-separated
// token just before the mark, read as the hexadecimal digits it ends in (so that a stray byte
// before it on the line does not hide it), its low 16 bits kept; the block is the decimal token
// just after the mark, and the label is that token as it stands, cut at 19 characters.
// Without a mark, a CRC or a number, `has_crc` is false or `block` is -1.
struct BlockAck {
  bool has_crc = false;
  std::uint16_t crc = 0;
  int block = -1;
  AnsiString label;
};
BlockAck read_block_ack(const char* text);

// A dump line's leading hexadecimal address, after optional white space; false without one.
bool read_dump_address(const char* text, std::uint32_t& address);

// Three fuse bytes and the lock byte; false unless all four numbers were read.
bool read_lock_line(const char* text, std::uint32_t values[4]);
AnsiString fuses_text(const std::uint32_t values[4]);  // "0x" c " 0x" b " 0x" a
AnsiString lock_text(const std::uint32_t values[4]);   // " 0x" d

}  // namespace boot
