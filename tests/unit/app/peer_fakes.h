// Journalling fakes of the main window's peers (tunnel services, program hooks, IP
// list panels) and a recording banner, shared by the shell's tests: each call goes
// into the test's journal, so a test sees the order across them.
#pragma once

#include <string>
#include <vector>

#include "app/main/main_window_peers.h"
#include "platform/ras.h"

namespace apptest {

using Journal = std::vector<std::string>;

class JournalTunnel : public app::ITunnelServices {
 public:
  explicit JournalTunnel(Journal& journal) : journal_(journal) {}
  void StopOpenVpn() override { journal_.push_back("stop openvpn"); }
  void RemoveOpenVpnFiles() override { journal_.push_back("remove openvpn files"); }
  int CheckTapAdapter() override {
    journal_.push_back("check tap adapter");
    return 1;
  }
  int AllowThroughFirewall() override {
    journal_.push_back("firewall");
    return 1;
  }
  int UnbindAdapterServices() override {
    journal_.push_back("unbind");
    return 1;
  }
  int WriteOpenVpnConfig() override {
    journal_.push_back("write config");
    return configResult;
  }
  int WriteCredentials() override {
    journal_.push_back("write credentials");
    return credentialsResult;
  }
  void ApplyAdapterMac() override { journal_.push_back("adapter mac"); }
  int LaunchOpenVpn() override {
    journal_.push_back("launch openvpn");
    return launchResult;
  }
  // The log's codes in turn; the last one stays.
  int ReadOpenVpnStatus() override {
    const int status = statuses.empty() ? -14 : statuses.front();
    if (statuses.size() > 1) statuses.erase(statuses.begin());
    return status;
  }
  std::string TunnelAdapterAddress() override { return adapterAddress; }
  void StartAdapterInstaller() override { journal_.push_back("adapter installer"); }

  int configResult = 1, credentialsResult = 0, launchResult = 1;
  std::vector<int> statuses;
  std::string adapterAddress = "10.8.0.6";

 private:
  Journal& journal_;
};

// The dialer: a dial keeps its notifier for the test to call, as the platform's
// thread would; the link is up after the test says so and until it is hung up.
class JournalRas : public platform::IRas {
 public:
  explicit JournalRas(Journal& journal) : journal_(journal) {}
  std::uint32_t Dial(const std::string& phonebook, const platform::RasDialParams& params, Notifier notifier,
                     platform::RasConn& conn) override {
    journal_.push_back("dial " + params.entryName + " " + params.phoneNumber + " " + params.userName);
    dialledPhonebook = phonebook;
    notify = std::move(notifier);
    if (refuse != 0) return refuse;
    conn = ++lastHandle;
    live = conn;
    return 0;
  }
  std::uint32_t HangUp(platform::RasConn conn) override {
    journal_.push_back("hang up");
    if (conn == live) live = 0, linkUp = false;
    return 0;
  }
  std::uint32_t GetConnectStatus(platform::RasConn conn, platform::RasConnStatus& status) override {
    if (conn != live) return 6;  // ERROR_INVALID_HANDLE: the connection is gone
    status.state = linkUp ? platform::kRasConnected : 5;
    return 0;
  }
  std::uint32_t GetProjectionIp(platform::RasConn conn, std::string& ip) override {
    if (conn != live) return 6;
    ip = address;
    return 0;
  }
  std::uint32_t GetErrorString(std::uint32_t code, std::uint32_t, std::string& text) override {
    text = "error " + std::to_string(code);
    return 0;
  }
  // The platform's thread reports a state (and an error); "connected" also raises the link.
  void Report(std::uint32_t state, std::uint32_t error = 0) {
    if (state == platform::kRasConnected && error == 0) linkUp = true;
    notify(0xCCCD, state, error);
  }
  void DropLink() { linkUp = false, live = 0; }

  Notifier notify;
  std::string dialledPhonebook;
  std::string address = "10.20.30.40";
  std::uint32_t refuse = 0;  // RasDialA's own error, 0 to start the dial
  bool linkUp = false;
  platform::RasConn live = 0, lastHandle = 0x7000;

 private:
  Journal& journal_;
};

class JournalHooks : public app::IProgramHooks {
 public:
  explicit JournalHooks(Journal& journal) : journal_(journal) {}
  void RunProgramHook(const std::string& event) override { journal_.push_back("hook " + event); }

 private:
  Journal& journal_;
};

class JournalIpPanel : public app::IIpPoolPanel {
 public:
  JournalIpPanel(Journal& journal, std::string name) : journal_(journal), name_(std::move(name)) {}
  void LoadList() override { journal_.push_back(name_ + " load"); }
  void ClearUsedHistory() override { journal_.push_back(name_ + " clear history"); }
  void SetCurrentRow(int row) override { journal_.push_back(name_ + " row " + std::to_string(row)); }
  void RepaintList() override { journal_.push_back(name_ + " repaint"); }
  void StopForIpChange() override { journal_.push_back(name_ + " stop for ip change"); }

 private:
  Journal& journal_;
  std::string name_;
};

class FakeBanner : public app::IBanner {
 public:
  void Navigate(const std::string& url) override { urls.push_back(url); }
  std::vector<std::string> urls;
};

}  // namespace apptest
