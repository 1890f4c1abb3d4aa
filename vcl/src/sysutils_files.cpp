// SysUtils: files and folders through the Win32 layer, and Windows-style file names.
#include <string>

#include "platform/windows.h"
#include "vcl/sysutils.h"

namespace {

bool IsPathDelimiter(char c) {
  return c == '\\' || c == '/';
}
bool IsNameDelimiter(char c) {
  return IsPathDelimiter(c) || c == ':';
}

// 0-based index of the last path or drive delimiter, or npos.
std::size_t LastNameDelimiter(const std::string& s) {
  for (std::size_t i = s.size(); i-- > 0;)
    if (IsNameDelimiter(s[i])) return i;
  return std::string::npos;
}

DWORD Attributes(const AnsiString& name) {
  return GetFileAttributesA(name.c_str());
}

}  // namespace

bool FileExists(const AnsiString& name) {
  const DWORD a = Attributes(name);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const AnsiString& name) {
  const DWORD a = Attributes(name);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const AnsiString& name) {
  return CreateDirectoryA(name.c_str(), nullptr) != 0;
}

bool ForceDirectories(const AnsiString& name) {
  const AnsiString dir = ExcludeTrailingBackslash(name);
  if (dir.IsEmpty()) return DirectoryExists(name);  // a root such as "\" or "/"
  if (DirectoryExists(dir)) return true;
  const AnsiString parent = ExtractFilePath(dir);
  // The parent of "c:" is "c:" itself: nothing further up to create.
  if (!parent.IsEmpty() && ExcludeTrailingBackslash(parent) != dir && !ForceDirectories(parent))
    return false;
  return CreateDir(dir);
}

bool SetCurrentDir(const AnsiString& name) {
  return SetCurrentDirectoryA(name.c_str()) != 0;
}

AnsiString GetCurrentDir() {
  std::string buf(MAX_PATH, '\0');
  DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
  if (n >= buf.size()) {  // too small: n is the size needed, with the terminator
    buf.assign(n, '\0');
    n = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
    if (n >= buf.size()) n = 0;
  }
  buf.resize(n);
  return AnsiString(std::move(buf));
}

bool RenameFile(const AnsiString& old_name, const AnsiString& new_name) {
  return MoveFileA(old_name.c_str(), new_name.c_str()) != 0;
}

bool DeleteFile(const AnsiString& name) {
  return DeleteFileA(name.c_str()) != 0;
}

AnsiString ExtractFilePath(const AnsiString& name) {
  const auto at = LastNameDelimiter(name.str());
  return at == std::string::npos ? AnsiString() : AnsiString(name.str().substr(0, at + 1));
}

AnsiString ExtractFileName(const AnsiString& name) {
  const auto at = LastNameDelimiter(name.str());
  return at == std::string::npos ? name : AnsiString(name.str().substr(at + 1));
}

AnsiString ExtractFileExt(const AnsiString& name) {
  const std::string& s = name.str();
  for (std::size_t i = s.size(); i-- > 0;) {
    if (IsNameDelimiter(s[i])) break;
    if (s[i] == '.') return AnsiString(s.substr(i));
  }
  return {};
}

AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext) {
  const std::string& s = name.str();
  std::size_t stem = s.size();
  for (std::size_t i = s.size(); i-- > 0;) {
    if (IsNameDelimiter(s[i])) break;
    if (s[i] == '.') {
      stem = i;
      break;
    }
  }
  return AnsiString(s.substr(0, stem) + ext.str());
}

AnsiString IncludeTrailingBackslash(const AnsiString& name) {
  if (!name.IsEmpty() && IsPathDelimiter(name.str().back())) return name;
  return name + "\\";
}

AnsiString ExcludeTrailingBackslash(const AnsiString& name) {
  std::string s = name.str();
  if (!s.empty() && IsPathDelimiter(s.back())) s.pop_back();
  return AnsiString(std::move(s));
}
