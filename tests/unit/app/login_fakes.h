// Recording fakes of what the login panel and the session login call in other owners'
// objects, all writing to one call log so a test sees the order across them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/login/login_dlg.h"
#include "app/session/login_session.h"
#include "unit/app/peer_fakes.h"

namespace logintest {

using apptest::FakeBanner;
using apptest::JournalIpPanel;
using FakeTunnel = apptest::JournalTunnel;

using CallLog = std::vector<std::string>;

class FakeExchanges : public app::ILoginExchanges {
 public:
  explicit FakeExchanges(CallLog& log) : log_(log) {}
  int UserCheck() override {
    log_.push_back("UserCheck");
    if (onUserCheck) onUserCheck();
    return userCheckResult;
  }
  int FetchIpPool(platform::IWindow& owner) override {
    log_.push_back("FetchIpPool");
    poolOwner = &owner;
    return 0;
  }
  int userCheckResult = 1;
  std::function<void()> onUserCheck;  // the reply filling the record
  platform::IWindow* poolOwner = nullptr;

 private:
  CallLog& log_;
};

class FakeProgress : public app::IConnProgress {
 public:
  explicit FakeProgress(CallLog& log) : log_(log) {}
  void ResetProgress() override { log_.push_back("ResetProgress"); }
  int StartProgress() override {
    log_.push_back("StartProgress");
    return 0;
  }
  int StopProgress() override {
    log_.push_back("StopProgress");
    return 0;
  }

 private:
  CallLog& log_;
};

class FakeUpdate : public app::IUpdateAtLogin {
 public:
  explicit FakeUpdate(CallLog& log) : log_(log) {}
  app::UpdateOutcome ApplyUpdateAtLogin() override {
    log_.push_back("ApplyUpdateAtLogin");
    return outcome;
  }
  app::UpdateOutcome outcome = app::UpdateOutcome::kNoUpdate;

 private:
  CallLog& log_;
};

class FakeSession : public app::ISessionLogin {
 public:
  FakeSession(CallLog& log, session::SessionRecord& record) : log_(log), record_(record) {}
  int LoginSession() override {
    log_.push_back("LoginSession " + record_.userId + " " + record_.password + " " + record_.authMode + " " +
                   record_.ipCode);
    return result;
  }
  int result = 0;

 private:
  CallLog& log_;
  session::SessionRecord& record_;
};

class FakeMainWindow : public app::ILoginMainWindow {
 public:
  explicit FakeMainWindow(CallLog& log) : log_(log) {}
  void ShowWideLayout() override { log_.push_back("ShowWideLayout"); }

 private:
  CallLog& log_;
};

}  // namespace logintest
