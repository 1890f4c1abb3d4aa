#include "sim/tracker_sim.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>

namespace sim {
namespace {

enum : std::uint8_t {
  kStatus = 0x65,
  kErase = 0x5A,
  kFactory = 0x6F,
  kFormat = 0x78,
  kBootLoader = 0x7D,
  kDebugRead = 0x5C,
  kDebugWrite = 0x5B,
  kEndAddress = 0x64,
  kDump = 0x5E,
  kBeepOn = 0x66,
  kBeepOff = 0x67,
  kInterval = 0x68,
  kRegNumber = 0x6E,
  kReadPassword = 0x4D,
  kWritePassword = 0x4E,
  kUserCount = 0x4F,
  kWritePhone = 0x50,
  kReadPhone = 0x51,
  kReadStdApn = 0x74,
  kWriteStdApn = 0x75,
  kReadUserApn = 0x79,
  kWriteUserApn = 0x7A,
  kReadPort = 0x57,
  kWritePort = 0x7C,
  kReadAddress = 0x76,
  kWriteAddress = 0x77,
  kParkingGps = 0xB4,
  kParkingIgnition = 0xB5,
  kReadParking = 0xB6,
  kOutputCodes = 0xF3,
  kOutputLitres = 0xF2,
  kReadOutput = 0xF4,
  kSensorAddress = 0x2C,
  kSensorSetAddress = 0x33,
  kSensorLevel = 0x2D,
  kSensorTemperature = 0x2E,
  kSensorReadPoint = 0xFD,
  kSensorWritePoint = 0xF6,
  kSensorReadTable = 0x2F,
  kSensorClearTable = 0x30,
  kSensorWriteTable = 0x32,
};

constexpr std::uint8_t kAckLow = 0x55;
constexpr std::uint8_t kAckHigh = 0xAA;
constexpr std::size_t kTableBytes = 120;

bool IsTextCommand(std::uint8_t b) {
  switch (b) {
    case kDebugRead:
    case kDebugWrite:
    case kDump:
    case kRegNumber:
    case kWritePassword:
    case kUserCount:
    case kWritePhone:
    case kWriteStdApn:
    case kWriteUserApn:
    case kWritePort:
    case kWriteAddress:
    case kSensorSetAddress:
    case kSensorWritePoint:
      return true;
    default:
      return false;
  }
}

bool IsOneByteCommand(std::uint8_t b) {
  return b == kReadPhone || b == kInterval || b == kSensorReadPoint;
}

// Whitespace-separated numbers of a parameter text, in the given base; false when the text holds
// anything else or fewer than `values.size()` numbers.
bool ParseNumbers(const std::string& text, int base, std::span<std::uint64_t> values) {
  const char* p = text.data();
  const char* end = p + text.size();
  for (auto& v : values) {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    auto [next, ec] = std::from_chars(p, end, v, base);
    if (ec != std::errc() || next == p) return false;
    p = next;
  }
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  return p == end;
}

std::vector<std::uint8_t> Bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

std::string Hex(std::uint64_t v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
  return buf;
}

std::uint8_t MemoryAt(const TrackMemory& m, std::uint64_t address) {
  return address < m.bytes.size() ? m.bytes[address] : 0xFF;
}

}  // namespace

void TrackMemory::Load(std::span<const std::uint8_t> data) {
  const std::size_t n = std::min(data.size(), bytes.size());
  std::copy_n(data.begin(), n, bytes.begin());
  write_address = static_cast<std::uint32_t>(n);
}

void TrackMemory::Erase() {
  std::fill(bytes.begin(), bytes.end(), 0xFF);
  write_address = 0;
}

bool DeviceInput::OwnFrame(const LineSettings& s) const {
  const double diff = static_cast<double>(s.baud) - static_cast<double>(baud_);
  return (diff < 0 ? -diff : diff) <= baud_ * 0.02 && s.byte_size == 8 && s.parity == 0;
}

bool DeviceInput::Take(std::uint8_t byte, std::uint64_t at_us, const LineSettings& settings,
                       std::uint64_t vanish_on_byte, Response& out) {
  if (vanished_) return false;
  const bool garbled = !OwnFrame(settings);
  std::size_t count;
  {
    std::lock_guard lock(mutex_);
    record_.push_back({at_us, byte, settings, garbled});
    count = record_.size();
  }
  if (vanish_on_byte != 0 && count >= vanish_on_byte) {
    vanished_ = true;
    out.vanish = true;
    return false;
  }
  return !garbled;
}

std::vector<ReceivedByte> DeviceInput::Received() const {
  std::lock_guard lock(mutex_);
  return record_;
}

std::vector<std::uint8_t> DeviceInput::ReceivedBytes() const {
  std::lock_guard lock(mutex_);
  std::vector<std::uint8_t> bytes;
  for (const auto& r : record_) {
    if (!r.garbled) bytes.push_back(r.byte);
  }
  return bytes;
}

void DeviceInput::Clear() {
  std::lock_guard lock(mutex_);
  record_.clear();
}

Response TrackerSim::Receive(std::uint8_t byte, std::uint64_t at_us, const LineSettings& settings) {
  Response out;
  if (!input_.Take(byte, at_us, settings, faults_.vanish_on_byte, out) || boot_loader_) return out;

  const bool late = at_us - last_byte_us_ > kParameterGapUs;
  last_byte_us_ = at_us;
  switch (wait_) {
    case Wait::Command:
      Command(byte, out);
      break;
    case Wait::AckLow:
    case Wait::AckHigh:
      if (wait_ == Wait::AckLow && byte == kAckLow) {
        wait_ = Wait::AckHigh;
      } else if (wait_ == Wait::AckHigh && byte == kAckHigh) {
        SendPage(out, kPageTurnUs);
      } else {
        wait_ = Wait::Command;
        Command(byte, out);
      }
      break;
    default:
      if (late) {
        wait_ = Wait::Command;
        Command(byte, out);
      } else {
        Parameter(byte, out);
      }
      break;
  }
  return out;
}

void TrackerSim::Command(std::uint8_t byte, Response& out) {
  command_ = byte;
  cut_left_ = faults_.cut_after;
  if (IsTextCommand(byte)) {
    wait_ = Wait::Text;
    text_.clear();
    return;
  }
  if (IsOneByteCommand(byte)) {
    wait_ = Wait::OneByte;
    return;
  }
  if (byte == kSensorWriteTable) {
    wait_ = Wait::Block;
    block_.clear();
    return;
  }
  wait_ = Wait::Command;
  TrackerSettings& s = settings_;
  switch (byte) {
    case kStatus: {
      char line[160];
      std::snprintf(line, sizeof line, "%X %X 0 %X 0 ", memory_.write_address, s.interval,
                    s.beeper ? 1u : 0u);
      MarkedText(out, line + s.reg_number + " " + s.server_port + " " + s.server_address,
                 faults_.status_length);
      break;
    }
    case kErase:
      memory_.Erase();
      Reply(out, {'@'}, kEraseUs);
      break;
    case kFormat:
      memory_.Erase();
      Reply(out, {'@'}, kFormatUs);
      break;
    case kFactory:
      settings_ = TrackerSettings{};
      memory_.Erase();
      Reply(out, {'@'}, kFactoryUs);
      break;
    case kBootLoader:
      boot_loader_ = true;
      break;
    case kEndAddress:
      // The host reads up to a page below the address it is told: the device names the
      // address a page above its write address, so that a dump carries every recorded byte.
      MarkedText(out, Hex(memory_.write_address + std::uint64_t{kPageSize}),
                 faults_.address_length);
      break;
    case kBeepOn:
    case kBeepOff:
      s.beeper = byte == kBeepOn;
      break;
    case kReadPassword:
      ShortReply(out, s.password, '.', kReplyDelayUs);
      break;
    case kReadStdApn:
      ShortReply(out, std::string(1, static_cast<char>('0' + s.std_apn)), '.', kReplyDelayUs);
      break;
    case kReadUserApn:
      MarkedText(out, s.user_apn, 0);
      break;
    case kReadPort:
      ShortReply(out, s.server_port, '.', kReplyDelayUs);
      break;
    case kReadAddress:
      ShortReply(out, s.server_address, '$', kReplyDelayUs);
      break;
    case kParkingGps:
    case kParkingIgnition:
      s.parking_by_ignition = byte == kParkingIgnition;
      break;
    case kReadParking:
      ShortReply(out, s.parking_by_ignition ? "IGN" : "GPS", '.', kReplyDelayUs);
      break;
    case kOutputCodes:
    case kOutputLitres:
      s.output_litres = byte == kOutputLitres;
      break;
    case kReadOutput:
      ShortReply(out, s.output_litres ? "LITRE" : "CODE", '.', kReplyDelayUs);
      break;
    case kSensorAddress:
      ShortReply(out, std::to_string(sensor_.address), '$', kSensorDelayUs);
      break;
    case kSensorLevel:
      if (sensor_.unanswered_level_requests > 0) {
        --sensor_.unanswered_level_requests;
        break;
      }
      ShortReply(out, std::to_string(sensor_.level), '$', kSensorDelayUs);
      break;
    case kSensorTemperature:
      ShortReply(out, std::to_string(sensor_.temperature), '$', kSensorDelayUs);
      break;
    case kSensorReadTable: {
      std::vector<std::uint8_t> table(kTableBytes + 1);
      for (int k = 0; k < kCalibrationEntries; ++k) {
        table[2 * k] = sensor_.table[k].input & 0xFF;
        table[2 * k + 1] = sensor_.table[k].input >> 8;
        table[60 + 2 * k] = sensor_.table[k].output & 0xFF;
        table[61 + 2 * k] = sensor_.table[k].output >> 8;
      }
      table[kTableBytes] = '$';
      Reply(out, std::move(table), kSensorDelayUs);
      break;
    }
    case kSensorClearTable:
      sensor_.table.fill({});
      break;
    default:
      break;  // no command of this device
  }
}

void TrackerSim::Parameter(std::uint8_t byte, Response& out) {
  switch (wait_) {
    case Wait::Text:
      if (byte == 0) {
        wait_ = Wait::Command;
        TextDone(out);
      } else if (text_.size() < kMaxText) {
        text_.push_back(static_cast<char>(byte));
      }
      break;
    case Wait::OneByte:
      wait_ = Wait::Command;
      OneByteDone(byte, out);
      break;
    case Wait::Block:
      block_.push_back(byte);
      if (block_.size() == kTableBytes) wait_ = Wait::BlockEnd;
      break;
    case Wait::BlockEnd:
      wait_ = Wait::Command;
      if (byte == 0x20) {
        for (int k = 0; k < kCalibrationEntries; ++k) {
          sensor_.table[k].input =
              static_cast<std::uint16_t>(block_[2 * k] | block_[2 * k + 1] << 8);
          sensor_.table[k].output =
              static_cast<std::uint16_t>(block_[60 + 2 * k] | block_[61 + 2 * k] << 8);
        }
      }
      break;
    default:
      break;
  }
}

void TrackerSim::TextDone(Response& out) {
  TrackerSettings& s = settings_;
  const std::string& t = text_;
  switch (command_) {
    case kRegNumber:
      s.reg_number = t;
      break;
    case kWritePassword:
      s.password = t;
      break;
    case kUserCount: {
      std::uint64_t n[1];
      if (t.starts_with("u=") && t.ends_with("*") &&
          ParseNumbers(t.substr(2, t.size() - 3), 10, n) && n[0] >= 1 && n[0] <= 3) {
        s.user_count = static_cast<int>(n[0]);
      }
      break;
    }
    case kWritePhone:
      if (t.size() >= 3 && t[0] == 'u' && t[1] >= '1' && t[1] <= '3' && t[2] == '=') {
        std::string phone = t.substr(3);
        if (phone.ends_with("*")) phone.pop_back();
        while (!phone.empty() && phone.back() == ' ') phone.pop_back();
        s.user_phones[t[1] - '1'] = phone;
      }
      break;
    case kWriteStdApn:
      if (!t.empty() && t[0] >= '0' && t[0] <= '5') s.std_apn = t[0] - '0';
      break;
    case kWriteUserApn:
      s.user_apn = t;
      break;
    case kWritePort:
      s.server_port = t;
      break;
    case kWriteAddress:
      s.server_address = t;
      break;
    case kSensorSetAddress: {
      std::uint64_t a[1];
      if (ParseNumbers(t, 10, a) && a[0] <= 255) sensor_.address = static_cast<int>(a[0]);
      ShortReply(out, std::to_string(sensor_.address), '$', kSensorDelayUs);
      break;
    }
    case kSensorWritePoint: {
      std::uint64_t v[3];
      if (ParseNumbers(t, 10, v) && v[0] < kCalibrationEntries) {
        sensor_.table[v[0]] = {static_cast<std::uint16_t>(v[1]), static_cast<std::uint16_t>(v[2])};
      }
      break;
    }
    case kDebugRead: {
      std::vector<std::uint8_t> reply;
      std::uint64_t range[2];
      if (ParseNumbers(t, 16, range)) {
        int lines = 0;
        for (std::uint64_t a = range[0]; a <= range[1] && lines < kMaxDebugLines;
             a += 16, ++lines) {
          char head[16];
          std::snprintf(head, sizeof head, "#%06llX:", static_cast<unsigned long long>(a));
          std::string line = head;
          for (std::uint64_t i = a; i <= range[1] && i < a + 16; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", MemoryAt(memory_, i));
            line += hex;
          }
          line += '\n';
          reply.insert(reply.end(), line.begin(), line.end());
        }
      }
      reply.push_back('@');
      Reply(out, std::move(reply), kReplyDelayUs);
      break;
    }
    case kDebugWrite: {
      std::uint64_t v[3];
      if (ParseNumbers(t, 16, v)) {
        for (std::uint64_t a = v[0]; a <= v[1] && a < memory_.bytes.size(); ++a) {
          memory_.bytes[a] = static_cast<std::uint8_t>(v[2]);
        }
      }
      Reply(out, {'@'}, kReplyDelayUs);
      break;
    }
    case kDump: {
      std::uint64_t range[2];
      if (!ParseNumbers(t, 16, range)) break;
      dump_next_ = range[0];
      dump_end_ = std::max(range[0], range[1]);
      Reply(out, {'#'}, kReplyDelayUs);
      SendPage(out, kReplyDelayUs);
      break;
    }
    default:
      break;
  }
}

void TrackerSim::OneByteDone(std::uint8_t value, Response& out) {
  switch (command_) {
    case kInterval:
      settings_.interval = value;
      break;
    case kReadPhone:
      ShortReply(out, value >= '1' && value <= '3' ? settings_.user_phones[value - '1'] : "", '.',
                 kReplyDelayUs);
      break;
    case kSensorReadPoint:
      if (value < kCalibrationEntries) {
        const CalibrationEntry& e = sensor_.table[value];
        ShortReply(
            out,
            std::to_string(value) + " " + std::to_string(e.input) + " " + std::to_string(e.output),
            '$', kSensorDelayUs);
      } else {
        ShortReply(out, "ERR", '$', kSensorDelayUs);
      }
      break;
    default:
      break;
  }
}

void TrackerSim::SendPage(Response& out, std::uint64_t delay_us) {
  const std::uint64_t n = std::min<std::uint64_t>(kPageSize, dump_end_ - dump_next_);
  std::vector<std::uint8_t> page(n);
  for (std::uint64_t i = 0; i < n; ++i) page[i] = MemoryAt(memory_, dump_next_ + i);
  dump_next_ += n;
  wait_ = dump_next_ < dump_end_ ? Wait::AckLow : Wait::Command;
  if (!page.empty()) Reply(out, std::move(page), delay_us, true);
}

void TrackerSim::Reply(Response& out, std::vector<std::uint8_t> bytes, std::uint64_t delay_us,
                       bool continues) {
  if (faults_.silent) return;
  if (faults_.chatter_us > 0) {
    if (continues) return;
    const std::uint64_t gap = std::max<std::uint64_t>(faults_.chatter_gap_us, 1);
    for (std::uint64_t t = 0; t <= faults_.chatter_us; t += gap)
      out.sends.push_back({delay_us + t, {faults_.chatter_byte}});
    return;
  }
  // Garbage goes before a reply, not before the later pages of a dump.
  std::vector<std::uint8_t> wire;
  if (!continues) wire = faults_.garbage;
  if (cut_left_ >= 0) {
    if (bytes.size() > static_cast<std::size_t>(cut_left_)) bytes.resize(cut_left_);
    cut_left_ -= static_cast<int>(bytes.size());
  }
  wire.insert(wire.end(), bytes.begin(), bytes.end());
  if (wire.empty()) return;
  const std::uint64_t start = delay_us + faults_.reply_delay_us;
  if (faults_.byte_delay_us == 0) {
    out.sends.push_back({start, std::move(wire)});
    return;
  }
  for (std::size_t i = 0; i < wire.size(); ++i) {
    out.sends.push_back({start + i * faults_.byte_delay_us, {wire[i]}});
  }
}

void TrackerSim::ShortReply(Response& out, std::string text, char terminator,
                            std::uint64_t delay_us) {
  if (faults_.short_length > 0 && text.size() < static_cast<std::size_t>(faults_.short_length)) {
    text.append(faults_.short_length - text.size(), '0');
  }
  std::string wire(faults_.fill_lead, '#');
  for (std::size_t i = 0; i < text.size(); ++i) {
    wire += text[i];
    if (faults_.fill_every > 0 && (i + 1) % faults_.fill_every == 0) wire += '#';
  }
  wire += terminator;
  Reply(out, Bytes(wire), delay_us);
}

void TrackerSim::MarkedText(Response& out, std::string text, int pad_to) {
  if (pad_to > 0 && text.size() < static_cast<std::size_t>(pad_to)) {
    text.append(pad_to - text.size(), '0');
  }
  std::vector<std::uint8_t> wire{'#'};
  wire.insert(wire.end(), text.begin(), text.end());
  wire.push_back(0);
  Reply(out, std::move(wire), kReplyDelayUs);
}

}  // namespace sim
