// The boot loader on the far end of a simulated COM port:
//   auto loader = std::make_shared<sim::BootLoaderDevice>();
//   platform::sim::Attach("COM1", loader);
#pragma once

#include "platform/sim_comm.h"
#include "sim/boot_loader_sim.h"

namespace sim {

class BootLoaderDevice : public BootLoaderSim, public platform::sim::Device {
 public:
  using BootLoaderSim::BootLoaderSim;
  void OnByte(platform::sim::Line& line, std::uint8_t byte,
              const platform::sim::LineSettings& settings) override {
    const Response r = Receive(byte, line.clock().NowUs(), settings);
    for (const Transmission& t : r.sends) line.Send(t.bytes, t.delay_us);
    if (r.vanish) line.Vanish();
  }
};

}  // namespace sim
