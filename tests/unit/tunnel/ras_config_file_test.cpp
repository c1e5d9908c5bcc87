#include "tunnel/ras_config_file.h"

#include <string>

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_profile.h"

namespace {

TEST(RasConfigFile, TheEntryAsBuilt) {
  fakes::FakeFiles files;
  fakes::FakeProfile profile;
  tunnel::CRasConfigFile phonebook(files, profile);
  struct Row { std::size_t index; const char* key; std::string value; };
  const Row rows[] = {
      {0, "Encoding", "1"},
      {9, "VpnStrategy", "2"},
      {25, "CustomDialDll", ""},
      {37, "PreferredPort", "VPN0-0"},
      {38, "PreferredDevice", "WAN \xEB\xAF\xB8\xEB\x8B\x88\x3F\xAC\xED\x8A\xB8(L2TP)"},
      {53, "IpPrioritizeRemote", "0"},
      {82, "MEDIA", "rastapi"},
      {84, "Device", tunnel::kL2tpDeviceName},
      {85, "DEVICE1", "vpn"},  // with its digit
      {86, "PhoneNumber", ""},  // the server is the dial's phone number, not the file's
      {94, "TryNextAlternateOnFail", "1"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(tunnel::PhonebookKey(r.index), r.key) << r.index;
    EXPECT_EQ(phonebook.Value(r.key), r.value) << r.key;
  }
  EXPECT_EQ(tunnel::PhonebookKey(95), "");
  EXPECT_EQ(phonebook.phonebookFile(), "");
}

TEST(RasConfigFile, PrepareEntry) {
  struct Row { int strategy, preferRemote; const char* path; bool deny; int result; const char* file; };
  const Row rows[] = {
      {1, 0, "C:/TUNRA/sobrel.ini", false, 1, "C:/TUNRA/sobrel.ini"},
      {3, 1, "C:/TUNRA/sobrel.ini", true, 0, "C:/TUNRA/sobrel.ini"},  // not created: not said
      {3, 1, "", false, 0, "C:/before.ini"},                          // no path: nothing created
  };
  for (const Row& r : rows) {
    fakes::FakeFiles files;
    fakes::FakeProfile profile;
    tunnel::CRasConfigFile phonebook(files, profile);
    phonebook.PrepareEntry(1, 0, "C:/before.ini");
    if (r.deny) files.Deny(r.path);
    EXPECT_EQ(phonebook.PrepareEntry(r.strategy, r.preferRemote, r.path), r.result) << r.path;
    EXPECT_EQ(phonebook.phonebookFile(), r.file);
    EXPECT_EQ(phonebook.Value("VpnStrategy"), std::to_string(r.strategy));
    EXPECT_EQ(phonebook.Value("IpPrioritizeRemote"), std::to_string(r.preferRemote));
    EXPECT_EQ(phonebook.Value("Port"), "VPN0-0");  // the same for every tunnel kind
  }
}

TEST(RasConfigFile, WriteEntryWritesEveryKeyInOrderOnce) {
  fakes::FakeFiles files;
  fakes::FakeProfile profile;
  tunnel::CRasConfigFile phonebook(files, profile);
  phonebook.PrepareEntry(1, 0, "C:/TUNRA/sobrel.ini");
  phonebook.WriteEntry();
  phonebook.WriteEntry();
  ASSERT_EQ(profile.calls().size(), 2 * tunnel::kPhonebookKeyCount);
  for (std::size_t i = 0; i < tunnel::kPhonebookKeyCount; ++i) {
    const auto& call = profile.calls()[i];
    EXPECT_EQ(call.section, "Vexo_Conn");
    EXPECT_EQ(call.key, tunnel::PhonebookKey(i));
    EXPECT_EQ(call.path, "C:/TUNRA/sobrel.ini");
  }
  const std::string file = profile.Render("C:/TUNRA/sobrel.ini");
  EXPECT_EQ(file.rfind("[Vexo_Conn]\r\nEncoding=1\r\n", 0), 0u);
  EXPECT_EQ(file.find("[Vexo_Conn]", 1), std::string::npos);  // one entry, not two
  EXPECT_NE(file.find("\r\nVpnStrategy=1\r\n"), std::string::npos);
}

}  // namespace
