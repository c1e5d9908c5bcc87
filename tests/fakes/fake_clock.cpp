#include "fakes/fake_clock.h"

namespace fakes {

void FakeTimerQueue::Set(const void* owner, unsigned id, unsigned periodMs, Fire fire) {
  timers_[{owner, id}] = Timer{periodMs, nowMs_ + periodMs, serial_++, std::move(fire)};
}

void FakeTimerQueue::Kill(const void* owner, unsigned id) { timers_.erase({owner, id}); }

bool FakeTimerQueue::IsArmed(const void* owner, unsigned id) const {
  return timers_.count({owner, id}) != 0;
}

unsigned FakeTimerQueue::Period(const void* owner, unsigned id) const {
  auto it = timers_.find({owner, id});
  return it == timers_.end() ? 0 : it->second.period;
}

void FakeTimerQueue::Advance(std::uint64_t ms) {
  const std::uint64_t target = nowMs_ + ms;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due > target) continue;
      if (next == timers_.end() || it->second.due < next->second.due ||
          (it->second.due == next->second.due && it->second.serial < next->second.serial))
        next = it;
    }
    if (next == timers_.end()) break;
    nowMs_ = next->second.due;
    // Re-arm before firing: the handler may kill or re-set the timer.
    next->second.due += next->second.period == 0 ? 1 : next->second.period;
    next->second.serial = serial_++;
    Fire fire = next->second.fire;
    if (fire) fire(next->first.second);
  }
  nowMs_ = target;
}

namespace {

// Civil date from days since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(long long z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yy + (m <= 2));
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

bool FakeClock::MakeLocalTime(const std::tm& local, std::time_t& out) {
  // Normalised as mktime does: months and days past their ends carry over.
  long long year = 1900LL + local.tm_year + local.tm_mon / 12;
  int month = local.tm_mon % 12;
  if (month < 0) {
    month += 12;
    --year;
  }
  const long long days = DaysFromCivil(year, static_cast<unsigned>(month + 1), 1) + local.tm_mday - 1;
  const long long t = days * 86400 + local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec - offset_;
  if (t < 0) return false;  // as the Windows runtime's mktime
  out = static_cast<std::time_t>(t);
  return true;
}

bool FakeClock::LocalTime(std::time_t t, std::tm& out) {
  if (t < 0) return false;  // as the Windows runtime's localtime
  const long long local = static_cast<long long>(t) + offset_;
  long long days = local / 86400;
  long long secs = local % 86400;
  if (secs < 0) {
    secs += 86400;
    --days;
  }
  int y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  out = std::tm{};
  out.tm_year = y - 1900;
  out.tm_mon = static_cast<int>(m) - 1;
  out.tm_mday = static_cast<int>(d);
  out.tm_hour = static_cast<int>(secs / 3600);
  out.tm_min = static_cast<int>(secs % 3600 / 60);
  out.tm_sec = static_cast<int>(secs % 60);
  out.tm_wday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  static const int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  out.tm_yday = kBefore[m - 1] + static_cast<int>(d) - 1 + (leap && m > 2 ? 1 : 0);
  out.tm_isdst = 0;
  return true;
}

}  // namespace fakes
