// Every exchange's handling of a reply the server controls: the input is the decoded
// reply (encoded on the way, as the server sends it) of the user check, the account
// information, the IP pool and the IP change exchanges, each run with fakes.
#include <cstdint>
#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"
#include "fakes/fake_internet.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"
#include "fakes/fake_window.h"
#include "fakes/recording_session_hooks.h"
#include "protocol/account_info.h"
#include "protocol/exchange_context.h"
#include "protocol/ip_change.h"
#include "protocol/ip_pool.h"
#include "protocol/user_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  session::SessionRecord record;
  record.clientCode = "tunra";
  record.userId = "demo";
  record.password = "demo1234";
  record.webHost = "127.0.0.1";
  record.settingsRoot = platform::kHkeyCurrentUser;
  record.settingsKeyPath = "SOFTWARE\\Orvak";
  fakes::FakeInternet internet;
  for (const char* path : {"/ClientLogin/user_check_v1.php", "/ClientLogin/get_info.php", "/Info/ip_pool_list.php",
                           "/ClientLogin/socket_change.php"})
    internet.ScriptEncoded(path, reply);
  fakes::FakeWindow main;
  protocol::CWebMgmt web(internet, session::kRequestHeaders, "tunra",
                         [&](const std::string& text, const std::string& caption) {
                           main.MessageBox(text, caption, platform::kMbOk);
                         });
  fakes::FakeRegistry registry;
  fakes::FakeSystem system;
  fakes::FakeSystemFacts facts;
  fakes::FakeNetTables tables;
  fakes::FakeShell shell;
  fakes::FakeFiles files;
  fakes::FakeClock clock;
  fakes::RecordingSessionHooks hooks;
  protocol::ExchangeContext ctx{record, web, main, registry, system, facts, tables, shell, files, clock, hooks};

  protocol::UserCheck(ctx);
  protocol::AccountInfo(ctx);
  protocol::FetchIpPool(ctx, main);
  std::string assigned;
  protocol::RequestIpChange(ctx, "101", assigned);
  return 0;
}
