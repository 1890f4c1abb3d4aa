// The simulated comm backend: an in-process device on the far end of a "\\.\COMn" handle.
// A test attaches a Device under a port name; CreateFileA of that port then talks to it instead
// of a tty. Bytes travel at the line's character time (10 bits per byte at the host's rate) on the
// current clock, so with a VirtualClock every exchange is deterministic.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace platform::sim {

struct LineSettings {
  std::uint32_t baud = 9600;
  std::uint8_t byte_size = 8;
  std::uint8_t parity = 0;     // NOPARITY ...
  std::uint8_t stop_bits = 0;  // ONESTOPBIT ...
  bool operator==(const LineSettings&) const = default;
};

// The device's end of the cable, handed to the device in every callback.
class Line {
 public:
  virtual ~Line() = default;
  // Queues bytes towards the host. The first byte starts after delay_us; each byte takes one
  // character time at the host's current rate; bytes queued while earlier ones are still on the
  // wire follow them. A byte reaches the host's receive buffer when its transfer ends.
  virtual void Send(std::span<const std::uint8_t> bytes, std::uint64_t delay_us = 0) = 0;
  // What the host has set on its handle (SetCommState).
  virtual LineSettings HostSettings() const = 0;
  virtual bool Rts() const = 0;
  virtual bool Dtr() const = 0;
  // Modem status lines the host reads with GetCommModemStatus / waits on with WaitCommEvent.
  virtual void SetModemStatus(std::uint32_t ms_bits) = 0;
  // The device disappears: pending and later host calls on the handle fail; nothing hangs.
  virtual void Vanish() = 0;
  virtual Clock& clock() = 0;
};

// Callbacks run under the platform's lock, on the thread that moved time on (a host call, a
// Sleep, or on the real clock the timer thread): they must not block or call blocking Win32
// functions; Line calls from them are fine. Install a virtual clock before opening the port.
class Device {
 public:
  virtual ~Device() = default;
  virtual void OnOpen(Line& line) {}
  // One byte from the host, at the moment its transfer ended. `settings` are the host's line
  // settings while it travelled: a device that only answers at its own rate compares them.
  virtual void OnByte(Line& line, std::uint8_t byte, const LineSettings& settings) = 0;
  virtual void OnSettingsChanged(Line& line, const LineSettings& settings) {}
  virtual void OnModemLines(Line& line, bool rts, bool dtr) {}
  virtual void OnClose(Line& line) {}
};

// Attaches a device under a port name ("COM1".."COM256"); it takes precedence over the prefix's
// tty mapping for that name and shows in the COM port list. The backend keeps a reference.
void Attach(const std::string& port_name, std::shared_ptr<Device> device);
void Detach(const std::string& port_name);
void DetachAll();

}  // namespace platform::sim
