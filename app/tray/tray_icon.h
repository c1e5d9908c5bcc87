// The main window's notification-area icon: picture 213 without a tunnel, 214 with
// one, the tip " TUNRA 매니저 ", and the callback message 1012 for its clicks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "resources/resource_ids.h"
#include "app/texts.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace app {

// The registered window message a shell broadcasts to every top-level window once it
// has created its taskbar, after a restart too.
inline constexpr const char* kTaskbarCreatedMessage = "TaskbarCreated";

// The text of a balloon field: line breaks as blanks, at most `maxChars` characters,
// cut on a whole code page 949 character.
std::string BalloonField(const std::string& text, std::size_t maxChars);

class CTrayIcon {
 public:
  CTrayIcon(platform::IShell& shell, platform::ISystem& system) : shell_(shell), system_(system) {}
  virtual ~CTrayIcon() { Remove(); }

  // Adds the icon for `owner`: 1, or 0 when the shell is too old (major version
  // below 4), the owner is missing or no window, or the shell refuses it.
  int Create(platform::WindowHandle owner);

  // Deletes the icon when it exists.
  void Remove();

  // Changes the picture to icon resource `id`: the shell's answer, 0 without an icon.
  int SetIcon(int id);

  // Changes the tip text: the shell's answer, 0 without an icon.
  int SetTip(const std::string& tip);

  // A balloon on the icon: `title` and `text` (line breaks as blanks, cut to the
  // fields' limits) with `icon` (platform::kNiifInfo, kNiifWarning). The shell's
  // answer, 0 without an icon.
  int ShowBalloon(const std::string& title, const std::string& text, std::uint32_t icon);

  bool iconValid() const { return icon_valid_; }
  // From Create until Remove: the program shows the icon, or is still trying to add
  // it. A restarted shell gets such an icon again; one the program removed stays away.
  bool wanted() const { return wanted_; }

 private:
  platform::IShell& shell_;
  platform::ISystem& system_;
  platform::NotifyIconData data_;
  bool icon_valid_ = false;
  bool wanted_ = false;
};

}  // namespace app
