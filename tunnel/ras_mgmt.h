// The dialer of the PPTP and L2TP tunnels: an asynchronous dial of the private
// phonebook's entry, the hang-up, the link test and the address the server assigned.
// The dial's progress comes back through the notifier, which the platform calls on a
// thread of its own; the receiver forwards it to the UI thread.
#pragma once

#include <cstdint>
#include <string>

#include "net/diag_log.h"
#include "platform/ras.h"
#include "platform/window.h"

namespace tunnel {

inline constexpr const char* kRasEntryName = "Vexo_Conn";

class CRasMgmt {
 public:
  // `owner` shows the refused-dial message; `log` gets one line per dial action.
  CRasMgmt(platform::IRas& ras, platform::IWindow& owner, net::IDiagLog& log);
  virtual ~CRasMgmt() = default;
  CRasMgmt(const CRasMgmt&) = delete;
  CRasMgmt& operator=(const CRasMgmt&) = delete;

  // 1 when a connection is already up (nothing dialled); 0 when the dial was started
  // (the outcome arrives through `notifier`); -1 when an argument is missing or too
  // long for the dial structure, or the platform refused the dial (its code and text
  // are then shown as "<<%d>> : %s").
  int Dial(const std::string& phonebookPath, const std::string& phoneNumber,
           const std::string& userName, const std::string& password,
           platform::IRas::Notifier notifier);
  // -1 when there is no handle, 0 on success, otherwise the platform's error code.
  // After a successful hang-up the handle is cleared once the platform lets go of it.
  int HangUp();
  // 1 when a handle is held and the platform reports that connection as connected;
  // 0 otherwise (no handle, an unknown handle, or a link in any other state).
  int IsConnected();
  // The client address of the IP projection; empty when it cannot be read.
  std::string GetAssignedAddress();
  // The platform's text for a RAS error code, read into a buffer of `capacity` bytes.
  std::string ErrorText(std::uint32_t code, std::uint32_t capacity = 256);
  // The progress text of a connection state.
  static std::string StateText(std::uint32_t state);

  bool HasHandle() const { return conn_ != 0; }

 private:
  platform::IRas& ras_;
  platform::IWindow& owner_;
  net::IDiagLog& log_;
  platform::RasConn conn_ = 0;
};

}  // namespace tunnel
