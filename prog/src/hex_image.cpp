#include "prog/hex_image.h"

#include <algorithm>
#include <cstdint>

namespace hex {
namespace {

// 16-bit addresses: no data byte lies at or above this.
constexpr int kAddressSpan = 0x10000;
// How much of a refused line its message shows.
constexpr int kShownChars = 44;

int hex_number(const AnsiString& text) {
  return StrToInt("0x" + text);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

[[noreturn]] void refuse(const AnsiString& why, int index, const AnsiString& line) {
  const AnsiString shown =
      line.Length() > kShownChars ? line.SubString(1, kShownChars) + "..." : line;
  throw EHexFile(why + " in line " + IntToStr(index + 1) + ": " + shown);
}

// One record read exactly; `data` is its data field as the file writes it.
struct Record {
  int count = 0;
  int address = 0;
  int type = 0;
  std::string data;
};

Record read_record(const AnsiString& raw, int index) {
  const std::string line = raw.TrimRight().str();
  if (line.empty() || line[0] != ':') refuse("No record mark", index, raw);
  for (std::size_t i = 1; i < line.size(); ++i)
    if (hex_digit(line[i]) < 0) refuse("Not a hexadecimal digit", index, raw);
  const auto byte = [&](std::size_t k) {
    return hex_digit(line[1 + 2 * k]) * 16 + hex_digit(line[2 + 2 * k]);
  };
  const std::size_t digits = line.size() - 1;
  if (digits < 10 || digits != 10 + 2 * static_cast<std::size_t>(byte(0)))
    refuse("Record length does not match its count", index, raw);
  Record r;
  r.count = byte(0);
  unsigned sum = 0;
  for (std::size_t k = 0; k < 5 + static_cast<std::size_t>(r.count); ++k) sum += byte(k);
  if ((sum & 0xFF) != 0) refuse("Bad checksum", index, raw);
  r.address = byte(1) * 256 + byte(2);
  r.type = byte(3);
  r.data = line.substr(9, 2 * static_cast<std::size_t>(r.count));
  return r;
}

bool is_blank(const AnsiString& line) {
  return line.Trim().IsEmpty();  // blanks and control characters, a DOS end-of-file among them
}

// Runs `step` on one line: a failure other than a refusal is refused in the reader's words,
// naming the line, so that nothing but an EHexFile leaves the reader for a line it read.
template <class Step>
void on_line(int index, const AnsiString& line, Step&& step) {
  try {
    step();
  } catch (const EHexFile&) {
    throw;
  } catch (const std::exception&) {
    refuse("Unreadable record", index, line);
  }
}

// Reads the records up to the end record into `data` (with the index of each one's line) and
// returns the end address; refuses what it cannot read exactly.
int read_records(const TStrings& lines, std::vector<std::pair<int, Record>>& data) {
  std::vector<int> written_by(kAddressSpan, -1);  // the line whose record wrote each byte
  int end = 0;
  bool ended = false;
  for (int i = 0; i < lines.Count; ++i) {
    const AnsiString line = lines.Strings[i];
    if (ended) {
      // Two files joined after each other: the second would not be written.
      if (!is_blank(line)) refuse("Data after the end record", i, line);
      continue;
    }
    on_line(i, line, [&] {
      Record r = read_record(line, i);
      switch (r.type) {
        case 0x00:
          if (r.count == 0) break;  // holds no byte: neither writes nor moves the end
          if (r.address + r.count > kAddressSpan) refuse("Address above 64K", i, line);
          for (int a = r.address; a < r.address + r.count; ++a) {
            if (written_by[a] >= 0)
              refuse("Data overlapping line " + IntToStr(written_by[a] + 1), i, line);
            written_by[a] = i;
          }
          end = std::max(end, r.address + r.count);
          data.emplace_back(i, std::move(r));
          break;
        case 0x01:
          ended = true;
          break;
        case 0x02:
        case 0x04:
          if (r.count != 2) refuse("Bad address record", i, line);
          if (r.data != "0000") refuse("Address above 64K", i, line);
          break;
        case 0x03:
        case 0x05:
          break;
        default:
          refuse("Unknown record type " + IntToHex(r.type, 2), i, line);
      }
    });
  }
  if (!ended) throw EHexFile("No End Record In File...");
  if (end == 0) throw EHexFile("No Data In File...");
  return end;
}

}  // namespace

Fields fields(const AnsiString& line) {
  return {line.SubString(1, 1), line.SubString(2, 2), line.SubString(4, 4), line.SubString(8, 2)};
}

bool is_end_record(const AnsiString& line) {
  return line.SubString(8, 2) == "01";
}

Firmware read_firmware(const TStrings& lines) {
  std::vector<std::pair<int, Record>> data;
  const int end = read_records(lines, data);
  Firmware firmware{end, std::string(static_cast<std::size_t>(end) * 2 + 512, 'F')};
  for (const auto& entry : data) {
    const Record& r = entry.second;
    on_line(entry.first, lines.Strings[entry.first], [&] {
      firmware.image.replace(static_cast<std::size_t>(r.address) * 2, r.data.size(), r.data);
    });
  }
  return firmware;
}

std::vector<AnsiString> list_image(const std::string& image, int end_addr, bool bytes) {
  const int step = bytes ? 2 : 1;
  const int per_line = 64 / step, group = 4 / step;
  std::vector<AnsiString> out;
  int address = 0;
  std::size_t i = 0;
  do {
    std::string text = IntToHex(address, 5).str() + "    ";
    for (int k = 0; k < per_line; ++k, ++i) {
      text += image[i];
      if ((k + 1) % group == 0) text += ' ';
    }
    out.emplace_back(std::move(text));
    address += 16;
  } while (i < static_cast<std::size_t>(end_addr) * 2);
  return out;
}

std::vector<AnsiString> list_groups(const std::string& image, int end_addr, bool bytes) {
  const int w = bytes ? 2 : 4;
  std::vector<AnsiString> out;
  std::size_t i = 0;
  do {
    out.emplace_back(IntToHex(static_cast<int>(i / w), 5).str() + "    " + image.substr(i, w));
    i += w;
  } while (i < static_cast<std::size_t>(end_addr) * 2);
  return out;
}

std::vector<AnsiString> list_fields(const TStrings& lines, int& end) {
  std::vector<AnsiString> out;
  int highest = 0;
  for (int i = 0; i < lines.Count; ++i) {
    AnsiString line = lines.Strings[i];
    Fields f = fields(line);
    if (is_end_record(line)) {
      end = highest;
      break;
    }
    const int n = hex_number(f.count) * 2;
    if (f.type == "00" && n > 0) highest = std::max(highest, hex_number(f.address) + n / 2);
    out.push_back(f.mark + " " + f.count + " " + f.address + " " + f.type + " " +
                  line.SubString(10, n) + " " + line.SubString(n + 10, 2));
  }
  return out;
}

AnsiString end_label(int end_addr) {
  return "End addr.= 0x" + IntToHex(end_addr, 5);
}

}  // namespace hex
