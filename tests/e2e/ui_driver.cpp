// Drives a running tunra.exe from inside the same Wine prefix, through the window
// title and control IDs the client itself uses.
//
// Single commands (command line):
//   wait SECONDS   waits for the main window; exit 0 when it is shown
//   layout         checks the start-up window: controls, texts, narrow layout
//   keys           posts Enter, Escape and Alt+F4; exit 0 when the window survives
//   hide           hides the main window
//   visible        exit 0 when the main window is visible and not minimized
//
// Scripts: `run [FILE]` reads one command per line from FILE, or from standard input
// without FILE or with "-". Scripts are UTF-8; Korean texts go through files because
// Wine mangles them on command lines. Blank lines and lines starting with '#' are
// skipped. A TEXT argument is the rest of the line after the single blank that ends
// the previous argument, so it keeps leading and trailing blanks.
//
// A WINDOW is main, login, account, progress, pool or classes (found as the client's
// dialog that holds the login field, the logout button, the progress bar, the pool
// panel's title image 1062 or the class list), or has:ID for any
// dialog of the client that holds control ID (looked for during at most 5 s). Every
// wait is bounded; a time-out is a failure.
//
//   wait-window SECONDS            waits until the main window is shown
//   settext WINDOW ID TEXT         WM_SETTEXT to the control
//   click WINDOW ID                posts WM_COMMAND(ID, BN_CLICKED) to the window
//   wait-checked WINDOW ID STATE SECONDS
//   press WINDOW ID                clicks a check box: toggles it and notifies
//   menu WINDOW ID                 posts WM_COMMAND(ID, 0), as a menu item sends it
//   text WINDOW ID                 prints: text WINDOW ID [TEXT]
//   visible WINDOW ID              prints: visible WINDOW ID 0|1, the control's own
//                                  visible style (ID 0: the window)
//   checked WINDOW ID              prints: checked WINDOW ID 0|1|2
//   rect WINDOW ID                 prints: rect WINDOW ID LEFT TOP RIGHT BOTTOM in
//                                  the parent's client coordinates (a control, a
//                                  panel), or in screen coordinates (main, progress)
//   width                          prints: width N (the main window's width)
//   wait-width PIXELS SECONDS      waits until the main window is that wide
//   wait-visible WINDOW ID 0|1 SECONDS
//   wait-text WINDOW ID SECONDS TEXT
//   wait-match WINDOW ID SECONDS PATTERN
//                                  waits until the text matches PATTERN: '#' a digit,
//                                  '?' any character, '*' any run of characters
//   msgbox SECONDS                 waits for a message box of the client; prints
//                                  msgbox caption [CAPTION] and msgbox text [TEXT]
//                                  (line breaks as \n)
//   answer OK|YES|NO|CANCEL        answers the message box found by msgbox and
//                                  waits until it is gone
//   no-msgbox SECONDS              fails when a message box shows within SECONDS
//   close                          posts WM_CLOSE to the main window, as an installer
//                                  or taskkill without /F sends it
//   notify WINDOW ID               prints: notify WINDOW ID 0|1, whether the control
//                                  has SS_NOTIFY (a static that reports clicks)
//   tray MOUSE                     posts the tray callback (1012, wParam 129) with
//                                  lParam MOUSE: a number or lbuttondown, lbuttonup,
//                                  lbuttondblclk, rbuttondown, rbuttonup
//   rows WINDOW ID                 prints: rows WINDOW ID N, then row I [TEXT] for
//                                  each row of the list view (first column)
//   wait-cell WINDOW ID ROW COLUMN SECONDS PATTERN
//                                  waits until the text of the list view's cell
//                                  (COLUMN 0 the item, others its subitems) matches
//                                  PATTERN (as wait-match)
//   wait-rows WINDOW ID N SECONDS  waits until the list view has N rows
//   select WINDOW ID ROW...        selects exactly these rows of the list view
//   dblclick WINDOW ID ROW         selects the row and double-clicks it (posted: the
//                                  command does not wait for what the click starts)
//   wait-file 0|1 SECONDS PATH     waits until the file is gone (0) or exists (1); a
//                                  relative PATH is in the client's folder, a Linux
//                                  path ("/...") is taken as the same file under Wine
//   touch PATH                     creates the file (the stand-in dialer's drop file)
//   screenshot NAME                saves the whole screen as NAME.bmp in the folder
//                                  TUNRA_E2E_WORK names (the current one without it)
//   tray-icon                      prints: tray-icon ID, the icon resource (213 idle,
//                                  214 connected) the notification area shows
//   wait-tray-icon ID SECONDS      waits until the notification area shows that icon
//   sleep MILLISECONDS             at most 10000
//   echo TEXT                      prints TEXT
//
// The options dialog (found as has:1056) and the system's open-file dialog:
//   radio WINDOW ID                checks the radio button and notifies the dialog
//                                  (both posted, as press does for a check box)
//   combo WINDOW ID                prints: combo WINDOW ID SELECTED, then item I
//                                  [TEXT] for each item of the combo box
//   choose WINDOW ID TEXT          selects the item TEXT of the combo box and posts
//                                  CBN_SELCHANGE to the dialog
//   enabled WINDOW ID              prints: enabled WINDOW ID 0|1
//   wait-enabled WINDOW ID 0|1 SECONDS
//   registry NAME                  prints: registry NAME [TEXT] for the value of the
//                                  client's settings key, or registry NAME absent
//   wait-no-dialog ID SECONDS      waits until no dialog of the client holds control
//                                  ID (a closed dialog)
//   keys WINDOW ID                 posts Enter, Escape and Alt+F4 to the control (ID
//                                  0: the window); fails when a dialog holding it
//                                  closes within 0.7 s
//   open-file SECONDS TEXT         waits for the client's open-file dialog, types
//                                  TEXT as the file name and presses Open; waits
//                                  until the dialog is gone
//   cancel-file SECONDS            waits for the open-file dialog and cancels it
//
// The back end and the files of the fault scenarios:
//   backend stop|start|QUERY       asks the runner (through files in the folder
//                                  TUNRA_E2E_WORK names) to end the back end (until
//                                  `backend start`, connections are refused), to start
//                                  it again, or to send it the control command
//                                  /_control/QUERY (e.g. reset, or fault?name=status&
//                                  arg=500&path=/Info/ip_pool_list.php&times=1); fails
//                                  unless the runner answers ok within 30 s
//   backend requests PATH          prints: requests PATH N, the number of requests the
//                                  back end recorded for PATH so far
//   wait-requests PATH N SECONDS   waits until the back end recorded N requests for
//                                  PATH (a request it took, whatever it answered)
//   hold PATH                      opens the file for reading and lets others write and
//                                  delete it but not read it (as a scanner that locks a
//                                  file does), until release PATH or the script's end
//   release PATH                   closes the file that hold opened
//   mkdir PATH                     creates the folder (a folder where the client
//                                  writes a file makes that write fail); delete
//                                  removes it again once it is empty
//
// The OpenVPN tunnel: its working files beside the client and its program.
//   msgbox-exact SECONDS           as msgbox, with each carriage return of the text
//                                  shown as \r (and a line feed as \n)
//   file PATH                      prints: file PATH N, then line I [TEXT] for each
//                                  line of the file (code page 949), or file PATH
//                                  absent; the client's folder in a line shows as
//                                  <dir>; a line that does not end in CR LF is marked
//                                  (LF) or (no line end); other control characters as
//                                  \xHH
//   write PATH TEXT                creates or truncates the file and writes TEXT and
//                                  CR LF (code page 949)
//   delete PATH                    deletes the file, or the empty folder (a missing
//                                  file is no failure)
//   copy FROM TO                   copies the file FROM (one word) to TO (the rest of
//                                  the line), making TO's folders first; relative
//                                  paths are in the client's folder
//   processes NAME                 prints: processes NAME N, the number of processes
//                                  of the prefix running the program NAME (any case;
//                                  the rest of the line, blanks included)
//   wait-processes NAME N SECONDS  waits until N processes run the program NAME (which
//                                  may hold blanks)
//
// The client's resources (the soak run compares them between its phases):
//   resources                      prints: resources handles N gdi N user N private N
//                                  windows N, for the process of the main window: its
//                                  handle count, its GDI and USER object counts, its
//                                  private bytes, and the windows it owns (top-level,
//                                  message-only and all their descendants); -1 for a
//                                  figure that cannot be read. Wine answers 0 for the
//                                  handle count, both object counts and PrivateUsage;
//                                  then the handles are counted in the system's handle
//                                  list, the GDI objects in the process's GDI handle
//                                  table, the private bytes are PagefileUsage (Wine:
//                                  the anonymous resident and swapped memory), and
//                                  USER objects stay 0 (the windows count them in part)
//   handle-list                    prints: handle TYPE [NAME] for each handle of the
//                                  client's process (from the system's handle list),
//                                  the name only for keys and named kernel objects
//                                  (asking a pipe's name can block)
//
// The shell's side of the tray icon, and the user's documents folder:
//   tray-remove                    deletes the client's notification-area icon
//                                  (NIM_DELETE for the main window and icon 129), as
//                                  a shell that restarts forgets it
//   taskbar-created                broadcasts the registered message "TaskbarCreated"
//                                  to every top-level window (sent, at most 5 s each),
//                                  as a shell does once its taskbar exists again
//   documents NAME|-               points the user's documents folder (User Shell
//                                  Folders, Personal) at the folder NAME in the folder
//                                  TUNRA_E2E_WORK names, created and emptied of its
//                                  files; "-" gives Wine back its own
//   documents-files SECONDS        waits until the documents folder holds a file whose
//                                  size stays put; prints: documents-files N, then
//                                  file [NAME] for each file, digits shown as #
//   documents-grep TEXT            prints: documents-grep N [TEXT], the number of lines
//                                  of the files in the documents folder that hold TEXT
//                                  (read as code page 949)
//   wait-titled SECONDS TITLE      waits until a visible top-level window of any
//                                  program is titled TITLE (a folder the shell opened)
//   fullscreen on|off              a game in full screen: a topmost borderless window
//                                  of the driver covering the whole screen, brought to
//                                  the front (on) or closed (off)
//
// The first failing command prints "FAIL line N: ..." and ends the run with exit
// code 1; exit code 2 means the script could not be read.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

HWND MainWindow() { return FindWindowW(nullptr, L"" TUNRA_WINDOW_TITLE); }

// The window has its title from its creation, but the client shows it only once its
// initialisation (panels, places, narrow layout) is done: wait for it to be visible.
bool MainReady() {
  HWND main = MainWindow();
  return main != nullptr && IsWindowVisible(main);
}

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

// ---------------------------------------------------------------------------------
// Scripts.

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
  return utf8;
}

// One line of output; line breaks inside a text are written as \n.
void Print(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == '\n') out += "\\n";
    else if (c != '\r') out += c;
  }
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
}

// Messages to the client wait this long for an answer. The client's window thread
// runs its exchanges itself (up to 20 s each), and on a loaded machine Wine's "hung"
// test (no message taken for 5 s) cut calls short that would have been answered: a
// busy client is waited for, as a user would wait, not taken for hung.
constexpr DWORD kSendTimeoutMs = 25000;

// The text of a window of another process: WM_GETTEXT is marshalled, and unlike
// GetWindowText it reaches controls that keep their text themselves (edit boxes).
std::wstring RemoteText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &length))
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                      kSendTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

// The window's own WS_VISIBLE style: a control of a hidden panel still says whether
// it would show (IsWindowVisible would answer for its parents too).
bool OwnVisible(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

struct Search {
  DWORD process;
  int control;
  HWND found;
};

// A dialog of the client's process holding `control`: a child of the main window (the
// panels) or a top-level window of the process (the progress dialog).
HWND DialogWith(HWND main, int control) {
  if (main == nullptr) return nullptr;
  Search search{0, control, nullptr};
  GetWindowThreadProcessId(main, &search.process);
  auto visit = [](HWND window, LPARAM data) -> BOOL {
    auto* s = reinterpret_cast<Search*>(data);
    if (ClassName(window) == L"#32770" && GetDlgItem(window, s->control) != nullptr) {
      s->found = window;
      return FALSE;
    }
    return TRUE;
  };
  EnumChildWindows(main, visit, reinterpret_cast<LPARAM>(&search));
  if (search.found != nullptr) return search.found;
  auto top = [](HWND window, LPARAM data) -> BOOL {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == s->process && ClassName(window) == L"#32770" && GetDlgItem(window, s->control) != nullptr) {
      s->found = window;
      return FALSE;
    }
    return TRUE;
  };
  EnumWindows(top, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible message box of the client: a #32770 window of its process with the
// message text static (ID 0xFFFF).
HWND FindMessageBox(HWND main) {
  Search search{0, 0xFFFF, nullptr};
  GetWindowThreadProcessId(main, &search.process);
  auto visit = [](HWND window, LPARAM data) -> BOOL {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == s->process && IsWindowVisible(window) && ClassName(window) == L"#32770" &&
        GetDlgItem(window, 0xFFFF) != nullptr) {
      s->found = window;
      return FALSE;
    }
    return TRUE;
  };
  EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Memory in the client's process for list-view messages that carry pointers (they are
// not marshalled between processes).
class RemoteMemory {
 public:
  RemoteMemory(HWND window, std::size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ != nullptr) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  bool ok() const { return address_ != nullptr; }
  char* at(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(std::size_t offset, const void* data, std::size_t n) {
    SIZE_T done = 0;
    return offset + n <= size_ && WriteProcessMemory(process_, at(offset), data, n, &done) && done == n;
  }
  bool Read(std::size_t offset, void* data, std::size_t n) {
    SIZE_T done = 0;
    return offset + n <= size_ && ReadProcessMemory(process_, at(offset), data, n, &done) && done == n;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  std::size_t size_;
};

LRESULT SendList(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(list, message, wparam, lparam, SMTO_NORMAL, kSendTimeoutMs, &result)) return -1;
  return static_cast<LRESULT>(result);
}

int ListRows(HWND list) { return static_cast<int>(SendList(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListText(HWND list, int row, int column = 0) {
  constexpr std::size_t kChars = 256;
  RemoteMemory memory(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  if (!memory.ok()) return L"?";
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = kChars;
  item.pszText = reinterpret_cast<LPWSTR>(memory.at(sizeof(LVITEMW)));
  memory.Write(0, &item, sizeof item);
  const LRESULT n = SendList(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.at(0)));
  if (n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  memory.Read(sizeof(LVITEMW), &text[0], text.size() * sizeof(wchar_t));
  return text;
}

// Sets the selected and focused state of `row` (-1: every row) to `on`.
bool ListSetSelected(HWND list, int row, bool on) {
  RemoteMemory memory(list, sizeof(LVITEMW));
  if (!memory.ok()) return false;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = on ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  return memory.Write(0, &item, sizeof item) &&
         SendList(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.at(0))) == TRUE;
}

// A double-click on `row`, as the mouse makes it: WM_LBUTTONDBLCLK posted to the list
// view at the middle of the row, so the list view sends its parent NM_DBLCLK inside the
// client's process. (Wine does not carry WM_NOTIFY between processes, and a sent
// message would hold the driver while the client's handler runs its message boxes.)
bool ListDoubleClick(HWND list, int row) {
  RemoteMemory memory(list, sizeof(RECT));
  if (!memory.ok()) return false;
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  if (!memory.Write(0, &rect, sizeof rect) ||
      SendList(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.at(0))) != TRUE ||
      !memory.Read(0, &rect, sizeof rect))
    return false;
  // The middle of the row's first 40 pixels: inside the row's text whatever its width.
  const int x = rect.left + (rect.right - rect.left < 80 ? (rect.right - rect.left) / 2 : 40);
  const int y = (rect.top + rect.bottom) / 2;
  return PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y)) != FALSE;
}

// Polls `ready` every 50 ms for at most `seconds`.
template <typename F>
bool WaitFor(double seconds, F ready) {
  const DWORD limit = static_cast<DWORD>(seconds * 1000);
  const DWORD start = GetTickCount();
  for (;;) {
    if (ready()) return true;
    if (GetTickCount() - start >= limit) return false;
    Sleep(50);
  }
}

// A box found the moment it shows may not have its caption yet: under Wine a box that
// showed while the driver was polling for it was read with an empty caption (measured).
// Every box of the client has a caption, so it is given up to a second to get one.
void SettleMessageBox(HWND box) {
  WaitFor(1, [&] { return !RemoteText(box).empty(); });
}

// A path of the environment under Wine: a Linux path ("/...") as the Windows path of the
// same file; anything else as it is.
std::wstring HostPath(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  using ToDos = WCHAR*(CDECL*)(LPCSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto toDos = kernel ? reinterpret_cast<ToDos>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")))
                      : nullptr;
  if (toDos != nullptr) {
    if (WCHAR* dos = toDos(Utf8(path).c_str())) {
      std::wstring out(dos);
      HeapFree(GetProcessHeap(), 0, dos);
      return out;
    }
  }
  return L"Z:" + path;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[4096];
  const DWORD n = GetEnvironmentVariableW(name, buffer, 4096);
  return n == 0 || n >= 4096 ? std::wstring() : std::wstring(buffer, n);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The whole screen as a 24-bit BMP file (the harness turns it into a PNG).
bool SaveScreenshot(const std::wstring& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files keep their rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
  const bool read = copied && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!read) return false;

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  bool ok = WriteFile(out, &file, sizeof file, &done, nullptr) && done == sizeof file;
  ok = ok && WriteFile(out, &info, sizeof info, &done, nullptr) && done == sizeof info;
  ok = ok && WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &done, nullptr) && done == pixels.size();
  CloseHandle(out);
  return ok;
}

// Pixels of a screen area, top row first, as 0x00RRGGBB.
struct Pixels {
  int width = 0, height = 0;
  std::vector<DWORD> data;
  DWORD at(int x, int y) const { return data[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};

// Draws into a top-down 32-bit bitmap of `width` x `height` and returns its pixels.
template <typename Paint>
Pixels Capture(int width, int height, Paint paint) {
  Pixels out;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (paint(memory, screen)) {
      GdiFlush();
      out.width = width;
      out.height = height;
      const DWORD* p = static_cast<const DWORD*>(bits);
      out.data.assign(p, p + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
      for (DWORD& pixel : out.data) pixel &= 0xFFFFFF;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out;
}

int ChannelDistance(DWORD a, DWORD b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
  return sum;
}

// The resource ID among `ids` whose icon in the client's program, drawn at the small
// icon size, is nearest to a picture of the notification area (Wine's own tray window
// under Xvfb, which draws the icons itself); 0 when none is close. The tray holds only
// the client's icon in the test prefix.
int TrayPicture(HWND main, const std::vector<int>& ids, std::string& why) {
  // Wine keeps a hidden, empty tray window too: the visible one draws the icons.
  const int size = GetSystemMetrics(SM_CXSMICON);
  RECT area{};
  HWND tray = nullptr;
  auto visit = [](HWND window, LPARAM data) -> BOOL {
    auto* found = reinterpret_cast<std::pair<HWND, int>*>(data);
    RECT r{};
    GetClientRect(window, &r);
    if (IsWindowVisible(window) && r.right >= found->second && r.bottom >= found->second) {
      wchar_t title[64] = {};
      GetWindowTextW(window, title, 64);
      if (ClassName(window) == L"Shell_TrayWnd" || std::wstring(title) == L"Wine System Tray") {
        found->first = window;
        return FALSE;
      }
    }
    return TRUE;
  };
  std::pair<HWND, int> found{nullptr, size};
  EnumWindows(visit, reinterpret_cast<LPARAM>(&found));
  tray = found.first;
  if (tray == nullptr) return why = "no visible notification area window", 0;
  GetClientRect(tray, &area);
  MapWindowPoints(tray, nullptr, reinterpret_cast<POINT*>(&area), 2);
  const int width = std::min<int>(area.right - area.left, 160), height = std::min<int>(area.bottom - area.top, 48);
  const Pixels tray_pixels = Capture(width, height, [&](HDC dc, HDC screen) {
    return BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
  });
  if (tray_pixels.data.empty()) return why = "cannot read the screen", 0;

  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  wchar_t exe[MAX_PATH * 2] = {};
  DWORD length = MAX_PATH * 2;
  const bool named = process != nullptr && QueryFullProcessImageNameW(process, 0, exe, &length);
  if (process != nullptr) CloseHandle(process);
  HMODULE module = named ? LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE) : nullptr;
  if (module == nullptr) return why = "cannot read the client's icons", 0;

  // The icons are drawn on the tray's own background: its most common colour.
  std::vector<std::pair<DWORD, int>> counts;
  for (DWORD pixel : tray_pixels.data) {
    auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == pixel; });
    if (it == counts.end()) counts.push_back({pixel, 1});
    else ++it->second;
  }
  const DWORD back = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                       return a.second < b.second;
                     })->first;

  int best = 0;
  long best_distance = -1;
  for (int id : ids) {
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    if (icon == nullptr) continue;
    const Pixels picture = Capture(size, size, [&](HDC dc, HDC) {
      HBRUSH brush = CreateSolidBrush(RGB((back >> 16) & 0xFF, (back >> 8) & 0xFF, back & 0xFF));
      RECT all{0, 0, size, size};
      FillRect(dc, &all, brush);
      DeleteObject(brush);
      return DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) != FALSE;
    });
    DestroyIcon(icon);
    if (picture.data.empty()) continue;
    // The icon's place in the tray is the one where it fits best.
    for (int oy = 0; oy + size <= tray_pixels.height; ++oy) {
      for (int ox = 0; ox + size <= tray_pixels.width; ++ox) {
        long distance = 0;
        for (int y = 0; y < size && (best_distance < 0 || distance < best_distance); ++y)
          for (int x = 0; x < size; ++x) distance += ChannelDistance(picture.at(x, y), tray_pixels.at(ox + x, oy + y));
        if (best_distance < 0 || distance < best_distance) {
          best_distance = distance;
          best = id;
        }
      }
    }
  }
  FreeLibrary(module);
  // Close means on average within 24 of 765 per pixel: a picture of the other icon, or
  // of no icon, is far further off.
  if (best == 0 || best_distance > 24L * size * size) return why = "the tray shows none of the icons", 0;
  return best;
}

// `text` against `pattern`: '#' is a digit, '?' any character, '*' any run of them.
bool Matches(const std::wstring& text, const std::wstring& pattern) {
  std::size_t t = 0, p = 0, star = std::wstring::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == text[t] ||
                               (pattern[p] == L'#' && text[t] >= L'0' && text[t] <= L'9'))) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      resume = t;
    } else if (star != std::wstring::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

// ---------------------------------------------------------------------------------
// The options dialog and the system's open-file dialog.

// The items of a combo box of the client (CB_GETLBTEXT is marshalled between
// processes for a combo box that keeps its strings).
std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &count)) return items;
  for (int i = 0; i < static_cast<int>(count); ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0, SMTO_NORMAL, kSendTimeoutMs, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_NORMAL, kSendTimeoutMs, &copied);
    text.resize(copied == static_cast<DWORD_PTR>(CB_ERR) ? 0 : copied);
    items.push_back(text);
  }
  return items;
}

// The file name field of an open-file dialog: the edit box edt1, or the combo box
// cmb13 of the newer template.
HWND FileNameField(HWND dialog) {
  if (HWND edit = GetDlgItem(dialog, 0x480)) return edit;
  return GetDlgItem(dialog, 0x47C);
}

// A visible open-file dialog of the client: a #32770 window of its process with an
// Open button and a file name field.
HWND FindFileDialog(HWND main) {
  std::pair<DWORD, HWND> search{0, nullptr};
  GetWindowThreadProcessId(main, &search.first);
  auto visit = [](HWND window, LPARAM data) -> BOOL {
    auto* s = reinterpret_cast<std::pair<DWORD, HWND>*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == s->first && IsWindowVisible(window) && ClassName(window) == L"#32770" &&
        GetDlgItem(window, IDOK) != nullptr && FileNameField(window) != nullptr) {
      s->second = window;
      return FALSE;
    }
    return TRUE;
  };
  EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// A text value of the client's settings key (HKCU\SOFTWARE\Orvak).
bool SettingText(const std::wstring& name, std::wstring& text) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Orvak", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  wchar_t data[1024] = {};
  DWORD size = sizeof data - sizeof(wchar_t), type = 0;
  const LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  text.assign(data, size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return true;
}

// ---------------------------------------------------------------------------------
// The OpenVPN tunnel's files and program.

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

// The folder of the client's program (the main window's process), without the final
// separator; empty when it cannot be told.
std::wstring ClientFolder(HWND main) {
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return {};
  wchar_t exe[MAX_PATH * 2] = {};
  DWORD length = MAX_PATH * 2;
  const bool named = QueryFullProcessImageNameW(process, 0, exe, &length) != FALSE;
  CloseHandle(process);
  if (!named) return {};
  const std::wstring path(exe, length);
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// `line` with every occurrence of `folder` (either separator, any letter case)
// replaced by <dir>, so the expected output does not depend on where the tree is.
std::wstring MaskFolder(const std::wstring& line, std::wstring folder) {
  if (folder.empty()) return line;
  for (wchar_t& c : folder)
    if (c == L'\\') c = L'/';
  folder = Lower(folder);
  std::wstring flat = Lower(line);
  for (wchar_t& c : flat)
    if (c == L'\\') c = L'/';
  std::wstring out;
  std::size_t at = 0;
  for (std::size_t found; (found = flat.find(folder, at)) != std::wstring::npos; at = found + folder.size())
    out += line.substr(at, found - at) + L"<dir>";
  return out + line.substr(at);
}

// Carriage returns as \r, other control characters but tab and line feed as \xHH.
std::string Escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 && c != '\n' && c != '\t') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::wstring FromCp949(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(949, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(949, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
  return wide;
}

std::string ToCp949(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(949, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(949, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], n, nullptr, nullptr);
  return bytes;
}

// The whole file, shared with a program that may be writing it.
bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return true;
}

// Processes of this prefix whose program is `name`, without regard to case.
int CountProcesses(const std::wstring& name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (Lower(entry.szExeFile) == Lower(name)) ++count;
  CloseHandle(snapshot);
  return count;
}

// What a leak would make grow in the process of `main`. GetGuiResources needs a
// handle with query rights; PrivateUsage comes with PROCESS_MEMORY_COUNTERS_EX.
struct ProcessResources {
  long long handles = -1, gdi = -1, user = -1, privateBytes = -1, windows = -1;
};

template <typename Function>
Function NtdllFunction(const char* name) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(ntdll, name))) : nullptr;
}

// One entry of the system's handle list (NtQuerySystemInformation,
// SystemHandleInformation: a count, then 24-byte entries that start with the owner's
// process ID; the entries are aligned for their pointer).
struct SystemHandleEntry {
  ULONG ownerPid;
  BYTE type, flags;
  USHORT handle;
  void* object;
  ULONG access;
};

// The entries of the handles `pid` holds; false when the list cannot be read. The
// list's size is not known in advance: a buffer too small is answered with a length
// mismatch, and the query is made again with a larger one.
bool SystemHandles(DWORD pid, std::vector<SystemHandleEntry>& out) {
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  const auto query = NtdllFunction<Query>("NtQuerySystemInformation");
  if (query == nullptr) return false;
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<char> buffer(1 << 20);
  for (int attempt = 0; attempt < 6; ++attempt) {
    ULONG needed = 0;
    const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) {
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 65536));
      continue;
    }
    if (status < 0) return false;
    ULONG count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    const std::size_t first = sizeof(void*);
    if (first + static_cast<std::size_t>(count) * sizeof(SystemHandleEntry) > buffer.size()) return false;
    out.clear();
    for (ULONG i = 0; i < count; ++i) {
      SystemHandleEntry entry;
      std::memcpy(&entry, buffer.data() + first + i * sizeof(SystemHandleEntry), sizeof entry);
      if (entry.ownerPid == pid) out.push_back(entry);
    }
    return true;
  }
  return false;
}

// How many handles `pid` holds. Wine's server fills the system's list; its
// GetProcessHandleCount answers 0.
long long SystemHandleCount(DWORD pid) {
  std::vector<SystemHandleEntry> entries;
  return SystemHandles(pid, entries) ? static_cast<long long>(entries.size()) : -1;
}

// The GDI objects of a process, from its GDI handle table: PEB.GdiSharedHandleTable
// (offset 0xF8 of a 64-bit PEB) points at 0x10000 entries of 24 bytes whose byte 14 is
// the object's type, 0 for a free entry. Wine keeps each process's table in the
// process itself (stock objects included) and answers GetGuiResources with 0.
long long GdiTableCount(HANDLE process) {
  struct BasicInformation {
    LONG exitStatus;
    void* peb;
    ULONG_PTR affinity;
    LONG priority;
    ULONG_PTR pid, parentPid;
  };
  using Query = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
  const auto query = NtdllFunction<Query>("NtQueryInformationProcess");
  BasicInformation basic{};
  if (query == nullptr || query(process, 0, &basic, sizeof basic, nullptr) < 0 || basic.peb == nullptr) return -1;
  void* table = nullptr;
  SIZE_T done = 0;
  if (!ReadProcessMemory(process, static_cast<char*>(basic.peb) + 0xF8, &table, sizeof table, &done) || table == nullptr)
    return -1;
  constexpr std::size_t kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
  std::vector<unsigned char> entries(kEntries * kEntrySize);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &done) || done != entries.size()) return -1;
  long long used = 0;
  for (std::size_t i = 0; i < kEntries; ++i) used += entries[i * kEntrySize + kTypeOffset] != 0 ? 1 : 0;
  return used;
}

// The handles of `pid` as "TYPE [NAME]": each is duplicated into this process and
// asked for its type and, for keys and named kernel objects, its name.
std::vector<std::string> HandleList(DWORD pid) {
  std::vector<std::string> out;
  using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
  const auto queryObject = NtdllFunction<QueryObject>("NtQueryObject");
  std::vector<SystemHandleEntry> entries;
  if (queryObject == nullptr || !SystemHandles(pid, entries)) return out;
  HANDLE process = OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid);
  if (process == nullptr) return out;
  struct Text {  // UNICODE_STRING, at the start of both answers
    USHORT length, capacity;
    wchar_t* buffer;
  };
  for (const SystemHandleEntry& entry : entries) {
    HANDLE copy = nullptr;
    std::wstring type = L"?", name;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(entry.handle)), GetCurrentProcess(),
                        &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
      alignas(8) char answer[4096];
      ULONG n = 0;
      const Text* text = reinterpret_cast<const Text*>(answer);
      if (queryObject(copy, 2, answer, sizeof answer, &n) >= 0 && text->buffer != nullptr)
        type.assign(text->buffer, text->length / sizeof(wchar_t));
      const bool named = type == L"Key" || type == L"Event" || type == L"Mutant" || type == L"Section" ||
                         type == L"Semaphore";
      if (named && queryObject(copy, 1, answer, sizeof answer, &n) >= 0 && text->buffer != nullptr)
        name.assign(text->buffer, text->length / sizeof(wchar_t));
      CloseHandle(copy);
    }
    out.push_back(Utf8(type) + " [" + Utf8(name) + "]");
  }
  CloseHandle(process);
  return out;
}

ProcessResources ReadResources(HWND main) {
  ProcessResources out;
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process != nullptr) {
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles)) out.handles = handles;
    if (out.handles <= 0) out.handles = SystemHandleCount(pid);
    out.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    if (out.gdi == 0) out.gdi = GdiTableCount(process);
    out.user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
      out.privateBytes = static_cast<long long>(memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage);
    CloseHandle(process);
  }
  // Windows of the process: each top-level or message-only window and every window
  // below it (EnumChildWindows walks all descendants).
  using Count = std::pair<DWORD, long long>;
  Count count{pid, 0};
  auto visit = [](HWND window, LPARAM data) -> BOOL {
    auto* c = reinterpret_cast<Count*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != c->first) return TRUE;
    ++c->second;
    EnumChildWindows(window, [](HWND, LPARAM d) -> BOOL {
      ++reinterpret_cast<Count*>(d)->second;
      return TRUE;
    }, data);
    return TRUE;
  };
  EnumWindows(visit, reinterpret_cast<LPARAM>(&count));
  for (HWND message = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); message != nullptr;
       message = FindWindowExW(HWND_MESSAGE, message, nullptr, nullptr))
    visit(message, reinterpret_cast<LPARAM>(&count));
  out.windows = count.second;
  return out;
}

// The stand-in for a game in full screen: a topmost popup window the size of the
// screen, on a thread of its own that pumps its messages (the script's waits do not).
struct FullScreenWindow {
  HANDLE thread = nullptr;
  DWORD threadId = 0;
  HWND window = nullptr;

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) {
      DestroyWindow(hwnd);
      return 0;
    }
    if (message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  static DWORD WINAPI Run(void* self) {
    auto* me = static_cast<FullScreenWindow*>(self);
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"TunraE2eFullScreen";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"full screen", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (hwnd != nullptr) SetForegroundWindow(hwnd);
    me->window = hwnd;
    MSG msg;
    while (hwnd != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return 0;
  }
  bool On() {
    if (thread != nullptr) return false;
    thread = CreateThread(nullptr, 0, Run, this, 0, &threadId);
    return thread != nullptr &&
           WaitFor(5, [&] { return window != nullptr && GetForegroundWindow() == window; });
  }
  bool Off() {
    if (thread == nullptr) return false;
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    thread = nullptr;
    window = nullptr;
    return ended;
  }
};

class Script {
 public:
  int Run(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
      ++line_number_;
      while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
      if (line.empty() || line[0] == '#') continue;
      line_ = line;
      pos_ = 0;
      error_.clear();
      if (!Execute()) {
        Print("FAIL line " + std::to_string(line_number_) + ": " + line + ": " + error_);
        return 1;
      }
    }
    return 0;
  }

 private:
  // Next blank-separated word.
  std::string Word() {
    while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
    const std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ') ++pos_;
    return line_.substr(start, pos_ - start);
  }
  // The rest of the line after the one blank that ends the previous word.
  std::string Rest() {
    if (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
    std::string rest = line_.substr(pos_);
    pos_ = line_.size();
    return rest;
  }
  bool Fail(const std::string& why) {
    error_ = why;
    return false;
  }
  bool Number(const std::string& word, double& value) {
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return !word.empty() && end != nullptr && *end == '\0';
  }
  bool Int(const std::string& word, int& value) {
    double d = 0;
    if (!Number(word, d)) return false;
    value = static_cast<int>(d);
    return true;
  }

  bool NeedMain() {
    main_ = MainWindow();
    return main_ != nullptr || Fail("no window titled Lumrex");
  }

  bool Window(const std::string& name, HWND& window) {
    if (!NeedMain()) return false;
    int control = 0;
    if (name == "main") {
      window = main_;
      return true;
    }
    if (name == "login") control = IDC_LOGIN_USER;
    else if (name == "account") control = IDC_ACCOUNT_LOGOUT;
    else if (name == "progress") control = IDC_PROGRESS_BAR;
    else if (name == "pool") control = IDC_POOL_AVAILABLE_TITLE;
    else if (name == "classes") control = IDC_CLASS_LIST;
    else if (name.rfind("has:", 0) == 0 && Int(name.substr(4), control)) {
    } else {
      return Fail("unknown window " + name);
    }
    // The title exists from the main window's creation, the panels a moment later.
    WaitFor(5, [&] { return (window = DialogWith(main_, control)) != nullptr; });
    return window != nullptr || Fail("no dialog of the client holds control " + std::to_string(control));
  }

  // WINDOW ID: the control (ID 0: the window itself).
  bool Control(std::string& name, int& id, HWND& control) {
    HWND window = nullptr;
    name = Word();
    const std::string word = Word();
    if (!Window(name, window)) return false;
    if (!Int(word, id)) return Fail("bad control ID " + word);
    control = id == 0 ? window : GetDlgItem(window, id);
    // A dialog being created is found once its first controls exist: wait for the rest.
    if (control == nullptr) WaitFor(5, [&] { return (control = GetDlgItem(window, id)) != nullptr; });
    return control != nullptr || Fail("no control " + word + " in " + name);
  }

  bool Execute() {
    const std::string command = Word();
    std::string name;
    int id = 0;
    HWND control = nullptr;
    double seconds = 0;

    if (command == "echo") return Print(Rest()), true;
    if (command == "sleep") {
      int ms = 0;
      if (!Int(Word(), ms) || ms < 0 || ms > 10000) return Fail("sleep takes 0 to 10000 ms");
      Sleep(static_cast<DWORD>(ms));
      return true;
    }
    if (command == "wait-window") {
      if (!Number(Word(), seconds)) return Fail("bad seconds");
      return WaitFor(seconds, [] { return MainReady(); }) || Fail("no visible window titled Lumrex");
    }
    if (command == "settext") {
      if (!Control(name, id, control)) return false;
      const std::wstring text = Wide(Rest());
      DWORD_PTR result = 0;
      return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                 SMTO_NORMAL, kSendTimeoutMs, &result) != 0 ||
             Fail("WM_SETTEXT timed out");
    }
    if (command == "click") {
      if (!Control(name, id, control)) return false;
      // Posted, not sent: a click that opens a modal box must not block the driver.
      HWND window = GetParent(control);
      return PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control)) ||
             Fail("PostMessage failed");
    }
    if (command == "press") {
      // A click on a check box: its state toggled, then the dialog notified, both
      // posted so they arrive in this order (BM_CLICK depends on the window being
      // active, which a driven window under Xvfb often is not).
      if (!Control(name, id, control)) return false;
      DWORD_PTR state = 0;
      SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &state);
      return (PostMessageW(control, BM_SETCHECK, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0) &&
              PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(control))) ||
             Fail("PostMessage failed");
    }
    if (command == "menu") {
      // A menu command (the tray menu's items), posted as the menu posts it.
      HWND window = nullptr;
      name = Word();
      const std::string word = Word();
      if (!Window(name, window)) return false;
      if (!Int(word, id)) return Fail("bad command ID " + word);
      return PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0) || Fail("PostMessage failed");
    }
    if (command == "text") {
      if (!Control(name, id, control)) return false;
      Print("text " + name + " " + std::to_string(id) + " [" + Utf8(RemoteText(control)) + "]");
      return true;
    }
    if (command == "visible") {
      if (!Control(name, id, control)) return false;
      Print("visible " + name + " " + std::to_string(id) + " " + (OwnVisible(control) ? "1" : "0"));
      return true;
    }
    if (command == "wait-checked") {
      if (!Control(name, id, control)) return false;
      int want = 0;
      if (!Int(Word(), want) || !Number(Word(), seconds)) return Fail("wait-checked WINDOW ID STATE SECONDS");
      DWORD_PTR state = 0;
      return WaitFor(seconds, [&] {
               SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &state);
               return static_cast<int>(state) == want;
             }) ||
             Fail("check state is " + std::to_string(state));
    }
    if (command == "checked") {
      if (!Control(name, id, control)) return false;
      DWORD_PTR state = 0;
      SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &state);
      Print("checked " + name + " " + std::to_string(id) + " " + std::to_string(state));
      return true;
    }
    if (command == "rect") {
      if (!Control(name, id, control)) return false;
      RECT r{};
      GetWindowRect(control, &r);
      if (GetWindowLongW(control, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
      Print("rect " + name + " " + std::to_string(id) + " " + std::to_string(r.left) + " " +
            std::to_string(r.top) + " " + std::to_string(r.right) + " " + std::to_string(r.bottom));
      return true;
    }
    if (command == "rows") {
      if (!Control(name, id, control)) return false;
      const int n = ListRows(control);
      Print("rows " + name + " " + std::to_string(id) + " " + std::to_string(n));
      for (int row = 0; row < n; ++row) Print("row " + std::to_string(row) + " [" + Utf8(ListText(control, row)) + "]");
      return true;
    }
    if (command == "wait-cell") {
      if (!Control(name, id, control)) return false;
      int row = 0, column = 0;
      if (!Int(Word(), row) || !Int(Word(), column) || !Number(Word(), seconds))
        return Fail("wait-cell WINDOW ID ROW COLUMN SECONDS PATTERN");
      const std::wstring pattern = Wide(Rest());
      std::wstring seen;
      return WaitFor(seconds, [&] { return Matches(seen = ListText(control, row, column), pattern); }) ||
             Fail("cell is [" + Utf8(seen) + "]");
    }
    if (command == "wait-rows") {
      if (!Control(name, id, control)) return false;
      int want = 0;
      if (!Int(Word(), want) || !Number(Word(), seconds)) return Fail("wait-rows WINDOW ID N SECONDS");
      return WaitFor(seconds, [&] { return ListRows(control) == want; }) ||
             Fail("the list has " + std::to_string(ListRows(control)) + " rows");
    }
    if (command == "select") {
      if (!Control(name, id, control)) return false;
      if (!ListSetSelected(control, -1, false)) return Fail("cannot clear the selection");
      for (std::string word = Word(); !word.empty(); word = Word()) {
        int row = 0;
        if (!Int(word, row) || !ListSetSelected(control, row, true)) return Fail("cannot select row " + word);
      }
      return true;
    }
    if (command == "dblclick") {
      if (!Control(name, id, control)) return false;
      int row = 0;
      if (!Int(Word(), row)) return Fail("dblclick WINDOW ID ROW");
      if (!ListSetSelected(control, -1, false) || !ListSetSelected(control, row, true))
        return Fail("cannot select row " + std::to_string(row));
      return ListDoubleClick(control, row) || Fail("cannot double-click row " + std::to_string(row));
    }
    if (command == "tray-icon" || command == "wait-tray-icon") {
      // The candidates: the idle and the connected picture.
      const std::vector<int> ids{IDI_TRAY_IDLE, IDI_TRAY_CONNECTED};
      if (!NeedMain()) return false;
      std::string why;
      if (command == "tray-icon") {
        const int id = TrayPicture(main_, ids, why);
        if (id == 0) return Fail(why);
        Print("tray-icon " + std::to_string(id));
        return true;
      }
      int want = 0;
      if (!Int(Word(), want) || !Number(Word(), seconds)) return Fail("wait-tray-icon ICON-ID SECONDS");
      int seen = 0;
      return WaitFor(seconds, [&] { return (seen = TrayPicture(main_, ids, why)) == want; }) ||
             Fail(seen == 0 ? why : "the tray shows icon " + std::to_string(seen));
    }
    if (command == "screenshot") {
      const std::string shot = Word();
      if (shot.empty() || shot.find_first_of("/\\:") != std::string::npos) return Fail("screenshot NAME");
      std::wstring folder = HostPath(Environment(L"TUNRA_E2E_WORK"));
      if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
      Sleep(300);  // the last repaint of a change that was just waited for
      return SaveScreenshot(folder + Wide(shot) + L".bmp") || Fail("cannot save the screen");
    }
    if (command == "touch") {
      const std::wstring path = HostPath(Wide(Rest()));
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return Fail("cannot create the file");
      CloseHandle(file);
      return true;
    }
    if (command == "wait-file") {
      const std::string want = Word();
      if ((want != "0" && want != "1") || !Number(Word(), seconds)) return Fail("wait-file 0|1 SECONDS PATH");
      const std::wstring path = HostPath(Wide(Rest()));
      return WaitFor(seconds, [&] { return FileExists(path) == (want == "1"); }) ||
             Fail(want == "1" ? "no such file" : "the file is still there");
    }
    if (command == "width") {
      if (!NeedMain()) return false;
      RECT r{};
      GetWindowRect(main_, &r);
      Print("width " + std::to_string(r.right - r.left));
      return true;
    }
    if (command == "wait-width") {
      int want = 0;
      if (!Int(Word(), want) || !Number(Word(), seconds)) return Fail("wait-width PIXELS SECONDS");
      if (!NeedMain()) return false;
      int seen = 0;
      return WaitFor(seconds, [&] {
               RECT r{};
               GetWindowRect(main_, &r);
               return (seen = r.right - r.left) == want;
             }) ||
             Fail("width is " + std::to_string(seen));
    }
    if (command == "wait-visible") {
      if (!Control(name, id, control)) return false;
      const std::string want = Word();
      if ((want != "0" && want != "1") || !Number(Word(), seconds)) return Fail("wait-visible WINDOW ID 0|1 SECONDS");
      const bool visible = want == "1";
      return WaitFor(seconds, [&] { return OwnVisible(control) == visible; }) ||
             Fail("still " + std::string(visible ? "hidden" : "visible"));
    }
    if (command == "wait-text") {
      if (!Control(name, id, control)) return false;
      if (!Number(Word(), seconds)) return Fail("bad seconds");
      const std::wstring want = Wide(Rest());
      std::wstring seen;
      return WaitFor(seconds, [&] { return (seen = RemoteText(control)) == want; }) ||
             Fail("text is [" + Utf8(seen) + "]");
    }
    if (command == "wait-match") {
      if (!Control(name, id, control)) return false;
      if (!Number(Word(), seconds)) return Fail("bad seconds");
      const std::wstring pattern = Wide(Rest());
      std::wstring seen;
      return WaitFor(seconds, [&] { return Matches(seen = RemoteText(control), pattern); }) ||
             Fail("text is [" + Utf8(seen) + "]");
    }
    if (command == "msgbox") {
      if (!Number(Word(), seconds)) return Fail("bad seconds");
      if (!NeedMain()) return false;
      if (!WaitFor(seconds, [&] { return (box_ = FindMessageBox(main_)) != nullptr; }))
        return Fail("no message box");
      SettleMessageBox(box_);
      Print("msgbox caption [" + Utf8(RemoteText(box_)) + "]");
      Print("msgbox text [" + Utf8(RemoteText(GetDlgItem(box_, 0xFFFF))) + "]");
      return true;
    }
    if (command == "no-msgbox") {
      if (!Number(Word(), seconds)) return Fail("bad seconds");
      if (!NeedMain()) return false;
      HWND box = nullptr;
      if (WaitFor(seconds, [&] { return (box = FindMessageBox(main_)) != nullptr; }))
        return Fail("a message box showed: [" + Utf8(RemoteText(GetDlgItem(box, 0xFFFF))) + "]");
      return true;
    }
    if (command == "answer") {
      const std::string word = Word();
      int answer = word == "OK" ? IDOK : word == "YES" ? IDYES : word == "NO" ? IDNO : word == "CANCEL" ? IDCANCEL : 0;
      if (answer == 0) return Fail("answer OK, YES, NO or CANCEL");
      if (box_ == nullptr || !IsWindow(box_)) return Fail("no message box to answer (use msgbox first)");
      HWND button = GetDlgItem(box_, answer);
      if (button == nullptr) return Fail("the message box has no " + word + " button");
      PostMessageW(box_, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      HWND box = box_;
      box_ = nullptr;
      return WaitFor(5, [&] { return !IsWindow(box) || !IsWindowVisible(box); }) || Fail("the message box stays");
    }
    if (command == "close") {
      if (!NeedMain()) return false;
      return PostMessageW(main_, WM_CLOSE, 0, 0) || Fail("PostMessage failed");
    }
    if (command == "notify") {
      if (!Control(name, id, control)) return false;
      const bool notify = (GetWindowLongW(control, GWL_STYLE) & SS_NOTIFY) != 0;
      Print("notify " + name + " " + std::to_string(id) + " " + (notify ? "1" : "0"));
      return true;
    }
    if (command == "tray") {
      if (!NeedMain()) return false;
      const std::string word = Word();
      int mouse = 0;
      if (word == "lbuttondown") mouse = WM_LBUTTONDOWN;
      else if (word == "lbuttonup") mouse = WM_LBUTTONUP;
      else if (word == "lbuttondblclk") mouse = WM_LBUTTONDBLCLK;
      else if (word == "rbuttondown") mouse = WM_RBUTTONDOWN;
      else if (word == "rbuttonup") mouse = WM_RBUTTONUP;
      else if (!Int(word, mouse)) return Fail("bad mouse message " + word);
      return PostMessageW(main_, WM_TRAY_NOTIFY, TRAY_ICON_ID, mouse) || Fail("PostMessage failed");
    }
    if (command == "radio") {
      if (!Control(name, id, control)) return false;
      return (PostMessageW(control, BM_SETCHECK, BST_CHECKED, 0) &&
              PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(control))) ||
             Fail("PostMessage failed");
    }
    if (command == "combo") {
      if (!Control(name, id, control)) return false;
      DWORD_PTR selected = 0;
      SendMessageTimeoutW(control, CB_GETCURSEL, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &selected);
      Print("combo " + name + " " + std::to_string(id) + " " + std::to_string(static_cast<int>(selected)));
      const std::vector<std::wstring> items = ComboItems(control);
      for (std::size_t i = 0; i < items.size(); ++i) Print("item " + std::to_string(i) + " [" + Utf8(items[i]) + "]");
      return true;
    }
    if (command == "choose") {
      if (!Control(name, id, control)) return false;
      const std::wstring want = Wide(Rest());
      const std::vector<std::wstring> items = ComboItems(control);
      const auto it = std::find(items.begin(), items.end(), want);
      if (it == items.end()) return Fail("no such item");
      DWORD_PTR result = 0;
      SendMessageTimeoutW(control, CB_SETCURSEL, static_cast<WPARAM>(it - items.begin()), 0, SMTO_NORMAL,
                          kSendTimeoutMs, &result);
      return PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(control)) ||
             Fail("PostMessage failed");
    }
    if (command == "enabled") {
      if (!Control(name, id, control)) return false;
      Print("enabled " + name + " " + std::to_string(id) + " " + (IsWindowEnabled(control) ? "1" : "0"));
      return true;
    }
    if (command == "wait-enabled") {
      if (!Control(name, id, control)) return false;
      const std::string want = Word();
      if ((want != "0" && want != "1") || !Number(Word(), seconds)) return Fail("wait-enabled WINDOW ID 0|1 SECONDS");
      return WaitFor(seconds, [&] { return (IsWindowEnabled(control) != FALSE) == (want == "1"); }) ||
             Fail(want == "1" ? "still disabled" : "still enabled");
    }
    if (command == "registry") {
      const std::string value = Word();
      std::wstring text;
      Print("registry " + value + (SettingText(Wide(value), text) ? " [" + Utf8(text) + "]" : " absent"));
      return true;
    }
    // A radio's check changes before its owner handles the click (and writes the
    // setting): a check of the stored value waits for it.
    if (command == "wait-registry") {
      const std::string value = Word(), want = Word();
      if (!Number(Word(), seconds)) return Fail("wait-registry VALUE TEXT SECONDS");
      std::wstring text;
      return WaitFor(seconds, [&] { return SettingText(Wide(value), text) && Utf8(text) == want; }) ||
             Fail("registry " + value + " is not " + want);
    }
    if (command == "wait-no-dialog") {
      if (!Int(Word(), id) || !Number(Word(), seconds)) return Fail("wait-no-dialog ID SECONDS");
      if (!NeedMain()) return false;
      return WaitFor(seconds, [&] { return DialogWith(main_, id) == nullptr; }) || Fail("the dialog is still there");
    }
    if (command == "keys") {
      if (!Control(name, id, control)) return false;
      PostMessageW(control, WM_KEYDOWN, VK_RETURN, 1);
      PostMessageW(control, WM_KEYDOWN, VK_ESCAPE, 1);
      PostMessageW(control, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));  // Alt held
      Sleep(700);
      return IsWindow(control) || Fail("the window closed");
    }
    if (command == "open-file" || command == "cancel-file") {
      if (!Number(Word(), seconds)) return Fail(command + " SECONDS");
      if (!NeedMain()) return false;
      HWND dialog = nullptr;
      if (!WaitFor(seconds, [&] { return (dialog = FindFileDialog(main_)) != nullptr; }))
        return Fail("no open-file dialog");
      int button = IDCANCEL;
      if (command == "open-file") {
        const std::wstring path = Wide(Rest());
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(FileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                                 SMTO_NORMAL, kSendTimeoutMs, &result))
          return Fail("WM_SETTEXT timed out");
        button = IDOK;
      }
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
      return WaitFor(5, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ||
             Fail("the open-file dialog stays");
    }
    if (command == "msgbox-exact") {
      if (!Number(Word(), seconds)) return Fail("bad seconds");
      if (!NeedMain()) return false;
      if (!WaitFor(seconds, [&] { return (box_ = FindMessageBox(main_)) != nullptr; }))
        return Fail("no message box");
      SettleMessageBox(box_);
      Print("msgbox caption [" + Escaped(Utf8(RemoteText(box_))) + "]");
      Print("msgbox text [" + Escaped(Utf8(RemoteText(GetDlgItem(box_, 0xFFFF)))) + "]");
      return true;
    }
    if (command == "file") {
      if (!NeedMain()) return false;
      const std::string shown = Rest();
      std::string bytes;
      if (!ReadWholeFile(HostPath(Wide(shown)), bytes)) return Print("file " + shown + " absent"), true;
      const std::wstring folder = ClientFolder(main_);
      std::vector<std::string> lines;
      std::size_t at = 0;
      while (at < bytes.size()) {
        const std::size_t end = bytes.find('\n', at);
        std::string line = bytes.substr(at, end == std::string::npos ? std::string::npos : end - at);
        std::string mark;
        if (end == std::string::npos) mark = " (no line end)";
        else if (!line.empty() && line.back() == '\r') line.pop_back();
        else mark = " (LF)";
        lines.push_back("[" + Escaped(Utf8(MaskFolder(FromCp949(line), folder))) + "]" + mark);
        at = end == std::string::npos ? bytes.size() : end + 1;
      }
      Print("file " + shown + " " + std::to_string(lines.size()));
      for (std::size_t i = 0; i < lines.size(); ++i) Print("line " + std::to_string(i + 1) + " " + lines[i]);
      return true;
    }
    if (command == "write") {
      const std::wstring path = HostPath(Wide(Word()));
      const std::string bytes = ToCp949(Wide(Rest())) + "\r\n";
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return Fail("cannot create the file");
      DWORD written = 0;
      const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                      written == bytes.size();
      CloseHandle(file);
      return ok || Fail("cannot write the file");
    }
    if (command == "backend") {
      const std::string request = Rest();
      std::string answer;
      if (!Backend(request, answer)) return false;
      if (request.rfind("requests ", 0) == 0) Print(request + " " + answer);
      return true;
    }
    if (command == "wait-requests") {
      const std::string path = Word();
      int want = 0;
      if (path.empty() || !Int(Word(), want) || !Number(Word(), seconds)) return Fail("wait-requests PATH N SECONDS");
      std::string seen;
      return WaitFor(seconds, [&] { return Backend("requests " + path, seen) && std::atoi(seen.c_str()) >= want; }) ||
             Fail(seen.empty() ? error_ : seen + " requests recorded");
    }
    if (command == "hold") {
      const std::wstring path = HostPath(Wide(Rest()));
      if (held_.count(path) != 0) return Fail("the file is held already");
      HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return Fail("cannot open the file: " + std::to_string(GetLastError()));
      held_[path] = file;
      return true;
    }
    if (command == "release") {
      const auto held = held_.find(HostPath(Wide(Rest())));
      if (held == held_.end()) return Fail("the file is not held");
      CloseHandle(held->second);
      held_.erase(held);
      return true;
    }
    if (command == "mkdir") {
      const std::wstring path = HostPath(Wide(Rest()));
      return CreateDirectoryW(path.c_str(), nullptr) || Fail("cannot create the folder: " + std::to_string(GetLastError()));
    }
    if (command == "delete") {
      const std::wstring path = HostPath(Wide(Rest()));
      const DWORD attributes = GetFileAttributesW(path.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return RemoveDirectoryW(path.c_str()) || Fail("cannot remove the folder");
      return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND || Fail("cannot delete the file");
    }
    if (command == "copy") {
      const std::wstring from = HostPath(Wide(Word()));
      const std::wstring to = HostPath(Wide(Rest()));
      if (from.empty() || to.empty()) return Fail("copy FROM TO");
      // Each folder of TO from its root on: an existing one is no failure.
      for (std::size_t at = to.find_first_of(L"\\/", 3); at != std::wstring::npos; at = to.find_first_of(L"\\/", at + 1))
        CreateDirectoryW(to.substr(0, at).c_str(), nullptr);
      return CopyFileW(from.c_str(), to.c_str(), FALSE) || Fail("cannot copy the file: " + std::to_string(GetLastError()));
    }
    if (command == "processes") {
      const std::string program = Rest();
      Print("processes " + program + " " + std::to_string(CountProcesses(Wide(program))));
      return true;
    }
    if (command == "wait-processes") {
      // The name may hold blanks: N and SECONDS are the last two words.
      std::string program = Rest();
      std::string numbers[2];
      for (int i = 1; i >= 0; --i) {
        const std::size_t blank = program.find_last_of(' ');
        if (blank == std::string::npos) return Fail("wait-processes NAME N SECONDS");
        numbers[i] = program.substr(blank + 1);
        program.erase(blank);
      }
      int want = 0;
      if (program.empty() || !Int(numbers[0], want) || !Number(numbers[1], seconds))
        return Fail("wait-processes NAME N SECONDS");
      int seen = 0;
      return WaitFor(seconds, [&] { return (seen = CountProcesses(Wide(program))) == want; }) ||
             Fail(std::to_string(seen) + " processes run " + program);
    }
    if (command == "handle-list") {
      if (!NeedMain()) return false;
      DWORD pid = 0;
      GetWindowThreadProcessId(main_, &pid);
      for (const std::string& handle : HandleList(pid)) Print("handle " + handle);
      return true;
    }
    if (command == "resources") {
      if (!NeedMain()) return false;
      const ProcessResources r = ReadResources(main_);
      Print("resources handles " + std::to_string(r.handles) + " gdi " + std::to_string(r.gdi) + " user " +
            std::to_string(r.user) + " private " + std::to_string(r.privateBytes) + " windows " +
            std::to_string(r.windows));
      return true;
    }
    if (command == "tray-remove") {
      if (!NeedMain()) return false;
      NOTIFYICONDATAW data{};
      data.cbSize = sizeof data;
      data.hWnd = main_;
      data.uID = TRAY_ICON_ID;
      return Shell_NotifyIconW(NIM_DELETE, &data) || Fail("the shell has no such icon");
    }
    if (command == "fullscreen") {
      const std::string word = Word();
      if (word == "on") return full_screen_.On() || Fail("the full-screen window is not in front");
      if (word == "off") return full_screen_.Off() || Fail("no full-screen window to close");
      return Fail("fullscreen on or off");
    }
    if (command == "taskbar-created") {
      const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
      if (message == 0) return Fail("cannot register TaskbarCreated");
      DWORD_PTR result = 0;
      return SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0 ||
             Fail("the broadcast failed: " + std::to_string(GetLastError()));
    }
    if (command == "documents") {
      const std::string name = Word();
      if (name.empty() || name.find_first_of("/\\:.") != std::string::npos) return Fail("documents NAME|-");
      return PointDocuments(name) || Fail("cannot set the documents folder");
    }
    if (command == "documents-files") {
      if (!Number(Word(), seconds)) return Fail("documents-files SECONDS");
      // A file once it holds bytes that stay the same for a moment (written whole).
      std::vector<std::wstring> files;
      auto settled = [&] {
        files = DocumentFiles();
        if (files.empty()) return false;
        const long long before = DocumentBytes(files);
        Sleep(200);
        return before > 0 && DocumentBytes(DocumentFiles()) == before;
      };
      if (!WaitFor(seconds, settled)) return Fail("no file in the documents folder");
      Print("documents-files " + std::to_string(files.size()));
      for (std::wstring file : files) {
        for (wchar_t& c : file)
          if (c >= L'0' && c <= L'9') c = L'#';
        Print("file [" + Utf8(file) + "]");
      }
      return true;
    }
    if (command == "documents-grep") {
      const std::string text = Rest();
      const std::wstring wanted = Wide(text);
      int lines = 0;
      for (const std::wstring& file : DocumentFiles()) {
        std::string bytes;
        if (!ReadWholeFile(DocumentsFolder() + L"\\" + file, bytes)) return Fail("cannot read " + Utf8(file));
        std::size_t at = 0;
        while (at < bytes.size()) {
          std::size_t end = bytes.find('\n', at);
          if (end == std::string::npos) end = bytes.size();
          if (FromCp949(bytes.substr(at, end - at)).find(wanted) != std::wstring::npos) ++lines;
          at = end + 1;
        }
      }
      Print("documents-grep " + std::to_string(lines) + " [" + text + "]");
      return true;
    }
    if (command == "wait-titled") {
      if (!Number(Word(), seconds)) return Fail("wait-titled SECONDS TITLE");
      const std::wstring title = Wide(Rest());
      return WaitFor(seconds, [&] {
               HWND found = nullptr;
               while ((found = FindWindowExW(nullptr, found, nullptr, title.c_str())) != nullptr)
                 if (IsWindowVisible(found)) return true;
               return false;
             }) ||
             Fail("no window titled " + Utf8(title));
    }
    return Fail("unknown command");
  }

  // The documents folder as the client's SHGetFolderPath sees it.
  static std::wstring DocumentsFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path))) return L"";
    return path;
  }
  // The plain files in it, sorted by name.
  static std::vector<std::wstring> DocumentFiles() {
    std::vector<std::wstring> files;
    const std::wstring folder = DocumentsFolder();
    if (folder.empty()) return files;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
  }
  // The files' sizes together.
  static long long DocumentBytes(const std::vector<std::wstring>& files) {
    long long total = 0;
    for (const std::wstring& file : files) {
      WIN32_FILE_ATTRIBUTE_DATA data{};
      if (GetFileAttributesExW((DocumentsFolder() + L"\\" + file).c_str(), GetFileExInfoStandard, &data))
        total += (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return total;
  }
  // Wine's home-folder link would put the client's documents in the Linux user's home:
  // the scenario's own folder is named instead (a per-user redirection, as Windows
  // allows it); "-" removes the values, which Wine then writes back as its own.
  static bool PointDocuments(const std::string& name) {
    const wchar_t* kKeys[] = {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
    if (name == "-") {
      for (const wchar_t* key : kKeys) {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) continue;
        RegDeleteValueW(handle, L"Personal");
        RegCloseKey(handle);
      }
      return true;
    }
    std::wstring work = HostPath(Environment(L"TUNRA_E2E_WORK"));
    if (work.empty()) return false;
    if (work.back() != L'\\') work += L'\\';
    const std::wstring folder = work + Wide(name);
    CreateDirectoryW(folder.c_str(), nullptr);
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + L"\\" + found.cFileName).c_str());
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
    const DWORD bytes = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
    for (const wchar_t* key : kKeys) {
      HKEY handle = nullptr;
      if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
          ERROR_SUCCESS)
        return false;
      const bool set = RegSetValueExW(handle, L"Personal", 0, key == kKeys[0] ? REG_EXPAND_SZ : REG_SZ,
                                      reinterpret_cast<const BYTE*>(folder.c_str()), bytes) == ERROR_SUCCESS;
      RegCloseKey(handle);
      if (!set) return false;
    }
    return DocumentsFolder() == folder;
  }

  // The runner (scenario.sh) acts for the script: the request is left whole as
  // backend-request.txt in the scenario's folder, the answer comes back as
  // backend-answer.txt ("ok", "ok VALUE" or "fail: WHY"); `value` gets VALUE.
  bool Backend(const std::string& request, std::string& value) {
    std::wstring folder = HostPath(Environment(L"TUNRA_E2E_WORK"));
    if (request.empty() || folder.empty()) return Fail("backend stop|start|QUERY, with TUNRA_E2E_WORK set");
    if (folder.back() != L'\\') folder += L'\\';
    const std::wstring answer_path = folder + L"backend-answer.txt", staged = folder + L"backend-request.tmp";
    DeleteFileW(answer_path.c_str());
    HANDLE file = CreateFileW(staged.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail("cannot leave the request");
    DWORD written = 0;
    const bool ok = WriteFile(file, request.data(), static_cast<DWORD>(request.size()), &written, nullptr) &&
                    written == request.size();
    CloseHandle(file);
    // Renamed once whole, so the runner never reads half a request.
    if (!ok || !MoveFileExW(staged.c_str(), (folder + L"backend-request.txt").c_str(), MOVEFILE_REPLACE_EXISTING))
      return Fail("cannot leave the request");
    std::string answer;
    if (!WaitFor(30, [&] { return ReadWholeFile(answer_path, answer); })) return Fail("the runner did not answer");
    DeleteFileW(answer_path.c_str());
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
    if (answer != "ok" && answer.rfind("ok ", 0) != 0) return Fail(answer);
    value = answer.size() > 3 ? answer.substr(3) : std::string();
    return true;
  }

  std::map<std::wstring, HANDLE> held_;  // files `hold` keeps open
  std::string line_;
  std::size_t pos_ = 0;
  int line_number_ = 0;
  std::string error_;
  HWND main_ = nullptr;
  HWND box_ = nullptr;
  FullScreenWindow full_screen_;  // the "fullscreen" command's window
};

int RunScript(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 bytes and \n as written
  Script script;
  if (argc < 3 || std::string(argv[2]) == "-") return script.Run(std::cin);
  std::ifstream file(argv[2], std::ios::binary);
  if (!file) {
    std::printf("FAIL: cannot read %s\n", argv[2]);
    return 2;
  }
  return script.Run(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "run") return RunScript(argc, argv);
  if (command == "wait") {
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
    for (int i = 0; i < seconds * 10; ++i) {
      if (MainReady()) return 0;
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
