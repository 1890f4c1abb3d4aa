#include "vcl/inifiles.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/cp1251.h"
#include "text_file.h"
#include "vcl/sysutils.h"

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

// A profile file as read: its lines, and its encoding. A file that starts with a UTF-8 byte order
// mark (saved so by an editor) is UTF-8: the mark is no part of its first line, and the
// programs' texts are converted to and from it; its other lines stay byte for byte.
struct Profile {
  std::vector<std::string> lines;
  bool utf8 = false;

  std::string ToFile(const AnsiString& text) const {
    return utf8 ? platform::Cp1251ToUtf8(text.str()) : text.str();
  }
  AnsiString FromFile(const std::string& text) const {
    return AnsiString(utf8 ? platform::Utf8ToCp1251(text) : text);
  }
  bool SameName(const std::string& in_file, const AnsiString& name) const {
    return AnsiSameText(FromFile(in_file), name);
  }
};

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

Profile FromBytes(std::string_view data) {
  Profile profile;
  profile.utf8 = data.substr(0, kUtf8Mark.size()) == kUtf8Mark;
  if (profile.utf8) data.remove_prefix(kUtf8Mark.size());
  profile.lines = vcl::detail::SplitLines(data);
  return profile;
}

// For reading: a missing or unreadable file reads as empty.
Profile LoadForReading(const AnsiString& file_name) {
  std::string data, error;
  if (vcl::detail::ReadWholeFile(file_name, data, error) != vcl::detail::FileResult::kOk) return {};
  return FromBytes(data);
}

[[noreturn]] void WriteFailed(const AnsiString& file_name, const std::string& reason) {
  throw EIniFileException("Unable to write to " + file_name + ". " + AnsiString(reason));
}

// For a change: a missing file is an empty one, but a file that is there and cannot be read is
// not written over (its other lines would be lost).
Profile LoadForWriting(const AnsiString& file_name) {
  std::string data, error;
  switch (vcl::detail::ReadWholeFile(file_name, data, error)) {
    case vcl::detail::FileResult::kOk:
      return FromBytes(data);
    case vcl::detail::FileResult::kMissing:
      return {};
    default:
      // A folder in the file's place: the write refuses it in its own words.
      if (DirectoryExists(file_name)) return {};
      WriteFailed(file_name, error);
  }
}

void Save(const AnsiString& file_name, const Profile& profile) {
  std::string data = profile.utf8 ? std::string(kUtf8Mark) : std::string();
  for (const auto& line : profile.lines) data += line + "\r\n";
  std::string error;
  if (vcl::detail::WriteWholeFile(file_name, data, error) != vcl::detail::FileResult::kOk)
    WriteFailed(file_name, error);
}

// Line range of the first section with that name: [header, end), end being the next header or
// the end of the file.
struct SectionRange {
  std::size_t header, end;
};

std::optional<SectionRange> FindSection(const Profile& profile, const AnsiString& section) {
  const auto& lines = profile.lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line l = Classify(lines[i]);
    if (l.kind != Line::kSection || !profile.SameName(l.name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && Classify(lines[end]).kind != Line::kSection) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const Profile& profile, const SectionRange& r,
                                   const AnsiString& ident) {
  for (std::size_t i = r.header + 1; i < r.end; ++i) {
    const Line l = Classify(profile.lines[i]);
    if (l.kind == Line::kKey && profile.SameName(l.name, ident)) return i;
  }
  return std::nullopt;
}

}  // namespace

TIniFile::TIniFile(const AnsiString& FileName)
    : FileName([this] { return file_name_; }), file_name_(FileName) {}

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                const AnsiString& Default) const {
  const Profile profile = LoadForReading(file_name_);
  const auto range = FindSection(profile, Section);
  if (!range) return Default;
  const auto at = FindKey(profile, *range, Ident);
  if (!at) return Default;
  return profile.FromFile(Classify(profile.lines[*at]).value);
}

int TIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const {
  return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

bool TIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident,
                           const AnsiString& Value) {
  Profile profile = LoadForWriting(file_name_);
  auto& lines = profile.lines;
  const auto range = FindSection(profile, Section);
  const std::string value = profile.ToFile(Value);
  if (!range) {
    lines.push_back("[" + profile.ToFile(Section) + "]");
    lines.push_back(profile.ToFile(Ident) + "=" + value);
  } else if (const auto at = FindKey(profile, *range, Ident)) {
    lines[*at] = Classify(lines[*at]).name + "=" + value;
  } else {
    // After the section's last non-blank line, so that blank lines before the next section stay.
    std::size_t pos = range->end;
    while (pos > range->header + 1 && TrimBlanks(lines[pos - 1]).empty()) --pos;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pos),
                 profile.ToFile(Ident) + "=" + value);
  }
  Save(file_name_, profile);
}

void TIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) const {
  if (!Strings) return;
  const Profile profile = LoadForReading(file_name_);
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    if (const auto range = FindSection(profile, Section)) {
      for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const Line l = Classify(profile.lines[i]);
        if (l.kind == Line::kKey) Strings->Add(profile.FromFile(l.name));
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
  Profile profile = LoadForWriting(file_name_);
  const auto range = FindSection(profile, Section);
  if (!range) return;
  profile.lines.erase(profile.lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                      profile.lines.begin() + static_cast<std::ptrdiff_t>(range->end));
  Save(file_name_, profile);
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  Profile profile = LoadForWriting(file_name_);
  const auto range = FindSection(profile, Section);
  if (!range) return;
  const auto at = FindKey(profile, *range, Ident);
  if (!at) return;
  profile.lines.erase(profile.lines.begin() + static_cast<std::ptrdiff_t>(*at));
  Save(file_name_, profile);
}
