#include "net/adapter_mgmt.h"

#include <gtest/gtest.h>

#include "fakes/fake_net_connections.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_registry.h"
#include "unit/net/recording_log.h"

namespace {

using platform::kHkeyLocalMachine;

const std::string kClass = platform::kAdapterClassKeyPath;
const char* const kTapGuid = "{6A3F1C2E-0B7D-4E55-9C1A-2F4B8D0E7A11}";

class AdapterMgmtTest : public ::testing::Test {
 protected:
  AdapterMgmtTest() {
    platform::AdapterInfo lan, tap, tap2, zero;
    lan.index = 11, lan.description = "Realtek PCIe GbE Family Controller";
    tap.index = 12, tap.description = "TAP-Win32 Adapter V9";
    tap2.index = 14, tap2.description = "TAP-Win32 Adapter V9 #2";
    zero.index = 0, zero.description = "Loopback Pseudo-Interface";
    tables_.adapters = {lan, tap, tap2, zero};
  }

  const platform::RegValue* Mac(const std::string& subkey) const {
    return registry_.Find(kHkeyLocalMachine, kClass + "\\" + subkey, "MAC");
  }

  fakes::FakeNetTables tables_;
  fakes::FakeRegistry registry_;
  fakes::FakeNetConnections connections_;
  nettest::RecordingLog log_;
  net::CAdapterMgmt adapters_{tables_, registry_, connections_, log_};
};

TEST_F(AdapterMgmtTest, AdaptersAreFoundAndCountedByDescription) {
  struct Case {
    const char* description;
    int index, count;
  };
  const Case cases[] = {
      {"TAP-Win32 Adapter V9", 12, 2},
      {"Adapter V9 #2", 14, 1},
      {"tap-win32", 0, 0},     // case matters
      {"Wireless", 0, 0},
      {"", 0, 0},              // an empty text names no adapter
      {"Loopback", 0, 1},      // index 0 is "absent" to every caller
  };
  for (const Case& c : cases) {
    EXPECT_EQ(adapters_.FindAdapterIndex(c.description), c.index) << c.description;
    EXPECT_EQ(adapters_.CountAdapters(c.description), c.count) << c.description;
  }
  EXPECT_EQ(log_.lines[0], "adapter find \"TAP-Win32 Adapter V9\" -> 12");
  EXPECT_EQ(log_.lines[1], "adapter count \"TAP-Win32 Adapter V9\" -> 2");

  tables_.adaptersResult = 111;  // the list cannot be read
  EXPECT_EQ(adapters_.FindAdapterIndex("TAP-Win32 Adapter V9"), -1);
  EXPECT_EQ(adapters_.CountAdapters("TAP-Win32 Adapter V9"), -1);
}

TEST_F(AdapterMgmtTest, TheGuidIsTheInterfaceNameAfterItsFirstUnderscore) {
  tables_.interfaces = {{11, "\\DEVICE\\TCPIP_{11111111-2222-3333-4444-555555555555}"},
                        {12, std::string("\\DEVICE\\TCPIP_") + kTapGuid},
                        {13, "\\DEVICE\\TCPIP_{AB}_extra"},
                        {15, "\\DEVICE\\NONAME"}};
  struct Case {
    std::uint32_t index;
    std::string guid;
  };
  for (const Case& c : {Case{12, kTapGuid}, Case{13, "{AB}"}, Case{15, ""}, Case{99, ""}, Case{0, ""}})
    EXPECT_EQ(adapters_.GetAdapterGuid(c.index), c.guid) << c.index;
  EXPECT_EQ(log_.lines[0], std::string("adapter guid if 12 -> ") + kTapGuid);
  EXPECT_EQ(log_.lines[2], "adapter guid if 15 -> -");
  tables_.interfaceInfoResult = 232;  // ERROR_NO_DATA
  EXPECT_EQ(adapters_.GetAdapterGuid(12), "");
}

class AdapterMacTest : public AdapterMgmtTest {
 protected:
  AdapterMacTest() {
    registry_.SetText(kHkeyLocalMachine, kClass + "\\0000", "NetCfgInstanceId",
                      "{11111111-2222-3333-4444-555555555555}");
    registry_.SetText(kHkeyLocalMachine, kClass + "\\0001", "NetCfgInstanceId", kTapGuid);
    // The same adapter installed twice (a reinstalled driver): both keys get the address.
    registry_.SetText(kHkeyLocalMachine, kClass + "\\0002", "NetCfgInstanceId",
                      "{6a3f1c2e-0b7d-4e55-9c1a-2f4b8d0e7a11}");
    registry_.AddKey(kHkeyLocalMachine, kClass + "\\0003");  // no NetCfgInstanceId to read
    registry_.SetText(kHkeyLocalMachine, kClass + "\\0003", "MAC", "0A0B0C0D0E0F");
    registry_.AddKey(kHkeyLocalMachine, kClass + "\\Properties");
  }
};

TEST_F(AdapterMacTest, TheAddressGoesToEveryKeyOfThatAdapterAndNoOther) {
  EXPECT_EQ(adapters_.SetAdapterMac(std::string("00FF1A2B3C4D"), kTapGuid), 1);
  for (const char* key : {"0001", "0002"}) {
    ASSERT_NE(Mac(key), nullptr) << key;
    EXPECT_EQ(Mac(key)->type, platform::kRegSz);
    EXPECT_EQ(Mac(key)->data, platform::RegSzData("00FF1A2B3C4D"));
  }
  EXPECT_EQ(Mac("0000"), nullptr);
  EXPECT_EQ(Mac("0003")->data, platform::RegSzData("0A0B0C0D0E0F"));
  EXPECT_EQ(registry_.OpenHandles(), 0);
  EXPECT_EQ(log_.Starting("adapter mac"),
            (std::vector<std::string>{std::string("adapter mac ") + kTapGuid + " key 0001 set 00FF1A2B3C4D -> 0",
                                      std::string("adapter mac ") + kTapGuid + " key 0002 set 00FF1A2B3C4D -> 0",
                                      std::string("adapter mac ") + kTapGuid + " 00FF1A2B3C4D -> 2"}));

  // Without an address the driver goes back to its own.
  for (const std::optional<std::string>& none : {std::optional<std::string>(), std::optional<std::string>("")}) {
    EXPECT_EQ(adapters_.SetAdapterMac(none, kTapGuid), 1);
    EXPECT_EQ(Mac("0001"), nullptr);
    EXPECT_EQ(Mac("0002"), nullptr);
    EXPECT_NE(Mac("0003"), nullptr);
  }
}

// An empty GUID used to match every key whose NetCfgInstanceId could not be read, and
// the value reaches the driver as it is.
TEST_F(AdapterMacTest, AnEmptyGuidOrAMalformedAddressWritesNothing) {
  struct Case {
    std::optional<std::string> mac;
    std::string guid;
    const char* why;
  };
  const Case cases[] = {
      {std::string("00FF1A2B3C4D"), "", "empty-guid"},
      {std::optional<std::string>(), "", "empty-guid"},
      {std::string("00-FF-1A-2B-3C-4D"), kTapGuid, "bad-mac"},
      {std::string("00FF1A2B3C"), kTapGuid, "bad-mac"},
      {std::string("00FF1A2B3C4D5E"), kTapGuid, "bad-mac"},
      {std::string("00FF1A2B3C4G"), kTapGuid, "bad-mac"},
  };
  const int calls = registry_.Calls();
  for (const Case& c : cases) {
    EXPECT_EQ(adapters_.SetAdapterMac(c.mac, c.guid), 0) << c.guid << " " << c.mac.value_or("(none)");
    EXPECT_NE(log_.lines.back().find(std::string("-> refused ") + c.why), std::string::npos) << log_.lines.back();
  }
  EXPECT_EQ(registry_.Calls(), calls);  // the registry was not even opened
  EXPECT_EQ(Mac("0003")->data, platform::RegSzData("0A0B0C0D0E0F"));
}

TEST_F(AdapterMgmtTest, WithoutTheAdapterClassKeyNothingIsWritten) {
  EXPECT_EQ(adapters_.SetAdapterMac(std::string("00FF1A2B3C4D"), kTapGuid), -1);
  EXPECT_EQ(registry_.OpenHandles(), 0);
}

TEST_F(AdapterMgmtTest, RestartRetriesWhileAskedAtMostThreeCalls) {
  constexpr long kRetry = static_cast<long>(0x800704D5u);  // HRESULT_FROM_WIN32(ERROR_RETRY)
  constexpr long kFail = static_cast<long>(0x80004005u);
  struct Case {
    std::deque<long> answers;
    int calls, result;
  };
  const Case cases[] = {
      {{0}, 1, 1},
      {{kRetry, 0}, 2, 1},
      {{kRetry, kRetry, 0}, 3, 1},
      {{kRetry, kRetry, kRetry, 0}, 3, 0},  // the cap
      {{kFail, 0}, 1, 0},
  };
  for (bool connect : {false, true}) {
    for (const Case& c : cases) {
      connections_.calls.clear();
      connections_.results[kTapGuid] = c.answers;
      EXPECT_EQ(adapters_.RestartConnection(kTapGuid, connect), c.result) << c.answers.size();
      ASSERT_EQ(connections_.calls.size(), static_cast<std::size_t>(c.calls)) << c.answers.size();
      EXPECT_EQ(connections_.calls[0].connect, connect);
    }
  }
  EXPECT_EQ(log_.lines[2], std::string("adapter restart ") + kTapGuid + " disconnect try 2 -> 0x00000000");

  connections_.calls.clear();
  EXPECT_EQ(adapters_.RestartConnection("", true), 0);
  connections_.available = false;  // no netshell.dll
  EXPECT_EQ(adapters_.RestartConnection(kTapGuid, true), 0);
  EXPECT_TRUE(connections_.calls.empty());
  EXPECT_EQ(log_.lines.back(), std::string("adapter restart ") + kTapGuid + " connect -> refused no-netshell");
}

TEST_F(AdapterMgmtTest, EveryConnectionOfTheDeviceIsSwitched) {
  connections_.connections = {{"{A}", "Local Area Connection", "Realtek PCIe GbE Family Controller", 2},
                              {"{B}", "Local Area Connection 2", "TAP-Win32 Adapter V9", 2},
                              {"{C}", "Local Area Connection 3", "TAP-Win32 Adapter V9", 0},
                              {"{D}", "Local Area Connection 4", "TAP-Win32 Adapter V9 #2", 0}};
  connections_.results["{C}"] = {static_cast<long>(0x80070005u)};
  EXPECT_EQ(adapters_.EnableConnectionByDevice("TAP-Win32 Adapter V9", false), static_cast<long>(0x80070005u));
  ASSERT_EQ(connections_.calls.size(), 2u);
  EXPECT_EQ(connections_.calls[0].guid, "{B}");
  EXPECT_EQ(connections_.calls[1].guid, "{C}");
  EXPECT_FALSE(connections_.calls[1].connect);
  EXPECT_EQ(log_.lines.back(), "adapter enable \"TAP-Win32 Adapter V9\" off -> 0x80070005");

  connections_.calls.clear();
  EXPECT_EQ(adapters_.EnableConnectionByDevice("TAP-Win32 Adapter V9 #2", true), 0);
  EXPECT_TRUE(connections_.calls[0].connect);

  // No such device, an empty name (which would name nothing), a manager that cannot
  // be created.
  EXPECT_EQ(adapters_.EnableConnectionByDevice("TAP-Win32", true), net::kHresultNoSuchConnection);
  const int enumerations = connections_.enumerations;
  EXPECT_EQ(adapters_.EnableConnectionByDevice("", true), net::kHresultNoSuchConnection);
  EXPECT_EQ(connections_.enumerations, enumerations);
  connections_.enumerateResult = static_cast<long>(0x80040154u);  // class not registered
  EXPECT_EQ(adapters_.EnableConnectionByDevice("TAP-Win32 Adapter V9", true), static_cast<long>(0x80040154u));
  EXPECT_EQ(connections_.calls.size(), 1u);
}

}  // namespace
