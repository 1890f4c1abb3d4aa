// The handle table, the last error, the shared lock and waits, errno mapping, fault injection.
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

DWORD ErrorFromErrno(int err) {
  switch (err) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBUSY:
    case EWOULDBLOCK:
    case ETXTBSY:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
    case ENOTEMPTY:
      return ERROR_ALREADY_EXISTS;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
    case ERANGE:
      return ERROR_INVALID_PARAMETER;
    case ENOTTY:
    case ENOSYS:
    case EOPNOTSUPP:
      return ERROR_NOT_SUPPORTED;
    case EIO:
    case ENXIO:
    case ENODEV:
      return ERROR_DEVICE_NOT_CONNECTED;
    case EPIPE:
      return ERROR_BROKEN_PIPE;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    default:
      return ERROR_GEN_FAILURE;
  }
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
