#include "ui/win32/dialog_window.h"

#include <commctrl.h>

#include "platform/win32/cp949_wide.h"

namespace ui {

namespace {

using platform::win32::Cp949ToWide;
using platform::win32::WideToCp949;

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], length + 1)));
  return WideToCp949(text);
}

}  // namespace

bool DialogWindow::DrawItem(const DRAWITEMSTRUCT& item) const {
  const auto it = buttons_.find(static_cast<int>(item.CtlID));
  if (it == buttons_.end()) return false;
  it->second->Draw(item);
  return true;
}

void DialogWindow::SetText(int id, const std::string& text) {
  HWND window = Item(id);
  SetWindowTextW(window, Cp949ToWide(text).c_str());
  // Labels over the skin are transparent: repaint what lies under them too.
  if (id != platform::kSelf) Redraw(id);
}

std::string DialogWindow::GetText(int id) { return WindowText(Item(id)); }

void DialogWindow::Show(int id, bool visible) { ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE); }

bool DialogWindow::IsVisible(int id) { return IsWindowVisible(Item(id)) != FALSE; }

void DialogWindow::Enable(int id, bool enabled) { EnableWindow(Item(id), enabled); }

bool DialogWindow::IsEnabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }

void DialogWindow::SetFocus(int id) { ::SetFocus(Item(id)); }

void DialogWindow::SetCheck(int id, int state) { SendMessageW(Item(id), BM_SETCHECK, state, 0); }

int DialogWindow::GetCheck(int id) { return static_cast<int>(SendMessageW(Item(id), BM_GETCHECK, 0, 0)); }

void DialogWindow::Move(int id, const platform::Rect& r) {
  MoveWindow(Item(id), r.left, r.top, r.Width(), r.Height(), TRUE);
}

platform::Rect DialogWindow::GetRect(int id) {
  HWND window = Item(id);
  RECT r{};
  GetWindowRect(window, &r);
  HWND parent = GetParent(window);
  // Child windows answer in their parent's client coordinates, top-level windows on
  // the screen, the same coordinates Move takes.
  if (parent != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return {r.left, r.top, r.right, r.bottom};
}

void DialogWindow::SetBitmaps(int id, int normal, int pressed) {
  auto& button = buttons_[id];
  if (!button) button = std::make_unique<BitmapButton>();
  button->Attach(dialog_, id, normal, pressed);
}

void DialogWindow::Redraw(int id) {
  HWND window = Item(id);
  if (id != platform::kSelf) {
    // Repaint the parent's area under the control first, for transparent labels.
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&r), 2);
    RedrawWindow(dialog_, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void DialogWindow::SetTimer(unsigned timerId, unsigned milliseconds) { ::SetTimer(dialog_, timerId, milliseconds, nullptr); }

void DialogWindow::KillTimer(unsigned timerId) { ::KillTimer(dialog_, timerId); }

int DialogWindow::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
  return MessageBoxW(dialog_, Cp949ToWide(text).c_str(), Cp949ToWide(caption).c_str(), style);
}

int DialogWindow::ListInsertRow(int id, int index, const std::vector<std::string>& cells) {
  HWND list = Item(id);
  if (cells.empty()) return -1;
  std::wstring first = Cp949ToWide(cells[0]);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = &first[0];
  const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  for (std::size_t c = 1; row >= 0 && c < cells.size(); ++c) {
    std::wstring cell = Cp949ToWide(cells[c]);
    LVITEMW sub{};
    sub.iSubItem = static_cast<int>(c);
    sub.pszText = &cell[0];
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
  }
  return row;
}

void DialogWindow::ListDeleteRow(int id, int index) { SendMessageW(Item(id), LVM_DELETEITEM, index, 0); }

void DialogWindow::ListDeleteAll(int id) { SendMessageW(Item(id), LVM_DELETEALLITEMS, 0, 0); }

int DialogWindow::ListCount(int id) { return static_cast<int>(SendMessageW(Item(id), LVM_GETITEMCOUNT, 0, 0)); }

std::string DialogWindow::ListGetText(int id, int row, int column) {
  wchar_t buffer[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = static_cast<int>(std::size(buffer));
  SendMessageW(Item(id), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return WideToCp949(buffer);
}

void DialogWindow::ListSetText(int id, int row, int column, const std::string& text) {
  std::wstring cell = Cp949ToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = &cell[0];
  SendMessageW(Item(id), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int DialogWindow::ListSelected(int id) {
  return static_cast<int>(SendMessageW(Item(id), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void DialogWindow::ListSelect(int id, int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Item(id), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

std::vector<int> DialogWindow::ListSelectedRows(int id) {
  HWND list = Item(id);
  std::vector<int> rows;
  const int count = ListCount(id);
  // Each search starts after the row found last; a row count bounds the walk even if
  // the control answered out of order.
  for (int row = -1, n = 0; n < count; ++n) {
    row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    if (row < 0) break;
    rows.push_back(row);
  }
  return rows;
}

void DialogWindow::ListClearSelection(int id) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = 0;
  SendMessageW(Item(id), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void DialogWindow::ListEnsureVisible(int id, int row) { SendMessageW(Item(id), LVM_ENSUREVISIBLE, row, FALSE); }

int DialogWindow::ComboAdd(int id, const std::string& text) {
  return static_cast<int>(
      SendMessageW(Item(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Cp949ToWide(text).c_str())));
}

void DialogWindow::ComboReset(int id) { SendMessageW(Item(id), CB_RESETCONTENT, 0, 0); }

void DialogWindow::ComboSetSelection(int id, int index) { SendMessageW(Item(id), CB_SETCURSEL, index, 0); }

int DialogWindow::ComboGetSelection(int id) { return static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)); }

std::string DialogWindow::ComboGetText(int id, int index) {
  HWND combo = Item(id);
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length < 0) return std::string();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<std::size_t>(length));
  return WideToCp949(text);
}

void DialogWindow::ProgressSetRange(int id, int low, int high) { SendMessageW(Item(id), PBM_SETRANGE32, low, high); }

void DialogWindow::ProgressSetPos(int id, int pos) { SendMessageW(Item(id), PBM_SETPOS, pos, 0); }

}  // namespace ui
