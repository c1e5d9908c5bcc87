// The connection progress dialog on a real window, with the program's own template,
// window procedure and owner-painted bar: its own timer drives the animation, and the
// bar carries the percentage caption the owner drawing shows.
#include "platform/win32/windows_include.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/progress/vpn_conn_dlg.h"
#include "resources/resource_ids.h"
#include "session/session_record.h"
#include "ui/win32/panel_router.h"
#include "ui/win32/progress_ex.h"

namespace {

void PumpFor(DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  MSG message;
  while (::GetTickCount() - start < milliseconds) {
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::Sleep(5);
  }
}

std::wstring TextOf(HWND window) {
  wchar_t text[64] = {};
  ::GetWindowTextW(window, text, 64);
  return text;
}

TEST(WinProgressDialog, TheAnimationRunsOnTheDialogsOwnTimer) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  ASSERT_TRUE(::InitCommonControlsEx(&controls));
  session::SessionRecord record;
  record.loginDelay = 10;  // the bar runs 0..100, one step per 100 ms tick
  ui::PanelRouter router;
  app::CVpnConnDlg dlg(record, router.window());
  ui::ProgressEx bar;
  router.onInit = [&] { bar.Attach(router.hwnd(), IDC_PROGRESS_BAR, {0xF3F3F3, 0x0096FF, 0xFFFFFF, 0}); };
  router.onTimer = [&](unsigned timer) { dlg.OnTimer(timer); };
  HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_VPN_CONN), nullptr,
                                     &ui::PanelRouter::DialogProc, reinterpret_cast<LPARAM>(&router));
  ASSERT_NE(dialog, nullptr) << ::GetLastError();
  HWND progress = ::GetDlgItem(dialog, IDC_PROGRESS_BAR);
  ASSERT_EQ(bar.window(), progress);

  dlg.OnInitDialog();
  dlg.ResetProgress();
  EXPECT_EQ(TextOf(progress), L" Please wait... ");
  dlg.StartProgress();
  PumpFor(1000);
  const int position = static_cast<int>(::SendMessageW(progress, PBM_GETPOS, 0, 0));
  EXPECT_GE(position, 4);  // about ten ticks; a slow machine gets fewer
  EXPECT_LE(position, 100);
  const std::wstring caption = TextOf(progress);
  EXPECT_EQ(caption.size(), 5u);  // "%3d %": a percentage, no more the waiting caption
  EXPECT_EQ(caption.back(), L'%');

  dlg.StopProgress();
  EXPECT_EQ(::SendMessageW(progress, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(TextOf(progress), L" Please wait... ");
  PumpFor(300);  // the timer is gone: nothing moves any more
  EXPECT_EQ(::SendMessageW(progress, PBM_GETPOS, 0, 0), 0);
  ::DestroyWindow(dialog);
}

}  // namespace
