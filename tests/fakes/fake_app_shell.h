// Start-up services: records every call; the mutex and the first window are scripted.
#pragma once

#include <string>
#include <vector>

#include "platform/app_shell.h"

namespace fakes {

class FakeAppShell : public platform::IAppShell {
 public:
  bool InitCommonControls(std::uint32_t classes) override {
    calls.push_back("controls " + std::to_string(classes));
    return true;
  }
  bool InitOle() override {
    calls.push_back("ole");
    return true;
  }
  platform::WindowHandle FindWindowByTitle(const std::string& title) override {
    calls.push_back("find " + title);
    return firstWindow;
  }
  platform::Handle CreateMutex(const std::string& name, long& lastError) override {
    calls.push_back("mutex " + name);
    lastError = mutexExists ? platform::kErrorAlreadyExists : 0;
    return mutexFails ? 0 : 77;
  }
  std::intptr_t SendMessage(platform::WindowHandle window, std::uint32_t message, std::uintptr_t,
                            std::intptr_t) override {
    calls.push_back("send " + std::to_string(window) + " " + std::to_string(message));
    return 0;
  }

  platform::WindowHandle firstWindow = 0;
  bool mutexExists = false;
  bool mutexFails = false;
  std::vector<std::string> calls;
};

}  // namespace fakes
