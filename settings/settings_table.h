// The values kept under the client's settings key, with their defaults.
//
// Every value is REG_SZ text directly under HKEY_CURRENT_USER\SOFTWARE\Orvak. A value
// that is absent (or cannot be read) reads as its default.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/reg_ctrl.h"
#include "platform/registry.h"

namespace settings {

constexpr platform::RegKey kSettingsRoot = platform::kHkeyCurrentUser;
constexpr const char* kSettingsKeyPath = "SOFTWARE\\Orvak";

enum class Setting {
  kAccountId,       // ui1: encoded account identifier
  kPassword,        // up2: encoded password
  kRememberAccount, // uipchk: "1" pre-fills the login fields
  kTunnelType,      // VCType: "1" PPTP, "4" OpenVPN
  kIpChangeType,    // VSIpChgType: "1" one-click IP change on
  kServerCode,      // VSvrCode: preferred VPN server
  kInStart,         // inStart: program started when the tunnel comes up
  kInStop,          // inStop: program ended when the tunnel comes up
  kOutStart,        // OutStart: program started when the tunnel goes down
  kOutStop,         // OutStop: program ended when the tunnel goes down
  kFavouriteCodes,  // IpCode: favourite IP texts of the whole-pool panel, joined with '^'
  kFavouriteIps,    // IpList: favourite IP texts of the class panel, joined with '^'
  kReplacedIfIndex, // adpi: interface that held the default route
  kReplacedAddress, // lgy: encoded local address at that moment
};

struct SettingInfo {
  Setting id;
  std::string_view name;
  std::string_view defaultValue;
};

// In the order of the enumeration (checked at compile time below).
inline constexpr SettingInfo kSettingTable[] = {
    {Setting::kAccountId, "ui1", ""},
    {Setting::kPassword, "up2", ""},
    {Setting::kRememberAccount, "uipchk", ""},
    {Setting::kTunnelType, "VCType", "4"},
    {Setting::kIpChangeType, "VSIpChgType", "0"},
    {Setting::kServerCode, "VSvrCode", ""},
    {Setting::kInStart, "inStart", ""},
    {Setting::kInStop, "inStop", ""},
    {Setting::kOutStart, "OutStart", ""},
    {Setting::kOutStop, "OutStop", ""},
    {Setting::kFavouriteCodes, "IpCode", ""},
    {Setting::kFavouriteIps, "IpList", ""},
    {Setting::kReplacedIfIndex, "adpi", ""},
    {Setting::kReplacedAddress, "lgy", ""},
};

constexpr const SettingInfo& Info(Setting s) { return kSettingTable[static_cast<std::size_t>(s)]; }

namespace detail {
constexpr bool TableInEnumOrder() {
  for (std::size_t i = 0; i < std::size(kSettingTable); ++i)
    if (static_cast<std::size_t>(kSettingTable[i].id) != i) return false;
  return true;
}
}  // namespace detail
static_assert(detail::TableInEnumOrder(), "kSettingTable must follow the Setting order");

// Where the settings live; the session record holds one of these.
struct SettingsKey {
  platform::RegKey root = kSettingsRoot;
  std::string path = kSettingsKeyPath;
};

// The stored text of `s`, or its default when it is absent or cannot be read.
std::string ReadSetting(CRegCtrl& reg, const SettingsKey& key, Setting s);

// The stored value as a decimal number (C runtime rules), or the default's number.
int ReadSettingInt(CRegCtrl& reg, const SettingsKey& key, Setting s);

// True when the value exists and is readable (uipchk counts by presence of "1").
bool HasSetting(CRegCtrl& reg, const SettingsKey& key, Setting s);

// Writes `s` as REG_SZ text; 1 when the key could be opened or created.
int WriteSetting(CRegCtrl& reg, const SettingsKey& key, Setting s, const std::string& text);

// Deletes `s`; 1 when it existed and was deleted.
int DeleteSetting(CRegCtrl& reg, const SettingsKey& key, Setting s);

}  // namespace settings
