// Messages raised by the main window's timers (a dialled link lost, the service over,
// the OpenVPN supervision's failures, the less-than-a-day notice) while the user may
// be in another program. A modal box takes the focus and throws a player out of a
// game running full screen, so while one runs the box waits: a tray balloon (for the
// failures) says what happened at once, and the boxes follow in their order when the
// full screen ends, polled by a 1-s main-window timer armed only while one waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "app/tray/tray_icon.h"
#include "net/diag_log.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace app {

class CTimerNotices {
 public:
  CTimerNotices(platform::IShell& shell, platform::IWindow& window, CTrayIcon& tray, net::IDiagLog& log)
      : shell_(shell), window_(window), tray_(tray), log_(log) {}

  // Shows `text` under `caption` with OK. With no program in full screen (and none
  // waiting before it) the box opens now; otherwise a balloon with the same words
  // (when `balloon`) shows now and the box waits its turn. `after` runs once the box
  // has been answered (the help page after the end of service).
  void Show(const std::string& text, const std::string& caption, bool balloon,
            std::function<void()> after = {});

  // The poll timer's tick: the waiting boxes in order, once nothing runs full screen.
  void OnPoll();

  // The program ends or the user logs out: the waiting boxes are dropped, with the
  // poll and what was to follow them (their balloons have said what happened).
  void Drop();

  // Whether another program runs full screen: the shell's own answer (busy, Direct3D
  // full screen, presentation mode), or a foreground window covering its monitor.
  bool Quiet();

  std::size_t waiting() const { return queue_.size(); }

 private:
  struct Notice {
    std::string text, caption;
    std::function<void()> after;
  };

  platform::IShell& shell_;
  platform::IWindow& window_;
  CTrayIcon& tray_;
  net::IDiagLog& log_;
  std::deque<Notice> queue_;
  bool showing_ = false;        // a waiting box is open: the ticks of its loop wait
  std::uint32_t generation_ = 0;  // counts drops: an answered box of a dropped queue runs nothing
};

}  // namespace app
