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

#include "net/diag_log.h"
#include "resources/resource_ids.h"
#include "app/main/main_window_peers.h"
#include "app/main/main_window_state.h"
#include "app/progress/vpn_conn_dlg.h"
#include "session/session_record.h"
#include "platform/iphelper.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/window.h"

namespace protocol {
struct ExchangeContext;
}

namespace app {

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
  MainWindowState& state;
  platform::IClock& clock;
  platform::IRegistry& registry;
  platform::INetTables& netTables;
  ILoginExchanges& exchanges;
  IConnProgress& progress;
  platform::IWindow& progressWindow;  // the progress dialog (kSelf)
  platform::IWindow& loginPanel;      // kSelf
  platform::IWindow& accountPanel;
  ITunnelServices& tunnel;
  IUpdateAtLogin& update;
  net::IDiagLog& diagLog;  // the back end's host routes are logged
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
