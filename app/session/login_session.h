// The session login: turns the identifier and password of the session record into an
// authenticated session. It draws a fresh session key, saves the account, runs the user
// check with the progress dialog up, fills the account panel, pins the VPN server and
// the back end to the physical gateway, and lets the update manager replace the program
// when a newer client is offered. Run by the login panel ("user") and by the IP list
// panels before each tunnel start ("vpn").
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "session/session_record.h"
#include "platform/iphelper.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/window.h"

namespace protocol {
struct ExchangeContext;
}

namespace app {

// State of the main window that the login writes (the main window owns one).
struct LoginWindowState {
  int elapsedSeconds = 0;    // seconds of the current connection
  int superviseTicks = 0;    // supervision ticks since the tunnel start
  int dayNoticeShown = 0;    // the less-than-a-day notice was shown
  std::uint32_t localIfIndex = 0;  // interface of the physical default route; 0 when none
  std::string localGateway;        // its next hop
  std::string localAddress;        // its address
  std::string remoteSupportPeer;   // remote end of a remote-support session; empty when none
};

// Account panel controls the login fills.
inline constexpr int kAccountUserText = 1038;
inline constexpr int kAccountGameText = 1037;
inline constexpr int kAccountEndDateText = 1036;
inline constexpr int kAccountElapsed = 1034;
inline constexpr int kAccountPrompt = 1035;
inline constexpr const char* kChooseIpPrompt = "사용하실 아이피를 선택후 더블클릭 해주세요";

// The back-end exchanges the login runs. ProtocolLoginExchanges runs the real ones.
class ILoginExchanges {
 public:
  virtual ~ILoginExchanges() = default;
  // The user check: 1 on success, negative on failure (its messages shown).
  virtual int UserCheck() = 0;
  // The IP pool exchange; its message boxes are owned by `owner`.
  virtual int FetchIpPool(platform::IWindow& owner) = 0;
};

class ProtocolLoginExchanges : public ILoginExchanges {
 public:
  explicit ProtocolLoginExchanges(protocol::ExchangeContext& ctx) : ctx_(ctx) {}
  int UserCheck() override;
  int FetchIpPool(platform::IWindow& owner) override;

 private:
  protocol::ExchangeContext& ctx_;
};

// The connection progress dialog's operations (its owner implements them); showing and
// hiding the dialog is done on its window.
class IConnProgress {
 public:
  virtual ~IConnProgress() = default;
  virtual void ResetProgress() = 0;
  virtual void StopProgress() = 0;
};

// Clean-up of the previous OpenVPN tunnel (its owner implements them).
class ITunnelCleanup {
 public:
  virtual ~ITunnelCleanup() = default;
  virtual void StopOpenVpn() = 0;         // ends a running OpenVPN process
  virtual void RemoveOpenVpnFiles() = 0;  // credential, configuration and log file
};

// The update check after a successful user check.
enum class UpdateOutcome {
  kNoUpdate,        // no newer client offered: the login goes on
  kStarted,         // the installer runs and the main window is closing
  kDownloadFailed,  // a newer client was offered but could not be downloaded
};

class IUpdateAtLogin {
 public:
  virtual ~IUpdateAtLogin() = default;
  virtual UpdateOutcome ApplyUpdateAtLogin() = 0;
};

// Until the update manager exists: no update is ever offered.
class NoUpdateOffered : public IUpdateAtLogin {
 public:
  UpdateOutcome ApplyUpdateAtLogin() override { return UpdateOutcome::kNoUpdate; }
};

// The session login as the login panel calls it.
class ISessionLogin {
 public:
  virtual ~ISessionLogin() = default;
  // 0 when the session is established; negative when the caller must stop.
  virtual int LoginSession() = 0;
};

inline constexpr int kLoginOk = 0;
inline constexpr int kLoginStopped = -1;         // connecting, check failed, or update started
inline constexpr int kLoginUpdateFailed = -2;    // an offered update could not be downloaded

struct LoginSessionParts {
  session::SessionRecord& record;
  LoginWindowState& state;
  platform::IClock& clock;
  platform::IRegistry& registry;
  platform::INetTables& netTables;
  ILoginExchanges& exchanges;
  IConnProgress& progress;
  platform::IWindow& progressWindow;  // the progress dialog (kSelf)
  platform::IWindow& loginPanel;      // kSelf
  platform::IWindow& accountPanel;
  ITunnelCleanup& tunnel;
  IUpdateAtLogin& update;
};

class CLoginSession : public ISessionLogin {
 public:
  explicit CLoginSession(LoginSessionParts parts) : p_(parts) {}
  int LoginSession() override;

 private:
  void SetAccountText(int id, const std::string& text);
  void PinBackEndRoutes();

  LoginSessionParts p_;
};

// The account panel's end date: "<year>년 <month>월 <day>일" with the parts of the date as
// written (leading zeros kept); empty for the "no end date" value.
std::string ServiceEndDateText(const std::string& serviceEndDate);

// The session key: the runtime generator seeded with `seconds`, first draw mod 1,000,000.
std::string DrawSessionKey(std::time_t seconds);

}  // namespace app
