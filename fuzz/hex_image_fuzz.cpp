// Fuzzes the Intel HEX reader for meaning as well as memory safety: a small reference model
// reads the same lines by the letter of the format (16-bit addresses, nothing but blank lines
// after the end record), and the reader must agree with it. An
// accepted file's image holds exactly the bytes of its data records ("F" elsewhere) and ends at
// the highest of them; a refused file gives an EHexFile naming the line the model stops at, and
// no image. The listings of an accepted image are built as well.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "prog/hex_image.h"

namespace {

struct Model {
  bool accepted = false;
  int refused_line = 0;              // 1-based; 0 when the file as a whole is refused
  bool has_end = false;              // an end record was reached
  std::map<int, std::string> bytes;  // address: its two characters as the file writes them
  int end = 0;
};

[[noreturn]] void Disagree(const char* what) {
  std::fprintf(stderr, "reader and model disagree: %s\n", what);
  std::abort();
}

Model Read(const TStrings& lines) {
  Model m;
  for (int i = 0; i < lines.Count; ++i) {
    std::string t = lines.Strings[i]().str();
    while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.pop_back();
    m.refused_line = i + 1;
    if (m.has_end) {
      // Only blanks and control characters may follow the end record.
      for (char c : t)
        if (static_cast<unsigned char>(c) > ' ') return m;
      continue;
    }
    if (t.empty() || t[0] != ':' || t.size() % 2 == 0 || t.size() < 11) return m;
    for (std::size_t k = 1; k < t.size(); ++k)
      if (!std::isxdigit(static_cast<unsigned char>(t[k]))) return m;
    std::string digits = t.substr(1);
    auto byte = [&](std::size_t k) { return std::stoi(digits.substr(2 * k, 2), nullptr, 16); };
    const int count = byte(0);
    if (digits.size() != 10 + 2 * static_cast<std::size_t>(count)) return m;
    int sum = 0;
    for (std::size_t k = 0; k < digits.size() / 2; ++k) sum += byte(k);
    if (sum % 256 != 0) return m;
    const int address = byte(1) * 256 + byte(2);
    const int type = byte(3);
    if (type == 0) {
      if (address + count > 0x10000) return m;
      for (int k = 0; k < count; ++k) {
        if (m.bytes.count(address + k)) return m;
        m.bytes[address + k] = digits.substr(8 + 2 * k, 2);
      }
    } else if (type == 1) {
      m.has_end = true;
    } else if (type == 2 || type == 4) {
      if (count != 2 || byte(4) != 0 || byte(5) != 0) return m;
    } else if (type != 3 && type != 5) {
      return m;
    }
  }
  m.refused_line = 0;
  if (!m.has_end || m.bytes.empty()) return m;
  m.accepted = true;
  m.end = m.bytes.rbegin()->first + 1;
  return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto lines = std::make_unique<TStringList>();
  lines->Text = AnsiString(std::string(reinterpret_cast<const char*>(data), size));
  const Model model = Read(*lines);

  int listed_end = -1;
  try {
    hex::list_fields(*lines, listed_end);
  } catch (const Exception&) {
  }

  hex::Firmware firmware;
  try {
    firmware = hex::read_firmware(*lines);
  } catch (const EHexFile& e) {
    if (model.accepted) Disagree("a file the model accepts was refused");
    const std::string message = e.Message.str();
    if (model.refused_line > 0) {
      if (message.find(" in line " + std::to_string(model.refused_line) + ": ") ==
          std::string::npos)
        Disagree("the refusal names another line");
    } else if (message != (model.has_end ? "No Data In File..." : "No End Record In File...")) {
      Disagree("the refusal of the whole file says something else");
    }
    return 0;
  }
  // Any other exception escapes and ends the run: a refusal is an EHexFile and nothing else.
  if (!model.accepted) Disagree("a file the model refuses was accepted");
  if (firmware.end_addr != model.end) Disagree("end address");
  if (listed_end != model.end) Disagree("the end address of the field listing");
  if (firmware.image.size() != static_cast<std::size_t>(model.end) * 2 + 512)
    Disagree("image size");
  for (std::size_t a = 0; a < firmware.image.size() / 2; ++a) {
    const auto written = model.bytes.find(static_cast<int>(a));
    const std::string expected = written == model.bytes.end() ? "FF" : written->second;
    if (firmware.image.compare(2 * a, 2, expected) != 0) Disagree("image bytes");
  }
  for (bool bytes : {false, true}) {
    hex::list_image(firmware.image, firmware.end_addr, bytes);
    hex::list_groups(firmware.image, firmware.end_addr, bytes);
  }
  return 0;
}
