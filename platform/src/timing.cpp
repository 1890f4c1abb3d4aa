#include <cstdint>

#include "platform/clock.h"
#include "platform/windows.h"

DWORD GetTickCount() {
  auto ms = platform::CurrentClock().NowUs() / 1000;
  return static_cast<DWORD>(ms) + platform::CurrentTickOffset();
}

void Sleep(DWORD dwMilliseconds) {
  platform::CurrentClock().SleepUs(static_cast<std::uint64_t>(dwMilliseconds) * 1000);
}
