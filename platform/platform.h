// The platform services the program uses, handed around as one bundle.
//
// WinMain builds the one bundle from the Win32 implementations; tests build it from
// fakes. The main window passes it to the managers it owns, so no manager reaches a
// Windows call except through these interfaces. Windows are not part of the bundle:
// each dialog's logic gets its own IWindow. A service family joins the bundle with the
// first part of the program that calls it.
#pragma once

#include "platform/app_shell.h"
#include "platform/background.h"
#include "platform/files.h"
#include "platform/internet.h"
#include "platform/iphelper.h"
#include "platform/netconn.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/ras.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace platform {

struct Platform {
  IRegistry& registry;
  IPrivateProfile& profile;
  IInternet& internet;
  INetTables& netTables;
  IRas& ras;
  INetConnections& netConnections;
  IProcesses& processes;
  IShell& shell;
  ISystem& system;
  ISystemFacts& systemFacts;
  IClock& clock;
  IFiles& files;
  IAppShell& appShell;
  IBackgroundWork& background;
};

}  // namespace platform
