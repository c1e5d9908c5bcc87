// The control-ID window interface over a real dialog: what the logic classes do to
// "control 1005" happens to the dialog's child 1005. Texts cross as CP949 and are
// shown through the W functions.
#pragma once

#include "platform/win32/windows_include.h"

#include <map>
#include <memory>

#include "platform/window.h"
#include "ui/win32/skin.h"

namespace ui {

class DialogWindow : public platform::IWindow {
 public:
  DialogWindow() = default;
  explicit DialogWindow(HWND dialog) : dialog_(dialog) {}
  void Attach(HWND dialog) { dialog_ = dialog; }
  HWND hwnd() const { return dialog_; }

  // Answers WM_DRAWITEM for the bitmap buttons set up through SetBitmaps.
  bool DrawItem(const DRAWITEMSTRUCT& item) const;

  platform::WindowHandle Handle() override { return reinterpret_cast<platform::WindowHandle>(dialog_); }
  void SetText(int id, const std::string& text) override;
  std::string GetText(int id) override;
  void Show(int id, bool visible) override;
  bool IsVisible(int id) override;
  void Enable(int id, bool enabled) override;
  bool IsEnabled(int id) override;
  void SetFocus(int id) override;
  void SetCheck(int id, int state) override;
  int GetCheck(int id) override;
  void Move(int id, const platform::Rect& rect) override;
  platform::Rect GetRect(int id) override;
  void SetBitmaps(int id, int normal, int pressed) override;
  void Redraw(int id) override;
  void SetTimer(unsigned timerId, unsigned milliseconds) override;
  void KillTimer(unsigned timerId) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  int ListInsertRow(int id, int index, const std::vector<std::string>& cells) override;
  void ListDeleteRow(int id, int index) override;
  void ListDeleteAll(int id) override;
  int ListCount(int id) override;
  std::string ListGetText(int id, int row, int column) override;
  void ListSetText(int id, int row, int column, const std::string& text) override;
  int ListSelected(int id) override;
  void ListSelect(int id, int row) override;
  std::vector<int> ListSelectedRows(int id) override;
  void ListClearSelection(int id) override;
  void ListEnsureVisible(int id, int row) override;
  int ComboAdd(int id, const std::string& text) override;
  void ComboReset(int id) override;
  void ComboSetSelection(int id, int index) override;
  int ComboGetSelection(int id) override;
  std::string ComboGetText(int id, int index) override;
  void ProgressSetRange(int id, int low, int high) override;
  void ProgressSetPos(int id, int pos) override;

 private:
  HWND Item(int id) const { return id == platform::kSelf ? dialog_ : GetDlgItem(dialog_, id); }

  HWND dialog_ = nullptr;
  std::map<int, std::unique_ptr<BitmapButton>> buttons_;
};

}  // namespace ui
