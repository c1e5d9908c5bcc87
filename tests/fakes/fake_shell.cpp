#include "fakes/fake_shell.h"

namespace fakes {

bool FakeShell::NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) {
  notified.push_back({message, data});
  if (failNotify) return false;
  switch (message) {
    case platform::kNimAdd:
      if (iconShown) return false;  // the shell refuses a second icon with the same ID
      iconShown = true;
      current = data;
      return true;
    case platform::kNimModify:
      if (!iconShown) return false;
      if (data.flags & platform::kNifIcon) current.icon = data.icon;
      if (data.flags & platform::kNifTip) current.tip = data.tip;
      if (data.flags & platform::kNifMessage) current.callbackMessage = data.callbackMessage;
      if (data.flags & platform::kNifInfo) balloons.push_back(data);
      return true;
    case platform::kNimDelete:
      if (!iconShown) return false;
      iconShown = false;
      return true;
    default:
      return false;
  }
}

}  // namespace fakes
