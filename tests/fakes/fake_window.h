// A window that records the state of every control, every message box and its
// timers. Message boxes answer from a script (a queue of answers; OK once it is
// empty). Controls that were never touched are visible and enabled, as a dialog
// template's controls usually start.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "platform/window.h"

namespace fakes {

class FakeWindow : public platform::IWindow {
 public:
  struct Control {
    std::string text;
    bool visible = true;
    bool enabled = true;
    int check = 0;
    platform::Rect rect;
    int moves = 0;
    int redraws = 0;
    int bitmapNormal = 0, bitmapPressed = 0;  // bitmap buttons
    std::vector<std::vector<std::string>> rows;  // list view
    std::set<int> selectedRows;
    int focusedRow = -1;
    int visibleRow = -1;  // the row scrolled into view last
    std::vector<std::string> items;  // combo box
    int selectedItem = -1;
    int rangeLow = 0, rangeHigh = 100, pos = 0;  // progress bar
  };
  struct Box {
    std::string text, caption;
    unsigned style;
    int answer;
  };

  // With a clock, timers run on its queue and tick into onTimer.
  explicit FakeWindow(FakeClock* clock = nullptr) : clock_(clock) {}
  ~FakeWindow() override;
  FakeWindow(const FakeWindow&) = delete;
  FakeWindow& operator=(const FakeWindow&) = delete;

  platform::WindowHandle Handle() override { return handle; }
  void SetText(int id, const std::string& text) override { controls_[id].text = text; }
  std::string GetText(int id) override { return controls_[id].text; }
  void Show(int id, bool visible) override { controls_[id].visible = visible; }
  bool IsVisible(int id) override { return controls_[id].visible; }
  void Enable(int id, bool enabled) override { controls_[id].enabled = enabled; }
  bool IsEnabled(int id) override { return controls_[id].enabled; }
  void SetFocus(int id) override { focus_ = id; }
  void SetCheck(int id, int state) override { controls_[id].check = state; }
  int GetCheck(int id) override { return controls_[id].check; }
  void Move(int id, const platform::Rect& rect) override {
    controls_[id].rect = rect;
    ++controls_[id].moves;
  }
  platform::Rect GetRect(int id) override { return controls_[id].rect; }
  void Redraw(int id) override { ++controls_[id].redraws; }
  void SetBitmaps(int id, int normal, int pressed) override {
    controls_[id].bitmapNormal = normal;
    controls_[id].bitmapPressed = pressed;
  }

  void SetTimer(unsigned timerId, unsigned milliseconds) override;
  void KillTimer(unsigned timerId) override;

  int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;

  int ListInsertRow(int id, int index, const std::vector<std::string>& cells) override;
  void ListDeleteRow(int id, int index) override;
  void ListDeleteAll(int id) override;
  int ListCount(int id) override { return static_cast<int>(controls_[id].rows.size()); }
  std::string ListGetText(int id, int row, int column) override;
  void ListSetText(int id, int row, int column, const std::string& text) override;
  int ListSelected(int id) override;
  void ListSelect(int id, int row) override;
  std::vector<int> ListSelectedRows(int id) override;
  void ListClearSelection(int id) override { controls_[id].selectedRows.clear(); }
  void ListEnsureVisible(int id, int row) override { controls_[id].visibleRow = row; }

  int ComboAdd(int id, const std::string& text) override;
  void ComboReset(int id) override { controls_[id].items.clear(); controls_[id].selectedItem = -1; }
  void ComboSetSelection(int id, int index) override;
  int ComboGetSelection(int id) override { return controls_[id].selectedItem; }
  std::string ComboGetText(int id, int index) override;

  void ProgressSetRange(int id, int low, int high) override {
    controls_[id].rangeLow = low;
    controls_[id].rangeHigh = high;
  }
  void ProgressSetPos(int id, int pos) override { controls_[id].pos = pos; }

  // Script and inspection.
  void AnswerNextBoxes(std::initializer_list<int> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
  }
  platform::WindowHandle handle = 0x700;  // what Handle() answers
  std::function<void(const Box&)> onMessageBox;  // runs while the box is "open"
  std::function<void(unsigned timerId)> onTimer;  // receives ticks from the clock

  const Control& control(int id) { return controls_[id]; }
  int focus() const { return focus_; }
  const std::vector<Box>& boxes() const { return boxes_; }
  // Armed timers and their periods (also without a clock).
  const std::map<unsigned, unsigned>& timers() const { return timers_; }

 private:
  FakeClock* clock_;
  std::map<int, Control> controls_;
  int focus_ = -1;
  std::deque<int> answers_;
  std::vector<Box> boxes_;
  std::map<unsigned, unsigned> timers_;
};

}  // namespace fakes
