// The rows of the available-IP list chosen in this session, newest last. Choosing a
// row again overwrites its earlier entry with kDead, so each row has at most one live
// entry: the live entries are the rows drawn as used.
#pragma once

#include <algorithm>
#include <vector>

namespace app {

class UsedRowHistory {
 public:
  static constexpr int kDead = -100;

  void Record(int row) {
    // Only the newest occurrence of a row stays live; the earlier one (at most one,
    // since every record keeps it so) dies.
    const auto live = std::find(entries_.begin(), entries_.end(), row);
    if (live != entries_.end()) *live = kDead;
    entries_.push_back(row);
  }
  void Clear() { entries_.clear(); }
  bool IsLive(int row) const {
    return row != kDead && std::find(entries_.begin(), entries_.end(), row) != entries_.end();
  }
  const std::vector<int>& entries() const { return entries_; }

 private:
  std::vector<int> entries_;
};

}  // namespace app
