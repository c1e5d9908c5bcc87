#include "protocol/version_check.h"

#include "text/cp949.h"
#include "text/field.h"

namespace protocol {

namespace {

constexpr std::size_t kSha256HexLength = 64;

bool IsSha256Hex(std::string_view value) {
  if (value.size() != kSha256HexLength) return false;
  for (char c : value) {
    const bool digit = c >= '0' && c <= '9';
    const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!digit && !letter) return false;
  }
  return true;
}

// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9, with or without an extension: Windows
// opens the device, not a file in the folder.
bool IsDeviceName(std::string_view name) {
  const std::string base = text::ToUpperAscii(name.substr(0, name.find('.')));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string VersionFileUrl(const session::SessionRecord& record) {
  return "http://" + record.webHost + "/ClientVersion/" + record.clientCode + "/" + record.setupPageName;
}

void ReadVersionFile(std::string_view reply, session::SessionRecord& record) {
  const std::string text =
      text::ReplaceAll(text::ReplaceAll(text::ReplaceAll(reply, "\t", " "), " ", ""), "\r", "");
  bool download = false;
  std::string digest;
  text::FieldCursor lines(text, '\n');
  for (std::string_view line; lines.Next(line);) {
    const std::string key = text::ExtractField(line, 0, '=');
    const std::string value = text::ExtractField(line, 1, '=');
    if (key == "version" && !value.empty()) {
      record.updateVersion = text::AtoI(value);
    } else if (key == "download" && value.size() > 5) {
      record.updateUrl = value;
      const std::size_t slash = value.rfind('/');  // never a trail byte: those are 0x41 and up
      record.updateFileName = slash == std::string::npos ? value : value.substr(slash + 1);
      download = true;
    } else if (key == "sha256" && IsSha256Hex(value)) {
      digest = text::ToLowerAscii(value);
    }
  }
  if (download) record.updateSha256 = digest;
}

int VersionCheck(session::SessionRecord& record, CWebMgmt& web) {
  ReadVersionFile(web.SendQueryRequest(VersionFileUrl(record)), record);
  return 1;
}

bool IsUsableInstallerName(std::string_view name) {
  if (name.empty() || name.size() > kMaxInstallerNameLength) return false;
  // Byte by byte: every byte looked for is below 0x41, which no trail byte of a
  // double-byte character is.
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case '\\': case '/': case ':': case '"': case '<': case '>': case '|': case '?': case '*':
        return false;
      default:
        break;
    }
  }
  // Byte by byte too: a character-wise search steps over "\x92." as if it were one
  // double-byte character, yet '.' is no trail byte and the name holds two dots.
  if (name.find("..") != std::string_view::npos) return false;
  const char last = name.back();
  if (last == '.' || last == ' ') return false;
  return !IsDeviceName(name);
}

}  // namespace protocol
