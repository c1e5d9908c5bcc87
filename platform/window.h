// A window seen by its logic: controls addressed by their resource ID.
//
// Dialog logic classes are written against this interface; ui/win32 binds it to a
// real dialog, the tests to a recording fake. Control ID kSelf means the window
// itself (show/hide, move, redraw, enable the whole window).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

constexpr int kSelf = 0;

// Message box styles and answers (MessageBoxA).
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconInformation = 0x40;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconError = 0x10;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class IWindow {
 public:
  virtual ~IWindow() = default;

  // The window's own handle (0 before it exists): the owner of pages and programs
  // the shell opens for it.
  virtual WindowHandle Handle() = 0;

  // Text of a control (SetDlgItemTextA / GetDlgItemTextA), or the caption for kSelf.
  virtual void SetText(int id, const std::string& text) = 0;
  virtual std::string GetText(int id) = 0;

  // ShowWindow(SW_SHOW / SW_HIDE) and IsWindowVisible.
  virtual void Show(int id, bool visible) = 0;
  virtual bool IsVisible(int id) = 0;

  // EnableWindow and IsWindowEnabled.
  virtual void Enable(int id, bool enabled) = 0;
  virtual bool IsEnabled(int id) = 0;

  // SetFocus on a control.
  virtual void SetFocus(int id) = 0;

  // Check state of a button (BM_SETCHECK / BM_GETCHECK): 0 unchecked, 1 checked.
  virtual void SetCheck(int id, int state) = 0;
  virtual int GetCheck(int id) = 0;

  // MoveWindow: a control in its parent's client coordinates, the window itself in
  // screen coordinates. GetRect answers in the same coordinates.
  virtual void Move(int id, const Rect& rect) = 0;
  virtual Rect GetRect(int id) = 0;

  // The normal and pressed bitmaps (resource IDs) of a bitmap button.
  virtual void SetBitmaps(int id, int normal, int pressed) = 0;

  // RedrawWindow (invalidate, erase, update now).
  virtual void Redraw(int id) = 0;

  // SetTimer / KillTimer on this window: arming a running timer restarts it with
  // the new period. Ticks arrive through the window's timer handler.
  virtual void SetTimer(unsigned timerId, unsigned milliseconds) = 0;
  virtual void KillTimer(unsigned timerId) = 0;

  // MessageBoxA owned by this window: modal; returns the button pressed (kIdOk, ...).
  virtual int MessageBox(const std::string& text, const std::string& caption,
                         unsigned style) = 0;

  // List view: rows of cells (column 0 is the item text, the others subitems).
  virtual int ListInsertRow(int id, int index, const std::vector<std::string>& cells) = 0;
  virtual void ListDeleteRow(int id, int index) = 0;
  virtual void ListDeleteAll(int id) = 0;
  virtual int ListCount(int id) = 0;
  virtual std::string ListGetText(int id, int row, int column) = 0;
  // The text of one cell of an existing row (LVM_SETITEMTEXT); a row the list does not
  // have changes nothing.
  virtual void ListSetText(int id, int row, int column, const std::string& text) = 0;
  virtual int ListSelected(int id) = 0;  // first selected row, -1 when none
  // Selects and focuses the row (LVIS_SELECTED | LVIS_FOCUSED); other rows keep their
  // state.
  virtual void ListSelect(int id, int row) = 0;
  // The selected rows in ascending order (LVM_GETNEXTITEM with LVNI_SELECTED).
  virtual std::vector<int> ListSelectedRows(int id) = 0;
  // No row selected any more (LVM_SETITEMSTATE for all rows).
  virtual void ListClearSelection(int id) = 0;
  // Scrolls the list until the row is wholly visible (LVM_ENSUREVISIBLE).
  virtual void ListEnsureVisible(int id, int row) = 0;

  // Combo box: CB_ADDSTRING (returns the index), CB_RESETCONTENT, CB_SETCURSEL,
  // CB_GETCURSEL (-1 when none), CB_GETLBTEXT.
  virtual int ComboAdd(int id, const std::string& text) = 0;
  virtual void ComboReset(int id) = 0;
  virtual void ComboSetSelection(int id, int index) = 0;
  virtual int ComboGetSelection(int id) = 0;
  virtual std::string ComboGetText(int id, int index) = 0;

  // Progress bar: PBM_SETRANGE32 and PBM_SETPOS.
  virtual void ProgressSetRange(int id, int low, int high) = 0;
  virtual void ProgressSetPos(int id, int pos) = 0;
};

}  // namespace platform
