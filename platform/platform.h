// Every platform service the core uses, handed around as one bundle.
//
// The main window owns one Platform and passes it to the managers it owns, so no
// manager reaches a Windows call except through these interfaces. Windows are not
// part of the bundle: each dialog logic object gets its own IWindow.
#pragma once

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
#include "platform/window.h"

namespace platform {

struct Platform {
  IRegistry& registry;
  IPrivateProfile& profile;
  IInternet& internet;
  IUrlDownloader& downloader;
  IRas& ras;
  INetTables& netTables;
  INetConnections& netConnections;
  IProcesses& processes;
  IShell& shell;
  ISystem& system;
  IClock& clock;
  IFiles& files;
};

}  // namespace platform
