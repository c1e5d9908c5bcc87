// The main window's timers, in one table: window timers of the main window (SetTimer
// with its handle, no callback), all ticking into CTunraDlg::OnTimer on the user-
// interface thread. Other windows number their own timers (the connection progress
// dialog's timer 1 never reaches the main window).
#pragma once

namespace app {

enum MainTimer : unsigned {
  kTimerSupervise = 1,       // the tunnel check, every second while a tunnel starts or runs
  kTimerServiceTime = 3,     // connected time and the service-time countdown
  kTimerReconnect = 12,      // reconnect interval: counts attempts
  kTimerReconnectWait = 13,  // one-shot wait after a reconnect tick
  kTimerTrayRetry = 20,      // adds the tray icon again until the shell takes it
  kTimerNotices = 21,        // polls for the end of a full screen while a notice waits
};

struct MainTimerInfo {
  MainTimer id;
  const char* name;
  unsigned periodMs;  // 0: the period is given by who arms it
};

inline constexpr MainTimerInfo kMainTimers[] = {
    {kTimerSupervise, "TIMER_SUPERVISE", 1000},
    {kTimerServiceTime, "TIMER_SERVICE_TIME", 1000},
    {kTimerReconnect, "TIMER_RECONNECT", 0},  // the reconnect interval, in seconds x 1000
    {kTimerReconnectWait, "TIMER_RECONNECT_WAIT", 20000},
    // At logon the notification area may not exist yet when the client starts.
    {kTimerTrayRetry, "TIMER_TRAY_RETRY", 2000},
    // Armed only while a timer's message waits for another program's full screen to end.
    {kTimerNotices, "TIMER_NOTICES", 1000},
};

constexpr unsigned TimerPeriod(MainTimer id) {
  for (const MainTimerInfo& t : kMainTimers)
    if (t.id == id) return t.periodMs;
  return 0;
}

}  // namespace app
