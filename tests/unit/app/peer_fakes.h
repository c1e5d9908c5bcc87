// Journalling fakes of the main window's peers (tunnel services, program hooks, IP
// list panels) and a recording banner, shared by the shell's tests: each call goes
// into the test's journal, so a test sees the order across them.
#pragma once

#include <string>
#include <vector>

#include "app/main/main_window_peers.h"

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
  int EnableConnectionByDevice(const std::string& device, bool enable) override {
    journal_.push_back((enable ? "enable " : "disable ") + device);
    return 0;
  }
  void HangUpRas() override { journal_.push_back("hang up"); }
  int IsRasConnected() override {
    journal_.push_back("is connected");
    return rasConnected;
  }
  int rasConnected = 1;

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
