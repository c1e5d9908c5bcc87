// Every fake an exchange talks to, wired into one ExchangeContext.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "app/session/session_hooks.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"
#include "fakes/fake_internet.h"
#include "fakes/fake_net_tables.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"
#include "fakes/fake_window.h"
#include "protocol/exchange_context.h"

namespace testing_support {

// The current user's root in whichever form the record keeps the settings root.
template <class Root>
Root CurrentUserRoot() {
  if constexpr (std::is_enum_v<Root>) return static_cast<Root>(1);
  else return static_cast<Root>(platform::kHkeyCurrentUser);
}

class FakeSystemFacts : public platform::ISystemFacts {
 public:
  std::uint16_t ProcessorArchitecture() override { return architecture; }
  bool GetProductInfo(std::uint32_t, std::uint32_t, std::uint32_t& type) override {
    type = productType;
    return hasProductInfo;
  }
  int ServerR2Metric() override { return serverR2; }

  std::uint16_t architecture = 9;  // AMD64
  bool hasProductInfo = true;
  std::uint32_t productType = 1;   // Ultimate
  int serverR2 = 0;
};

class RecordingHooks : public app::SessionHooks {
 public:
  bool TestCertificateChecked() override { return testCertificate; }
  void StopProgress() override { calls.push_back("StopProgress"); }
  void WritePhonebook(int vpnType, int zeroIp) override {
    calls.push_back("WritePhonebook " + std::to_string(vpnType) + " " + std::to_string(zeroIp));
  }
  void CheckTapAdapter() override { calls.push_back("CheckTapAdapter"); }

  bool testCertificate = false;
  std::vector<std::string> calls;
};

class ExchangeTest : public ::testing::Test {
 protected:
  ExchangeTest() {
    record_.clientCode = "tunra";
    record_.userId = "kim";
    record_.password = "pw1";
    record_.webHost = "203.0.113.5";
    record_.settingsRoot = CurrentUserRoot<decltype(record_.settingsRoot)>();
    record_.settingsKeyPath = "SOFTWARE\\Orvak";
    record_.sessionKey = "12345";
    record_.authMode = "user";
  }

  // The one request sent so far.
  const fakes::FakeInternet::Request& OnlyRequest() {
    EXPECT_EQ(internet_.requests().size(), 1u);
    return internet_.requests().back();
  }
  std::vector<std::string> BoxTexts(fakes::FakeWindow& w) {
    std::vector<std::string> texts;
    for (const auto& b : w.boxes()) texts.push_back(b.caption + ": " + b.text);
    return texts;
  }

  app::SessionRecord record_;
  fakes::FakeInternet internet_;
  fakes::FakeWindow main_, panel_;
  protocol::CWebMgmt web_{internet_, app::kRequestHeaders, "tunra",
                          [this](const std::string& text, const std::string& caption) {
                            main_.MessageBox(text, caption, platform::kMbOk);
                          }};
  fakes::FakeRegistry registry_;
  fakes::FakeSystem system_;
  FakeSystemFacts facts_;
  fakes::FakeNetTables tables_;
  fakes::FakeShell shell_;
  fakes::FakeFiles files_;
  fakes::FakeClock clock_;
  RecordingHooks hooks_;
  protocol::ExchangeContext ctx_{record_,  web_,   main_,  panel_, registry_, system_, facts_,
                                 tables_,  shell_, files_, clock_, hooks_,    0x77};
};

}  // namespace testing_support
