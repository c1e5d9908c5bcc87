// Recording fakes of what the login panel and the session login call in other owners'
// objects, all writing to one call log so a test sees the order across them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/login/login_dlg.h"
#include "app/session/login_session.h"

namespace logintest {

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
  void StopProgress() override { log_.push_back("StopProgress"); }

 private:
  CallLog& log_;
};

class FakeTunnel : public app::ITunnelCleanup {
 public:
  explicit FakeTunnel(CallLog& log) : log_(log) {}
  void StopOpenVpn() override { log_.push_back("StopOpenVpn"); }
  void RemoveOpenVpnFiles() override { log_.push_back("RemoveOpenVpnFiles"); }

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

class FakeIpLists : public app::IIpListPanels {
 public:
  explicit FakeIpLists(CallLog& log) : log_(log) {}
  void LoadIpPool() override { log_.push_back("LoadIpPool"); }
  void LoadIpClasses() override { log_.push_back("LoadIpClasses"); }

 private:
  CallLog& log_;
};

class FakeMainWindow : public app::ILoginMainWindow {
 public:
  explicit FakeMainWindow(CallLog& log) : log_(log) {}
  void ShowWideLayout() override { log_.push_back("ShowWideLayout"); }

 private:
  CallLog& log_;
};

class FakeBanner : public app::ILoginBanner {
 public:
  void Navigate(const std::string& url) override { urls.push_back(url); }
  std::vector<std::string> urls;
};

}  // namespace logintest
