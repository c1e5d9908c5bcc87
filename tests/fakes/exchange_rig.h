// Every fake an exchange talks to, wired into one ExchangeContext, over the HTTP
// transport the test chooses (the scripted fake, or real sockets in peer tests).
#pragma once

#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"
#include "fakes/fake_window.h"
#include "fakes/recording_session_hooks.h"
#include "protocol/exchange_context.h"

namespace fakes {

template <class Internet>
class ExchangeRig {
 protected:
  explicit ExchangeRig(platform::WindowHandle main_handle = 0)
      : ctx_{record_, web_, main_, registry_, system_, facts_, tables_, shell_, files_, clock_, hooks_} {
    main_.handle = main_handle;
  }

  session::SessionRecord record_;
  Internet internet_;
  FakeWindow main_;
  // Messages of the HTTP client ("Web Send Error") go to the main window.
  protocol::CWebMgmt web_{internet_, session::kRequestHeaders, "tunra",
                          [this](const std::string& text, const std::string& caption) {
                            main_.MessageBox(text, caption, platform::kMbOk);
                          }};
  FakeRegistry registry_;
  FakeSystem system_;
  FakeSystemFacts facts_;
  FakeNetTables tables_;
  FakeShell shell_;
  FakeFiles files_;
  FakeClock clock_;
  RecordingSessionHooks hooks_;
  protocol::ExchangeContext ctx_;
};

}  // namespace fakes
