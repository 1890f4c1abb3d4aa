#include "sim/tracker_device.h"

namespace sim {

void TrackerDevice::OnByte(platform::sim::Line& line, std::uint8_t byte,
                           const platform::sim::LineSettings& settings) {
  const Response r = Receive(byte, line.clock().NowUs(), settings);
  for (const Transmission& t : r.sends) line.Send(t.bytes, t.delay_us);
  if (r.vanish) line.Vanish();
}

void TrackerDevice::Vanish() {
  if (line_ != nullptr) line_->Vanish();
}

}  // namespace sim
