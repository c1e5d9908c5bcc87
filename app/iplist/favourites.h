// The favourite IPs of a panel and its stored value (IpCode or IpList): IP texts
// joined with '^', no separator at either end, the empty text for none.
//
// A fill shows only the favourites of the current pool, but the stored value also
// holds favourites of other pools (another class, or every favourite after a failed
// pool exchange). Those are kept aside, in their stored order, and written back ahead
// of the shown ones, so an add or a remove never drops them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace app {

class Favourites {
 public:
  // Starts a fill from the stored value: nothing shown until the pool's IPs come.
  void BeginFill(std::string_view storedValue);
  // One pool record's IP, in pool order: appends it to the shown favourites once for
  // every stored entry equal to it, and returns how many times (the rows to show). A
  // later record with the same IP shows nothing more.
  int TakePoolIp(const std::string& ip);
  // Ends the fill: the stored entries whose IP no pool record had are kept aside.
  // Empty entries are no favourites and are not kept.
  void EndFill();

  // How many shown favourites equal `ip`.
  int Count(const std::string& ip) const;
  void Add(const std::string& ip) { shown_.push_back(ip); }
  // Removes the last shown favourite equal to `ip`; false when there is none.
  bool RemoveLast(const std::string& ip);

  // The value to store: the kept entries, then the shown favourites; an entry ending
  // in half a Korean character is left out (it would swallow the separator).
  std::string StoredValue() const;

  // In the order they were added (the reverse of the favourites list's rows).
  const std::vector<std::string>& shown() const { return shown_; }
  const std::vector<std::string>& kept() const { return kept_; }

 private:
  std::vector<std::string> saved_;  // the stored value split, during a fill
  std::unordered_map<std::string, int> savedCount_;
  std::unordered_set<std::string> poolIps_;
  std::vector<std::string> shown_;
  std::vector<std::string> kept_;
};

}  // namespace app
