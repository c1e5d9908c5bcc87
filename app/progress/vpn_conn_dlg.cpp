#include "app/progress/vpn_conn_dlg.h"

#include <climits>
#include <cstdio>

namespace app {

int ProgressSeconds(int loginDelay) {
  constexpr int kLeast = 10;
  constexpr int kMost = INT_MAX / 10;
  return loginDelay < kLeast ? kLeast : loginDelay > kMost ? kMost : loginDelay;
}

std::string PercentCaption(long long percent) {
  char text[32];
  std::snprintf(text, sizeof text, kProgressPercentFormat, percent);
  return text;
}

bool CVpnConnDlg::OnInitDialog() {
  bar_.position = 0;
  window_.ProgressSetPos(IDC_PROGRESS_BAR, 0);
  SetCaption(kProgressWaitCaption);
  return true;
}

void CVpnConnDlg::SetPosition(int value) {
  // Out of range the bar keeps its place; the native control hears the position anyway.
  if (bar_.minValue <= value && value <= bar_.maxValue) {
    bar_.position = value;
    window_.Redraw(IDC_PROGRESS_BAR);
  }
  window_.ProgressSetPos(IDC_PROGRESS_BAR, bar_.position);
}

void CVpnConnDlg::SetCaption(const std::string& caption) {
  bar_.caption = caption;
  window_.SetText(IDC_PROGRESS_BAR, caption);
}

void CVpnConnDlg::ResetProgress() {
  const int seconds = ProgressSeconds(record_.loginDelay);
  anim_tick_ = seconds / 10;
  bar_.minValue = 0;
  bar_.maxValue = seconds * 10;
  window_.ProgressSetRange(IDC_PROGRESS_BAR, bar_.minValue, bar_.maxValue);
  SetPosition(0);
  SetCaption(kProgressWaitCaption);
  window_.Redraw(IDC_PROGRESS_BAR);
}

int CVpnConnDlg::StartProgress() {
  window_.SetText(IDC_PROGRESS_STATUS, kProgressConnectingText);
  window_.Redraw(IDC_PROGRESS_STATUS);
  SetPosition(0);
  window_.SetTimer(kTimerProgressAnim, kProgressAnimMs);
  return 0;
}

int CVpnConnDlg::StopProgress() {
  SetPosition(0);
  SetCaption(kProgressWaitCaption);
  window_.Redraw(IDC_PROGRESS_BAR);
  window_.KillTimer(kTimerProgressAnim);
  return 0;
}

void CVpnConnDlg::ShowDialStep(const std::string& text, int step) {
  window_.SetText(IDC_PROGRESS_STATUS, text);
  window_.Redraw(IDC_PROGRESS_STATUS);
  const int n = ProgressSeconds(record_.loginDelay) / 1000;
  if (step > n) return;
  SetCaption(PercentCaption(static_cast<long long>(n) * step));
  SetPosition(anim_tick_);
  ++anim_tick_;
}

void CVpnConnDlg::OnTimer(unsigned timerId) {
  if (timerId != kTimerProgressAnim) return;
  // The duration is read on every tick: a login reply may change it while the bar runs.
  const int seconds = ProgressSeconds(record_.loginDelay);
  const int end = seconds * 10;
  // At the end the bar starts over; a counter already past a shortened end, or pushed
  // past it by dial steps, starts over too instead of climbing for ever.
  if (anim_tick_ >= end || anim_tick_ < 0) anim_tick_ = 0;
  SetCaption(PercentCaption(anim_tick_ / (seconds / 10)));
  SetPosition(anim_tick_);
  ++anim_tick_;
  if (anim_tick_ % 2 == 0) window_.Redraw(platform::kSelf);
}

}  // namespace app
