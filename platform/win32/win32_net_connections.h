// Network connections through netshell's connection manager (COM), which exists on
// Windows XP and later; Wine has none.
#pragma once

#include "platform/netconn.h"

namespace platform::win32 {

class Win32NetConnections final : public INetConnections {
 public:
  Win32NetConnections() = default;
  ~Win32NetConnections() override;
  Win32NetConnections(const Win32NetConnections&) = delete;
  Win32NetConnections& operator=(const Win32NetConnections&) = delete;

  bool Available() override;
  long Enumerate(std::vector<NetConnection>& connections) override;
  long Connect(const std::string& guid) override;
  long Disconnect(const std::string& guid) override;

 private:
  // Connect or disconnect on the connection with the GUID.
  long Switch(const std::string& guid, bool connect);
  // NcFreeNetconProperties from netshell.dll, loaded on first use; null without it.
  void* FreeProperties();

  void* netshell_ = nullptr;
  void* free_properties_ = nullptr;
  bool looked_up_ = false;
};

}  // namespace platform::win32
