// Timers on the current clock: scheduled events of a virtual clock, or one timer thread for the
// real clock.
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "internal.h"
#include "platform/clock.h"

namespace platform::detail {
namespace {

// Callbacks at real times, in time order, on one thread that lives as long as the process.
class RealTimers {
 public:
  static RealTimers& Get() {
    static auto* timers = new RealTimers;
    return *timers;
  }
  std::uint64_t Add(std::uint64_t at_us, std::function<void()> fn) {
    std::lock_guard guard(mutex_);
    if (!started_) {
      started_ = true;
      std::thread([this] { Run(); }).detach();
    }
    std::uint64_t id = next_id_++;
    events_.emplace(std::make_pair(at_us, id), std::move(fn));
    times_[id] = at_us;
    condition_.notify_one();
    return id;
  }
  void Remove(std::uint64_t id) {
    std::lock_guard guard(mutex_);
    auto it = times_.find(id);
    if (it == times_.end()) return;
    events_.erase({it->second, id});
    times_.erase(it);
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (events_.empty()) {
        condition_.wait(lock);
        continue;
      }
      auto first = events_.begin();
      std::uint64_t now = RealNowUs();
      if (first->first.first > now) {
        condition_.wait_for(lock, std::chrono::microseconds(first->first.first - now));
        continue;
      }
      auto node = events_.extract(first);
      times_.erase(node.key().second);
      lock.unlock();
      node.mapped()();
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable condition_;
  bool started_ = false;
  std::uint64_t next_id_ = 1;
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::function<void()>> events_;
  std::map<std::uint64_t, std::uint64_t> times_;
};

}  // namespace

struct Timer::State {
  std::mutex mutex;
  std::uint64_t generation = 0;
  std::uint64_t when = kForever;
  VirtualClock* clock = nullptr;  // null: the real timers
  std::uint64_t epoch = 0;
  std::uint64_t id = 0;
};

Timer::Timer() : state_(std::make_shared<State>()) {}
Timer::~Timer() {
  Cancel();
}

void Timer::At(std::uint64_t at_us, std::function<void()> fn) {
  Cancel();
  std::lock_guard guard(state_->mutex);
  std::uint64_t generation = ++state_->generation;
  state_->when = at_us;
  std::weak_ptr<State> weak = state_;
  // A callback that was replaced or cancelled meanwhile does nothing.
  auto wrapped = [weak, generation, fn = std::move(fn)] {
    auto state = weak.lock();
    if (!state) return;
    {
      std::lock_guard guard(state->mutex);
      if (state->generation != generation) return;
      state->when = kForever;
      state->id = 0;
    }
    fn();
  };
  if (auto* clock = dynamic_cast<VirtualClock*>(&CurrentClock())) {
    state_->clock = clock;
    state_->epoch = ClockEpoch();
    state_->id = clock->Schedule(at_us, std::move(wrapped));
  } else {
    state_->clock = nullptr;
    state_->id = RealTimers::Get().Add(at_us, std::move(wrapped));
  }
}

void Timer::Cancel() {
  std::lock_guard guard(state_->mutex);
  ++state_->generation;
  state_->when = kForever;
  if (state_->id == 0) return;
  if (!state_->clock) {
    RealTimers::Get().Remove(state_->id);
  } else if (state_->clock == &CurrentClock() && state_->epoch == ClockEpoch()) {
    // Only a clock that is still installed is known to be alive.
    state_->clock->Cancel(state_->id);
  }
  state_->id = 0;
}

std::uint64_t Timer::When() const {
  std::lock_guard guard(state_->mutex);
  return state_->when;
}

}  // namespace platform::detail
