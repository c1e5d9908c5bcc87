// The exchanges' unit-test fixture: the scripted HTTP fake and every other fake.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/session_hooks.h"
#include "fakes/exchange_rig.h"
#include "fakes/fake_internet.h"
#include "protocol/exchange_context.h"

namespace testing_support {

class ExchangeTest : public ::testing::Test, protected fakes::ExchangeRig<fakes::FakeInternet> {
 protected:
  ExchangeTest() : ExchangeRig(0x77) {
    record_.clientCode = "tunra";
    record_.userId = "kim";
    record_.password = "pw1";
    record_.webHost = "203.0.113.5";
    record_.settingsRoot = platform::kHkeyCurrentUser;
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
};

}  // namespace testing_support
