#include "sim/boot_loader_sim.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace sim {
namespace {

// Whitespace-separated numbers after the command word, in `base`.
bool Numbers(const std::string& text, std::size_t from, int base, std::span<std::uint64_t> out) {
  const char* p = text.data() + std::min(from, text.size());
  const char* end = text.data() + text.size();
  for (auto& v : out) {
    while (p < end && *p == ' ') ++p;
    auto [next, ec] = std::from_chars(p, end, v, base);
    if (ec != std::errc() || next == p) return false;
    p = next;
  }
  return true;
}

bool Starts(const std::string& text, const char* word) {
  return text.rfind(word, 0) == 0;
}

std::string Hex(unsigned v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, v);
  return buf;
}

}  // namespace

std::uint16_t BootCrc16(std::span<const std::uint8_t> data) {
  std::uint16_t crc = 0xFFFF;
  for (std::uint8_t byte : data) {
    crc ^= static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

Response BootLoaderSim::Receive(std::uint8_t byte, std::uint64_t at_us,
                                const LineSettings& settings) {
  Response out;
  if (!input_.Take(byte, at_us, settings, faults_.vanish_on_byte, out) || jumped_) return out;

  const bool late = at_us - last_byte_us_ > kBlockGapUs;
  last_byte_us_ = at_us;
  if (block_ >= 0 && late) block_ = -1;  // the rest of the block never came
  if (block_ >= 0) {
    block_bytes_.push_back(byte);
    if (block_bytes_.size() == kBlockSize) BlockDone(out);
    return out;
  }
  if (byte == '\r') {
    std::string line;
    line.swap(line_);
    Command(line, at_us, out);
  } else if (byte != '\n' && line_.size() < kMaxLine) {
    line_ += static_cast<char>(byte);
  }
  return out;
}

void BootLoaderSim::Reply(Response& out, const std::string& text, std::uint64_t delay_us) {
  if (faults_.silent || muted_) return;
  out.sends.push_back({delay_us, std::vector<std::uint8_t>(text.begin(), text.end())});
}

void BootLoaderSim::Command(const std::string& line, std::uint64_t at_us, Response& out) {
  {
    std::lock_guard lock(record_mutex_);
    commands_.push_back(line);
  }
  std::uint64_t v[2];
  if (Starts(line, "#CLR_ADDR")) {
    Reply(out, "CLR_ADDR OK\r", kBootReplyDelayUs);
  } else if (Starts(line, "#WRITE_BL") && Numbers(line, 9, 10, {v, 1})) {
    block_ = static_cast<int>(std::min<std::uint64_t>(v[0], 0x7FFFFFFF));
    block_bytes_.clear();
    if (faults_.silent_from_block >= 0 && block_ >= faults_.silent_from_block) muted_ = true;
  } else if (Starts(line, "#DUMP") && Numbers(line, 5, 16, {v, 2})) {
    std::string text;
    int lines = 0;
    for (std::uint64_t a = v[0]; a < v[1] && lines < kMaxDumpLines; a += 16, ++lines) {
      text += Hex(static_cast<unsigned>(a), 6) + ":";
      for (std::uint64_t i = a; i < a + 16; ++i)
        text += " " + Hex(i < flash_.size() ? flash_[i] : 0xFF, 2);
      text += "\r";
    }
    Reply(out, text, kBootReplyDelayUs);
  } else if (Starts(line, "#READ_LOCK")) {
    Reply(out,
          Hex(fuses_[0], 2) + " " + Hex(fuses_[1], 2) + " " + Hex(fuses_[2], 2) + " " +
              Hex(lock_, 2) + "\r",
          kBootReplyDelayUs);
  } else if (Starts(line, "#LOCK_WR") && Numbers(line, 8, 16, {v, 1})) {
    lock_ = static_cast<std::uint8_t>(v[0]);
    Reply(out, "LOCK_WR OK\r", kBootReplyDelayUs);
  } else if (Starts(line, "#TEST")) {
    Reply(out, "TEST OK\r", kBootReplyDelayUs);
  } else if (line == "#ST") {
    Reply(out, "ST OK\r", kBootReplyDelayUs);
  } else if (line == "#JMP_0000") {
    jumped_ = true;
  } else {
    Reply(out, "ERROR\r", kBootReplyDelayUs);
  }
}

void BootLoaderSim::BlockDone(Response& out) {
  const std::size_t at = static_cast<std::size_t>(block_) * kBlockSize;
  for (std::size_t i = 0; i < kBlockSize && at + i < flash_.size(); ++i)
    flash_[at + i] = block_bytes_[i];
  std::uint16_t crc = BootCrc16(block_bytes_);
  if (block_ == faults_.wrong_crc_block) crc = static_cast<std::uint16_t>(crc ^ 0xA5A5);
  {
    std::lock_guard lock(record_mutex_);
    blocks_.push_back(block_);
  }
  const std::string named =
      std::to_string(block_ == faults_.wrong_number_block ? block_ + 1 : block_);
  std::string reply = Hex(crc, 4) + (faults_.split_ack ? "\r" : " ") + "$WRITE_BL " + named + "\r";
  if (faults_.stray_byte >= 0) reply.insert(reply.begin(), static_cast<char>(faults_.stray_byte));
  Reply(out, reply, kBlockWriteUs);
  if (block_ == faults_.repeat_ack_block) Reply(out, reply, kBlockWriteUs);
  block_ = -1;
}

std::vector<std::string> BootLoaderSim::Commands() const {
  std::lock_guard lock(record_mutex_);
  return commands_;
}

std::vector<int> BootLoaderSim::BlocksWritten() const {
  std::lock_guard lock(record_mutex_);
  return blocks_;
}

}  // namespace sim
