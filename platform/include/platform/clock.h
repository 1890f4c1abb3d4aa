// The clock behind GetTickCount, Sleep, Beep and every time-out of the platform layer.
// Programs run on the real clock; tests install a VirtualClock so that long time-outs pass in
// microseconds and simulated devices answer at exact, repeatable times.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic time in microseconds.
  virtual std::uint64_t NowUs() = 0;
  // Blocks the calling thread for the given time (virtual: advances time, running due events).
  virtual void SleepUs(std::uint64_t us) = 0;
};

// Discrete-event time for single-threaded tests. Time only moves when the thread that runs the
// code under test sleeps or waits; scheduled callbacks run in time order (ties in the order they
// were scheduled) when time reaches them.
class VirtualClock : public Clock {
 public:
  VirtualClock();
  ~VirtualClock() override;
  std::uint64_t NowUs() override;
  void SleepUs(std::uint64_t us) override;

  using EventId = std::uint64_t;
  EventId Schedule(std::uint64_t at_us, std::function<void()> fn);
  void Cancel(EventId id);
  // Time of the earliest scheduled callback, or UINT64_MAX when none.
  std::uint64_t NextEventUs();
  // Runs callbacks due up to t and sets the time to t (never backwards).
  void AdvanceTo(std::uint64_t t_us);
  // Offset added to the tick count (milliseconds) so tests can start near the 32-bit wrap.
  void SetTickOffset(std::uint32_t ms);
  std::uint32_t TickOffset() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The clock in use; the real clock unless a test installed another. Not owned.
Clock& CurrentClock();
void SetClock(Clock* clock);  // nullptr restores the real clock
// The tick offset of the current clock (0 for the real clock).
std::uint32_t CurrentTickOffset();

// Installs a virtual clock for the lifetime of the object.
class ScopedVirtualClock {
 public:
  ScopedVirtualClock();
  ~ScopedVirtualClock();
  VirtualClock& clock() { return clock_; }
  VirtualClock* operator->() { return &clock_; }

 private:
  VirtualClock clock_;
  Clock* previous_;
};

}  // namespace platform
