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

class FakeTunnel : public app::ITunnelServices {
 public:
  explicit FakeTunnel(CallLog& log) : log_(log) {}
  void StopOpenVpn() override { log_.push_back("StopOpenVpn"); }
  void RemoveOpenVpnFiles() override { log_.push_back("RemoveOpenVpnFiles"); }
  int CheckTapAdapter() override { return -1; }
  int AllowThroughFirewall() override { return -1; }
  int EnableConnectionByDevice(const std::string&, bool) override { return -1; }
  void HangUpRas() override {}
  int IsRasConnected() override { return -1; }

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

// One IP list panel's logic; `load` names what it fills.
class FakeIpList : public app::IIpListPanel {
 public:
  FakeIpList(CallLog& log, std::string load) : log_(log), load_(std::move(load)) {}
  void LoadList() override { log_.push_back(load_); }
  void ClearUsedHistory() override {}
  void SetCurrentRow(int) override {}
  void RepaintList() override {}

 private:
  CallLog& log_;
  std::string load_;
};

class FakeMainWindow : public app::ILoginMainWindow {
 public:
  explicit FakeMainWindow(CallLog& log) : log_(log) {}
  void ShowWideLayout() override { log_.push_back("ShowWideLayout"); }

 private:
  CallLog& log_;
};

class FakeBanner : public app::IBanner {
 public:
  void Navigate(const std::string& url) override { urls.push_back(url); }
  std::vector<std::string> urls;
};

}  // namespace logintest
