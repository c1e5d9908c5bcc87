// Records what the exchanges ask of the login, progress and tunnel owners.
#pragma once

#include <string>
#include <vector>

#include "session/session_hooks.h"

namespace fakes {

class RecordingSessionHooks : public session::SessionHooks {
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

}  // namespace fakes
