#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include "fakes/fake_registry.h"

namespace {

using settings::Setting;

class SettingsTableTest : public ::testing::Test {
 protected:
  fakes::FakeRegistry registry;
  settings::CRegCtrl reg{registry};
  settings::SettingsKey key;
};

TEST_F(SettingsTableTest, AbsentValuesReadAsTheirDefaults) {
  EXPECT_EQ(settings::ReadSetting(reg, key, Setting::kTunnelType), "4");
  EXPECT_EQ(settings::ReadSettingInt(reg, key, Setting::kTunnelType), 4);
  EXPECT_EQ(settings::ReadSettingInt(reg, key, Setting::kIpChangeType), 0);
  EXPECT_EQ(settings::ReadSetting(reg, key, Setting::kFavouriteIps), "");
  EXPECT_FALSE(settings::HasSetting(reg, key, Setting::kRememberAccount));
}

TEST_F(SettingsTableTest, ValuesLiveUnderTheCurrentUsersOrvakKeyByTheirNames) {
  struct Case {
    Setting setting;
    const char* name;
  };
  const Case cases[] = {{Setting::kAccountId, "ui1"},      {Setting::kRememberAccount, "uipchk"},
                        {Setting::kTunnelType, "VCType"},  {Setting::kIpChangeType, "VSIpChgType"},
                        {Setting::kOutStop, "OutStop"},    {Setting::kReplacedAddress, "lgy"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    registry.SetText(platform::kHkeyCurrentUser, "SOFTWARE\\Orvak", c.name, "1");
    EXPECT_EQ(settings::ReadSetting(reg, key, c.setting), "1");
    EXPECT_EQ(settings::DeleteSetting(reg, key, c.setting), 1);
    EXPECT_EQ(settings::WriteSetting(reg, key, c.setting, "7"), 1);
    const platform::RegValue* v =
        registry.Find(platform::kHkeyCurrentUser, "SOFTWARE\\Orvak", c.name);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->data, std::string("7\0", 2));
  }
}

TEST_F(SettingsTableTest, UnreadableValueFallsBackToTheDefault) {
  registry.SetText(platform::kHkeyCurrentUser, "SOFTWARE\\Orvak", "VCType",
                   std::string(1024, '1'));
  EXPECT_EQ(settings::ReadSetting(reg, key, Setting::kTunnelType), "4");
}

}  // namespace
