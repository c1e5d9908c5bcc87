// Network connections (the netshell connection manager) and the adapter class key.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The registry key (under HKEY_LOCAL_MACHINE) whose subkeys describe the network
// adapters; each subkey's value "NetCfgInstanceId" is the adapter's "{GUID}" and the
// tunnel adapter's driver reads its hardware address from the value "MAC".
constexpr const char* kAdapterClassKeyPath =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}";

// One entry of the connection manager's enumeration (NETCON_PROPERTIES).
struct NetConnection {
  std::string guid;        // "{...}" text of the connection's GUID
  std::string name;        // the connection's name ("Local Area Connection 2")
  std::string deviceName;  // the adapter's device name (its description)
  unsigned status = 0;     // NETCON_STATUS
};

class INetConnections {
 public:
  virtual ~INetConnections() = default;

  // False when netshell.dll or its NcFreeNetconProperties cannot be loaded, or the
  // connection manager cannot be created (COM class not registered): nothing else
  // can then be done.
  virtual bool Available() = 0;

  // Enumerates the connections; the HRESULT of the enumeration (0 on success).
  virtual long Enumerate(std::vector<NetConnection>& connections) = 0;

  // INetConnection::Connect / Disconnect on the connection with this GUID; the
  // HRESULT. A code part of 1237 asks the caller to retry.
  virtual long Connect(const std::string& guid) = 0;
  virtual long Disconnect(const std::string& guid) = 0;
};

}  // namespace platform
