#include "net/adapter_mgmt.h"

#include <vector>

#include "net/adapter_list.h"
#include "net/diag_lines.h"
#include "text/cp949.h"

namespace net {

namespace {

constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kSubkeyNameCapacity = 1024;
constexpr std::uint32_t kGuidCapacity = 256;
// A class key never holds this many adapters; the bound only ends a registry that keeps
// answering with errors.
constexpr std::uint32_t kSubkeyLimit = 10000;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsMacText(const std::string& mac) {
  if (mac.size() != 12) return false;
  for (char c : mac)
    if (!IsHexDigit(c)) return false;
  return true;
}

// "{4d36...}" and "{4D36...}" name the same GUID.
bool SameGuid(const std::string& a, const std::string& b) {
  return !a.empty() && text::ToUpperAscii(a) == text::ToUpperAscii(b);
}

// The text of a REG_SZ value: its bytes up to the first zero.
std::string TextOf(const platform::RegValue& value) {
  return value.data.substr(0, value.data.find('\0'));
}

// HRESULTs are 32 bits; `long` holds them, but has 64 bits on other systems' builds.
bool Failed(long hr) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(hr)) < 0; }
bool AsksForRetry(long hr) { return Failed(hr) && (hr & 0xFFFF) == kErrorRetry; }

}  // namespace

int CAdapterMgmt::FindAdapterIndex(const std::string& description) {
  const int index = FindAdapterIndexIn(tables_, description);
  log_.Write("adapter find " + diag::Quoted(description) + " -> " + std::to_string(index));
  return index;
}

int CAdapterMgmt::CountAdapters(const std::string& description) {
  const int count = CountAdaptersIn(tables_, description);
  log_.Write("adapter count " + diag::Quoted(description) + " -> " + std::to_string(count));
  return count;
}

std::string CAdapterMgmt::GetAdapterGuid(std::uint32_t ifIndex) {
  std::string guid;
  std::vector<platform::InterfaceEntry> entries;
  if (ifIndex != 0 && tables_.GetInterfaceInfo(entries) == 0) {
    for (const platform::InterfaceEntry& entry : entries) {
      if (entry.index != ifIndex) continue;
      // "\DEVICE\TCPIP_{GUID}"
      const std::size_t first = entry.name.find('_');
      if (first != std::string::npos) {
        const std::size_t second = entry.name.find('_', first + 1);
        guid = entry.name.substr(first + 1, second == std::string::npos ? std::string::npos
                                                                        : second - first - 1);
      }
      break;
    }
  }
  log_.Write("adapter guid if " + std::to_string(ifIndex) + " -> " + diag::Value(guid));
  return guid;
}

int CAdapterMgmt::SetAdapterMac(const std::optional<std::string>& mac, const std::string& guid) {
  const bool remove = !mac || mac->empty();
  const std::string line = "adapter mac " + diag::Value(guid) + " " + (remove ? "-" : *mac) + " -> ";
  // An empty GUID would match every subkey whose NetCfgInstanceId cannot be read, and
  // the value goes to the driver unchanged.
  if (guid.empty()) {
    log_.Write(line + "refused empty-guid");
    return 0;
  }
  if (!remove && !IsMacText(*mac)) {
    log_.Write(line + "refused bad-mac");
    return 0;
  }
  platform::RegKey classKey = 0;
  const long opened = registry_.OpenKeyEx(platform::kHkeyLocalMachine, platform::kAdapterClassKeyPath,
                                          platform::kKeyAllAccess, classKey);
  if (opened != 0) {
    log_.Write(line + "class-key " + std::to_string(opened));
    return -1;
  }
  int matched = 0;
  for (std::uint32_t index = 0; index < kSubkeyLimit; ++index) {
    std::string name;
    const long rc = registry_.EnumKey(classKey, index, kSubkeyNameCapacity, name);
    if (rc == platform::kErrorNoMoreItems) break;
    if (rc != 0) continue;
    // Some subkeys ("Properties") refuse to open; they describe no adapter.
    platform::RegKey subkey = 0;
    if (registry_.OpenKeyEx(classKey, name, platform::kKeyRead | kKeySetValue, subkey) != 0) continue;
    platform::RegValue id;
    if (registry_.QueryValueEx(subkey, "NetCfgInstanceId", kGuidCapacity, id) == 0 &&
        id.type == platform::kRegSz && SameGuid(TextOf(id), guid)) {
      ++matched;
      const long written = remove ? registry_.DeleteValue(subkey, "MAC")
                                  : registry_.SetValueEx(subkey, "MAC", platform::kRegSz,
                                                         platform::RegSzData(*mac));
      log_.Write("adapter mac " + guid + " key " + name + (remove ? " delete" : " set " + *mac) +
                 " -> " + std::to_string(written));
    }
    registry_.CloseKey(subkey);
  }
  registry_.CloseKey(classKey);
  log_.Write(line + std::to_string(matched));
  return 1;
}

int CAdapterMgmt::RestartConnection(const std::string& guid, bool connect) {
  const std::string verb = connect ? " connect" : " disconnect";
  if (guid.empty()) {
    log_.Write("adapter restart -" + verb + " -> refused empty-guid");
    return 0;
  }
  if (!connections_.Available()) {
    log_.Write("adapter restart " + guid + verb + " -> refused no-netshell");
    return 0;
  }
  long hr = 0;
  for (int call = 1; call <= kConnectionCallLimit; ++call) {
    hr = connect ? connections_.Connect(guid) : connections_.Disconnect(guid);
    log_.Write("adapter restart " + guid + verb + " try " + std::to_string(call) + " -> " +
               diag::Hresult(hr));
    if (!AsksForRetry(hr)) break;
  }
  return Failed(hr) ? 0 : 1;
}

long CAdapterMgmt::EnableConnectionByDevice(const std::string& deviceName, bool enable) {
  const std::string verb = enable ? " on" : " off";
  long result = kHresultNoSuchConnection;
  if (!deviceName.empty()) {
    std::vector<platform::NetConnection> connections;
    const long listed = connections_.Enumerate(connections);
    if (Failed(listed)) {
      result = listed;
    } else {
      for (const platform::NetConnection& connection : connections) {
        if (connection.deviceName != deviceName) continue;
        result = enable ? connections_.Connect(connection.guid) : connections_.Disconnect(connection.guid);
        log_.Write("adapter enable " + diag::Quoted(deviceName) + verb + " " + connection.guid + " -> " +
                   diag::Hresult(result));
      }
    }
  }
  log_.Write("adapter enable " + diag::Quoted(deviceName) + verb + " -> " + diag::Hresult(result));
  return result;
}

}  // namespace net
