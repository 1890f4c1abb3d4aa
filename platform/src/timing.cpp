// The tick count, Sleep and Beep, all on the current clock.
#include <cstdint>
#include <mutex>
#include <vector>

#include "internal.h"
#include "platform/clock.h"
#include "platform/gui.h"
#include "platform/testing.h"
#include "platform/windows.h"

namespace {

struct Beeper {
  std::mutex mutex;
  std::vector<platform::testing::BeepRecord> records;
  std::function<void(DWORD, DWORD)> sink;
};

Beeper& TheBeeper() {
  static auto* beeper = new Beeper;
  return *beeper;
}

}  // namespace

DWORD GetTickCount() {
  auto ms = platform::CurrentClock().NowUs() / 1000;
  return static_cast<DWORD>(ms) + platform::CurrentTickOffset();
}

void Sleep(DWORD dwMilliseconds) {
  platform::CurrentClock().SleepUs(static_cast<std::uint64_t>(dwMilliseconds) * 1000);
}

// Sounds through the sink when a GUI has set one, and takes its duration like the speaker does.
BOOL Beep(DWORD dwFreq, DWORD dwDuration) {
  if (platform::detail::Faulted("Beep", std::string())) return FALSE;
  std::function<void(DWORD, DWORD)> sink;
  {
    auto& beeper = TheBeeper();
    std::lock_guard guard(beeper.mutex);
    beeper.records.push_back({dwFreq, dwDuration, platform::CurrentClock().NowUs()});
    sink = beeper.sink;
  }
  if (sink) sink(dwFreq, dwDuration);
  Sleep(dwDuration);
  return TRUE;
}

namespace platform::testing {

std::vector<BeepRecord> Beeps() {
  auto& beeper = TheBeeper();
  std::lock_guard guard(beeper.mutex);
  return beeper.records;
}

void ClearBeeps() {
  auto& beeper = TheBeeper();
  std::lock_guard guard(beeper.mutex);
  beeper.records.clear();
}

}  // namespace platform::testing

namespace platform {

void SetBeepSink(std::function<void(DWORD frequency, DWORD duration)> sink) {
  auto& beeper = TheBeeper();
  std::lock_guard guard(beeper.mutex);
  beeper.sink = std::move(sink);
}

}  // namespace platform
