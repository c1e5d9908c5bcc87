// The dialer of the PPTP and L2TP tunnels: an asynchronous dial of the private
// phonebook's entry, the hang-up, the link test and the address the server assigned.
// The dial's progress comes back through the notifier, which the platform calls on a
// thread of its own; the receiver forwards it to the UI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "net/diag_log.h"
#include "platform/ras.h"
#include "platform/window.h"

namespace tunnel {

inline constexpr const char* kRasEntryName = "Vexo_Conn";

// After a hang-up the platform needs time to end the connection; the handle is
// released once the status call no longer knows it. The wait is bounded by the pause
// the platform's documentation gives for that end (3 s), polled every 50 ms.
inline constexpr unsigned kRasReleaseWaitMs = 3000;
inline constexpr unsigned kRasReleasePollMs = 50;

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
  // After a successful hang-up the handle is cleared once the platform lets go of it
  // (waited for up to kRasReleaseWaitMs; not waited for inside a notification, when
  // the platform cannot end the connection yet, so the handle stays until a later
  // call finds it gone). A handle the platform no longer knows (6) is cleared too.
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
  // How many notifications are being delivered right now. The platform suspends the
  // dial while its notifier runs and ends a hung-up connection only after the
  // notifier returns, so a hang-up from inside a notification does not wait for it.
  std::shared_ptr<std::atomic<int>> notifying_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace tunnel
