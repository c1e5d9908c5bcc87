// A settable clock with a queue of window timers that fire as time is advanced.
//
// Windows register their timers here (FakeWindow does); Advance moves time forward
// in order, firing each tick when it is due, so a handler that arms or kills timers
// during a tick sees exactly the later ticks Windows would deliver.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "platform/types.h"

namespace fakes {

class FakeTimerQueue {
 public:
  using Fire = std::function<void(unsigned timerId)>;

  // SetTimer semantics: arming a running timer restarts it with the new period.
  void Set(const void* owner, unsigned id, unsigned periodMs, Fire fire);
  void Kill(const void* owner, unsigned id);
  bool IsArmed(const void* owner, unsigned id) const;
  unsigned Period(const void* owner, unsigned id) const;  // 0 when not armed

  std::uint64_t NowMs() const { return nowMs_; }
  // Fires every tick due up to now + ms, in time order (ties in arming order).
  void Advance(std::uint64_t ms);

 private:
  struct Timer {
    unsigned period;
    std::uint64_t due;
    std::uint64_t serial;
    Fire fire;
  };
  using Key = std::pair<const void*, unsigned>;
  std::map<Key, Timer> timers_;
  std::uint64_t nowMs_ = 0;
  std::uint64_t serial_ = 0;
};

class FakeClock : public platform::IClock {
 public:
  // Starts at `now` (seconds since 1970); local time is UTC + utcOffsetSeconds.
  explicit FakeClock(std::time_t now = 1700000000, long utcOffsetSeconds = 9 * 3600)
      : start_(now), offset_(utcOffsetSeconds) {}

  std::time_t Now() override {
    return start_ + static_cast<std::time_t>(timers.NowMs() / 1000);
  }
  bool LocalTime(std::time_t t, std::tm& out) override;
  bool MakeLocalTime(const std::tm& local, std::time_t& out) override;
  long SetLocalTime(const platform::SystemTime& time) override {
    setTimes.push_back(time);
    return setLocalTimeResult;
  }

  // Moves the clock forward, firing the timers due on the way.
  void Advance(std::uint64_t ms) { timers.Advance(ms); }
  // Jumps to a new "now" without firing timers (the user changed the clock).
  void Set(std::time_t now) { start_ = now - static_cast<std::time_t>(timers.NowMs() / 1000); }

  FakeTimerQueue timers;
  long setLocalTimeResult = platform::kErrorSuccess;
  std::vector<platform::SystemTime> setTimes;

 private:
  std::time_t start_;
  long offset_;
};

}  // namespace fakes
