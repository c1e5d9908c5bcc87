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
  std::string guid;        // "{...}" text of the connection's GUID, upper case
  std::string name;        // the connection's name ("Local Area Connection 2")
  std::string deviceName;  // the adapter's device name (its description)
  unsigned status = 0;     // NETCON_STATUS
};

// Each call initialises COM on the calling thread for its own duration, creates the
// connection manager (CLSID {BA126AD1-2166-11D1-B1D0-00805FC1270E}) and enumerates the
// connections afresh; results are HRESULTs (0 success, negative failure).
class INetConnections {
 public:
  virtual ~INetConnections() = default;

  // False when netshell.dll or its NcFreeNetconProperties cannot be loaded.
  virtual bool Available() = 0;

  // Enumerates the connections; the HRESULT of creating the manager or of the
  // enumeration (0 on success).
  virtual long Enumerate(std::vector<NetConnection>& connections) = 0;

  // INetConnection::Connect / Disconnect on the connection with this GUID ("{...}"
  // text; case does not matter); its HRESULT, or HRESULT_FROM_WIN32(ERROR_NOT_FOUND)
  // when no connection has it. A code part of 1237 asks the caller to retry.
  virtual long Connect(const std::string& guid) = 0;
  virtual long Disconnect(const std::string& guid) = 0;
};

}  // namespace platform
