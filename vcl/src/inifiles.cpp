#include "vcl/inifiles.h"

#include <optional>
#include <string>
#include <vector>

#include "text_file.h"

namespace {

std::string TrimBlanks(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// One line of a profile file as its reader sees it.
struct Line {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string name;   // section or key name
  std::string value;  // key value
};

Line Classify(const std::string& raw) {
  Line line;
  const std::string t = TrimBlanks(raw);
  if (t.empty() || t[0] == ';') return line;
  if (t[0] == '[') {
    const auto close = t.find(']');
    line.kind = Line::kSection;
    line.name = TrimBlanks(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return line;
  }
  line.kind = Line::kKey;
  const auto eq = t.find('=');
  line.name = TrimBlanks(t.substr(0, eq));
  if (eq != std::string::npos) {
    line.value = TrimBlanks(t.substr(eq + 1));
    const auto n = line.value.size();
    if (n >= 2 && (line.value[0] == '"' || line.value[0] == '\'') &&
        line.value[n - 1] == line.value[0])
      line.value = line.value.substr(1, n - 2);
  }
  return line;
}

bool SameName(const std::string& a, const AnsiString& b) {
  return AnsiSameText(a, b);
}

// The file's lines; a missing or unreadable file reads as empty.
std::vector<std::string> LoadLines(const AnsiString& file_name) {
  std::string data, error;
  if (vcl::detail::ReadWholeFile(file_name, data, error) != vcl::detail::FileResult::kOk) return {};
  return vcl::detail::SplitLines(data);
}

void SaveLines(const AnsiString& file_name, const std::vector<std::string>& lines) {
  std::string data;
  for (const auto& line : lines) data += line + "\r\n";
  std::string error;
  if (vcl::detail::WriteWholeFile(file_name, data, error) != vcl::detail::FileResult::kOk)
    throw EIniFileException("Unable to write to " + file_name + ". " + AnsiString(error));
}

// Line range of the first section with that name: [header, end), end being the next header or
// the end of the file.
struct SectionRange {
  std::size_t header, end;
};

std::optional<SectionRange> FindSection(const std::vector<std::string>& lines,
                                        const AnsiString& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line l = Classify(lines[i]);
    if (l.kind != Line::kSection || !SameName(l.name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && Classify(lines[end]).kind != Line::kSection) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, const SectionRange& r,
                                   const AnsiString& ident) {
  for (std::size_t i = r.header + 1; i < r.end; ++i) {
    const Line l = Classify(lines[i]);
    if (l.kind == Line::kKey && SameName(l.name, ident)) return i;
  }
  return std::nullopt;
}

}  // namespace

TIniFile::TIniFile(const AnsiString& FileName)
    : FileName([this] { return file_name_; }), file_name_(FileName) {}

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                const AnsiString& Default) const {
  const auto lines = LoadLines(file_name_);
  const auto range = FindSection(lines, Section);
  if (!range) return Default;
  const auto at = FindKey(lines, *range, Ident);
  if (!at) return Default;
  return AnsiString(Classify(lines[*at]).value);
}

int TIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const {
  return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

bool TIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident,
                           const AnsiString& Value) {
  auto lines = LoadLines(file_name_);
  const auto range = FindSection(lines, Section);
  if (!range) {
    lines.push_back("[" + Section.str() + "]");
    lines.push_back(Ident.str() + "=" + Value.str());
  } else if (const auto at = FindKey(lines, *range, Ident)) {
    lines[*at] = Classify(lines[*at]).name + "=" + Value.str();
  } else {
    // After the section's last non-blank line, so that blank lines before the next section stay.
    std::size_t pos = range->end;
    while (pos > range->header + 1 && TrimBlanks(lines[pos - 1]).empty()) --pos;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pos), Ident.str() + "=" + Value.str());
  }
  SaveLines(file_name_, lines);
}

void TIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) const {
  if (!Strings) return;
  const auto lines = LoadLines(file_name_);
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    if (const auto range = FindSection(lines, Section)) {
      for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const Line l = Classify(lines[i]);
        if (l.kind == Line::kKey) Strings->Add(AnsiString(l.name));
      }
    }
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

bool TIniFile::SectionExists(const AnsiString& Section) const {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.Count > 0;
}

bool TIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) const {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.IndexOf(Ident) >= 0;
}

void TIniFile::EraseSection(const AnsiString& Section) {
  auto lines = LoadLines(file_name_);
  const auto range = FindSection(lines, Section);
  if (!range) return;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->header),
              lines.begin() + static_cast<std::ptrdiff_t>(range->end));
  SaveLines(file_name_, lines);
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  auto lines = LoadLines(file_name_);
  const auto range = FindSection(lines, Section);
  if (!range) return;
  const auto at = FindKey(lines, *range, Ident);
  if (!at) return;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
  SaveLines(file_name_, lines);
}
