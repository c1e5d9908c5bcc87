// Drives a running tunra.exe from inside the same Wine prefix, through the window
// title and control IDs the client itself uses. One command per run:
//
//   wait SECONDS   waits for the main window; exit 0 when it exists
//   layout         checks the start-up window: controls, texts, narrow layout
//   keys           posts Enter, Escape and Alt+F4; exit 0 when the window survives
//   hide           hides the main window
//   visible        exit 0 when the main window is visible and not minimized
//
// Failures are printed; the exit code is 0 on success, 1 on a failed check, 2 when
// there is no window or the command is unknown.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/resource_ids.h"

namespace {

HWND MainWindow() { return FindWindowW(nullptr, TUNRA_WINDOW_TITLE); }

std::wstring Text(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

int failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::printf("FAIL: %s\n", what);
    ++failures;
  }
}

// The control's rectangle in the main window's client coordinates.
RECT ClientRect(HWND main, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int Layout(HWND main) {
  for (int id : {IDC_MAIN_UPDATE, IDC_MAIN_MINIMIZE, IDC_MAIN_CLOSE, IDC_MAIN_OPTIONS,
                 IDC_MAIN_HELP, IDC_MAIN_VERSION}) {
    if (GetDlgItem(main, id) == nullptr) {
      std::printf("FAIL: control %d missing\n", id);
      ++failures;
    }
  }
  // Hangul from the resource script: garbage here means it was compiled in the wrong
  // code page.
  Check(Text(GetDlgItem(main, IDC_MAIN_OPTIONS)) == L"옵션설정", "options button text");
  Check(Text(GetDlgItem(main, IDC_MAIN_VERSION)) == L"( Ver 1185 )", "version label text");
  Check((GetWindowLongW(main, GWL_STYLE) & WS_CAPTION) == 0, "window has a caption");

  // Narrow at start: half of the 897-pixel skin, full height; caption buttons in
  // their narrow places, each the size of its 25 x 22 bitmap.
  RECT client{};
  GetClientRect(main, &client);
  std::printf("client %ldx%ld\n", client.right, client.bottom);
  Check(client.right == 448 && client.bottom == 395, "narrow client size 448x395");
  Check(Same(ClientRect(main, GetDlgItem(main, IDC_MAIN_MINIMIZE)), RECT{387, 10, 412, 32}),
        "minimize button at 387-412 / 10-32");
  Check(Same(ClientRect(main, GetDlgItem(main, IDC_MAIN_CLOSE)), RECT{417, 10, 442, 32}),
        "close button at 417-442 / 10-32");

  // Any point of the surface that is not a control drags the window.
  RECT window{};
  GetWindowRect(main, &window);
  DWORD_PTR hit = 0;
  SendMessageTimeoutW(main, WM_NCHITTEST, 0, MAKELPARAM(window.left + 200, window.top + 250),
                      SMTO_ABORTIFHUNG, 5000, &hit);
  Check(hit == HTCAPTION, "surface answers HTCAPTION");
  return failures == 0 ? 0 : 1;
}

int Keys(HWND main) {
  PostMessageW(main, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 1);
  // Alt held (context bit 29): unswallowed, this would close the window.
  PostMessageW(main, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
  Sleep(700);
  Check(IsWindow(main) && IsWindowVisible(main), "window survives Enter, Escape, Alt+F4");
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "wait") {
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    for (int i = 0; i < seconds * 10; ++i) {
      if (MainWindow() != nullptr) return 0;
      Sleep(100);
    }
    std::printf("FAIL: no window titled Lumrex after %d s\n", seconds);
    return 1;
  }
  HWND main = MainWindow();
  if (main == nullptr) {
    std::printf("FAIL: no window titled Lumrex\n");
    return 2;
  }
  if (command == "layout") return Layout(main);
  if (command == "keys") return Keys(main);
  if (command == "hide") return ShowWindow(main, SW_HIDE), 0;
  if (command == "visible") return IsWindowVisible(main) && !IsIconic(main) ? 0 : 1;
  return 2;
}
