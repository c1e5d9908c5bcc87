#include "ui/win32/single_instance.h"

#include <windows.h>

#include "resources/resource_ids.h"

namespace ui {

bool ClaimSingleInstance() {
  // The window is looked up before the mutex, so a second instance that loses the
  // race to the mutex still knows whom to wake.
  HWND running = FindWindowW(nullptr, TUNRA_WINDOW_TITLE);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, TUNRA_MUTEX_NAME);
  if (mutex == nullptr) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // A null window (the first instance has no window yet) makes this a no-op. The
    // time-out keeps this process from hanging with a first instance that hangs.
    if (running != nullptr) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(running, WM_APP_RESTORE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    return false;
  }
  return true;
}

}  // namespace ui
