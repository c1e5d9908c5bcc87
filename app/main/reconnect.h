// The main window's reconnect settings: set by the options dialog, used by the
// supervisor and the IP list panels; not persisted.
#pragma once

#include "app/main/main_timers.h"
#include "platform/window.h"

namespace app {

struct ReconnectSettings {
  int enabled = 0;
  int attempts = 0;
  int interval = 0;  // seconds
  int locked = 0;
  int count = 0;     // reconnect ticks so far
};

// When reconnecting is on: kills timers 12 and 13 of the main window and turns it off,
// so no reconnect tick follows a tunnel the user ended.
inline void StopReconnect(platform::IWindow& mainWindow, ReconnectSettings& reconnect) {
  if (reconnect.enabled != 1) return;
  mainWindow.KillTimer(kTimerReconnect);
  mainWindow.KillTimer(kTimerReconnectWait);
  reconnect.enabled = 0;
}

}  // namespace app
