#include "fakes/fake_window.h"

namespace fakes {

FakeWindow::~FakeWindow() {
  if (clock_)
    for (const auto& t : timers_) clock_->timers.Kill(this, t.first);
}

void FakeWindow::SetTimer(unsigned timerId, unsigned milliseconds) {
  timers_[timerId] = milliseconds;
  if (clock_)
    clock_->timers.Set(this, timerId, milliseconds, [this](unsigned id) {
      if (onTimer) onTimer(id);
    });
}

void FakeWindow::KillTimer(unsigned timerId) {
  timers_.erase(timerId);
  if (clock_) clock_->timers.Kill(this, timerId);
}

int FakeWindow::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
  int answer = platform::kIdOk;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back({text, caption, style, answer});
  if (onMessageBox) onMessageBox(boxes_.back());
  return answer;
}

int FakeWindow::ListInsertRow(int id, int index, const std::vector<std::string>& cells) {
  auto& rows = controls_[id].rows;
  if (index < 0 || index > static_cast<int>(rows.size())) index = static_cast<int>(rows.size());
  rows.insert(rows.begin() + index, cells);
  return index;
}

void FakeWindow::ListDeleteRow(int id, int index) {
  auto& c = controls_[id];
  if (index < 0 || index >= static_cast<int>(c.rows.size())) return;
  c.rows.erase(c.rows.begin() + index);
  // The rows below move up one, and so do their states.
  std::set<int> selected;
  for (int row : c.selectedRows)
    if (row != index) selected.insert(row > index ? row - 1 : row);
  c.selectedRows = std::move(selected);
  if (c.focusedRow == index) c.focusedRow = -1;
  else if (c.focusedRow > index) --c.focusedRow;
}

void FakeWindow::ListDeleteAll(int id) {
  auto& c = controls_[id];
  c.rows.clear();
  c.selectedRows.clear();
  c.focusedRow = -1;
}

int FakeWindow::ListSelected(int id) {
  const auto& selected = controls_[id].selectedRows;
  return selected.empty() ? -1 : *selected.begin();
}

void FakeWindow::ListSelect(int id, int row) {
  auto& c = controls_[id];
  // As LVM_SETITEMSTATE: a row the list does not have changes nothing.
  if (row < 0 || row >= static_cast<int>(c.rows.size())) return;
  c.selectedRows.insert(row);
  c.focusedRow = row;
}

std::vector<int> FakeWindow::ListSelectedRows(int id) {
  const auto& selected = controls_[id].selectedRows;
  return {selected.begin(), selected.end()};
}

std::string FakeWindow::ListGetText(int id, int row, int column) {
  const auto& rows = controls_[id].rows;
  if (row < 0 || row >= static_cast<int>(rows.size())) return "";
  const auto& cells = rows[row];
  if (column < 0 || column >= static_cast<int>(cells.size())) return "";
  return cells[column];
}

void FakeWindow::ListSetText(int id, int row, int column, const std::string& text) {
  auto& rows = controls_[id].rows;
  if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0) return;
  auto& cells = rows[row];
  if (column >= static_cast<int>(cells.size())) cells.resize(static_cast<std::size_t>(column) + 1);
  cells[static_cast<std::size_t>(column)] = text;
}

int FakeWindow::ComboAdd(int id, const std::string& text) {
  controls_[id].items.push_back(text);
  return static_cast<int>(controls_[id].items.size()) - 1;
}

void FakeWindow::ComboSetSelection(int id, int index) {
  auto& c = controls_[id];
  c.selectedItem = (index >= 0 && index < static_cast<int>(c.items.size())) ? index : -1;
}

std::string FakeWindow::ComboGetText(int id, int index) {
  const auto& items = controls_[id].items;
  if (index < 0 || index >= static_cast<int>(items.size())) return "";
  return items[index];
}

}  // namespace fakes
