// The tracker simulator on the far end of a simulated COM port:
//   auto tracker = std::make_shared<sim::TrackerDevice>();
//   platform::sim::Attach("COM1", tracker);
// Replies go out through the line with their delays; the line paces them at the host's rate.
#pragma once

#include "platform/sim_comm.h"
#include "sim/tracker_sim.h"

namespace sim {

class TrackerDevice : public TrackerSim, public platform::sim::Device {
 public:
  using TrackerSim::TrackerSim;

  void OnOpen(platform::sim::Line& line) override { line_ = &line; }
  void OnClose(platform::sim::Line& line) override { line_ = nullptr; }
  void OnByte(platform::sim::Line& line, std::uint8_t byte,
              const platform::sim::LineSettings& settings) override;

  // The device disappears now (while the host has the port open): the host's calls fail.
  void Vanish();
  bool connected() const { return line_ != nullptr; }

 private:
  platform::sim::Line* line_ = nullptr;
};

}  // namespace sim
