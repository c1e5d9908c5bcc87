// The application object: start-up values, branding, one instance per session, and
// the main window run as a modal dialog.
#pragma once

#include <functional>
#include <string_view>

#include "resources/resource_ids.h"
#include "session/session_record.h"
#include "platform/app_shell.h"
#include "platform/system.h"

namespace app {

inline constexpr std::uint32_t kCommonControlClasses = 0xFF;

class CTunraApp {
 public:
  // Runs the main window modally; returns when it has closed.
  using RunMainWindow = std::function<void()>;

  // `clientVersion` is the version this executable was built as (BuildClientVersion in
  // WinMain); it becomes the record's client version at start-up.
  CTunraApp(session::SessionRecord& record, platform::IAppShell& shell, platform::ISystem& system,
            int clientVersion = session::kClientVersion)
      : record_(record), shell_(shell), system_(system), client_version_(clientVersion) {}
  virtual ~CTunraApp() = default;

  // The whole start-up: common controls, OLE, the start-up values from the branding
  // argument, the single-instance check (a second instance asks the first to show
  // itself and ends), then the main window. Always false: the process ends after it.
  bool InitInstance(std::string_view branding, const RunMainWindow& run_main_window);

  platform::WindowHandle otherInstanceWindow() const { return other_instance_window_; }

 private:
  session::SessionRecord& record_;
  platform::IAppShell& shell_;
  platform::ISystem& system_;
  int client_version_;
  platform::WindowHandle other_instance_window_ = 0;
};

}  // namespace app
