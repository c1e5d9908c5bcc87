// The skinned controls on real windows, in the connection progress dialog as the
// program builds it (template, background, status label, two-colour bar): what the
// paints cost in GDI objects, where the bar's fill ends, and what a label does when its
// font cannot be created.
#include "platform/win32/windows_include.h"

#include <commctrl.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "app/progress/vpn_conn_dlg.h"
#include "resources/resource_ids.h"
#include "ui/win32/font_static.h"
#include "ui/win32/panel_router.h"
#include "ui/win32/progress_ex.h"

namespace {

// One entry of the GDI handle table; the same 24 bytes on 64-bit Windows and Wine.
#pragma pack(push, 1)
struct GdiHandleEntry {
  std::uint64_t object;
  std::uint32_t owner;
  std::uint16_t unique;
  std::uint8_t type;  // 0: free
  std::uint8_t flags;
  std::uint64_t user;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "GDI handle table entry");

// The GDI objects this process holds. GetGuiResources counts them on Windows; Wine's
// is a stub that answers 0, so there the live entries of the GDI handle table are
// counted (the PEB's GdiSharedHandleTable, at 0xF8 on 64-bit; under Wine the table is
// the process's own). -1 when neither can be read.
long GdiObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return static_cast<long>(counted);
  using QueryProcess = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
    return -1;
  const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
  const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
  if (table == nullptr) return -1;
  long live = 0;
  for (int i = 0; i < 0x10000; ++i)
    if (table[i].type != 0) ++live;
  return live;
}

// A message box of this process shows: it is noted and answered, so a paint that
// opened one returns and the test can say so instead of hanging.
class MessageBoxWatch {
 public:
  MessageBoxWatch() : thread_([this] { Watch(); }) {}
  ~MessageBoxWatch() {
    stop_ = true;
    thread_.join();
  }
  int seen() const { return seen_; }

 private:
  static BOOL CALLBACK Look(HWND window, LPARAM self) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    // A message box is a dialog with the static 0xFFFF holding its text.
    if (pid == GetCurrentProcessId() && std::wstring(name) == L"#32770" && GetDlgItem(window, 0xFFFF) != nullptr) {
      ++reinterpret_cast<MessageBoxWatch*>(self)->seen_;
      PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
  }
  void Watch() {
    while (!stop_) {
      EnumWindows(&Look, reinterpret_cast<LPARAM>(this));
      Sleep(50);
    }
  }
  std::atomic<bool> stop_{false};
  std::atomic<int> seen_{0};
  std::thread thread_;
};

std::atomic<int> g_fonts_made{0};

HFONT WINAPI CountingFont(const LOGFONTW* font) {
  ++g_fonts_made;
  return CreateFontIndirectW(font);
}

HFONT WINAPI NoFont(const LOGFONTW*) {
  ++g_fonts_made;
  return nullptr;
}

constexpr ui::ProgressEx::Look kLook{0xF3F3F3, 0x0096FF, 0xFFFFFF, 0x000000};

// The progress dialog shown at the top-left of the screen, with its status label
// painted through `makeFont`.
class ProgressDialog {
 public:
  explicit ProgressDialog(ui::FontStatic::FontMaker makeFont) : status_(makeFont) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    router_.SetBackground(IDB_PROGRESS_BACKGROUND);
    router_.SetSurface(ui::PanelRouter::Surface::kDrags);
    router_.onInit = [this] {
      const app::LabelStyle& style = app::kConnStatusStyle;
      status_.Attach(router_.hwnd(), style.id);
      status_.SetBackColor(style.backColor);
      status_.SetFontStyle(L"Gulim", style.height, style.textColor, style.flags);
      bar_.Attach(router_.hwnd(), IDC_PROGRESS_BAR, kLook);
    };
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_VPN_CONN), nullptr,
                                 &ui::PanelRouter::DialogProc, reinterpret_cast<LPARAM>(&router_));
    if (dialog_ == nullptr) return;
    SetWindowPos(dialog_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetWindowTextW(Status(), L"서버에 접속중입니다 Connecting");
    Paint();
  }
  ~ProgressDialog() {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
  }

  HWND dialog() const { return dialog_; }
  HWND Status() const { return GetDlgItem(dialog_, IDC_PROGRESS_STATUS); }
  HWND Bar() const { return GetDlgItem(dialog_, IDC_PROGRESS_BAR); }
  // Everything painted now, as the animation's timer does it every 100 ms.
  void Paint() const {
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }

 private:
  ui::PanelRouter router_;
  ui::FontStatic status_;
  ui::ProgressEx bar_;
  HWND dialog_ = nullptr;
};

// The colour of the painted pixel (x, y) of `window`'s client area.
COLORREF PixelOf(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

// Pixels of `window`'s client area that differ from `background`: the text drawn.
int InkOf(HWND window, COLORREF background) {
  RECT r{};
  GetClientRect(window, &r);
  HDC dc = GetDC(window);
  int ink = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (GetPixel(dc, x, y) != background) ++ink;
  ReleaseDC(window, dc);
  return ink;
}

// The progress dialog repaints every 100 ms while a tunnel starts: each paint creates
// a brush and a font for the label and brushes and clip regions for the bar, and must
// free every one of them, or a long dial exhausts the process's GDI objects.
TEST(WinSkin, PaintsLeaveNoGdiObjectsBehind) {
  ProgressDialog shown(&CountingFont);
  ASSERT_NE(shown.dialog(), nullptr) << GetLastError();
  SendMessageW(shown.Bar(), PBM_SETRANGE32, 0, 100);
  for (int i = 0; i < 5; ++i) shown.Paint();  // the system's own caches settle first
  const long before = GdiObjects();
  ASSERT_GT(before, 0) << "no way to count GDI objects here";
  const int madeBefore = g_fonts_made;
  for (int i = 0; i < 300; ++i) {
    SendMessageW(shown.Bar(), PBM_SETPOS, i % 101, 0);
    SetWindowTextW(shown.Bar(), (std::to_wstring(i % 101) + L" %").c_str());
    shown.Paint();
  }
  EXPECT_GE(g_fonts_made - madeBefore, 300);  // every paint made its label's font
  EXPECT_EQ(GdiObjects(), before);
}

// Where the bar's fill ends: at 37 of 0..100 the bar colour stops at 37 % of the
// width; the native control keeps a position outside the range at its ends; an empty
// range fills nothing.
TEST(WinSkin, TheBarFillsItsShareOfTheWidth) {
  ProgressDialog shown(&CountingFont);
  ASSERT_NE(shown.dialog(), nullptr) << GetLastError();
  HWND bar = shown.Bar();
  RECT r{};
  GetClientRect(bar, &r);
  const int width = r.right - r.left;
  ASSERT_GT(width, 20);
  SetWindowTextW(bar, L"");  // no caption over the pixels looked at
  struct Row {
    int low, high, position, filled;  // filled: pixels, -1 for 37 % of the width
  };
  const Row rows[] = {{0, 100, 37, -1}, {0, 100, 0, 0}, {0, 100, 100, width}, {0, 100, 250, width},
                      {50, 50, 50, 0}};
  for (const Row& row : rows) {
    SendMessageW(bar, PBM_SETRANGE32, row.low, row.high);
    SendMessageW(bar, PBM_SETPOS, row.position, 0);
    shown.Paint();
    const int filled = row.filled < 0 ? width * 37 / 100 : row.filled;
    SCOPED_TRACE(std::to_string(row.position) + " of " + std::to_string(row.low) + ".." + std::to_string(row.high));
    if (filled > 0) {
      EXPECT_EQ(PixelOf(bar, filled - 1, 1), kLook.barColor);
    }
    if (filled < width) {
      EXPECT_EQ(PixelOf(bar, filled, 1), kLook.backColor);
    }
  }
}

// A label whose font cannot be created still shows its text (in the system's GUI
// font), opens no message box, and frees what its paints made.
TEST(WinSkin, ALabelWithoutItsFontShowsItsTextInTheGuiFont) {
  MessageBoxWatch boxes;
  ProgressDialog shown(&NoFont);
  ASSERT_NE(shown.dialog(), nullptr) << GetLastError();
  const int madeBefore = g_fonts_made;
  const long before = GdiObjects();
  for (int i = 0; i < 50; ++i) shown.Paint();
  EXPECT_GE(g_fonts_made - madeBefore, 50);
  EXPECT_GT(InkOf(shown.Status(), app::kConnStatusStyle.backColor), 20);
  EXPECT_EQ(GdiObjects(), before);
  Sleep(200);  // the watch looks every 50 ms
  EXPECT_EQ(boxes.seen(), 0);
}

}  // namespace
