// The logout notice over the back-end exchange: what the main window's owner hands to
// the main window once its exchange context exists.
#pragma once

#include "app/main/main_window_peers.h"
#include "protocol/exchange_context.h"
#include "protocol/logout.h"

namespace app {

class ExchangeLogoutNotice : public ILogoutNotice {
 public:
  explicit ExchangeLogoutNotice(protocol::ExchangeContext& ctx) : ctx_(ctx) {}
  void SendLogout(const std::string& mode) override { protocol::SendLogout(ctx_, mode); }

 private:
  protocol::ExchangeContext& ctx_;
};

}  // namespace app
