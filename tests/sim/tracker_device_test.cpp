#include "sim/tracker_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class FixedClock : public platform::Clock {
 public:
  std::uint64_t NowUs() override { return now; }
  void SleepUs(std::uint64_t us) override { now += us; }
  std::uint64_t now = 0;
};

class FakeLine : public platform::sim::Line {
 public:
  void Send(std::span<const std::uint8_t> bytes, std::uint64_t delay_us) override {
    sends.push_back({delay_us, {bytes.begin(), bytes.end()}});
  }
  platform::sim::LineSettings HostSettings() const override { return {}; }
  bool Rts() const override { return false; }
  bool Dtr() const override { return false; }
  void SetModemStatus(std::uint32_t) override {}
  void Vanish() override { ++vanished; }
  platform::Clock& clock() override { return clock_; }

  FixedClock clock_;
  std::vector<sim::Transmission> sends;
  int vanished = 0;
};

const platform::sim::LineSettings kOwn{115200, 8, 0, 0};

TEST(TrackerDevice, RepliesThroughTheLineAtTheLinesTime) {
  auto device = std::make_shared<sim::TrackerDevice>();
  std::shared_ptr<platform::sim::Device> as_device = device;  // what Attach takes
  FakeLine line;
  device->OnOpen(line);
  line.clock_.now = 12'345;
  device->OnByte(line, 'W', kOwn);
  ASSERT_EQ(line.sends.size(), 1u);
  EXPECT_EQ(line.sends[0], (sim::Transmission{sim::kReplyDelayUs, {'2', '0', '2', '0', '.'}}));
  ASSERT_EQ(device->Received().size(), 1u);
  EXPECT_EQ(device->Received()[0].at_us, 12'345u);

  device->faults().byte_delay_us = 1000;
  line.sends.clear();
  device->OnByte(line, 'M', kOwn);
  EXPECT_EQ(line.sends.size(), 6u);
  EXPECT_EQ(line.sends[5].delay_us, sim::kReplyDelayUs + 5000);
}

TEST(TrackerDevice, VanishesThroughTheLine) {
  sim::TrackerDevice device;
  FakeLine line;
  device.Vanish();  // not connected: nothing to do
  device.OnOpen(line);
  EXPECT_TRUE(device.connected());
  device.Vanish();
  EXPECT_EQ(line.vanished, 1);
  device.faults().vanish_on_byte = 1;
  device.OnByte(line, 'e', kOwn);
  EXPECT_EQ(line.vanished, 2);
  EXPECT_TRUE(line.sends.empty());
  device.OnClose(line);
  EXPECT_FALSE(device.connected());
}

}  // namespace
