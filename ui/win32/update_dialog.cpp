#include "ui/win32/update_dialog.h"

#include "app/main/window_rules.h"
#include "app/update/update_dlg.h"
#include "platform/win32/cp949_wide.h"
#include "resources/resource_ids.h"
#include "ui/win32/banner_link.h"
#include "ui/win32/modal_loop.h"
#include "ui/win32/panel_router.h"

namespace ui {

namespace {

constexpr COLORREF kPageText = RGB(0x55, 0x55, 0x55);

class UpdateDialog final : public app::IUpdateDlgView {
 public:
  explicit UpdateDialog(const UpdateDialogParts& parts)
      : parts_(parts),
        page_(parts.systemShell, [this] { return reinterpret_cast<platform::WindowHandle>(router_.hwnd()); }),
        logic_(app::UpdateDlgParts{router_.window(), parts.record, parts.update, parts.shell, page_, *this}) {
    router_.SetBackground(IDB_UPDATE_BACKGROUND);
    router_.SetSurface(PanelRouter::Surface::kDrags);
    router_.onInit = [this] {
      const app::LabelStyle& style = app::kUpdateMessageStyle;
      FontStatic& message = router_.Label(style.id);
      message.SetBackColor(style.backColor);
      message.SetFontStyle(platform::win32::Cp949ToWide(style.face), style.height, style.textColor, style.flags);
      router_.SetTransparent(IDC_UPD_PAGE, kPageText);
      logic_.OnInitDialog();
    };
    router_.onCommand = [this](int id, int code) {
      if (code != BN_CLICKED) return;  // STN_CLICKED of the page area is BN_CLICKED too
      if (id == IDC_UPD_PAGE) page_.Open();
      else logic_.OnCommand(id);
    };
  }

  void Run();
  void Close() override { done_ = true; }

 private:
  void CenterOverOwner();

  UpdateDialogParts parts_;
  PanelRouter router_;
  BannerLink page_;
  app::CUpdateDlg logic_;
  bool done_ = false;
};

void UpdateDialog::CenterOverOwner() {
  RECT owner{}, self{};
  GetWindowRect(parts_.owner, &owner);
  GetWindowRect(router_.hwnd(), &self);
  const LONG width = self.right - self.left, height = self.bottom - self.top;
  SetWindowPos(router_.hwnd(), nullptr, owner.left + (owner.right - owner.left - width) / 2,
               owner.top + (owner.bottom - owner.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void UpdateDialog::Run() {
  // The dialog is created hidden: its initialisation (the version check) runs before
  // it shows, as a modal dialog's does.
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATE), parts_.owner,
                                   &PanelRouter::DialogProc, reinterpret_cast<LPARAM>(&router_));
  if (dialog == nullptr) return;
  CenterOverOwner();
  EnableWindow(parts_.owner, FALSE);
  if (!done_) ShowWindow(dialog, SW_SHOW);
  // The dialog's own loop, so its keys can be dropped before the dialog manager turns
  // Enter and Escape into commands; timers and the other windows' messages go on.
  RunOwnedModalLoop(dialog, parts_.owner, done_);
}

}  // namespace

void RunUpdateDialog(const UpdateDialogParts& parts) {
  UpdateDialog dialog(parts);
  dialog.Run();
}

}  // namespace ui
