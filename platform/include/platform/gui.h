// What a GUI layer hands the platform layer: the windows that receive posted and sent messages
// (PostMessageA, SendMessageA) and where a beep sounds.
#pragma once

#include <functional>

#include "platform/windows.h"

namespace platform {

// Window message delivery. The GUI layer registers a window handle with a function that posts
// (queues for the GUI thread) and one that sends (runs on the GUI thread and waits).
struct WindowMessageTarget {
  std::function<void(UINT, WPARAM, LPARAM)> post;
  std::function<LRESULT(UINT, WPARAM, LPARAM)> send;
};
void RegisterWindow(HWND hwnd, WindowMessageTarget target);
void UnregisterWindow(HWND hwnd);

// Where a beep sounds (the Qt widget set installs one); empty: no sound. Every beep is also
// recorded for tests.
void SetBeepSink(std::function<void(DWORD frequency, DWORD duration)> sink);

}  // namespace platform
