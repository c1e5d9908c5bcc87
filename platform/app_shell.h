// Process start-up services: common controls and OLE, the named mutex and window
// search that keep one client per session, and the restore message to the first one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/shell.h"
#include "platform/types.h"

namespace platform {

class IAppShell {
 public:
  virtual ~IAppShell() = default;

  // InitCommonControlsEx with the given class flags.
  virtual bool InitCommonControls(std::uint32_t classes) = 0;

  // Container support for ActiveX controls and OleInitialize.
  virtual bool InitOle() = 0;

  // FindWindowA(no class, title): 0 when there is no such window.
  virtual WindowHandle FindWindowByTitle(const std::string& title) = 0;

  // CreateMutexA(no security, not owned, name): 0 on failure. `lastError` is the
  // GetLastError right after the call (183 when the mutex already existed).
  virtual Handle CreateMutex(const std::string& name, long& lastError) = 0;

  // Sends `message` to `window` and waits for it to be handled. A null window is
  // allowed and does nothing.
  virtual std::intptr_t SendMessage(WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wparam, std::intptr_t lparam) = 0;
};

}  // namespace platform
