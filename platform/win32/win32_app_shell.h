// Process start-up services on Windows.
#pragma once

#include "platform/app_shell.h"

namespace platform::win32 {

class Win32AppShell final : public IAppShell {
 public:
  bool InitCommonControls(std::uint32_t classes) override;
  bool InitOle() override;
  WindowHandle FindWindowByTitle(const std::string& title) override;
  Handle CreateMutex(const std::string& name, long& lastError) override;
  // Waits at most 5 s: a first instance that hangs must not hang the second one.
  std::intptr_t SendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                            std::intptr_t lparam) override;
};

}  // namespace platform::win32
