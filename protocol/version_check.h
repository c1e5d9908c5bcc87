// The version check: a small plain-text file on the back end names the newest client
// and where its installer lies. Fetched with the query form, not decoded:
//
//   version=1186
//   download=http://host/download/tunra_setup_1186.exe
//   sha256=<64 hexadecimal digits of the installer>
//
// one key=value per LF-separated line; blanks, tabs and CRs anywhere are dropped first;
// other lines are ignored (so clients that do not know the digest line still read the
// file). The file name of the download URL becomes a path in the Windows folder, so it
// is shape-checked before it is used.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "protocol/web_mgmt.h"
#include "session/session_record.h"

namespace protocol {

// "http://<webHost>/ClientVersion/<clientCode>/<setupPageName>".
std::string VersionFileUrl(const session::SessionRecord& record);

// Fills updateVersion, updateUrl, updateFileName and updateSha256 from the file's
// text; what the text does not carry keeps its value. The digest belongs to the
// download it comes with: a download line sets updateSha256 to the file's digest
// line, or empties it when there is none (a digest line that is not 64 hexadecimal
// digits counts as none).
void ReadVersionFile(std::string_view reply, session::SessionRecord& record);

// Fetches the version file and reads it. A failed fetch leaves the fields as they
// were (possibly from the user check reply). Returns 1.
int VersionCheck(session::SessionRecord& record, CWebMgmt& web);

// An installer name is written into the temporary folder and started from there:
// the longest one taken.
inline constexpr std::size_t kMaxInstallerNameLength = 100;

// Whether `name` can be the installer's file name in the temporary folder: not empty,
// at most kMaxInstallerNameLength bytes, no folder part or drive ('\', '/', ':', ".."),
// no control byte, none of the characters Windows refuses in a name or that would end
// the quoted path of the installer's command line (" < > | ? *), no blank or dot at
// its end (Windows drops them, naming another file) and not a device name (CON, NUL,
// COM1, ...).
bool IsUsableInstallerName(std::string_view name);

}  // namespace protocol
