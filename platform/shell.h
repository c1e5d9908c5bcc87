// Shell: the notification-area icon and opening documents and URLs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

using IconHandle = Handle;

constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimModify = 1;
constexpr std::uint32_t kNimDelete = 2;
constexpr std::uint32_t kNifMessage = 0x1;
constexpr std::uint32_t kNifIcon = 0x2;
constexpr std::uint32_t kNifTip = 0x4;
constexpr std::uint32_t kNifInfo = 0x10;    // a balloon: infoTitle, info, infoFlags
constexpr std::uint32_t kNiifInfo = 0x1;    // the balloon's information icon
constexpr std::uint32_t kNiifWarning = 0x2;  // the balloon's warning icon

// The balloon's fields hold 63 and 255 characters (64 and 256 with the terminator).
constexpr std::size_t kBalloonTitleChars = 63;
constexpr std::size_t kBalloonTextChars = 255;

// SHQueryUserNotificationState's answers (QUERY_USER_NOTIFICATION_STATE); 0 stands for
// no answer (the call is missing before Vista, or it failed).
constexpr int kQunsNone = 0;
constexpr int kQunsNotPresent = 1;
constexpr int kQunsBusy = 2;
constexpr int kQunsRunningD3dFullScreen = 3;
constexpr int kQunsPresentationMode = 4;
constexpr int kQunsAcceptsNotifications = 5;

// NOTIFYICONDATA, the fields the client fills. The tip holds at most 127 bytes; the
// implementation cuts a longer tip on a character boundary.
struct NotifyIconData {
  WindowHandle owner = 0;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  IconHandle icon = 0;
  std::string tip;
  // With kNifInfo: the balloon's title and text (code page 949, within the limits
  // above) and its icon (kNiifInfo, kNiifWarning).
  std::string infoTitle;
  std::string info;
  std::uint32_t infoFlags = 0;
};

class IShell {
 public:
  virtual ~IShell() = default;

  // Shell_NotifyIcon(message, data): true when the shell accepted it.
  virtual bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;

  // SHQueryUserNotificationState, looked up by name (Vista and later): a kQuns value,
  // kQunsNone when the system has no such call or it failed.
  virtual int QueryUserNotificationState() = 0;

  // Whether the foreground window covers the whole of its monitor, and is neither the
  // desktop nor the shell's window nor a window of the program's own process (`own`
  // names one of them): what a game in full screen looks like from outside.
  virtual bool ForegroundCoversMonitor(WindowHandle own) = 0;

  // IsWindow: whether `window` names an existing window.
  virtual bool IsWindow(WindowHandle window) = 0;

  // LoadIcon of the program's own icon resource `resourceId`; 0 when it is missing.
  virtual IconHandle LoadIcon(int resourceId) = 0;

  // RegisterWindowMessage(name): the message number every program of the session
  // shares for `name`; 0 when it cannot be registered.
  virtual std::uint32_t RegisterWindowMessage(const std::string& name) = 0;

  // Lets `message` reach `window` from a process of a lower integrity level, as an
  // unelevated shell is to an elevated program (ChangeWindowMessageFilterEx with
  // MSGFLT_ALLOW; ChangeWindowMessageFilter where only that exists). True where the
  // system has no such filter; false when it refused.
  virtual bool AllowMessageFromLowerIntegrity(WindowHandle window, std::uint32_t message) = 0;

  // SHGetFolderPath(CSIDL_PERSONAL): the user's documents folder (backslashes, no
  // trailing separator); empty when it cannot be found or named in code page 949.
  virtual std::string DocumentsFolder() = 0;

  // ShellExecuteA(owner, verb, file, parameters, directory, show): the result as the
  // call gives it, above 32 on success.
  virtual std::intptr_t ShellExecute(WindowHandle owner, const std::string& verb,
                                     const std::string& file, const std::string& parameters,
                                     const std::string& directory, int show) = 0;
};

}  // namespace platform
