// The network adapters the tunnels use: finding the tunnel adapter by its description,
// its GUID, the hardware address its driver takes from the adapter's registry key, and
// switching its network connection off and on. Stateless; failures are results only
// (and lines of the diagnostics log); nothing is shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/diag_log.h"
#include "platform/iphelper.h"
#include "platform/netconn.h"
#include "platform/registry.h"

namespace net {

// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): no connection has the device name.
inline constexpr long kHresultNoSuchConnection = static_cast<long>(0x80070002u);
// The code part of a connect or disconnect result that asks for another try.
inline constexpr long kErrorRetry = 1237;
// Connect or disconnect calls in all, the first included, while the result asks for a retry.
inline constexpr int kConnectionCallLimit = 3;

class CAdapterMgmt {
 public:
  CAdapterMgmt(platform::INetTables& tables, platform::IRegistry& registry,
               platform::INetConnections& connections, IDiagLog& log)
      : tables_(tables), registry_(registry), connections_(connections), log_(log) {}
  virtual ~CAdapterMgmt() = default;

  // Index of the first adapter whose description contains the text; 0 when none does
  // (also for an empty text, and for an adapter of index 0: callers treat 0 as absent);
  // -1 when the adapter list cannot be read.
  int FindAdapterIndex(const std::string& description);

  // Number of adapters whose description contains the text (0 for an empty text); -1
  // when the adapter list cannot be read.
  int CountAdapters(const std::string& description);

  // The GUID text ("{...}") of the interface: the part of its name after the first '_'
  // and before any second one. Empty when the interface is not found (or index 0).
  std::string GetAdapterGuid(std::uint32_t ifIndex);

  // Stores `mac` as the hardware address ("MAC") of every adapter whose key's
  // NetCfgInstanceId is the GUID (case does not matter), or deletes "MAC" from them when
  // there is no address (none or empty), so the driver uses its own. Refuses (0, nothing
  // written) an empty GUID and an address that is not 12 hex digits; -1 when the adapter
  // class key cannot be opened; 1 otherwise.
  int SetAdapterMac(const std::optional<std::string>& mac, const std::string& guid);

  // Connects (or disconnects) the network connection with the GUID, asking again while
  // the result's code part is 1237, at most three calls in all. 1 when the last call
  // succeeded; 0 otherwise, also without netshell or for an empty GUID.
  int RestartConnection(const std::string& guid, bool connect);

  // Connects (or disconnects) every network connection whose device name is exactly
  // `deviceName`. The result of the last such call; the enumeration's failure; or
  // kHresultNoSuchConnection when none matches (also for an empty name).
  long EnableConnectionByDevice(const std::string& deviceName, bool enable);

 private:
  platform::INetTables& tables_;
  platform::IRegistry& registry_;
  platform::INetConnections& connections_;
  IDiagLog& log_;
};

}  // namespace net
