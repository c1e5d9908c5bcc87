// The OpenVPN working files in the program's folder: the configuration ("vexoen.opc"),
// the credentials ("vrs.inf": user and password, readable by its owner only, deleted on
// every end of a tunnel) and their removal with the log. Messages are shown on `owner`
// where a failure is found.
#pragma once

#include <string>

#include "net/diag_log.h"
#include "platform/files.h"
#include "platform/window.h"
#include "session/session_record.h"

namespace tunnel {

class COpenVpnFiles {
 public:
  COpenVpnFiles(platform::IFiles& files, platform::IWindow& owner, net::IDiagLog& log);
  virtual ~COpenVpnFiles() = default;

  // The configuration file from the session record. 1 written; -1 after its message
  // (CODE-013 ... CODE-016), the file possibly left for RemoveOpenVpnFiles.
  int WriteOpenVpnConfig(const session::SessionRecord& record);
  // The credential file. 0 written; -1 on failure (CODE-019 for a missing account).
  int WriteCredentials(const session::SessionRecord& record);
  // Deletes the credential, configuration and log files, in that order.
  void RemoveOpenVpnFiles(const session::SessionRecord& record);

  // Whether `name` (certFileName from the back end) may become a file name in the
  // program's folder: no '\', ':', "..", control character; not empty; not a name
  // Windows opens as a device (nul, con, com1, ... with any extension); ending in .crt,
  // .cer or .pem, so it never names a program or a library.
  static bool IsSafeFileName(const std::string& name);

 private:
  // Shows `text` (CODE-013 ... CODE-016), logs `why`, deletes the credential file and
  // answers -1.
  int ConfigRefused(const session::SessionRecord& record, const char* text, const std::string& why);
  // Deletes the credential file after a failure, logs `why` and answers -1.
  int CredentialsFailed(const std::string& path, const std::string& why);

  platform::IFiles& files_;
  platform::IWindow& owner_;
  net::IDiagLog& log_;
};

}  // namespace tunnel
