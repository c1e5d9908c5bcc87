#include "app/startup/tunra_app.h"

#include "app/startup/branding.h"

namespace app {

bool CTunraApp::InitInstance(std::string_view branding, const RunMainWindow& run_main_window) {
  shell_.InitCommonControls(kCommonControlClasses);
  shell_.InitOle();

  record_.requestHeaders = session::kRequestHeaders;
  record_.clientVersion = client_version_;
  ApplyBranding(branding, record_);  // also sets setupPageName
  record_.windowsDir = system_.WindowsDirectory();

  // Looked up before the mutex test, in every instance.
  other_instance_window_ = shell_.FindWindowByTitle(TUNRA_WINDOW_TITLE);

  long last_error = 0;
  const platform::Handle mutex = shell_.CreateMutex(TUNRA_MUTEX_NAME, last_error);
  if (!mutex) return false;
  if (last_error == platform::kErrorAlreadyExists) {
    shell_.SendMessage(other_instance_window_, WM_APP_RESTORE, 0, 0);
    return false;
  }
  // The mutex stays open until the process ends; the system releases it then.
  if (run_main_window) run_main_window();
  return false;
}

}  // namespace app
