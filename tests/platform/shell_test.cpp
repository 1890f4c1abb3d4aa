// Window messages through the registered targets, and the notification-area icon call.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "platform/gui.h"
#include "platform/testing.h"
#include "platform/windows.h"

namespace {

TEST(WindowMessages, PostAndSendReachTheRegisteredWindow) {
  HWND window = reinterpret_cast<HWND>(0x5000);
  std::vector<UINT> posted;
  platform::RegisterWindow(window,
                           {[&](UINT msg, WPARAM, LPARAM) { posted.push_back(msg); },
                            [&](UINT msg, WPARAM w, LPARAM l) -> LRESULT { return msg + w + l; }});
  EXPECT_TRUE(PostMessageA(window, WM_USER + 2, 1003, 0));
  EXPECT_EQ(posted, std::vector<UINT>{WM_USER + 2});
  EXPECT_EQ(SendMessageA(window, WM_USER + 2, 1, 2), WM_USER + 5);
  platform::UnregisterWindow(window);
  EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
}

TEST(NotifyIcon, DeletingAnIconNeverAddedFails) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = reinterpret_cast<HWND>(0x6000);
  data.uID = 1;
  data.uCallbackMessage = WM_USER + 1;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
}

TEST(NotifyIcon, TheRecordOfShellVersionFiveAndTheFirstAreTakenOthersRefused) {
  // After the icon handle: the 128-byte tip, state and mask, the balloon text, time-out,
  // balloon title and flags, as in the version 5 record.
  EXPECT_EQ(sizeof(NOTIFYICONDATAA) - offsetof(NOTIFYICONDATAA, szTip),
            128u + 8 + 256 + 4 + 64 + 4);
  EXPECT_EQ(offsetof(NOTIFYICONDATAA, szInfoTitle) + 64 + 4, sizeof(NOTIFYICONDATAA));
  NOTIFYICONDATAA data{};
  data.hWnd = reinterpret_cast<HWND>(0x6100);
  data.uID = 1;
  struct Case {
    DWORD size;
    bool taken;
  };
  for (const Case& c : {Case{sizeof(NOTIFYICONDATAA), true}, Case{NOTIFYICONDATAA_V1_SIZE, true},
                        Case{sizeof(NOTIFYICONDATAA) - 1, false}, Case{0, false}}) {
    data.cbSize = c.size;
    SetLastError(0);
    EXPECT_EQ(Shell_NotifyIconA(NIM_ADD, &data), c.taken ? TRUE : FALSE) << c.size;
    EXPECT_EQ(GetLastError(), c.taken ? 0u : ERROR_INVALID_PARAMETER) << c.size;
    if (c.taken) {
      EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data)) << c.size;
    }
  }
}

}  // namespace
