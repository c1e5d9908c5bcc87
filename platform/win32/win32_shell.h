// The notification-area icon and ShellExecute on Windows.
#pragma once

#include "platform/shell.h"

namespace platform::win32 {

class Win32Shell final : public IShell {
 public:
  bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override;
  int QueryUserNotificationState() override;
  bool ForegroundCoversMonitor(WindowHandle own) override;
  bool IsWindow(WindowHandle window) override;
  IconHandle LoadIcon(int resourceId) override;
  std::uint32_t RegisterWindowMessage(const std::string& name) override;
  bool AllowMessageFromLowerIntegrity(WindowHandle window, std::uint32_t message) override;
  std::string DocumentsFolder() override;
  std::intptr_t ShellExecute(WindowHandle owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& directory,
                             int show) override;
};

}  // namespace platform::win32
