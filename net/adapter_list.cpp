#include "net/adapter_list.h"

#include <vector>

#include "text/cp949.h"

namespace net {

namespace {

// A substring search that never starts on the trail byte of a Korean character.
bool Holds(const platform::AdapterInfo& adapter, const std::string& description) {
  return text::Contains(adapter.description, description);
}

}  // namespace

int FindAdapterIndexIn(platform::INetTables& tables, const std::string& description) {
  std::vector<platform::AdapterInfo> adapters;
  if (tables.GetAdaptersInfo(adapters) != 0) return -1;
  if (description.empty()) return 0;
  for (const platform::AdapterInfo& adapter : adapters)
    if (Holds(adapter, description)) return static_cast<int>(adapter.index);
  return 0;
}

int CountAdaptersIn(platform::INetTables& tables, const std::string& description) {
  std::vector<platform::AdapterInfo> adapters;
  if (tables.GetAdaptersInfo(adapters) != 0) return -1;
  if (description.empty()) return 0;
  int count = 0;
  for (const platform::AdapterInfo& adapter : adapters)
    if (Holds(adapter, description)) ++count;
  return count;
}

}  // namespace net
