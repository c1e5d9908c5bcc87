#include "platform/win32/win32_shell.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"
// shellapi.h after windows.h; its A/W macros are undone below.
#include <shellapi.h>
#include <shlobj.h>

#include "text/cp949.h"

#undef ShellExecute
#undef LoadIcon
#undef RegisterWindowMessage

namespace platform::win32 {

namespace {

// The tip holds 127 bytes of text at most; a cut never splits a Korean character.
std::string BoundTip(const std::string& tip) {
  constexpr std::size_t kMaxBytes = 127;
  std::size_t end = 0;
  while (end < tip.size()) {
    const std::size_t next = end + text::CharLength(tip, end);
    if (next > kMaxBytes) break;
    end = next;
  }
  return tip.substr(0, end);
}

// Copies `text` into a fixed wide field, cut to the field and always terminated.
template <std::size_t N>
void CopyField(const std::string& text, wchar_t (&field)[N]) {
  const std::wstring wide = Cp949ToWide(text);
  const std::size_t n = std::min(wide.size(), N - 1);
  wide.copy(field, n);
  field[n] = L'\0';
}

const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

}  // namespace

bool Win32Shell::NotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = reinterpret_cast<HWND>(data.owner);
  nid.uID = data.id;
  nid.uFlags = data.flags;
  nid.uCallbackMessage = data.callbackMessage;
  nid.hIcon = reinterpret_cast<HICON>(data.icon);
  const std::wstring tip = Cp949ToWide(BoundTip(data.tip));
  const std::size_t n = std::min(tip.size(), std::size(nid.szTip) - 1);
  tip.copy(nid.szTip, n);
  nid.szTip[n] = L'\0';
  if (data.flags & NIF_INFO) {
    CopyField(data.info, nid.szInfo);
    CopyField(data.infoTitle, nid.szInfoTitle);
    nid.dwInfoFlags = data.infoFlags;
    nid.uTimeout = 10000;  // read only by Windows 2000 and XP, which need one
    // The size of Windows 2000's structure (V2), the smallest that holds the balloon:
    // a shell reads only the sizes it knows, and every one from then on knows this.
    nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
  }
  return ::Shell_NotifyIconW(message, &nid) != FALSE;
}

int Win32Shell::QueryUserNotificationState() {
  // Looked up by name: shell32 has it from Vista on, and the client still starts on XP.
  HMODULE shell32 = ::GetModuleHandleW(L"shell32.dll");
  if (shell32 == nullptr) return kQunsNone;
  using Query = HRESULT(WINAPI*)(int*);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void (*)()>(::GetProcAddress(shell32, "SHQueryUserNotificationState")));
  if (query == nullptr) return kQunsNone;
  int state = kQunsNone;
  if (FAILED(query(&state))) return kQunsNone;
  return state;
}

bool Win32Shell::ForegroundCoversMonitor(WindowHandle own) {
  HWND front = ::GetForegroundWindow();
  if (front == nullptr || front == ::GetDesktopWindow() || front == ::GetShellWindow()) return false;
  // Explorer's desktop is a "WorkerW" or "Progman" window that covers the screen too.
  wchar_t cls[32] = {};
  ::GetClassNameW(front, cls, static_cast<int>(std::size(cls)));
  if (std::wstring(cls) == L"Progman" || std::wstring(cls) == L"WorkerW") return false;
  DWORD frontProcess = 0, ownProcess = 0;
  ::GetWindowThreadProcessId(front, &frontProcess);
  if (own != 0) ::GetWindowThreadProcessId(reinterpret_cast<HWND>(own), &ownProcess);
  if (frontProcess == ::GetCurrentProcessId() || (ownProcess != 0 && frontProcess == ownProcess)) return false;
  // A maximized window with a title bar is a document, not a game, even where an
  // auto-hidden taskbar lets it reach the monitor's edges.
  const LONG_PTR style = ::GetWindowLongPtrW(front, GWL_STYLE);
  if (::IsZoomed(front) && (style & WS_CAPTION) == WS_CAPTION) return false;
  RECT rect{};
  if (!::GetWindowRect(front, &rect)) return false;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoW(::MonitorFromWindow(front, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
  const RECT& m = monitor.rcMonitor;
  return rect.left <= m.left && rect.top <= m.top && rect.right >= m.right && rect.bottom >= m.bottom;
}

IconHandle Win32Shell::LoadIcon(int resourceId) {
  return reinterpret_cast<IconHandle>(
      ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId)));
}

std::uint32_t Win32Shell::RegisterWindowMessage(const std::string& name) {
  return ::RegisterWindowMessageW(Cp949ToWide(name).c_str());
}

bool Win32Shell::AllowMessageFromLowerIntegrity(WindowHandle window, std::uint32_t message) {
  // Looked up by name: Windows 7 has the per-window filter, Vista only the process-wide
  // one, and earlier systems no filter at all (every message arrives).
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return true;
  using PerWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  using PerProcess = BOOL(WINAPI*)(UINT, DWORD);
  constexpr DWORD kMsgfltAllow = 1;  // MSGFLT_ALLOW of the per-window call
  constexpr DWORD kMsgfltAdd = 1;    // MSGFLT_ADD of the process-wide call
  if (auto per_window = reinterpret_cast<PerWindow>(
          reinterpret_cast<void (*)()>(::GetProcAddress(user32, "ChangeWindowMessageFilterEx"))))
    return per_window(reinterpret_cast<HWND>(window), message, kMsgfltAllow, nullptr) != FALSE;
  if (auto per_process = reinterpret_cast<PerProcess>(
          reinterpret_cast<void (*)()>(::GetProcAddress(user32, "ChangeWindowMessageFilter"))))
    return per_process(message, kMsgfltAdd) != FALSE;
  return true;
}

std::string Win32Shell::DocumentsFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
  std::string folder;
  if (!WideToCp949Exact(path, folder)) return "";  // a "?" in its place would name another folder
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

bool Win32Shell::IsWindow(WindowHandle window) { return ::IsWindow(reinterpret_cast<HWND>(window)) != FALSE; }

std::intptr_t Win32Shell::ShellExecute(WindowHandle owner, const std::string& verb,
                                       const std::string& file, const std::string& parameters,
                                       const std::string& directory, int show) {
  const std::wstring wverb = Cp949ToWide(verb);
  const std::wstring wfile = Cp949ToWide(file);
  const std::wstring wparams = Cp949ToWide(parameters);
  const std::wstring wdir = Cp949ToWide(directory);
  HINSTANCE result = ::ShellExecuteW(reinterpret_cast<HWND>(owner), OrNull(wverb), wfile.c_str(),
                                     OrNull(wparams), OrNull(wdir), show);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace platform::win32
