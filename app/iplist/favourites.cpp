#include "app/iplist/favourites.h"

#include "text/cp949.h"

namespace app {

void Favourites::BeginFill(std::string_view storedValue) {
  saved_ = text::Split(storedValue, '^');
  savedCount_.clear();
  for (const std::string& ip : saved_) ++savedCount_[ip];
  poolIps_.clear();
  shown_.clear();
  kept_.clear();
}

int Favourites::TakePoolIp(const std::string& ip) {
  // Only the first record with this IP shows its favourites: a pool holding one IP
  // under two codes showed them twice, and the next store doubled the stored value.
  if (!poolIps_.insert(ip).second) return 0;
  const auto it = savedCount_.find(ip);
  if (it == savedCount_.end()) return 0;
  shown_.insert(shown_.end(), static_cast<std::size_t>(it->second), ip);
  return it->second;
}

void Favourites::EndFill() {
  for (std::string& ip : saved_)
    if (!ip.empty() && poolIps_.count(ip) == 0) kept_.push_back(std::move(ip));
  saved_.clear();
  savedCount_.clear();
  poolIps_.clear();
}

int Favourites::Count(const std::string& ip) const {
  int n = 0;
  for (const std::string& f : shown_) n += f == ip ? 1 : 0;
  return n;
}

bool Favourites::RemoveLast(const std::string& ip) {
  for (std::size_t i = shown_.size(); i-- > 0;) {
    if (shown_[i] == ip) {
      shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

namespace {

// Whether `s` ends with a lead byte that has no second byte. Such a text (no IP
// address is one) would take the '^' after it as its second byte when joined, and
// the next read would merge it with the following entry.
bool EndsInsideCharacter(const std::string& s) {
  std::size_t run = 0;
  while (run < s.size() && text::IsLeadByte(static_cast<unsigned char>(s[s.size() - 1 - run]))) ++run;
  return run % 2 == 1;
}

}  // namespace

std::string Favourites::StoredValue() const {
  std::string value;
  bool first = true;
  for (const std::vector<std::string>* list : {&kept_, &shown_}) {
    for (const std::string& ip : *list) {
      if (EndsInsideCharacter(ip)) continue;
      if (!first) value += '^';
      value += ip;
      first = false;
    }
  }
  return value;
}

}  // namespace app
