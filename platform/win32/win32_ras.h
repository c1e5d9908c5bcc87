// The dialer on Windows: rasapi32, loaded at run time (a system without remote
// access, or without the library, then answers every call with an error).
//
// A type-0 notifier receives no context, so the notifier of the current dial lives in
// one process-wide slot that the platform's dial thread reads under a lock.
#pragma once

#include "platform/ras.h"

namespace platform::win32 {

class Win32Ras final : public IRas {
 public:
  std::uint32_t Dial(const std::string& phonebookPath, const RasDialParams& params,
                     Notifier notifier, RasConn& conn) override;
  std::uint32_t HangUp(RasConn conn) override;
  std::uint32_t GetConnectStatus(RasConn conn, RasConnStatus& status) override;
  std::uint32_t GetProjectionIp(RasConn conn, std::string& ipAddress) override;
  std::uint32_t GetErrorString(std::uint32_t code, std::uint32_t capacity,
                               std::string& text) override;
  void Pause(unsigned milliseconds) override;
};

}  // namespace platform::win32
