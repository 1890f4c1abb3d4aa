// Shared internals of the platform layer: the handle table, the one lock and condition that
// every waitable state change goes through, waits on the current clock, timers, errno mapping
// and fault injection.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/windows.h"

namespace platform::detail {

constexpr std::uint64_t kForever = UINT64_MAX;

// The lock over the state of events, threads, processes and ports. Device callbacks of the
// simulated backend run under it, so it is recursive; nobody waits while holding it twice.
using Lock = std::unique_lock<std::recursive_mutex>;
std::recursive_mutex& Mutex();
// Notified (all waiters) whenever something a wait may look at has changed.
void NotifyChanged();

// Microseconds on the current clock.
std::uint64_t NowUs();
// Microseconds on the real (steady) clock, whatever clock is installed.
std::uint64_t RealNowUs();
// The deadline `ms` from now on the current clock; INFINITE gives kForever.
std::uint64_t DeadlineAfterMs(DWORD ms);

// Waits, with `lock` held on entry and exit, until done() or the deadline (current clock). On
// a virtual clock the wait moves time on from one scheduled event to the next (virtual_time);
// without it, and on the real clock, it blocks until another thread changes something.
bool WaitUntil(Lock& lock, const std::function<bool()>& done, std::uint64_t deadline_us,
               bool virtual_time = true);

// Bumped whenever the current clock is replaced; timers remember it to tell a stale clock.
std::uint64_t ClockEpoch();

// One pending callback on the current clock (virtual: a scheduled event; real: a timer
// thread). Scheduling again replaces the pending one; the callback runs without the lock.
class Timer {
 public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  void At(std::uint64_t at_us, std::function<void()> fn);
  void Cancel();
  // Time of the pending callback, kForever when none.
  std::uint64_t When() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

// ---- Handles ----
enum class Kind { Event, Thread, Process, File, Comm };

class Object {
 public:
  explicit Object(Kind kind) : kind(kind) {}
  virtual ~Object() = default;
  // Under Mutex().
  virtual bool Signaled() const { return false; }
  // A wait was satisfied by this object (auto-reset events reset).
  virtual void Acquired() {}
  // The last handle to the object is being closed; false fails CloseHandle.
  virtual bool Close() { return true; }
  bool Waitable() const {
    return kind == Kind::Event || kind == Kind::Thread || kind == Kind::Process;
  }

  const Kind kind;
  std::string path;  // what it was opened from (fault targets); empty for events and threads
};

HANDLE NewHandle(std::shared_ptr<Object> object);
// A second handle to the same object (the primary thread handle of a process).
HANDLE DuplicateHandleTo(const std::shared_ptr<Object>& object);
// The object behind a handle; null (and ERROR_INVALID_HANDLE) when there is none.
std::shared_ptr<Object> Lookup(HANDLE handle);
template <class T>
std::shared_ptr<T> LookupAs(HANDLE handle, Kind kind) {
  auto object = Lookup(handle);
  if (!object) return nullptr;
  if (object->kind != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return std::static_pointer_cast<T>(object);
}
// Removes the handle; the object when this was its last handle, else null.
std::shared_ptr<Object> RemoveHandle(HANDLE handle, bool& was_last, bool& found);

// Events by handle, for completions of overlapped operations (sync.cpp); bad handles are
// ignored. Under Mutex().
void SignalEventHandle(HANDLE event);
void ResetEventHandle(HANDLE event);

// ---- Errors ----
// The one errno table (core.cpp): the code for any call, and for an open (CreateFileA) of the
// POSIX path `path`, where a lock or an exclusive device is a sharing violation, a node without
// its device is not found, and a missing folder on the way is ERROR_PATH_NOT_FOUND.
DWORD ErrorFromErrno(int err);
DWORD OpenErrorFromErrno(int err, const std::string& path);
// ENOENT on `path`: ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND when its folder is missing too.
DWORD MissingPathError(const std::string& path);
// Sets the last error and returns FALSE, for one-line failure returns.
inline BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}
inline BOOL FailErrno(int err) {
  return Fail(ErrorFromErrno(err));
}

// ---- Fault injection ----
// True, with the fault's error as the last error, when a fault injected for `call` matches
// this handle (or the path it was opened from), or this path.
bool Faulted(const char* call, HANDLE handle);
bool Faulted(const char* call, const std::string& path);

// ---- Paths ----
// The root that device paths of the default COM assignment are probed under ("" = "/").
std::string DeviceRoot();
// The Windows form of a POSIX path under a drive folder ("C:\Tc"), else the path itself.
std::string UnmapPath(const std::string& posix_path);
// Case-insensitive "COMn" (with or without the "\\.\" prefix) to n; 0 when it is no COM name.
int ComNumber(const std::string& name);

// ---- Simulated comm backend (sim.cpp) ----
// Port numbers with an attached, present simulated device.
std::vector<int> AttachedSimPorts();
bool SimAttached(int number);
// Opens the simulated device of port `number`; null with the last error set on failure.
std::shared_ptr<Object> OpenSimPort(int number, const std::string& path, bool overlapped);
// Opens a tty device; null with the last error set on failure (tty.cpp).
std::shared_ptr<Object> OpenTtyPort(const std::string& device, const std::string& path,
                                    bool overlapped);

}  // namespace platform::detail
