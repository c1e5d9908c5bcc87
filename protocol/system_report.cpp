#include "protocol/system_report.h"

#include <vector>

namespace protocol {

namespace {

constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint16_t kArchX86 = 0, kArchIa64 = 6, kArchAmd64 = 9;

constexpr std::uint16_t kSuiteEnterprise = 0x0002;
constexpr std::uint16_t kSuiteDatacenter = 0x0080;
constexpr std::uint16_t kSuitePersonal = 0x0200;
constexpr std::uint16_t kSuiteBlade = 0x0400;
constexpr std::uint16_t kSuiteStorageServer = 0x2000;
constexpr std::uint16_t kSuiteComputeServer = 0x4000;
constexpr std::uint16_t kSuiteHomeServer = 0x8000;

const char* ProductEdition(std::uint32_t type) {
  switch (type) {
    case 1: return "Ultimate Edition";
    case 2: return "Home Basic Edition";
    case 3: return "Home Premium Edition";
    case 4: case 10: return "Enterprise Edition";
    case 6: return "Business Edition";
    case 7: return "Standard Edition";
    case 8: return "Datacenter Edition";
    case 9: return "Small Business Server";
    case 11: return "Starter Edition";
    case 12: return "Datacenter Edition (core installation)";
    case 13: return "Standard Edition (core installation)";
    case 14: return "Enterprise Edition (core installation)";
    case 15: return "Enterprise Edition for Itanium-based Systems";
    case 17: return "Web Server Edition";
    case 18: return "Cluster Server Edition";
    case 25: return "Small Business Server Premium Edition";
    case 48: return "Professional";
    default: return "";
  }
}

const char* NameOfNt6(std::uint32_t minor, bool workstation) {
  switch (minor) {
    case 0: return workstation ? "Windows Vista " : "Windows Server 2008 ";
    case 1: return workstation ? "Windows 7 " : "Windows Server 2008 R2 ";
    case 2: return workstation ? "Windows 8 " : "Windows Server 2012 ";
    case 3: return workstation ? "Windows 8.1 " : "Windows Server 2012 R2";
    default: return nullptr;
  }
}

struct SystemInfo {
  std::string name, edition, architecture = "x86", servicePack;
};

// Windows Server 2003 family and 64-bit XP (NT 5.2).
void DescribeNt52(const platform::OsVersion& v, platform::ISystemFacts& facts, SystemInfo& info) {
  const std::uint16_t arch = facts.ProcessorArchitecture();
  const bool workstation = v.productType == kWorkstation;
  if (facts.ServerR2Metric() != 0) {
    info.name = "Windows Server 2003 R2";
  } else if (v.suiteMask & kSuiteStorageServer) {
    info.name = "Windows Storage Server 2003";
  } else if (v.suiteMask & kSuiteHomeServer) {
    info.name = "Windows Home Server";
  } else if (workstation && arch == kArchAmd64) {
    info.name = "Windows XP Professional";
    info.architecture = "x64";
  } else {
    info.name = "Windows Server 2003";
  }
  if (workstation) return;
  if (arch == kArchIa64) {
    if (v.suiteMask & kSuiteDatacenter) info.edition = "Datacenter Edition";
    else if (v.suiteMask & kSuiteEnterprise) info.edition = "Enterprise Edition";
    info.architecture = "ia64";
  } else if (arch == kArchAmd64) {
    if (v.suiteMask & kSuiteDatacenter) info.edition = "Datacenter Edition";
    else if (v.suiteMask & kSuiteEnterprise) info.edition = "Enterprise Edition";
    else info.edition = "Standard Edition";
    info.architecture = "x64";
  } else {
    if (v.suiteMask & kSuiteComputeServer) info.edition = "Compute Cluster Edition";
    else if (v.suiteMask & kSuiteDatacenter) info.edition = "Datacenter Edition";
    else if (v.suiteMask & kSuiteEnterprise) info.edition = "Enterprise Edition";
    else if (v.suiteMask & kSuiteBlade) info.edition = "Web Edition";
    else info.edition = "Standard Edition";
  }
}

// Name, edition and architecture of an NT system above version 4.
void DescribeNt(const platform::OsVersion& v, platform::ISystemFacts& facts, SystemInfo& info) {
  const bool workstation = v.productType == kWorkstation;
  info.name = "Microsoft ";  // stays when no known version matches
  if (v.major == 6) {
    if (const char* name = NameOfNt6(v.minor, workstation)) info.name = name;
    std::uint32_t type = 0;
    // Without GetProductInfo the edition stays empty and the architecture "x86".
    if (!facts.GetProductInfo(v.major, v.minor, type)) return;
    info.edition = ProductEdition(type);
  } else if (v.major == 5 && v.minor == 2) {
    DescribeNt52(v, facts, info);
  } else if (v.major == 5 && v.minor == 1) {
    info.name = "Windows XP ";
    info.edition = (v.suiteMask & kSuitePersonal) ? "Home Edition" : "Professional";
  } else if (v.major == 5 && v.minor == 0) {
    info.name = "Windows 2000 ";
    if (workstation) info.edition = "Professional";
    else if (v.suiteMask & kSuiteDatacenter) info.edition = "Datacenter Server";
    else if (v.suiteMask & kSuiteEnterprise) info.edition = "Advanced Server";
    else info.edition = "Server";
  }
  if (v.major > 5) {
    const std::uint16_t arch = facts.ProcessorArchitecture();
    if (arch == kArchAmd64) info.architecture = "x64";
    else if (arch == kArchX86) info.architecture = "x86";
  }
}

// The browser line: the Version value of Internet Explorer's key, opened with query
// and set-value access as the program always has (nothing is written).
std::string BrowserLine(platform::IRegistry& registry) {
  platform::RegKey key = 0;
  if (registry.OpenKeyEx(platform::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer", 3,
                         key) != 0)
    return std::string();
  platform::RegValue value;
  const long rc = registry.QueryValueEx(key, "Version", 1024, value);
  registry.CloseKey(key);
  if (rc != 0) return std::string();
  const std::string version = value.data.substr(0, value.data.find('\0'));
  return "Explorer Version ==>> " + version + "\r\n";
}

std::string AdapterLines(platform::INetTables& tables) {
  std::vector<platform::AdapterInfo> adapters;
  if (tables.GetAdaptersInfo(adapters) != 0) return std::string();
  std::string lines;
  for (std::size_t i = 0; i < adapters.size() && i < kMaxReportedAdapters; ++i) {
    const platform::AdapterInfo& a = adapters[i];
    const std::string address =
        a.ipAddresses.empty() || a.ipAddresses.front().empty() ? "0.0.0.0" : a.ipAddresses.front();
    lines += "#" + std::to_string(i + 1) + ". " + a.description + " (" + address + ")\r\n";
  }
  return lines;
}

}  // namespace

std::string SystemLine(platform::ISystem& system, platform::ISystemFacts& facts) {
  SystemInfo info;
  platform::OsVersion version;
  if (system.GetVersionEx(version)) {
    if (version.platformId == kPlatformNt && version.major > 4) DescribeNt(version, facts, info);
    info.servicePack = version.csdVersion;
  }
  return info.name + ", " + info.edition + ", " + info.architecture + ", " + info.servicePack + "\r\n";
}

std::string SystemReport(platform::ISystem& system, platform::ISystemFacts& facts,
                         platform::IRegistry& registry, platform::INetTables& tables) {
  return SystemLine(system, facts) + BrowserLine(registry) + AdapterLines(tables);
}

}  // namespace protocol
