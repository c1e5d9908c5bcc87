#include "protocol/user_field.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UserField, RefusesParameterSeparatorsAndControlBytes) {
  const std::string refused[] = {
      "abc|auth_mode=vpn", "a=b", "a^b", "kim\r", "kim\n", std::string("ki\0m", 4), "tab\there", "del\x7f",
      "\x1f",
  };
  for (const std::string& v : refused) EXPECT_FALSE(protocol::IsSafeParamValue(v)) << v;
  const std::string accepted[] = {
      "", "kim", "demo1234", "테스터", "user.name-01_@!#$%&*()[]{}~/\\:;'\",<>? ", "\xa1\xa1\xfe\xfe",
  };
  for (const std::string& v : accepted) EXPECT_TRUE(protocol::IsSafeParamValue(v)) << v;
}

TEST(UserField, BothFieldsAreChecked) {
  EXPECT_TRUE(protocol::CheckUserField("kim", "pw"));
  EXPECT_FALSE(protocol::CheckUserField("kim", "pw|auth_mode=vpn"));
  EXPECT_FALSE(protocol::CheckUserField("kim|x", "pw"));
}

}  // namespace
