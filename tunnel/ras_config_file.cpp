#include "tunnel/ras_config_file.h"

namespace tunnel {

namespace {

struct KeyDefault {
  const char* key;
  const char* value;  // at construction
};

// The entry's keys in the order they are written, with their values at construction.
// `DEVICE1` has its digit; `PhoneNumber` stays empty.
constexpr KeyDefault kEntry[] = {
    {"Encoding", "1"},
    {"Type", "2"},
    {"AutoLogon", "0"},
    {"UseRasCredentials", "1"},
    {"LowDateTime", "-1698248304"},
    {"HighDateTime", "29959223"},
    {"DialParamsUID", "1823105"},
    {"Guid", "9563B72D1271634A944F4A2EC1047929"},
    {"BaseProtocol", "1"},
    {"VpnStrategy", "2"},
    {"ExcludedProtocols", "2"},
    {"LcpExtensions", "1"},
    {"DataEncryption", "8"},
    {"SwCompression", "0"},
    {"NegotiateMultilinkAlways", "0"},
    {"SkipNwcWarning", "0"},
    {"SkipDownLevelDialog", "0"},
    {"SkipDoubleDialDialog", "0"},
    {"DialMode", "0"},
    {"OverridePref", "15"},
    {"RedialAttempts", "3"},
    {"RedialSeconds", "60"},
    {"IdleDisconnectSeconds", "0"},
    {"RedialOnLinkFailure", "0"},
    {"CallbackMode", "0"},
    {"CustomDialDll", ""},
    {"CustomDialFunc", ""},
    {"CustomRasDialDll", ""},
    {"ForceSecureCompartment", "0"},
    {"DisableIKENameEkuCheck", "0"},
    {"AuthenticateServer", "0"},
    {"ShareMsFilePrint", "1"},
    {"BindMsNetClient", "1"},
    {"SharedPhoneNumbers", "0"},
    {"GlobalDeviceSettings", "0"},
    {"PrerequisiteEntry", ""},
    {"PrerequisitePbk", ""},
    {"PreferredPort", "VPN0-0"},
    {"PreferredDevice", kL2tpDeviceName},
    {"PreferredBps", "0"},
    {"PreferredHwFlow", "1"},
    {"PreferredProtocol", "1"},
    {"PreferredCompression", "1"},
    {"PreferredSpeaker", "1"},
    {"PreferredMdmProtocol", "0"},
    {"PreviewUserPw", "1"},
    {"PreviewDomain", "1"},
    {"PreviewPhoneNumber", "0"},
    {"ShowDialingProgress", "1"},
    {"ShowMonitorIconInTaskBar", "1"},
    {"CustomAuthKey", "-1"},
    {"AuthRestrictions", "544"},
    {"TypicalAuth", "2"},
    {"IpPrioritizeRemote", "0"},
    {"IpInterfaceMetric", "0"},
    {"fCachedDnsSuffix", "0"},
    {"IpHeaderCompression", "0"},
    {"IpAddress", "0.0.0.0"},
    {"IpWinsAddress", "0.0.0.0"},
    {"IpWins2Address", "0.0.0.0"},
    {"IpDnsAddress", "168.126.63.1"},
    {"IpDns2Address", "168.126.63.2"},
    {"IpAssign", "1"},
    {"IpNameAssign", "2"},
    {"IpDnsFlags", "0"},
    {"IpNBTFlags", "1"},
    {"TcpWindowSize", "0"},
    {"UseFlags", "0"},
    {"IpSecFlags", "0"},
    {"IpDnsSuffix", ""},
    {"IpCachedDnsSuffix", ""},
    {"Ipv6PrioritizeRemote", "1"},
    {"Ipv6InterfaceMetric", "0"},
    {"Ipv6NameAssign", "1"},
    {"Ipv6DnsAddress", "::"},
    {"Ipv6Dns2Address", "::"},
    {"Ipv6InterfaceId", "0000000000000000"},
    {"NETCOMPONENTS", ""},
    {"ms_msclient", "1"},
    {"ms_server", "1"},
    {"ms_pacer", "1"},
    {"symc_symim", "1"},
    {"MEDIA", "rastapi"},
    {"Port", "VPN0-0"},
    {"Device", kL2tpDeviceName},
    {"DEVICE1", "vpn"},
    {"PhoneNumber", ""},
    {"AreaCode", ""},
    {"CountryCode", "1"},
    {"CountryID", "1"},
    {"UseDialingRules", "0"},
    {"Comment", ""},
    {"LastSelectedPhone", "0"},
    {"PromoteAlternates", "0"},
    {"TryNextAlternateOnFail", "1"},
};
static_assert(sizeof kEntry / sizeof kEntry[0] == kPhonebookKeyCount, "the entry has 95 keys");

constexpr std::size_t kVpnStrategy = 9;         // replaced by the tunnel kind
constexpr std::size_t kIpPrioritizeRemote = 53;  // replaced by the remote-gateway preference

}  // namespace

std::string_view PhonebookKey(std::size_t index) { return index < kPhonebookKeyCount ? kEntry[index].key : ""; }

CRasConfigFile::CRasConfigFile(platform::IFiles& files, platform::IPrivateProfile& profile)
    : files_(files), ini_(profile) {
  for (std::size_t i = 0; i < kPhonebookKeyCount; ++i) values_[i] = kEntry[i].value;
}

int CRasConfigFile::PrepareEntry(int strategy, int preferRemote, const std::string& path) {
  values_[kVpnStrategy] = std::to_string(strategy);
  values_[kIpPrioritizeRemote] = std::to_string(preferRemote);
  if (path.empty()) return 0;
  phonebook_file_ = path;
  // Emptied first: writing key by key into an old file would keep whatever else it held.
  return files_.Open(path, platform::FileMode::kReadWriteTruncate) != nullptr ? 1 : 0;
}

void CRasConfigFile::WriteEntry() {
  ini_.path = phonebook_file_;
  for (std::size_t i = 0; i < kPhonebookKeyCount; ++i) ini_.WriteKey(kPhonebookSection, kEntry[i].key, values_[i]);
}

std::string CRasConfigFile::Value(std::string_view key) const {
  for (std::size_t i = 0; i < kPhonebookKeyCount; ++i)
    if (key == kEntry[i].key) return values_[i];
  return std::string();
}

}  // namespace tunnel
