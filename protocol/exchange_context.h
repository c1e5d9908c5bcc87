// What every back-end exchange works with: the session record, the HTTP client, the
// window that owns its message boxes, the platform services the request needs, and the
// hooks through which it reports to the dialogs and tunnels. Exchanges return what
// happened; they never change a panel's controls.
#pragma once

#include <string>
#include <string_view>

#include "session/session_hooks.h"
#include "session/session_record.h"
#include "platform/files.h"
#include "platform/iphelper.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "protocol/system_report.h"
#include "protocol/web_mgmt.h"

namespace protocol {

struct ExchangeContext {
  session::SessionRecord& record;
  CWebMgmt& web;
  platform::IWindow& mainWindow;  // owns the message boxes and the pages opened
  platform::IRegistry& registry;
  platform::ISystem& system;
  platform::ISystemFacts& systemFacts;
  platform::INetTables& netTables;
  platform::IShell& shell;
  platform::IFiles& files;
  platform::IClock& clock;
  session::SessionHooks& hooks;
};

// "http://" + host + path.
inline std::string HttpUrl(const std::string& host, std::string_view path) {
  return "http://" + host + std::string(path);
}

// The system report of this computer.
inline std::string SystemReportOf(ExchangeContext& ctx) {
  return SystemReport(ctx.system, ctx.systemFacts, ctx.registry, ctx.netTables);
}

// Piece 1 at `=` of the first `|`-field of `reply` that contains `marker`; empty when
// no field does.
std::string ValueOfFieldContaining(std::string_view reply, std::string_view marker);

// The decoded reply of a form request with every blank removed (the IP pool and IP
// change exchanges).
std::string SendFormAndDecode(ExchangeContext& ctx, std::string_view path, const std::string& params);

}  // namespace protocol
