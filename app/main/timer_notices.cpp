#include "app/main/timer_notices.h"

#include <string>
#include <utility>

#include "app/main/main_timers.h"

namespace app {

bool CTimerNotices::Quiet() {
  const int state = shell_.QueryUserNotificationState();
  if (state == platform::kQunsBusy || state == platform::kQunsRunningD3dFullScreen ||
      state == platform::kQunsPresentationMode)
    return true;
  // Some shells (and Wine) answer "accepts notifications" under a game in a borderless
  // full-screen window: the window itself tells.
  return shell_.ForegroundCoversMonitor(window_.Handle());
}

void CTimerNotices::Show(const std::string& text, const std::string& caption, bool balloon,
                         std::function<void()> after) {
  // A box waiting before this one keeps its turn.
  if (queue_.empty() && !showing_ && !Quiet()) {
    window_.MessageBox(text, caption, platform::kMbOk);
    if (after) after();
    return;
  }
  if (balloon) tray_.ShowBalloon(caption, text, platform::kNiifWarning);
  log_.Write("notice waits for the full screen to end: " + caption);
  queue_.push_back({text, caption, std::move(after)});
  window_.SetTimer(kTimerNotices, TimerPeriod(kTimerNotices));
}

void CTimerNotices::OnPoll() {
  if (showing_) return;  // a tick from inside an open box's loop
  if (queue_.empty()) {
    window_.KillTimer(kTimerNotices);
    return;
  }
  if (Quiet()) return;
  showing_ = true;
  while (!queue_.empty()) {
    Notice notice = std::move(queue_.front());
    queue_.pop_front();
    const std::uint32_t generation = generation_;
    log_.Write("notice shown after the full screen: " + notice.caption);
    window_.MessageBox(notice.text, notice.caption, platform::kMbOk);
    if (generation != generation_) break;  // the program ended or logged out meanwhile
    if (notice.after) notice.after();
    // A game back in front between two boxes: the rest waits again.
    if (!queue_.empty() && Quiet()) break;
  }
  showing_ = false;
  if (queue_.empty()) window_.KillTimer(kTimerNotices);
}

void CTimerNotices::Drop() {
  if (!queue_.empty()) log_.Write("waiting notices dropped: " + std::to_string(queue_.size()));
  queue_.clear();
  ++generation_;
  window_.KillTimer(kTimerNotices);
}

}  // namespace app
