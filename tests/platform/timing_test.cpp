#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/gui.h"
#include "platform/testing.h"
#include "platform/windows.h"

namespace {

TEST(Timing, TickCountIsMillisecondsAndWrapsAt32Bits) {
  platform::ScopedVirtualClock clock;
  clock->SetTickOffset(0xFFFFFFFFu - 50);
  DWORD t0 = GetTickCount();
  Sleep(100);
  DWORD t1 = GetTickCount();
  EXPECT_LT(t1, t0);  // wrapped
  EXPECT_EQ(static_cast<DWORD>(t1 - t0), 100u);
}

TEST(Timing, BeepIsRecordedSoundsThroughTheSinkAndTakesItsDuration) {
  platform::ScopedVirtualClock clock;
  platform::testing::ClearBeeps();
  std::vector<std::pair<DWORD, DWORD>> sounded;
  platform::SetBeepSink([&](DWORD f, DWORD d) { sounded.emplace_back(f, d); });
  clock->AdvanceTo(5000);
  ASSERT_TRUE(Beep(1000, 100));
  ASSERT_TRUE(Beep(1000, 50));
  platform::SetBeepSink(nullptr);
  EXPECT_EQ(clock->NowUs(), 5000u + 150000u);
  auto beeps = platform::testing::Beeps();
  ASSERT_EQ(beeps.size(), 2u);
  EXPECT_EQ(beeps[0].frequency, 1000u);
  EXPECT_EQ(beeps[0].duration, 100u);
  EXPECT_EQ(beeps[0].at_us, 5000u);
  EXPECT_EQ(beeps[1].at_us, 105000u);
  EXPECT_EQ(sounded, (std::vector<std::pair<DWORD, DWORD>>{{1000, 100}, {1000, 50}}));
  platform::testing::ClearBeeps();
}

}  // namespace
