// The connection progress dialog: a status line and a progress bar with a percentage
// caption, shown while a login or a tunnel start runs. The bar is animated by the
// dialog's own timer 1 and advanced by each RAS notification of a dial.
//
// The bar's caption is the text of control 1050; its range, position and colours are
// kept here for the owner-painted bar and sent to the native control as well.
#pragma once

#include <cstdint>
#include <string>

#include "resources/resource_ids.h"
#include "app/main/label_style.h"
#include "app/texts.h"
#include "session/session_record.h"
#include "platform/window.h"

namespace app {

// The dialog's own timer table: one animation timer.
inline constexpr unsigned kTimerProgressAnim = 1;
inline constexpr unsigned kProgressAnimMs = 100;

// The owner-painted bar's colours; the caption colour over the filled part keeps the
// control's default.
struct ProgressBarLook {
  int drawMode;  // 2: two-colour drawing with the caption split where the bar ends
  std::uint32_t backColor, barColor, textOnBackColor;
};
inline constexpr ProgressBarLook kConnProgressLook{2, 0xF3F3F3, 0x0096FF, 0x000000};
inline constexpr LabelStyle kConnStatusStyle{IDC_PROGRESS_STATUS, 0xF9F9F9, kGulim, 11, 0x007AFC, kFontPlain};

// The duration in seconds the bar runs with: `loginDelay`, at least 10 (below that the
// animation's per-percent divisor would be zero) and small enough that ten times it
// fits an int.
int ProgressSeconds(int loginDelay);

// "%3d %%" of `percent`.
std::string PercentCaption(long long percent);

// The progress operations other owners call; showing and hiding the dialog is done on
// its window.
class IConnProgress {
 public:
  virtual ~IConnProgress() = default;
  virtual void ResetProgress() = 0;
  virtual int StartProgress() = 0;
  virtual int StopProgress() = 0;
};

class CVpnConnDlg : public IConnProgress {
 public:
  struct Bar {
    int minValue = 0, maxValue = 100, position = 0;
    std::string caption;
  };

  CVpnConnDlg(const session::SessionRecord& record, platform::IWindow& window) : record_(record), window_(window) {}
  ~CVpnConnDlg() override = default;

  // Position 0 and the waiting caption. Returns true.
  bool OnInitDialog();

  // A fresh run: the range 0 to ten times the duration, position 0, the waiting caption.
  void ResetProgress() override;
  // "접속중....", position 0, the animation timer armed. Returns 0.
  int StartProgress() override;
  // Position 0, the waiting caption, the animation timer killed. Returns 0.
  int StopProgress() override;
  // A RAS notification: its text in the status line, and while `step` is within the
  // duration in thousands of seconds, a step of the bar.
  void ShowDialStep(const std::string& text, int step);
  // WM_TIMER of the dialog: the animation tick for timer 1.
  void OnTimer(unsigned timerId);

  int animTick() const { return anim_tick_; }
  const Bar& bar() const { return bar_; }

 private:
  void SetPosition(int value);
  void SetCaption(const std::string& caption);

  const session::SessionRecord& record_;
  platform::IWindow& window_;
  Bar bar_;
  int anim_tick_ = 0;
};

}  // namespace app
