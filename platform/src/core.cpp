// The handle table, the last error, the shared lock and waits, errno mapping, fault injection.
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

#include "internal.h"
#include "platform/clock.h"
#include "platform/testing.h"

namespace {
thread_local DWORD last_error = ERROR_SUCCESS;
}

DWORD GetLastError() {
  return last_error;
}
void SetLastError(DWORD code) {
  last_error = code;
}

namespace platform::detail {

// ---- Lock and waits ----

namespace {
std::recursive_mutex& TheMutex() {
  static auto* mutex = new std::recursive_mutex;  // never destroyed: threads may outlive main
  return *mutex;
}
std::condition_variable_any& TheCondition() {
  static auto* condition = new std::condition_variable_any;
  return *condition;
}
}  // namespace

std::recursive_mutex& Mutex() {
  return TheMutex();
}
void NotifyChanged() {
  TheCondition().notify_all();
}

std::uint64_t NowUs() {
  return CurrentClock().NowUs();
}

std::uint64_t RealNowUs() {
  auto d = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(d).count());
}

std::uint64_t DeadlineAfterMs(DWORD ms) {
  if (ms == INFINITE) return kForever;
  return NowUs() + static_cast<std::uint64_t>(ms) * 1000;
}

bool WaitUntil(Lock& lock, const std::function<bool()>& done, std::uint64_t deadline_us,
               bool virtual_time) {
  auto* virtual_clock = dynamic_cast<VirtualClock*>(&CurrentClock());
  for (;;) {
    if (done()) return true;
    std::uint64_t now = NowUs();
    if (now >= deadline_us) return false;
    if (virtual_clock && virtual_time) {
      std::uint64_t next = std::min(virtual_clock->NextEventUs(), deadline_us);
      if (next != kForever) {
        lock.unlock();
        virtual_clock->AdvanceTo(next);
        lock.lock();
        continue;
      }
      // Nothing scheduled and no deadline: only another thread can end this wait; look at the
      // clock again now and then in case that thread schedules something.
      TheCondition().wait_for(lock, std::chrono::milliseconds(5));
      continue;
    }
    if (virtual_clock) {
      // Real waiting under a virtual clock (a tty backend's operation): time limits are the
      // operation's own business, so wait for the change only.
      TheCondition().wait_for(lock, std::chrono::milliseconds(50));
      continue;
    }
    if (deadline_us == kForever) {
      TheCondition().wait(lock);
    } else {
      TheCondition().wait_for(lock, std::chrono::microseconds(deadline_us - now));
    }
  }
}

// ---- Handles ----

namespace {
struct HandleTable {
  std::mutex mutex;
  std::uintptr_t next = 0x100;
  std::map<std::uintptr_t, std::shared_ptr<Object>> objects;
};
HandleTable& Table() {
  static auto* table = new HandleTable;
  return *table;
}
}  // namespace

HANDLE NewHandle(std::shared_ptr<Object> object) {
  auto& table = Table();
  std::lock_guard guard(table.mutex);
  // Values are never reused, so a stale handle cannot reach a later object.
  std::uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

HANDLE DuplicateHandleTo(const std::shared_ptr<Object>& object) {
  return NewHandle(object);
}

std::shared_ptr<Object> Lookup(HANDLE handle) {
  auto& table = Table();
  std::lock_guard guard(table.mutex);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == table.objects.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second;
}

std::shared_ptr<Object> RemoveHandle(HANDLE handle, bool& was_last, bool& found) {
  auto& table = Table();
  std::lock_guard guard(table.mutex);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  found = it != table.objects.end();
  was_last = false;
  if (!found) return nullptr;
  auto object = std::move(it->second);
  table.objects.erase(it);
  was_last = true;
  for (auto& [value, other] : table.objects) {
    if (other == object) {
      was_last = false;
      break;
    }
  }
  return object;
}

// ---- Errors ----

namespace {

// errno to the Windows error code, for any call and where it differs for an open (CreateFileA
// of a file or a device). 0 in the open column: as for any call.
struct ErrnoRow {
  int err;
  DWORD any;
  DWORD open;
};
constexpr ErrnoRow kErrnoTable[] = {
    {0, ERROR_SUCCESS, 0},
    {ENOENT, ERROR_FILE_NOT_FOUND, 0},  // an open with no folder: ERROR_PATH_NOT_FOUND
    {ENOTDIR, ERROR_PATH_NOT_FOUND, 0},
    {ENAMETOOLONG, ERROR_PATH_NOT_FOUND, 0},
    {ELOOP, ERROR_PATH_NOT_FOUND, 0},
    {EACCES, ERROR_ACCESS_DENIED, 0},
    {EPERM, ERROR_ACCESS_DENIED, 0},
    {EROFS, ERROR_ACCESS_DENIED, 0},
    {EISDIR, ERROR_ACCESS_DENIED, 0},
    // Held by another open: a device opened exclusively (TIOCEXCL), a lock (flock), a running
    // program's file.
    {EBUSY, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION},
    {EWOULDBLOCK, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION},
    {ETXTBSY, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION},
    {EEXIST, ERROR_ALREADY_EXISTS, ERROR_FILE_EXISTS},
    {ENOTEMPTY, ERROR_ALREADY_EXISTS, 0},
    {EBADF, ERROR_INVALID_HANDLE, 0},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY, 0},
    {EINVAL, ERROR_INVALID_PARAMETER, 0},
    {ERANGE, ERROR_INVALID_PARAMETER, 0},
    {ENOTTY, ERROR_NOT_SUPPORTED, 0},
    {ENOSYS, ERROR_NOT_SUPPORTED, 0},
    {EOPNOTSUPP, ERROR_NOT_SUPPORTED, 0},
    // A device that went away; opening a node whose device is not there finds no device.
    {EIO, ERROR_DEVICE_NOT_CONNECTED, 0},
    {ENXIO, ERROR_DEVICE_NOT_CONNECTED, ERROR_FILE_NOT_FOUND},
    {ENODEV, ERROR_DEVICE_NOT_CONNECTED, ERROR_FILE_NOT_FOUND},
    {EPIPE, ERROR_BROKEN_PIPE, 0},
    {ENOSPC, ERROR_DISK_FULL, 0},
    {EXDEV, ERROR_NOT_SAME_DEVICE, 0},
};

const ErrnoRow* FindErrno(int err) {
  for (const ErrnoRow& row : kErrnoTable)
    if (row.err == err) return &row;
  return nullptr;
}

}  // namespace

DWORD ErrorFromErrno(int err) {
  const ErrnoRow* row = FindErrno(err);
  return row ? row->any : ERROR_GEN_FAILURE;
}

DWORD OpenErrorFromErrno(int err, const std::string& path) {
  if (err == ENOENT) return MissingPathError(path);
  const ErrnoRow* row = FindErrno(err);
  if (!row) return ERROR_GEN_FAILURE;
  return row->open ? row->open : row->any;
}

DWORD MissingPathError(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  std::size_t slash = p.find_last_of('/');
  std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : p.substr(0, slash);
  struct stat st;
  return ::stat(parent.c_str(), &st) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

// ---- Fault injection ----

namespace {
struct Fault {
  std::string call;
  DWORD error;
  std::string path;  // empty: any
  HANDLE handle = nullptr;
  int count;  // -1: every call
};
struct FaultList {
  std::mutex mutex;
  std::vector<Fault> faults;
};
FaultList& Faults() {
  static auto* faults = new FaultList;
  return *faults;
}

bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool Match(const char* call, HANDLE handle, const std::string* path) {
  auto& list = Faults();
  std::lock_guard guard(list.mutex);
  for (auto it = list.faults.begin(); it != list.faults.end(); ++it) {
    if (it->call != call) continue;
    if (it->handle && it->handle != handle) continue;
    if (!it->handle && !it->path.empty() && (!path || !SamePath(it->path, *path))) continue;
    DWORD error = it->error;
    if (it->count > 0 && --it->count == 0) list.faults.erase(it);
    SetLastError(error);
    return true;
  }
  return false;
}
}  // namespace

bool Faulted(const char* call, HANDLE handle) {
  {
    auto& list = Faults();
    std::lock_guard guard(list.mutex);
    if (list.faults.empty()) return false;
  }
  std::string path;
  {
    auto& table = Table();
    std::lock_guard guard(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it != table.objects.end()) path = it->second->path;
  }
  return Match(call, handle, &path);
}

bool Faulted(const char* call, const std::string& path) {
  {
    auto& list = Faults();
    std::lock_guard guard(list.mutex);
    if (list.faults.empty()) return false;
  }
  return Match(call, nullptr, &path);
}

}  // namespace platform::detail

namespace platform::testing {

void InjectFault(const std::string& call, DWORD error, const std::string& target, int count) {
  auto& list = detail::Faults();
  std::lock_guard guard(list.mutex);
  list.faults.push_back({call, error, target, nullptr, count});
}

void InjectFault(const std::string& call, DWORD error, HANDLE handle, int count) {
  auto& list = detail::Faults();
  std::lock_guard guard(list.mutex);
  list.faults.push_back({call, error, "", handle, count});
}

void ClearFaults() {
  auto& list = detail::Faults();
  std::lock_guard guard(list.mutex);
  list.faults.clear();
}

}  // namespace platform::testing
