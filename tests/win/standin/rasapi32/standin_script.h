// The script of the test-only dialer: what the next dial does. Read from the file
// that TUNRA_RAS_SCRIPT names, else from rasapi32-script.txt beside this DLL; no file
// means the defaults (every state to "connected", 100 ms apart). One directive a line,
// '#' starts a comment:
//
//   delay MS                  pause before each notification (default 100)
//   states S1 S2 ...          the states reported, in order (default 0 1 ... 18 8192)
//   error CODE at STATE       the notification of STATE carries CODE; nothing follows
//   refuse CODE [nohandle]    RasDial answers CODE itself (handing out a handle, which
//                             must be hung up, unless "nohandle")
//   address A.B.C.D           the client address of the IP projection (default 10.0.0.2)
//   server-address A.B.C.D    the server address of the projection (default 10.0.0.1)
//   projection-error CODE     RasGetProjectionInfo answers CODE
//   drop-after MS             the link is lost MS ms after it connected
//   drop-file PATH            the link is lost when PATH appears (default
//                             rasapi32-drop.txt beside this DLL); the file is deleted
//   drop-as invalid-handle|disconnected
//                             the status of a lost link: error 6 (default), or state
//                             8193 with error 619
//   release-after MS          a hung-up connection stays known MS ms (default 0; it is
//                             never released while its notifier runs)
//   text CODE TEXT            the error text of CODE (the rest of the line, code page
//                             949 bytes)
//   journal PATH              where calls are journalled (TUNRA_RAS_JOURNAL wins; default
//                             rasapi32-journal.txt beside this DLL)
//
// Paths are Windows paths; one that starts with '/' is a Linux path under Wine.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace standin {

struct Script {
  unsigned delayMs = 100;
  std::vector<unsigned long> states;
  unsigned long errorCode = 0;
  unsigned long errorState = 0;
  unsigned long refuseCode = 0;
  bool refuseWithHandle = true;
  std::string address = "10.0.0.2";
  std::string serverAddress = "10.0.0.1";
  unsigned long projectionError = 0;
  long dropAfterMs = -1;
  std::wstring dropFile;
  bool dropAsDisconnected = false;
  unsigned releaseAfterMs = 0;
  std::map<unsigned long, std::string> texts;
  std::wstring journal;
};

// The script in force now (read again on every call, so a test can change it between
// dials), with any problem of a line reported in `problems`.
Script LoadScript(std::vector<std::string>& problems);

// `text` parsed as a script.
Script ParseScript(const std::string& text, std::vector<std::string>& problems);

// A path of the script or the environment as a Windows path.
std::wstring WindowsPath(const std::string& path);
// The folder this DLL was loaded from, with its trailing backslash.
std::wstring ModuleFolder();
// The error text of `code`: the script's, else the stand-in's own; false when neither.
bool ErrorText(const Script& script, unsigned long code, std::string& text);

}  // namespace standin
