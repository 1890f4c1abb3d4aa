// Window messages to the windows the GUI layer registered, and the notification-area icon
// records (no icon is drawn: the programs only remove one they never added).
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "internal.h"
#include "platform/gui.h"
#include "platform/testing.h"

namespace {

std::mutex windows_mutex;
std::map<HWND, platform::WindowMessageTarget>& Windows() {
  static auto* windows = new std::map<HWND, platform::WindowMessageTarget>;
  return *windows;
}

std::mutex icons_mutex;
std::set<std::pair<HWND, UINT>> icons;

bool TargetOf(HWND hwnd, platform::WindowMessageTarget& target) {
  std::lock_guard guard(windows_mutex);
  auto it = Windows().find(hwnd);
  if (it == Windows().end()) return false;
  target = it->second;
  return true;
}

}  // namespace

namespace platform {

void RegisterWindow(HWND hwnd, WindowMessageTarget target) {
  std::lock_guard guard(windows_mutex);
  Windows()[hwnd] = std::move(target);
}

void UnregisterWindow(HWND hwnd) {
  std::lock_guard guard(windows_mutex);
  Windows().erase(hwnd);
}

}  // namespace platform

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  platform::WindowMessageTarget target;
  if (!TargetOf(hWnd, target) || !target.post)
    return platform::detail::Fail(ERROR_INVALID_WINDOW_HANDLE);
  target.post(Msg, wParam, lParam);
  return TRUE;
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  platform::WindowMessageTarget target;
  if (!TargetOf(hWnd, target) || !target.send) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return target.send(Msg, wParam, lParam);
}

BOOL Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
  if (!lpData) return platform::detail::Fail(ERROR_INVALID_PARAMETER);
  // The shell reads as many bytes as cbSize says: only the records it knows are taken.
  if (lpData->cbSize != sizeof(NOTIFYICONDATAA) && lpData->cbSize != NOTIFYICONDATAA_V1_SIZE)
    return platform::detail::Fail(ERROR_INVALID_PARAMETER);
  std::lock_guard guard(icons_mutex);
  auto key = std::make_pair(lpData->hWnd, lpData->uID);
  switch (dwMessage) {
    case NIM_ADD:
      return icons.insert(key).second ? TRUE : FALSE;
    case NIM_MODIFY:
      return icons.count(key) ? TRUE : FALSE;
    case NIM_DELETE:
      // Removing an icon that was never added fails, as the shell does.
      return icons.erase(key) ? TRUE : FALSE;
    default:
      return platform::detail::Fail(ERROR_INVALID_PARAMETER);
  }
}
