#include "vcl/registry.h"

#include <string>
#include <vector>

namespace {
constexpr DWORD kRegExpandSz = 2;
}  // namespace

TRegistry::TRegistry() : TRegistry(KEY_ALL_ACCESS) {}

TRegistry::TRegistry(DWORD AAccess)
    : RootKey([this] { return root_; },
              [this](const HKEY& key) {
                if (key == root_) return;
                CloseKey();
                root_ = key;
              }),
      CurrentKey([this] { return current_; }),
      CurrentPath([this] { return current_path_; }),
      Access([this] { return access_; }, [this](const DWORD& a) { access_ = a; }),
      access_(AAccess) {}

TRegistry::~TRegistry() {
  CloseKey();
}

bool TRegistry::Open(const AnsiString& key, DWORD access) {
  const bool absolute = !key.IsEmpty() && key[1] == '\\';
  const AnsiString sub = absolute ? key.SubString(2, key.Length()) : key;
  const bool relative = !absolute && current_ != nullptr;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(relative ? current_ : root_, sub.c_str(), 0, access, &opened) != ERROR_SUCCESS)
    return false;
  const AnsiString path =
      relative && !current_path_.IsEmpty() && !sub.IsEmpty() ? current_path_ + "\\" + sub : sub;
  CloseKey();
  current_ = opened;
  current_path_ = path;
  return true;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate) {
  return Open(Key, access_);
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& Key) {
  return Open(Key, KEY_READ);
}

void TRegistry::CloseKey() {
  if (current_) RegCloseKey(current_);
  current_ = nullptr;
  current_path_ = "";
}

void TRegistry::GetValueNames(TStrings* Strings) const {
  if (!Strings) return;
  std::vector<AnsiString> names;
  if (current_) {
    std::vector<char> buf(256);
    for (DWORD index = 0;;) {
      DWORD len = static_cast<DWORD>(buf.size());
      const LONG rc =
          RegEnumValueA(current_, index, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
      if (rc == static_cast<LONG>(ERROR_MORE_DATA) && buf.size() < 65536) {
        buf.resize(buf.size() * 4);
        continue;
      }
      if (rc != ERROR_SUCCESS) break;
      names.emplace_back(buf.data(), static_cast<int>(len));
      ++index;
    }
  }
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (const auto& n : names) Strings->Add(n);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

AnsiString TRegistry::ReadString(const AnsiString& Name) const {
  if (!current_) return {};
  DWORD type = REG_NONE, size = 0;
  if (RegQueryValueExA(current_, Name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return {};
  if (type != REG_SZ && type != kRegExpandSz)
    throw ERegistryException("Invalid data type for '" + Name + "'");
  std::vector<BYTE> data(size + 1, 0);
  for (int attempt = 0; attempt < 4; ++attempt) {
    size = static_cast<DWORD>(data.size() - 1);
    const LONG rc = RegQueryValueExA(current_, Name.c_str(), nullptr, &type, data.data(), &size);
    if (rc == static_cast<LONG>(ERROR_MORE_DATA)) {  // the value grew meanwhile
      data.assign(static_cast<std::size_t>(size) + 1, 0);
      continue;
    }
    if (rc != ERROR_SUCCESS) return {};
    const auto* text = reinterpret_cast<const char*>(data.data());
    std::size_t n = 0;
    while (n < size && text[n] != '\0') ++n;
    return AnsiString(std::string(text, n));
  }
  return {};
}

bool TRegistry::ValueExists(const AnsiString& Name) const {
  return current_ && RegQueryValueExA(current_, Name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                         ERROR_SUCCESS;
}
