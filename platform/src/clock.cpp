#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "internal.h"

namespace platform {
namespace {

class RealClock : public Clock {
 public:
  std::uint64_t NowUs() override { return detail::RealNowUs(); }
  void SleepUs(std::uint64_t us) override {
    std::this_thread::sleep_for(std::chrono::microseconds(us));
  }
};

RealClock real_clock;
std::atomic<Clock*> current_clock{&real_clock};
std::atomic<std::uint64_t> clock_epoch{1};

}  // namespace

struct VirtualClock::Impl {
  std::recursive_mutex mutex;
  std::uint64_t now = 0;
  std::uint32_t tick_offset = 0;
  EventId next_id = 1;
  // Ordered by (time, id): ties run in scheduling order.
  std::map<std::pair<std::uint64_t, EventId>, std::function<void()>> events;
};

VirtualClock::VirtualClock() : impl_(std::make_unique<Impl>()) {}
VirtualClock::~VirtualClock() = default;

std::uint64_t VirtualClock::NowUs() {
  std::lock_guard lock(impl_->mutex);
  return impl_->now;
}

void VirtualClock::SleepUs(std::uint64_t us) {
  AdvanceTo(NowUs() + us);
}

VirtualClock::EventId VirtualClock::Schedule(std::uint64_t at_us, std::function<void()> fn) {
  std::lock_guard lock(impl_->mutex);
  EventId id = impl_->next_id++;
  impl_->events.emplace(std::make_pair(std::max(at_us, impl_->now), id), std::move(fn));
  return id;
}

void VirtualClock::Cancel(EventId id) {
  std::lock_guard lock(impl_->mutex);
  for (auto it = impl_->events.begin(); it != impl_->events.end(); ++it) {
    if (it->first.second == id) {
      impl_->events.erase(it);
      return;
    }
  }
}

std::uint64_t VirtualClock::NextEventUs() {
  std::lock_guard lock(impl_->mutex);
  return impl_->events.empty() ? UINT64_MAX : impl_->events.begin()->first.first;
}

void VirtualClock::AdvanceTo(std::uint64_t t_us) {
  std::unique_lock lock(impl_->mutex);
  while (!impl_->events.empty() && impl_->events.begin()->first.first <= t_us) {
    auto node = impl_->events.extract(impl_->events.begin());
    if (node.key().first > impl_->now) impl_->now = node.key().first;
    // The callback runs without the clock's lock: it may take other locks, whose holders may
    // be scheduling events on another thread.
    lock.unlock();
    node.mapped()();
    lock.lock();
  }
  if (t_us > impl_->now) impl_->now = t_us;
}

void VirtualClock::SetTickOffset(std::uint32_t ms) {
  std::lock_guard lock(impl_->mutex);
  impl_->tick_offset = ms;
}

std::uint32_t VirtualClock::TickOffset() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->tick_offset;
}

Clock& CurrentClock() {
  return *current_clock.load();
}

void SetClock(Clock* clock) {
  current_clock.store(clock ? clock : &real_clock);
  ++clock_epoch;
}

namespace detail {
std::uint64_t ClockEpoch() {
  return clock_epoch.load();
}
}  // namespace detail

std::uint32_t CurrentTickOffset() {
  if (auto* v = dynamic_cast<VirtualClock*>(current_clock.load())) return v->TickOffset();
  return 0;
}

ScopedVirtualClock::ScopedVirtualClock() : previous_(&CurrentClock()) {
  SetClock(&clock_);
}
ScopedVirtualClock::~ScopedVirtualClock() {
  SetClock(previous_);
}

}  // namespace platform
