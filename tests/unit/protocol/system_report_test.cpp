#include "protocol/system_report.h"

#include <gtest/gtest.h>

#include "exchange_fixture.h"

namespace {

using fakes::FakeSystemFacts;

struct VersionCase {
  const char* what;
  std::uint32_t major, minor, platformId;
  std::uint8_t productType;
  std::uint16_t suite;
  const char* csd;
  std::uint16_t arch;
  bool hasProductInfo;
  std::uint32_t product;
  int serverR2;
  const char* line;
};

TEST(SystemReport, SystemLineByVersion) {
  const VersionCase cases[] = {
      {"7 Ultimate x64 SP1", 6, 1, 2, 1, 0, "Service Pack 1", 9, true, 1, 0,
       "Windows 7 , Ultimate Edition, x64, Service Pack 1"},
      {"major 10 keeps the bare name", 10, 0, 2, 1, 0, "", 9, true, 48, 0, "Microsoft , , x64, "},
      {"XP Home x86 SP3", 5, 1, 2, 1, 0x200, "Service Pack 3", 0, true, 0, 0,
       "Windows XP , Home Edition, x86, Service Pack 3"},
      {"XP Professional", 5, 1, 2, 1, 0, "", 0, true, 0, 0, "Windows XP , Professional, x86, "},
      {"Vista without GetProductInfo keeps x86", 6, 0, 2, 1, 0, "Service Pack 2", 9, false, 1, 0,
       "Windows Vista , , x86, Service Pack 2"},
      {"2012 R2 server, unknown product", 6, 3, 2, 3, 0, "", 9, true, 99, 0, "Windows Server 2012 R2, , x64, "},
      {"8.1 Professional", 6, 3, 2, 1, 0, "", 0, true, 48, 0, "Windows 8.1 , Professional, x86, "},
      {"Itanium architecture unchanged on NT 6", 6, 1, 2, 3, 0, "", 6, true, 15, 0,
       "Windows Server 2008 R2 , Enterprise Edition for Itanium-based Systems, x86, "},
      {"2003 R2", 5, 2, 2, 3, 0, "", 0, true, 0, 1, "Windows Server 2003 R2, Standard Edition, x86, "},
      {"2003 x64 Enterprise", 5, 2, 2, 3, 0x2, "", 9, true, 0, 0, "Windows Server 2003, Enterprise Edition, x64, "},
      {"2003 Itanium Datacenter", 5, 2, 2, 3, 0x82, "", 6, true, 0, 0,
       "Windows Server 2003, Datacenter Edition, ia64, "},
      {"2003 x86 Compute Cluster wins", 5, 2, 2, 3, 0x4082, "", 0, true, 0, 0,
       "Windows Server 2003, Compute Cluster Edition, x86, "},
      {"2003 Web", 5, 2, 2, 3, 0x400, "", 0, true, 0, 0, "Windows Server 2003, Web Edition, x86, "},
      {"Storage Server", 5, 2, 2, 3, 0x2000, "", 0, true, 0, 0,
       "Windows Storage Server 2003, Standard Edition, x86, "},
      {"XP Professional x64", 5, 2, 2, 1, 0, "Service Pack 2", 9, true, 0, 0,
       "Windows XP Professional, , x64, Service Pack 2"},
      {"2000 Advanced Server", 5, 0, 2, 3, 0x2, "Service Pack 4", 0, true, 0, 0,
       "Windows 2000 , Advanced Server, x86, Service Pack 4"},
      {"2000 Professional", 5, 0, 2, 1, 0x80, "", 0, true, 0, 0, "Windows 2000 , Professional, x86, "},
      {"Windows 98 (not NT)", 4, 10, 1, 0, 0, " A ", 0, true, 0, 0, ", , x86,  A "},
      {"NT 4", 4, 0, 2, 1, 0, "Service Pack 6", 9, true, 0, 0, ", , x86, Service Pack 6"},
  };
  for (const VersionCase& c : cases) {
    fakes::FakeSystem system;
    system.version.major = c.major;
    system.version.minor = c.minor;
    system.version.platformId = c.platformId;
    system.version.productType = c.productType;
    system.version.suiteMask = c.suite;
    system.version.csdVersion = c.csd;
    FakeSystemFacts facts;
    facts.architecture = c.arch;
    facts.hasProductInfo = c.hasProductInfo;
    facts.productType = c.product;
    facts.serverR2 = c.serverR2;
    EXPECT_EQ(protocol::SystemLine(system, facts), std::string(c.line) + "\r\n") << c.what;
  }
}

TEST(SystemReport, FailedVersionQueryLeavesEmptyTextsAndX86) {
  fakes::FakeSystem system;
  system.versionSucceeds = false;
  FakeSystemFacts facts;
  EXPECT_EQ(protocol::SystemLine(system, facts), ", , x86, \r\n");
}

class SystemReportTest : public ::testing::Test {
 protected:
  SystemReportTest() {
    platform::AdapterInfo lan, wifi;
    lan.description = "Realtek PCIe GbE";
    lan.ipAddresses = {"192.168.0.10", "192.168.0.11"};
    wifi.description = "무선 랜";
    tables_.adapters = {lan, wifi};
  }
  std::string Report() { return protocol::SystemReport(system_, facts_, registry_, tables_); }

  fakes::FakeSystem system_;
  FakeSystemFacts facts_;
  fakes::FakeRegistry registry_;
  fakes::FakeNetTables tables_;
};

TEST_F(SystemReportTest, BrowserLineAndNumberedAdapters) {
  registry_.SetText(platform::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer", "Version", "9.11.19041.0");
  EXPECT_EQ(Report(),
            "Windows 7 , Ultimate Edition, x64, Service Pack 1\r\n"
            "Explorer Version ==>> 9.11.19041.0\r\n"
            "#1. Realtek PCIe GbE (192.168.0.10)\r\n"
            "#2. 무선 랜 (0.0.0.0)\r\n");
  EXPECT_EQ(registry_.OpenHandles(), 0);
}

TEST_F(SystemReportTest, MissingBrowserKeyOrAdapterListLeavesItsLinesOut) {
  EXPECT_EQ(Report(),
            "Windows 7 , Ultimate Edition, x64, Service Pack 1\r\n"
            "#1. Realtek PCIe GbE (192.168.0.10)\r\n"
            "#2. 무선 랜 (0.0.0.0)\r\n");
  registry_.AddKey(platform::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer");  // no Version value
  tables_.adaptersResult = 232;
  EXPECT_EQ(Report(), "Windows 7 , Ultimate Edition, x64, Service Pack 1\r\n");
  EXPECT_EQ(registry_.OpenHandles(), 0);
}

TEST_F(SystemReportTest, AtMostSixtyFourAdapters) {
  tables_.adapters.assign(70, platform::AdapterInfo{});
  const std::string report = Report();
  EXPECT_NE(report.find("#64. "), std::string::npos);
  EXPECT_EQ(report.find("#65. "), std::string::npos);
}

}  // namespace
