#include "prog/hex_image.h"

namespace hex {
namespace {

int hex_number(const AnsiString& text) {
  return StrToInt("0x" + text);
}

int end_from_record(const AnsiString& line) {
  Fields f = fields(line);
  return hex_number(f.address.Trim()) + hex_number(f.count.Trim());
}

}  // namespace

Fields fields(const AnsiString& line) {
  return {line.SubString(1, 1), line.SubString(2, 2), line.SubString(4, 4), line.SubString(8, 2)};
}

bool is_end_record(const AnsiString& line) {
  return line.SubString(8, 2) == "01";
}

int end_address(const TStrings& lines) {
  for (int i = 0; i < lines.Count; ++i) {
    AnsiString line = lines.Strings[i];
    if (is_end_record(line)) return end_from_record(lines.Strings[i - 1]);
    hex_number(fields(line).count);
  }
  throw EHexFile("No End Record In File...");
}

void refuse_extended_addresses(const TStrings& lines) {
  for (int i = 0; i < lines.Count; ++i) {
    AnsiString line = lines.Strings[i];
    if (is_end_record(line)) return;
    AnsiString type = fields(line).type;
    if (type != "02" && type != "04") continue;
    AnsiString base = line.SubString(10, 4);
    if (!base.IsEmpty() && hex_number(base) != 0)
      throw EHexFile("Address above 64K in line " + IntToStr(i + 1) + ": " + line);
  }
}

std::string blank_image(int end_addr) {
  return std::string(static_cast<std::size_t>(end_addr) * 2 + 512, 'F');
}

void copy_records(const TStrings& lines, std::string& image) {
  const int size = static_cast<int>(image.size());
  for (int i = 0; i < lines.Count; ++i) {
    AnsiString line = lines.Strings[i];
    if (is_end_record(line)) return;
    Fields f = fields(line);
    const int n = hex_number(f.count) * 2;
    const int a = hex_number(f.address) * 2;
    for (int k = 0; k < n && a + k < size; ++k) image[a + k] = line[10 + k];
  }
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
  for (int i = 0; i < lines.Count; ++i) {
    AnsiString line = lines.Strings[i];
    Fields f = fields(line);
    if (is_end_record(line)) {
      end = end_from_record(lines.Strings[i - 1]);
      break;
    }
    const int n = hex_number(f.count) * 2;
    out.push_back(f.mark + " " + f.count + " " + f.address + " " + f.type + " " +
                  line.SubString(10, n) + " " + line.SubString(n + 10, 2));
  }
  return out;
}

AnsiString end_label(int end_addr) {
  return "End addr.= 0x" + IntToHex(end_addr, 5);
}

}  // namespace hex
