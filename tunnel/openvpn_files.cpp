#include "tunnel/openvpn_files.h"

#include "net/diag_lines.h"
#include "settings/file_mgmt.h"
#include "tunnel/openvpn_directives.h"
#include "tunnel/texts.h"

namespace tunnel {

namespace {

// Lines 1-5 and 9-12 of the configuration: fixed.
constexpr const char* kHeadLines[] = {"client", "dev tap", "persist-key", "persist-tun", "nobind"};
constexpr const char* kMiddleLines[] = {"verb 3", "mute 10", "reneg-sec 864000", "auth-nocache"};

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The server of the "remote" line: a dotted address or a host name, letters, digits,
// '-' and '.', starting with a letter or digit. Anything else reaches OpenVPN's parser
// as the reply chose: an empty host made "remote  1194" read as host "1194", a line
// break starts a directive, a quote or backslash changes the line's words, a leading
// '-' reads as an option.
bool IsServerName(const std::string& value) {
  if (value.empty() || value.size() > 253) return false;
  const auto alnum = [](unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  };
  if (!alnum(static_cast<unsigned char>(value[0]))) return false;
  for (unsigned char c : value)
    if (!alnum(c) && c != '-' && c != '.') return false;
  return true;
}

// The port of the "remote" line: empty (OpenVPN's own default), or 1 to 65535 in
// decimal digits.
bool IsPort(const std::string& value) {
  if (value.empty()) return true;
  if (value.size() > 5) return false;
  long number = 0;
  for (unsigned char c : value) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return number >= 1 && number <= 65535;
}

// The part after the last '/' (all of it without one).
std::string LastComponent(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string CredentialPath(const session::SessionRecord& r) {
  return r.accountFileDir + "/" + r.accountFileName;
}

// Windows opens a device for these names, with any extension ("nul.crt", "COM1.crt"):
// a downloaded certificate would be written to a serial port or vanish.
bool IsDeviceName(const std::string& name) {
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
    return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// A certificate's file name ends in .crt, .cer or .pem (any case). The name comes from
// the reply and the download writes it into the program's folder: any other name could
// be the OpenVPN program itself, a tool the client starts, or a library Windows loads
// from the program's folder before its own (version.dll).
bool HasCertificateExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = name.substr(dot);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return extension == ".crt" || extension == ".cer" || extension == ".pem";
}

}  // namespace

COpenVpnFiles::COpenVpnFiles(platform::IFiles& files, platform::IWindow& owner, net::IDiagLog& log)
    : files_(files), owner_(owner), log_(log) {}

// Byte by byte: none of the refused bytes is ever the second byte of a CP949
// character (those are 0x41-0x5A, 0x61-0x7A, 0x81-0xFE), so no Korean name is refused
// for a byte that only looks like a separator.
bool COpenVpnFiles::IsSafeFileName(const std::string& name) {
  if (name.empty() || name.find("..") != std::string::npos || IsDeviceName(LastComponent(name)) ||
      !HasCertificateExtension(name))
    return false;
  for (unsigned char c : name) {
    if (IsControl(c)) return false;
    switch (c) {
      case '\\': case ':':                                    // another folder or drive
      case '"': case '<': case '>': case '|': case '?': case '*':  // not in a Windows name
        return false;
      default:
        break;
    }
  }
  return true;
}

int COpenVpnFiles::ConfigRefused(const session::SessionRecord& r, const char* text,
                                 const std::string& why) {
  log_.Write("openvpn config " + net::diag::Quoted(r.openVpnConfigDir + "/" + r.openVpnConfigName) +
             " -> refused " + why);
  // A credential file of an earlier attempt must not outlive a start that failed.
  if (!r.accountFileDir.empty()) files_.Delete(CredentialPath(r));
  owner_.MessageBox(text, kOvpnConfigCaption, platform::kMbOk);
  return -1;
}

int COpenVpnFiles::WriteOpenVpnConfig(const session::SessionRecord& r) {
  settings::CFileMgmt file(files_);
  if (file.OpenForWrite(r.openVpnConfigDir, r.openVpnConfigName) != 0)
    return ConfigRefused(r, kOvpnConfigFileText, "cannot create the file");

  bool written = true;
  auto line = [&](const std::string& text) {
    if (file.AppendLine(text) != 0) written = false;
  };
  for (const char* text : kHeadLines) line(text);

  if (!IsServerName(r.serverIp) || !IsPort(r.vpnPort)) {
    file.Close();
    return ConfigRefused(r, kOvpnServerAddressText, "server address " + net::diag::Quoted(r.serverIp) +
                                                        " port " + net::diag::Quoted(r.vpnPort));
  }
  // An empty port leaves the line ending in a blank; OpenVPN then uses its default.
  line("remote " + r.serverIp + " " + r.vpnPort);
  line("pull");

  const std::string certName = LastComponent(r.certFileName);
  if (!IsSafeFileName(r.certFileName) || certName.empty()) {
    file.Close();
    return ConfigRefused(r, kOvpnCertFileText, "certificate name " + net::diag::Quoted(r.certFileName));
  }
  line("ca \"" + r.programDir + "/" + certName + "\"");
  for (const char* text : kMiddleLines) line(text);

  if (r.accountFileDir.empty()) {
    file.Close();
    return ConfigRefused(r, kOvpnCredentialFileText, "no folder for the credential file");
  }
  line("auth-user-pass \"" + CredentialPath(r) + "\"");

  const OpenConfigItems items = FilterOpenConfig(r.openConfig);
  for (const DroppedDirective& d : items.dropped)
    log_.Write("openvpn config drop " + net::diag::Quoted(d.shown) + " -> " + d.reason);
  for (const std::string& item : items.kept) line(item);
  file.Close();

  // A cut file would start the program with part of its configuration.
  if (!written) return ConfigRefused(r, kOvpnConfigFileText, "write failed");
  log_.Write("openvpn config " + net::diag::Quoted(r.openVpnConfigDir + "/" + r.openVpnConfigName) +
             " -> written, " + std::to_string(items.kept.size()) + " extra kept, " +
             std::to_string(items.dropped.size()) + " dropped");
  return 1;
}

int COpenVpnFiles::CredentialsFailed(const std::string& path, const std::string& why) {
  files_.Delete(path);
  log_.Write("openvpn credentials " + net::diag::Quoted(path) + " -> " + why);
  return -1;
}

int COpenVpnFiles::WriteCredentials(const session::SessionRecord& r) {
  if (r.accountFileDir.empty() || r.accountFileName.empty()) {
    log_.Write("openvpn credentials -> refused no file name");
    return -1;
  }
  const std::string path = CredentialPath(r);
  // A new file that only this user can read: it holds the password in clear text
  // for as long as the tunnel runs.
  std::unique_ptr<platform::IFile> file = files_.Open(path, platform::FileMode::kReplaceOwnerOnly);
  if (!file) return CredentialsFailed(path, "failed cannot create owner-only file");

  if (r.userId.empty() || r.password.empty()) {
    file.reset();
    CredentialsFailed(path, "refused no account");
    owner_.MessageBox(kOvpnNoAccountText, kOvpnNoAccountCaption, platform::kMbOk);
    return -1;
  }
  // One value per line: a line break inside one would move the password to the
  // user name's line (the login refuses such input before it gets here).
  for (const std::string* value : {&r.userId, &r.password})
    for (unsigned char c : *value)
      if (c == '\r' || c == '\n' || c == '\0') {
        file.reset();
        return CredentialsFailed(path, "refused line break in the account");
      }

  const bool written = file->Write(r.userId + "\r\n" + r.password + "\r\n");
  file.reset();
  if (!written) return CredentialsFailed(path, "failed write");
  log_.Write("openvpn credentials " + net::diag::Quoted(path) + " -> written owner-only");
  return 0;
}

void COpenVpnFiles::RemoveOpenVpnFiles(const session::SessionRecord& r) {
  const std::string paths[] = {CredentialPath(r), r.openVpnConfigDir + "/" + r.openVpnConfigName,
                               r.openVpnLogDir + "/" + r.openVpnLogName};
  for (const std::string& path : paths) {
    if (!files_.Exists(path)) continue;
    if (!files_.Delete(path)) log_.Write("openvpn remove " + net::diag::Quoted(path) + " -> failed");
  }
}

}  // namespace tunnel
