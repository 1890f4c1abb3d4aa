// The registry as the programs see it: HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, read
// only, with one value per mapped COM port whose device exists.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "internal.h"
#include "platform/paths.h"
#include "platform/testing.h"

using namespace platform::detail;

namespace {

constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
// The keys that exist, below HKEY_LOCAL_MACHINE.
constexpr const char* kMachineKeys[] = {"", "HARDWARE", "HARDWARE\\DEVICEMAP", kSerialComm};
// Access rights that would change a key.
constexpr REGSAM kWriteRights = 0x0002 | 0x0004 | 0x0020 | 0x10000 | 0x40000 | 0x80000;

struct Key {
  HKEY root;
  std::string path;  // canonical spelling, "" for the root itself
  std::vector<std::pair<std::string, std::string>> values;  // a snapshot taken at open
};

std::mutex keys_mutex;
std::map<std::uintptr_t, Key> open_keys;
std::uintptr_t next_key = 0x1000;

bool Predefined(HKEY key) {
  return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Root and path of a key handle; false for a bad handle.
bool Resolve(HKEY key, HKEY& root, std::string& path) {
  if (Predefined(key)) {
    root = key;
    path.clear();
    return true;
  }
  std::lock_guard guard(keys_mutex);
  auto it = open_keys.find(reinterpret_cast<std::uintptr_t>(key));
  if (it == open_keys.end()) return false;
  root = it->second.root;
  path = it->second.path;
  return true;
}

Key* Find(HKEY key) {
  auto it = open_keys.find(reinterpret_cast<std::uintptr_t>(key));
  return it == open_keys.end() ? nullptr : &it->second;
}

// The canonical path of an existing key, or false.
bool Existing(HKEY root, const std::string& base, const char* sub, std::string& path) {
  std::string s = sub ? sub : "";
  while (!s.empty() && s.front() == '\\') s.erase(0, 1);
  while (!s.empty() && s.back() == '\\') s.pop_back();
  std::string full = base.empty() ? s : s.empty() ? base : base + "\\" + s;
  if (root != HKEY_LOCAL_MACHINE) {
    if (!full.empty()) return false;
    path.clear();
    return true;
  }
  for (const char* known : kMachineKeys) {
    if (Upper(full) == known) {
      path = known;
      return true;
    }
  }
  return false;
}

// Values added by tests (AddSerialCommValue), shown after the mapped ports.
std::vector<std::pair<std::string, std::string>> extra_values;

std::vector<std::pair<std::string, std::string>> SerialCommValues() {
  std::vector<std::pair<std::string, std::string>> values;
  for (auto& port : platform::ListComPorts()) {
    int index = ComNumber(port.name) - 1;
    std::string name =
        (port.device == "sim" ? "\\Device\\SimSerial" : "\\Device\\Serial") + std::to_string(index);
    values.emplace_back(name, port.name);
  }
  std::lock_guard guard(keys_mutex);
  values.insert(values.end(), extra_values.begin(), extra_values.end());
  return values;
}

HKEY OpenKey(HKEY root, const std::string& path) {
  Key key{root, path, {}};
  if (root == HKEY_LOCAL_MACHINE && path == kSerialComm) key.values = SerialCommValues();
  std::lock_guard guard(keys_mutex);
  std::uintptr_t value = next_key;
  next_key += 4;
  open_keys.emplace(value, std::move(key));
  return reinterpret_cast<HKEY>(value);
}

// Copies a value's string data (with its NUL) the registry way.
LONG CopyData(const std::string& data, LPDWORD type, BYTE* out, LPDWORD size) {
  if (type) *type = REG_SZ;
  DWORD needed = static_cast<DWORD>(data.size() + 1);
  if (!size) return out ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  if (!out) {
    *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  std::memcpy(out, data.c_str(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

std::size_t SubKeyCount(const Key& key) {
  if (key.root != HKEY_LOCAL_MACHINE) return 0;
  return key.path == kSerialComm ? 0 : 1;
}

}  // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                   PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  HKEY root;
  std::string base, path;
  if (!Resolve(hKey, root, base)) return ERROR_INVALID_HANDLE;
  if (!Existing(root, base, lpSubKey, path)) return ERROR_FILE_NOT_FOUND;
  if (Faulted("RegOpenKeyExA", path)) return static_cast<LONG>(GetLastError());
  if (samDesired & kWriteRights) return ERROR_ACCESS_DENIED;
  *phkResult = OpenKey(root, path);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  HKEY root;
  std::string base, path;
  if (!Resolve(hKey, root, base)) return ERROR_INVALID_HANDLE;
  // An existing key opens for reading; nothing can be created.
  if (!Existing(root, base, lpSubKey, path) || (samDesired & kWriteRights))
    return ERROR_ACCESS_DENIED;
  if (Faulted("RegCreateKeyExA", path)) return static_cast<LONG>(GetLastError());
  *phkResult = OpenKey(root, path);
  if (lpdwDisposition) *lpdwDisposition = REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY hKey) {
  if (Predefined(hKey)) return ERROR_SUCCESS;
  std::lock_guard guard(keys_mutex);
  return open_keys.erase(reinterpret_cast<std::uintptr_t>(hKey)) ? ERROR_SUCCESS
                                                                 : ERROR_INVALID_HANDLE;
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                      LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                      LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, void* lpftLastWriteTime) {
  Key snapshot;
  if (Predefined(hKey)) {
    snapshot.root = hKey;
  } else {
    std::lock_guard guard(keys_mutex);
    Key* key = Find(hKey);
    if (!key) return ERROR_INVALID_HANDLE;
    snapshot = *key;
  }
  if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(SubKeyCount(snapshot));
  if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = SubKeyCount(snapshot) ? 10 : 0;  // "SERIALCOMM" at most
  if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
  DWORD max_name = 0, max_data = 0;
  for (auto& [name, data] : snapshot.values) {
    max_name = std::max<DWORD>(max_name, static_cast<DWORD>(name.size()));
    max_data = std::max<DWORD>(max_data, static_cast<DWORD>(data.size() + 1));
  }
  if (lpcValues) *lpcValues = static_cast<DWORD>(snapshot.values.size());
  if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = max_name;
  if (lpcbMaxValueLen) *lpcbMaxValueLen = max_data;
  if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
  if (lpftLastWriteTime) std::memset(lpftLastWriteTime, 0, 8);
  return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, BYTE* lpData, LPDWORD lpcbData) {
  std::string name, data;
  if (Predefined(hKey)) return ERROR_NO_MORE_ITEMS;
  {
    std::lock_guard guard(keys_mutex);
    Key* key = Find(hKey);
    if (!key) return ERROR_INVALID_HANDLE;
    if (dwIndex >= key->values.size()) return ERROR_NO_MORE_ITEMS;
    name = key->values[dwIndex].first;
    data = key->values[dwIndex].second;
  }
  if (!lpValueName || !lpcchValueName) return ERROR_INVALID_PARAMETER;
  if (*lpcchValueName <= name.size()) return ERROR_MORE_DATA;
  std::memcpy(lpValueName, name.c_str(), name.size() + 1);
  *lpcchValueName = static_cast<DWORD>(name.size());
  return CopyData(data, lpType, lpData, lpcbData);
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      BYTE* lpData, LPDWORD lpcbData) {
  std::string wanted = Upper(lpValueName ? lpValueName : "");
  if (Predefined(hKey)) return ERROR_FILE_NOT_FOUND;
  std::string data;
  {
    std::lock_guard guard(keys_mutex);
    Key* key = Find(hKey);
    if (!key) return ERROR_INVALID_HANDLE;
    auto it = std::find_if(key->values.begin(), key->values.end(),
                           [&](const auto& value) { return Upper(value.first) == wanted; });
    if (wanted.empty() || it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    data = it->second;
  }
  return CopyData(data, lpType, lpData, lpcbData);
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  HKEY root;
  std::string path;
  return Resolve(hKey, root, path) ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE;
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  HKEY root;
  std::string path;
  return Resolve(hKey, root, path) ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE;
}

namespace platform::testing {

void AddSerialCommValue(const std::string& name, const std::string& data) {
  std::lock_guard guard(keys_mutex);
  extra_values.emplace_back(name, data);
}

void ClearSerialCommValues() {
  std::lock_guard guard(keys_mutex);
  extra_values.clear();
}

}  // namespace platform::testing
