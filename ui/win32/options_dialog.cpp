#include "ui/win32/options_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>

#include "app/main/window_rules.h"
#include "app/options/ip_tab_set_option_dlg.h"
#include "app/options/texts.h"
#include "platform/win32/cp949_wide.h"
#include "resources/resource_ids.h"
#include "settings/reg_ctrl.h"
#include "ui/win32/modal_loop.h"
#include "ui/win32/panel_router.h"
#include "ui/win32/screen_dpi.h"

namespace ui {

namespace {

constexpr COLORREF kText = RGB(0xDD, 0xDD, 0xDD);

// The controls that show the background through: group boxes, labels and radios.
constexpr int kTransparent[] = {
    IDC_OPT_ONECLICK_GROUP,  IDC_OPT_ONECLICK_ON,     IDC_OPT_ONECLICK_OFF,    IDC_OPT_METHOD_GROUP,
    IDC_OPT_PPTP,            IDC_OPT_OPENVPN,         IDC_OPT_RECONNECT_GROUP, IDC_OPT_RECONNECT_LABEL,
    IDC_OPT_INTERVAL_LABEL,  IDC_OPT_INTERVAL_UNIT,   IDC_OPT_ATTEMPTS_LABEL,  IDC_OPT_ATTEMPTS_UNIT,
    IDC_OPT_SERVER_GROUP,    IDC_OPT_IN_GROUP,        IDC_OPT_OUT_GROUP,       IDC_OPT_IN_STOP_ROW,
    IDC_OPT_IN_START_ROW,    IDC_OPT_OUT_START_ROW,   IDC_OPT_OUT_STOP_ROW,    IDC_OPT_IN_STOP_PATH,
    IDC_OPT_IN_START_PATH,   IDC_OPT_OUT_START_PATH,  IDC_OPT_OUT_STOP_PATH,
};

// The group boxes, painted here: the system's group box draws its caption black on
// the dark skin whatever text colour the dialog gives it (seen under Wine).
constexpr int kGroups[] = {IDC_OPT_ONECLICK_GROUP, IDC_OPT_METHOD_GROUP, IDC_OPT_RECONNECT_GROUP,
                           IDC_OPT_SERVER_GROUP,   IDC_OPT_IN_GROUP,     IDC_OPT_OUT_GROUP};
constexpr UINT_PTR kGroupSubclass = 1;
constexpr COLORREF kFrame = RGB(0x4A, 0x4A, 0x4A);

// A group box's frame line and its caption in the skin's text colour, on the piece of
// the background the dialog gives it (WM_CTLCOLORSTATIC). Only the frame and the
// caption are drawn: the controls inside the box paint themselves.
LRESULT CALLBACK PaintGroup(HWND group, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  if (message != WM_PAINT) return DefSubclassProc(group, message, wparam, lparam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(group, &paint);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(group, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT client{};
  GetClientRect(group, &client);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2 - 1;
  HBRUSH line = CreateSolidBrush(kFrame);
  FrameRect(dc, &frame, line);
  DeleteObject(line);

  const int length = GetWindowTextLengthW(group);
  std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(GetWindowTextW(group, &caption[0], length + 1)));
  if (!caption.empty()) {
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    RECT back{client.left + Scaled(6), client.top, client.left + Scaled(10) + size.cx, client.top + metrics.tmHeight};
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(group), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(group)));
    if (brush != nullptr) FillRect(dc, &back, brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    TextOutW(dc, back.left + Scaled(2), back.top, caption.c_str(), static_cast<int>(caption.size()));
  }
  SelectObject(dc, oldFont);
  EndPaint(group, &paint);
  return 0;
}

// The main window's logic as the options dialog's host.
class MainWindowOptionsHost final : public app::IOptionsHost {
 public:
  explicit MainWindowOptionsHost(app::IIpPanelHost& main) : main_(main) {}
  int EnableConnectionByDevice(const std::string& device, bool enable) override {
    return main_.EnableConnectionByDevice(device, enable);
  }

 private:
  app::IIpPanelHost& main_;
};

class OptionsDialog final : public app::IOptionsView {
 public:
  explicit OptionsDialog(const OptionsDialogParts& parts)
      : parts_(parts),
        reg_(parts.registry),
        host_(parts.mainHost),
        logic_(app::OptionsParts{router_.window(), parts.mainWindow, parts.record, reg_, parts.reconnect, host_,
                                 *this}) {
    router_.SetBackground(IDB_OPTIONS_BACKGROUND);
    router_.SetSurface(PanelRouter::Surface::kDrags);
    router_.onInit = [this] {
      for (int id : kTransparent) router_.SetTransparent(id, kText);
      for (int id : kGroups) SetWindowSubclass(GetDlgItem(router_.hwnd(), id), &PaintGroup, kGroupSubclass, 0);
      logic_.OnInitDialog();
    };
    router_.onCommand = [this](int id, int code) {
      if (id == IDC_OPT_RECONNECT) {
        if (code == CBN_SELCHANGE) logic_.OnReconnectSwitchChanged();
      } else if (code == BN_CLICKED) {
        logic_.OnCommand(id);
      }
    };
  }

  void Run();

  // app::IOptionsView
  app::ProgramChoice ChooseProgram(std::string& path) override;
  void Close() override { done_ = true; }

 private:
  void CenterOverOwner();

  OptionsDialogParts parts_;
  PanelRouter router_;
  settings::CRegCtrl reg_;
  MainWindowOptionsHost host_;
  app::CIPTabSetOptionDlg logic_;
  bool done_ = false;
};

void OptionsDialog::CenterOverOwner() {
  RECT owner{}, self{}, area{};
  GetWindowRect(parts_.owner, &owner);
  GetWindowRect(router_.hwnd(), &self);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const LONG width = self.right - self.left, height = self.bottom - self.top;
  LONG x = owner.left + (owner.right - owner.left - width) / 2;
  LONG y = owner.top + (owner.bottom - owner.top - height) / 2;
  // The dialog is taller than the main window: keep it on the work area.
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  SetWindowPos(router_.hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OptionsDialog::Run() {
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPTIONS), parts_.owner,
                                   &PanelRouter::DialogProc, reinterpret_cast<LPARAM>(&router_));
  if (dialog == nullptr) return;
  CenterOverOwner();
  EnableWindow(parts_.owner, FALSE);
  ShowWindow(dialog, SW_SHOW);
  // The dialog's own loop, so its keys can be dropped before the dialog manager turns
  // Enter and Escape into commands; timers and the other windows' messages go on.
  RunOwnedModalLoop(dialog, parts_.owner, done_);
}

app::ProgramChoice OptionsDialog::ChooseProgram(std::string& path) {
  using platform::win32::Cp949ToWide;
  // "name\0pattern\0\0"
  std::wstring filter = Cp949ToWide(app::kProgramFilterName);
  filter.push_back(L'\0');
  filter += Cp949ToWide(app::kProgramFilterPattern);
  filter.push_back(L'\0');
  wchar_t file[MAX_PATH + 1] = {};
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = router_.hwnd();
  open.lpstrFilter = filter.c_str();
  open.nFilterIndex = 1;
  open.lpstrFile = file;
  open.nMaxFile = MAX_PATH;
  open.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  // The Open dialog may move the current directory despite OFN_NOCHANGEDIR; the
  // program's working files are named from it.
  wchar_t current[MAX_PATH + 1] = {};
  const DWORD kept = GetCurrentDirectoryW(MAX_PATH + 1, current);
  const BOOL chosen = GetOpenFileNameW(&open);
  if (kept > 0 && kept <= MAX_PATH) SetCurrentDirectoryW(current);
  if (!chosen) return app::ProgramChoice::kCancelled;
  return platform::win32::WideToCp949Exact(file, path) ? app::ProgramChoice::kChosen
                                                        : app::ProgramChoice::kNotCp949;
}

}  // namespace

void RunOptionsDialog(const OptionsDialogParts& parts) {
  OptionsDialog dialog(parts);
  dialog.Run();
}

}  // namespace ui
