// Events, waits on events, threads and processes, and threads themselves.
#include <sys/syscall.h>
#include <unistd.h>

#include <future>
#include <map>
#include <thread>
#include <vector>

#include "internal.h"

using namespace platform::detail;

namespace {

class EventObject : public Object {
 public:
  EventObject(bool manual, bool signaled)
      : Object(Kind::Event), manual(manual), signaled(signaled) {}
  bool Signaled() const override { return signaled; }
  void Acquired() override {
    if (!manual) signaled = false;
  }
  const bool manual;
  bool signaled;
};

class ThreadObject : public Object {
 public:
  ThreadObject() : Object(Kind::Thread) {}
  bool Signaled() const override { return finished; }
  bool finished = false;
  bool suspended = false;
  DWORD exit_code = STILL_ACTIVE;
};

// Named events, so that a second CreateEventA of a name reaches the same event.
std::map<std::string, std::weak_ptr<EventObject>>& NamedEvents() {
  static auto* events = new std::map<std::string, std::weak_ptr<EventObject>>;
  return *events;
}

std::shared_ptr<EventObject> EventAt(HANDLE handle) {
  return LookupAs<EventObject>(handle, Kind::Event);
}

DWORD CurrentTid() {
  return static_cast<DWORD>(::syscall(SYS_gettid));
}

}  // namespace

namespace platform::detail {

void SignalEventHandle(HANDLE handle) {
  DWORD saved = GetLastError();
  if (auto event = EventAt(handle)) {
    event->signaled = true;
    NotifyChanged();
  }
  SetLastError(saved);
}

void ResetEventHandle(HANDLE handle) {
  DWORD saved = GetLastError();
  if (auto event = EventAt(handle)) event->signaled = false;
  SetLastError(saved);
}

}  // namespace platform::detail

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                    LPCSTR lpName) {
  std::string name = lpName ? lpName : "";
  if (Faulted("CreateEventA", name)) return nullptr;
  Lock lock(Mutex());
  if (!name.empty()) {
    if (auto existing = NamedEvents()[name].lock()) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return NewHandle(existing);
    }
  }
  auto event = std::make_shared<EventObject>(bManualReset != FALSE, bInitialState != FALSE);
  if (!name.empty()) NamedEvents()[name] = event;
  SetLastError(ERROR_SUCCESS);
  return NewHandle(event);
}

BOOL SetEvent(HANDLE hEvent) {
  auto event = EventAt(hEvent);
  if (!event || Faulted("SetEvent", hEvent)) return FALSE;
  Lock lock(Mutex());
  event->signaled = true;
  NotifyChanged();
  return TRUE;
}

BOOL ResetEvent(HANDLE hEvent) {
  auto event = EventAt(hEvent);
  if (!event || Faulted("ResetEvent", hEvent)) return FALSE;
  Lock lock(Mutex());
  event->signaled = false;
  return TRUE;
}

DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                             DWORD dwMilliseconds) {
  if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<Object>> objects;
  for (DWORD i = 0; i < nCount; ++i) {
    auto object = Lookup(lpHandles[i]);
    if (!object) return WAIT_FAILED;
    if (!object->Waitable()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects.push_back(std::move(object));
  }
  const char* call = nCount == 1 ? "WaitForSingleObject" : "WaitForMultipleObjects";
  for (DWORD i = 0; i < nCount; ++i)
    if (Faulted(call, lpHandles[i])) return WAIT_FAILED;
  std::uint64_t deadline = DeadlineAfterMs(dwMilliseconds);
  Lock lock(Mutex());
  DWORD result = WAIT_TIMEOUT;
  auto ready = [&] {
    if (bWaitAll) {
      for (auto& object : objects)
        if (!object->Signaled()) return false;
      for (auto& object : objects) object->Acquired();
      result = WAIT_OBJECT_0;
      return true;
    }
    // The lowest signalled index wins.
    for (DWORD i = 0; i < nCount; ++i) {
      if (objects[i]->Signaled()) {
        objects[i]->Acquired();
        result = WAIT_OBJECT_0 + i;
        return true;
      }
    }
    return false;
  };
  WaitUntil(lock, ready, deadline);
  return result;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, std::size_t dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                    DWORD dwCreationFlags, LPDWORD lpThreadId) {
  if (!lpStartAddress) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (Faulted("CreateThread", std::string())) return nullptr;
  auto object = std::make_shared<ThreadObject>();
  object->suspended = dwCreationFlags & CREATE_SUSPENDED;
  auto started = std::make_shared<std::promise<DWORD>>();
  auto tid = started->get_future();
  try {
    std::thread([object, lpStartAddress, lpParameter, started] {
      started->set_value(CurrentTid());
      {
        Lock lock(Mutex());
        WaitUntil(
            lock, [&] { return !object->suspended; }, kForever, false);
      }
      DWORD code = lpStartAddress(lpParameter);
      Lock lock(Mutex());
      object->exit_code = code;
      object->finished = true;
      NotifyChanged();
    }).detach();
  } catch (const std::system_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  DWORD id = tid.get();
  if (lpThreadId) *lpThreadId = id;
  return NewHandle(object);
}

DWORD ResumeThread(HANDLE hThread) {
  auto thread = LookupAs<ThreadObject>(hThread, Kind::Thread);
  if (!thread) return static_cast<DWORD>(-1);
  Lock lock(Mutex());
  DWORD previous = thread->suspended ? 1 : 0;
  thread->suspended = false;
  NotifyChanged();
  return previous;
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  auto thread = LookupAs<ThreadObject>(hThread, Kind::Thread);
  if (!thread) return FALSE;
  if (!lpExitCode) return Fail(ERROR_INVALID_PARAMETER);
  Lock lock(Mutex());
  *lpExitCode = thread->exit_code;
  return TRUE;
}

DWORD GetCurrentThreadId() {
  return CurrentTid();
}
