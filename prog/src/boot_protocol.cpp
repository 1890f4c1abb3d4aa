#include "prog/boot_protocol.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

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

AnsiString write_failed_text(const std::vector<int>& crc_failed, int first_unwritten, int count) {
  AnsiString crc;
  for (std::size_t i = 0; i < crc_failed.size();) {
    std::size_t j = i;
    while (j + 1 < crc_failed.size() && crc_failed[j + 1] == crc_failed[j] + 1) ++j;
    crc += (crc.IsEmpty() ? "" : ", ") + block_run(crc_failed[i], crc_failed[j]);
    i = j + 1;
  }
  AnsiString text = "Write Failed: ";
  if (!crc.IsEmpty()) text += "CRT Error in Block " + crc;
  if (first_unwritten < count) {
    if (!crc.IsEmpty()) text += "; ";
    text += "Block " + block_run(first_unwritten, count - 1) + " Not Written";
  }
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

// The next blank-separated token from `p` (moved past it), at most `limit` characters kept.
bool next_token(const char*& p, std::size_t limit, AnsiString* out) {
  while (*p && is_space(*p)) ++p;
  if (!*p) return false;
  const char* start = p;
  while (*p && !is_space(*p)) ++p;
  if (out) *out = AnsiString(start, static_cast<int>(std::min<std::size_t>(p - start, limit)));
  return true;
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
  unsigned crc = 0;
  int used = 0;
  if (std::sscanf(text, "%x%n", &crc, &used) != 1) return ack;
  ack.crc = static_cast<std::uint16_t>(crc);
  const char* p = text + used;
  if (next_token(p, 25, nullptr)) next_token(p, 19, &ack.label);
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
