#include "prog/boot_protocol.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "vcl/sysutils.h"

namespace boot {

AnsiString write_block_cmd(int index) {
  return "#WRITE_BL " + IntToStr(index);
}

AnsiString dump_cmd(const AnsiString& start, const AnsiString& stop) {
  return "#DUMP " + start + " " + stop + " ";
}

AnsiString lock_write_cmd(int value) {
  return "#LOCK_WR " + IntToHex(value, 2);
}

namespace {
AnsiString block_run(int first, int last) {
  return first == last ? IntToStr(first) : IntToStr(first) + "-" + IntToStr(last);
}
}  // namespace

namespace {
AnsiString block_runs(const std::vector<int>& blocks) {
  AnsiString text;
  for (std::size_t i = 0; i < blocks.size();) {
    std::size_t j = i;
    while (j + 1 < blocks.size() && blocks[j + 1] == blocks[j] + 1) ++j;
    text += (text.IsEmpty() ? "" : ", ") + block_run(blocks[i], blocks[j]);
    i = j + 1;
  }
  return text;
}
}  // namespace

AnsiString write_failed_text(const std::vector<int>& crc_failed,
                             const std::vector<int>& not_confirmed, int first_unwritten,
                             int count) {
  std::vector<AnsiString> parts;
  if (!crc_failed.empty()) parts.push_back("CRT Error in Block " + block_runs(crc_failed));
  if (!not_confirmed.empty())
    parts.push_back("Block " + block_runs(not_confirmed) + " Not Confirmed");
  if (first_unwritten < count)
    parts.push_back("Block " + block_run(first_unwritten, count - 1) + " Not Written");
  AnsiString text = "Write Failed: ";
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? "; " : "") + parts[i];
  return text + ". Repeat Write All...";
}

void make_crc_table(std::uint16_t table[256]) {
  for (int b = 0; b < 256; ++b) {
    std::uint16_t v = static_cast<std::uint16_t>(b << 8);
    for (int k = 0; k < 8; ++k)
      v = static_cast<std::uint16_t>((v & 0x8000) ? (v << 1) ^ 0x1021 : v << 1);
    table[b] = v;
  }
}

std::uint16_t crc16(const std::uint16_t table[256], const unsigned char* data, int len) {
  std::uint16_t crc = 0xFFFF;
  for (int i = 0; i < len; ++i)
    crc = static_cast<std::uint16_t>(table[((crc >> 8) ^ data[i]) & 0xFF] ^ (crc << 8));
  return crc;
}

namespace {
int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool is_space(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The next blank-separated token from `p`; empty at the end of the text.
std::string_view next_token(const char* p) {
  while (*p && is_space(*p)) ++p;
  const char* start = p;
  while (*p && !is_space(*p)) ++p;
  return {start, static_cast<std::size_t>(p - start)};
}

// A block number: one to nine decimal digits.
int block_number(std::string_view token) {
  if (token.empty() || token.size() > 9) return -1;
  int value = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}
}  // namespace

void block_bytes(const std::string& image, int pos, unsigned char out[256]) {
  for (int j = 0; j < 256; ++j) {
    const std::size_t i = static_cast<std::size_t>(pos) + 2 * j;
    const int hi = i < image.size() ? hex_digit(image[i]) : -1;
    const int lo = i + 1 < image.size() ? hex_digit(image[i + 1]) : -1;
    out[j] = (hi < 0 || lo < 0) ? 0xFF : static_cast<unsigned char>(hi * 16 + lo);
  }
}

bool ReplyLine::store(char c) {
  cells_[pos_++] = c;
  if (pos_ > kSize - 1) pos_ = 0;
  if (c != '\r' || pos_ == 0) return false;
  cells_[pos_] = '\0';
  return true;
}

void ReplyLine::clear() {
  std::memset(cells_, 0, sizeof cells_);
  pos_ = 0;
}

BlockAck read_block_ack(const char* text) {
  BlockAck ack;
  const char* mark = std::strstr(text, kAckMark);
  if (!mark) return ack;

  // The token before the mark, and the hexadecimal digits it ends in.
  const char* end = mark;
  while (end > text && is_space(end[-1])) --end;
  const char* digits = end;
  while (digits > text && hex_digit(digits[-1]) >= 0) --digits;
  if (digits < end) {
    unsigned crc = 0;
    for (const char* p = digits; p < end; ++p) crc = (crc << 4 | hex_digit(*p)) & 0xFFFF;
    ack.has_crc = true;
    ack.crc = static_cast<std::uint16_t>(crc);
  }

  // The token after it: the block's number in decimal.
  const std::string_view number = next_token(mark + std::strlen(kAckMark));
  ack.label = AnsiString(number.data(), static_cast<int>(std::min<std::size_t>(number.size(), 19)));
  ack.block = block_number(number);
  return ack;
}

bool read_dump_address(const char* text, std::uint32_t& address) {
  unsigned long value = 0;
  if (std::sscanf(text, "%lx", &value) != 1) return false;
  address = static_cast<std::uint32_t>(value);
  return true;
}

bool read_lock_line(const char* text, std::uint32_t values[4]) {
  unsigned v[4];
  if (std::sscanf(text, "%x%x%x%x", &v[0], &v[1], &v[2], &v[3]) != 4) return false;
  for (int i = 0; i < 4; ++i) values[i] = v[i];
  return true;
}

AnsiString fuses_text(const std::uint32_t values[4]) {
  return "0x" + IntToHex(static_cast<int>(values[2]), 2) + " 0x" +
         IntToHex(static_cast<int>(values[1]), 2) + " 0x" +
         IntToHex(static_cast<int>(values[0]), 2);
}

AnsiString lock_text(const std::uint32_t values[4]) {
  return " 0x" + IntToHex(static_cast<int>(values[3]), 2);
}

}  // namespace boot
