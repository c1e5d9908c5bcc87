#include "app/startup/branding.h"

#include <gtest/gtest.h>

namespace {

TEST(Branding, CommandLineCases) {
  struct Row {
    const char* argument;
    const char* client_code;
    const char* user;
    const char* password;
    const char* setup_page;
  };
  const Row rows[] = {
      {"", "tunra", "", "", "tunra_setup.php"},
      {"acme^kim^pw1^2299", "acme", "kim", "pw1", "acme_setup.php"},
      {"acme^kim^pw1^2298", "", "", "", "_setup.php"},
      {"acme^kim^pw1", "", "", "", "_setup.php"},
      {"acme", "", "", "", "_setup.php"},
      {"acme^^^2299", "acme", "", "", "acme_setup.php"},
      {"acme^kim^pw1^2299^more", "acme", "kim", "pw1", "acme_setup.php"},
      {"acme^kim^pw1^22990", "", "", "", "_setup.php"},
      {"^kim^pw1^2299", "", "kim", "pw1", "_setup.php"},
      {"브랜드^김^비번^2299", "브랜드", "김", "비번", "브랜드_setup.php"},
  };
  for (const Row& r : rows) {
    session::SessionRecord record;
    app::ApplyBranding(r.argument, record);
    EXPECT_EQ(record.clientCode, r.client_code) << r.argument;
    EXPECT_EQ(record.userId, r.user) << r.argument;
    EXPECT_EQ(record.password, r.password) << r.argument;
    EXPECT_EQ(record.setupPageName, r.setup_page) << r.argument;
  }
}

TEST(SessionRecord, StartValues) {
  session::SessionRecord r;
  EXPECT_EQ(r.requestHeaders.size(), 180u);
  EXPECT_EQ(r.requestHeaders.substr(0, 49), "Content-Type: application/x-www-form-urlencoded\r\n");
  EXPECT_EQ(r.clientVersion, 1185);
  EXPECT_EQ(r.connState, 0);
  EXPECT_EQ(r.serviceEndDate, "1970-01-01 23:59:59");
  EXPECT_EQ(r.ipCode, "0");
  EXPECT_EQ(r.myPoint, "0");
  EXPECT_EQ(r.gameFastMode, -1);
  EXPECT_EQ(r.loginRetryCount, 5);
  EXPECT_EQ(r.loginDelay, 30);
  EXPECT_EQ(r.certVersionFileName, "crtver.ini");
  r.loginDelay = 3;
  r.connState = 6;
  r.ipCode = "12";
  r.macAddr = "00-11";
  r.ResetStartValues();
  EXPECT_EQ(r.loginDelay, 30);
  EXPECT_EQ(r.connState, 0);
  EXPECT_EQ(r.ipCode, "0");
  EXPECT_EQ(r.macAddr, "");
}

}  // namespace
