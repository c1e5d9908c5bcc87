// The private phonebook of the dialled tunnels (PPTP and L2TP): one entry, "Vexo_Conn",
// of 95 keys in a fixed order, written before every dial to "sobrel.ini" in the
// program's folder. The dialer reads it with the platform's phonebook functions; only
// the tunnel kind and the remote-gateway preference change from one session to the
// next. The server address reaches the dialer as the dial's phone number, not through
// this file.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/profile.h"
#include "settings/ini_mgmt.h"

namespace tunnel {

inline constexpr const char* kPhonebookSection = "Vexo_Conn";
inline constexpr const char* kPhonebookFileName = "sobrel.ini";
inline constexpr std::size_t kPhonebookKeyCount = 95;

// The L2TP device's name as the dialer lists it, written as these exact 21 bytes for
// every tunnel kind: "WAN ", the UTF-8 bytes of the syllables 미 and 니, the two bytes
// 3F AC, the UTF-8 bytes of 트, and "(L2TP)".
inline constexpr char kL2tpDeviceName[] =
    "WAN \xEB\xAF\xB8\xEB\x8B\x88\x3F\xAC\xED\x8A\xB8(L2TP)";
static_assert(sizeof kL2tpDeviceName - 1 == 21, "the device name is 21 bytes");

class CRasConfigFile {
 public:
  CRasConfigFile(platform::IFiles& files, platform::IPrivateProfile& profile);
  virtual ~CRasConfigFile() = default;

  // `VpnStrategy` and `IpPrioritizeRemote` from the two numbers; with a path, keeps it
  // as the phonebook file and creates that file empty (old content gone). 1 when the
  // file was created, 0 otherwise (an empty path changes nothing and creates nothing).
  int PrepareEntry(int strategy, int preferRemote, const std::string& path);
  // Writes the 95 keys, in order, to the phonebook file's entry.
  void WriteEntry();

  const std::string& phonebookFile() const { return phonebook_file_; }
  // The value of `key` as it will be written; empty for a key the entry does not have.
  std::string Value(std::string_view key) const;

 private:
  platform::IFiles& files_;
  settings::CIniMgmt ini_;
  std::string phonebook_file_;
  std::array<std::string, kPhonebookKeyCount> values_;
};

// The keys of the entry in the order they are written.
std::string_view PhonebookKey(std::size_t index);

}  // namespace tunnel
