// A dialer that records every call and answers from a script. One connection at a
// time: a started dial hands out a new handle and keeps the notifier for the test to
// call (as the platform's thread would); the status of that connection is set by the
// test; after a hang-up the connection answers the status call `releaseAfterPolls`
// more times before the handle is unknown (6), as the platform ends it some time later.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ras.h"

namespace fakes {

class FakeRas : public platform::IRas {
 public:
  struct DialCall {
    std::string phonebook;
    platform::RasDialParams params;
  };

  std::uint32_t Dial(const std::string& phonebook, const platform::RasDialParams& params,
                     Notifier notify, platform::RasConn& conn) override {
    calls.push_back("dial");
    dials.push_back({phonebook, params});
    notifier = std::move(notify);
    if (dialResult != 0 && !handleOnRefusal) return dialResult;
    conn = live = ++lastHandle;
    hungUp = false;
    pollsAfterHangUp = 0;
    return dialResult;
  }

  std::uint32_t HangUp(platform::RasConn conn) override {
    calls.push_back("hang-up " + Hex(conn));
    if (hangUpResult != 0) return hangUpResult;
    if (conn != live) return 6;
    hungUp = true;
    return 0;
  }

  std::uint32_t GetConnectStatus(platform::RasConn conn, platform::RasConnStatus& status) override {
    calls.push_back("status " + Hex(conn));
    if (conn == 0 || conn != live) return 6;
    if (hungUp) {
      if (releaseAfterPolls >= 0 && pollsAfterHangUp >= releaseAfterPolls) {
        live = 0;
        return 6;
      }
      ++pollsAfterHangUp;
    }
    if (statusError != 0) return statusError;
    status.state = state;
    status.error = stateError;
    return 0;
  }

  std::uint32_t GetProjectionIp(platform::RasConn conn, std::string& ip) override {
    calls.push_back("projection " + Hex(conn));
    if (conn != live) return 6;
    if (projectionResult != 0) return projectionResult;
    ip = address;
    return 0;
  }

  std::uint32_t GetErrorString(std::uint32_t code, std::uint32_t capacity, std::string& text) override {
    calls.push_back("error-text " + std::to_string(code) + " " + std::to_string(capacity));
    const auto it = errorTexts.find(code);
    if (it == errorTexts.end()) return 87;
    text = it->second;
    return 0;
  }

  void Pause(unsigned milliseconds) override { paused += milliseconds; }

  // The platform's thread reports a state of the dial.
  void Report(std::uint32_t reportState, std::uint32_t error = 0) {
    notifier(platform::kRasDialEvent, reportState, error);
  }

  static std::string Hex(platform::RasConn conn) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    do {
      out.insert(out.begin(), digits[conn % 16]);
      conn /= 16;
    } while (conn != 0);
    return "0x" + out;
  }

  // Script.
  std::uint32_t dialResult = 0;        // RasDialA's answer
  bool handleOnRefusal = true;         // a refused dial still hands out a handle
  std::uint32_t hangUpResult = 0;      // RasHangUpA's answer when not 0
  std::uint32_t state = platform::kRasConnected;  // the live connection's state
  std::uint32_t stateError = 0;
  std::uint32_t statusError = 0;       // the status call fails with this (a lost link: 6)
  int releaseAfterPolls = 0;           // -1: a hung-up connection never ends
  std::uint32_t projectionResult = 0;
  std::string address = "10.20.30.40";
  std::map<std::uint32_t, std::string> errorTexts{
      {623, "phonebook entry not found"}, {691, "access denied"}, {5, "access is denied"}};

  // Record.
  std::vector<std::string> calls;
  std::vector<DialCall> dials;
  unsigned paused = 0;  // milliseconds of Pause in all
  Notifier notifier;
  platform::RasConn live = 0;
  platform::RasConn lastHandle = 0x100;
  bool hungUp = false;
  int pollsAfterHangUp = 0;
};

}  // namespace fakes
