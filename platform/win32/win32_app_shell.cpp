#include "platform/win32/win32_app_shell.h"

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"
// After windows.h.
#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>

#undef CreateMutex
#undef SendMessage

namespace platform::win32 {

bool Win32AppShell::InitCommonControls(std::uint32_t classes) {
  INITCOMMONCONTROLSEX controls{sizeof controls, classes};
  return ::InitCommonControlsEx(&controls) != FALSE;
}

bool Win32AppShell::InitOle() { return SUCCEEDED(::OleInitialize(nullptr)); }

WindowHandle Win32AppShell::FindWindowByTitle(const std::string& title) {
  return reinterpret_cast<WindowHandle>(::FindWindowW(nullptr, Cp949ToWide(title).c_str()));
}

Handle Win32AppShell::CreateMutex(const std::string& name, long& lastError) {
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, Cp949ToWide(name).c_str());
  lastError = static_cast<long>(::GetLastError());
  return reinterpret_cast<Handle>(mutex);
}

std::intptr_t Win32AppShell::SendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                         std::intptr_t lparam) {
  if (!window) return 0;
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(reinterpret_cast<HWND>(window), message, wparam, lparam, SMTO_ABORTIFHUNG, 5000,
                        &result);
  return static_cast<std::intptr_t>(result);
}

}  // namespace platform::win32
