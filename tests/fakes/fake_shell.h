// Shell and tray: records every call; can be told to fail.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/shell.h"

namespace fakes {

class FakeShell : public platform::IShell {
 public:
  struct NotifyCall {
    std::uint32_t message;
    platform::NotifyIconData data;
  };
  struct ExecuteCall {
    platform::WindowHandle owner;
    std::string verb, file, parameters, directory;
    int show;
  };

  bool NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) override;
  int QueryUserNotificationState() override { return notificationState; }
  bool ForegroundCoversMonitor(platform::WindowHandle own) override {
    foregroundAskedFor = own;
    return foregroundFullScreen;
  }
  bool IsWindow(platform::WindowHandle window) override { return window != 0 && window != destroyedWindow; }
  platform::IconHandle LoadIcon(int resourceId) override {
    loadedIcons.push_back(resourceId);
    return missingIcon == resourceId ? 0 : static_cast<platform::IconHandle>(0x10000 + resourceId);
  }
  std::uint32_t RegisterWindowMessage(const std::string& name) override {
    registeredMessages.push_back(name);
    return registeredMessage;
  }
  bool AllowMessageFromLowerIntegrity(platform::WindowHandle window, std::uint32_t message) override {
    allowedMessages.push_back({window, message});
    return true;
  }
  std::string DocumentsFolder() override { return documentsFolder; }
  std::intptr_t ShellExecute(platform::WindowHandle owner, const std::string& verb,
                             const std::string& file, const std::string& parameters,
                             const std::string& directory, int show) override {
    executed.push_back({owner, verb, file, parameters, directory, show});
    return executeResult;
  }

  // The shell restarts: its new notification area knows no icon.
  void Restart() {
    iconShown = false;
    current = {};
  }

  // The icon as the tray shows it now (after the accepted calls).
  bool iconShown = false;
  platform::NotifyIconData current;

  int notificationState = platform::kQunsAcceptsNotifications;  // what the query answers
  bool foregroundFullScreen = false;  // another program's window covers its monitor
  platform::WindowHandle foregroundAskedFor = 0;  // `own` of the last question
  platform::WindowHandle destroyedWindow = 0;  // IsWindow answers false for it
  bool failNotify = false;        // every Shell_NotifyIcon call is refused
  int missingIcon = -1;           // LoadIcon of this resource gives 0
  std::intptr_t executeResult = 42;  // > 32: success; set <= 32 to fail
  std::uint32_t registeredMessage = 0xC0F1;  // what RegisterWindowMessage answers
  std::string documentsFolder = "C:\\Users\\kim\\Documents";

  std::vector<NotifyCall> notified;
  std::vector<platform::NotifyIconData> balloons;  // the balloons an icon showed
  std::vector<int> loadedIcons;
  std::vector<ExecuteCall> executed;
  std::vector<std::string> registeredMessages;
  std::vector<std::pair<platform::WindowHandle, std::uint32_t>> allowedMessages;
};

}  // namespace fakes
