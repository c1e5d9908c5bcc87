// The dialer's manager over the real rasapi32 binding, against the test-only stand-in
// DLL beside this program (Wine loads it for rasapi32=n). The stand-in plays the dial
// the script file asks for, reports it from a thread of its own, and journals every
// call it receives; the notifications are sent to a window of the test's thread and
// handled there, as the program's main window handles them.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_window.h"
#include "net/diag_log.h"
#include "platform/win32/cp949_wide.h"
#include "platform/win32/win32_ras.h"
#include "platform/win32/windows_include.h"
#include "tunnel/ras_mgmt.h"
#include "win_temp.h"

namespace {

constexpr UINT kWmRasNotify = WM_USER + 200;

struct Note {
  std::uint32_t state, error;
  DWORD senderThread;
};

// A message-only window of the test's thread. The notifier sends it each notification
// (SendMessage from the dialer's thread, which waits meanwhile) and `onNotify` runs here.
class NotifyWindow {
 public:
  NotifyWindow() {
    static const ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = &NotifyWindow::Proc;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = L"TunraRasTestNotify";
      return ::RegisterClassW(&wc);
    }();
    (void)atom;
    hwnd_ = ::CreateWindowExW(0, L"TunraRasTestNotify", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~NotifyWindow() { ::DestroyWindow(hwnd_); }
  NotifyWindow(const NotifyWindow&) = delete;
  NotifyWindow& operator=(const NotifyWindow&) = delete;

  platform::IRas::Notifier Notifier() {
    return [this](std::uint32_t, std::uint32_t state, std::uint32_t error) {
      sender_ = ::GetCurrentThreadId();
      ::SendMessageW(hwnd_, kWmRasNotify, state, error);
    };
  }

  // Handles messages until `done` answers true or `ms` have passed.
  bool PumpUntil(const std::function<bool()>& done, unsigned ms) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (;;) {
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      if (done()) return true;
      const ULONGLONG now = ::GetTickCount64();
      if (now >= end) return false;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now < 20 ? end - now : 20),
                                  QS_ALLINPUT);
    }
  }
  bool PumpUntilState(std::uint32_t state, unsigned ms = 10000) {
    return PumpUntil([&] { return !notes.empty() && (notes.back().state == state || notes.back().error != 0); }, ms);
  }
  void PumpFor(unsigned ms) { PumpUntil([] { return false; }, ms); }

  std::vector<Note> notes;
  std::function<void(std::uint32_t state, std::uint32_t error)> onNotify;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWmRasNotify) {
      auto* self = reinterpret_cast<NotifyWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      const auto state = static_cast<std::uint32_t>(wParam), error = static_cast<std::uint32_t>(lParam);
      self->notes.push_back({state, error, self->sender_.load()});
      if (self->onNotify) self->onNotify(state, error);
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }

  HWND hwnd_ = nullptr;
  std::atomic<DWORD> sender_{0};
};

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(platform::win32::Cp949ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = ::CreateFileW(platform::win32::Cp949ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  ::CloseHandle(file);
  return bytes;
}

std::vector<std::uint32_t> States(const std::vector<Note>& notes) {
  std::vector<std::uint32_t> states;
  for (const Note& n : notes) states.push_back(n.state);
  return states;
}

std::vector<std::uint32_t> StatesUpTo(std::uint32_t last) {
  std::vector<std::uint32_t> states;
  for (std::uint32_t s = 0; s <= last; ++s) states.push_back(s);
  return states;
}

const char kPhonebook[] = "[Vexo_Conn]\r\nEncoding=1\r\nType=2\r\nAutoLogon=0\r\n[Other]\r\nKey=1\r\n";

class WinRas : public ::testing::Test {
 protected:
  void SetUp() override {
    script_ = folder_.path() + "\\script.txt";
    journal_ = folder_.path() + "\\journal.txt";
    phonebook_ = folder_.path() + "\\sobrel.ini";
    ::SetEnvironmentVariableA("TUNRA_RAS_SCRIPT", script_.c_str());
    ::SetEnvironmentVariableA("TUNRA_RAS_JOURNAL", journal_.c_str());
    WriteBytes(phonebook_, kPhonebook);
  }
  void TearDown() override {
    mgmt_.HangUp();  // ends the stand-in's thread of a connection still held
  }

  void Script(const std::string& text) { WriteBytes(script_, text); }
  int Dial(const std::string& phonebook, const std::string& user = "gamer01") {
    return mgmt_.Dial(phonebook, "203.0.113.9", user, "pa55word", window_.Notifier());
  }
  int Dial() { return Dial(phonebook_); }
  // The journal's lines of one call (its name, then tab-separated fields).
  std::vector<std::string> Journal(const std::string& call) const {
    std::vector<std::string> lines;
    const std::string bytes = ReadBytes(journal_);
    std::size_t start = 0;
    while (start < bytes.size()) {
      std::size_t end = bytes.find("\r\n", start);
      if (end == std::string::npos) end = bytes.size();
      const std::string line = bytes.substr(start, end - start);
      if (line.compare(0, call.size() + 1, call + "\t") == 0) lines.push_back(line);
      start = end + 2;
    }
    return lines;
  }

  wintest::TempFolder folder_;
  std::string script_, journal_, phonebook_;
  platform::win32::Win32Ras ras_;
  fakes::FakeWindow owner_;
  net::NullDiagLog log_;
  tunnel::CRasMgmt mgmt_{ras_, owner_, log_};
  NotifyWindow window_;
};

// Every state of the table, reported from the dialer's own thread; the link is then
// up, with the scripted address, until it is hung up.
TEST_F(WinRas, DialsThroughEveryStateToConnected) {
  Script("delay 5\naddress 10.11.12.13\n");
  ASSERT_EQ(Dial(), 0);
  ASSERT_TRUE(window_.PumpUntilState(platform::kRasConnected));

  // The stand-in beside this program answered, not the system's dialer.
  wchar_t dll[MAX_PATH], exe[MAX_PATH];
  ::GetModuleFileNameW(::GetModuleHandleW(L"rasapi32.dll"), dll, MAX_PATH);
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring dllPath(dll), exePath(exe);
  EXPECT_EQ(dllPath.substr(0, dllPath.find_last_of(L'\\')), exePath.substr(0, exePath.find_last_of(L'\\')));

  std::vector<std::uint32_t> expected = StatesUpTo(18);
  expected.push_back(platform::kRasConnected);
  EXPECT_EQ(States(window_.notes), expected);
  for (const Note& n : window_.notes) {
    EXPECT_EQ(n.error, 0u);
    EXPECT_NE(n.senderThread, ::GetCurrentThreadId());
    EXPECT_EQ(n.senderThread, window_.notes[0].senderThread);
  }
  EXPECT_EQ(mgmt_.IsConnected(), 1);
  EXPECT_EQ(mgmt_.GetAssignedAddress(), "10.11.12.13");

  // The dial as the dialer received it: the structure of the Windows 2000 layout, the
  // type-0 notifier, the phonebook and its entry, the texts; the password by length.
  const std::vector<std::string> dials = Journal("RasDialA");
  ASSERT_EQ(dials.size(), 1u);
  const std::string size = sizeof(void*) == 8 ? "1064" : "1060";
  EXPECT_EQ(dials[0].substr(0, dials[0].find("\thandle=")),
            "RasDialA\tsize=" + size + "\tnotifier_type=0\tphonebook=" + phonebook_ +
                "\tphonebook_exists=1\tentry_keys=3\tentry=Vexo_Conn\tphone=203.0.113.9\tcallback=\tuser=gamer01"
                "\tpassword_length=8\tdomain=\tresult=0");
  EXPECT_EQ(ReadBytes(journal_).find("pa55word"), std::string::npos);
  ASSERT_FALSE(Journal("RasGetConnectStatusA").empty());
  EXPECT_NE(Journal("RasGetConnectStatusA").back().find("\tsize=288\tresult=0\tstate=8192\terror=0"),
            std::string::npos);
  ASSERT_EQ(Journal("RasGetProjectionInfoA").size(), 1u);
  EXPECT_NE(Journal("RasGetProjectionInfoA")[0].find("\tprojection=32801\tsize=48\tresult=0\taddress=10.11.12.13"),
            std::string::npos);

  EXPECT_EQ(mgmt_.HangUp(), 0);
  EXPECT_FALSE(mgmt_.HasHandle());
  EXPECT_EQ(mgmt_.IsConnected(), 0);
}

// An error at state 5: the notifications stop there; the hang-up inside the handler
// returns at once (the dialer ends the connection after the handler), and the next
// dial finds the old connection gone.
TEST_F(WinRas, AnErrorEndsTheDial) {
  Script("delay 5\nerror 691 at 5\ntext 691 The test server refused the account.\n");
  int hangUp = 99;
  std::string text;
  window_.onNotify = [&](std::uint32_t, std::uint32_t error) {
    if (error == 0) return;
    text = mgmt_.ErrorText(error);
    hangUp = mgmt_.HangUp();
  };
  ASSERT_EQ(Dial(), 0);
  ASSERT_TRUE(window_.PumpUntilState(platform::kRasConnected));
  EXPECT_EQ(States(window_.notes), StatesUpTo(5));
  EXPECT_EQ(window_.notes.back().error, platform::kRasErrorAuthenticationFailure);
  EXPECT_EQ(text, "The test server refused the account.");
  EXPECT_EQ(hangUp, 0);
  EXPECT_TRUE(mgmt_.HasHandle());
  window_.PumpFor(200);
  EXPECT_EQ(window_.notes.size(), 6u);  // nothing follows the error
  EXPECT_EQ(mgmt_.IsConnected(), 0);

  window_.onNotify = nullptr;
  window_.notes.clear();
  Script("delay 5\n");
  ASSERT_EQ(Dial(), 0);
  EXPECT_EQ(Journal("RasHangUpA").size(), 2u);  // inside the handler, then before the new dial
  EXPECT_NE(Journal("RasHangUpA").back().find("\tresult=6"), std::string::npos);
  ASSERT_TRUE(window_.PumpUntilState(platform::kRasConnected));
  EXPECT_EQ(window_.notes.back().error, 0u);
  EXPECT_EQ(mgmt_.IsConnected(), 1);
}

// RasDial's own refusal: the code and text in the owner's box, the handed-out handle
// hung up, no notification.
TEST_F(WinRas, ARefusedDial) {
  Script("refuse 623\n");
  EXPECT_EQ(Dial(), -1);
  ASSERT_EQ(owner_.boxes().size(), 1u);
  EXPECT_EQ(owner_.boxes()[0].text, "<<623>> : The phonebook entry of this connection was not found (simulated dialer).");
  EXPECT_FALSE(mgmt_.HasHandle());
  ASSERT_EQ(Journal("RasHangUpA").size(), 1u);
  EXPECT_NE(Journal("RasHangUpA")[0].find("\tresult=0"), std::string::npos);
  EXPECT_EQ(Journal("RasGetErrorStringA").size() + Journal("RasGetErrorStringW").size(), 1u);
  window_.PumpFor(200);
  EXPECT_TRUE(window_.notes.empty());
}

// A lost link is noticed by the next link test, whichever way the platform reports it.
TEST_F(WinRas, ALostLinkIsNoticed) {
  struct Row { const char* script; bool dropFile; const char* status; };
  const Row rows[] = {
      {"delay 5\ndrop-after 200\n", false, "\tresult=6"},
      {"delay 5\ndrop-after 200\ndrop-as disconnected\n", false, "\tresult=0\tstate=8193\terror=619"},
      {"delay 5\n", true, "\tresult=6"},
  };
  for (const Row& r : rows) {
    const std::string dropFile = folder_.path() + "\\drop.txt";
    Script(std::string(r.script) + "drop-file " + dropFile + "\n");
    window_.notes.clear();
    ASSERT_EQ(Dial(), 0) << r.script;
    ASSERT_TRUE(window_.PumpUntilState(platform::kRasConnected)) << r.script;
    EXPECT_EQ(mgmt_.IsConnected(), 1) << r.script;
    if (r.dropFile) WriteBytes(dropFile, "");
    EXPECT_TRUE(window_.PumpUntil([&] { return mgmt_.IsConnected() == 0; }, 5000)) << r.script;
    EXPECT_NE(Journal("RasGetConnectStatusA").back().find(r.status), std::string::npos) << r.script;
    EXPECT_FALSE(Journal("link-lost").empty()) << r.script;
    EXPECT_EQ(mgmt_.HangUp(), 0) << r.script;
    EXPECT_FALSE(mgmt_.HasHandle()) << r.script;
    EXPECT_EQ(::GetFileAttributesA(dropFile.c_str()), INVALID_FILE_ATTRIBUTES) << r.script;  // consumed
  }
}

// A hang-up waits until the dialer lets go of the connection.
TEST_F(WinRas, HangUpWaitsForTheRelease) {
  Script("delay 5\nrelease-after 300\n");
  ASSERT_EQ(Dial(), 0);
  ASSERT_TRUE(window_.PumpUntilState(platform::kRasConnected));
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_EQ(mgmt_.HangUp(), 0);
  EXPECT_GE(::GetTickCount64() - start, 250u);
  EXPECT_FALSE(mgmt_.HasHandle());
  EXPECT_NE(Journal("RasGetConnectStatusA").back().find("\tresult=6"), std::string::npos);
}

// A Korean folder and user name reach the dialer as the same characters whatever the
// system's ANSI code page (through the W function where it would read them otherwise).
TEST_F(WinRas, KoreanTextsReachTheDialer) {
  const std::string sub = folder_.path() + "\\게임";
  const std::wstring wideSub = platform::win32::Cp949ToWide(sub);
  ASSERT_TRUE(::CreateDirectoryW(wideSub.c_str(), nullptr));
  const std::string phonebook = sub + "\\sobrel.ini";
  WriteBytes(phonebook, kPhonebook);
  Script("delay 5\n");
  ASSERT_EQ(Dial(phonebook, "게이머01"), 0);
  ASSERT_TRUE(window_.PumpUntilState(platform::kRasConnected));
  const bool ansi = ::GetACP() == 949;
  const std::vector<std::string> dials = Journal(ansi ? "RasDialA" : "RasDialW");
  ASSERT_EQ(dials.size(), 1u);
  EXPECT_NE(dials[0].find("\tphonebook=" + phonebook + "\tphonebook_exists=1\tentry_keys=3\t"), std::string::npos)
      << dials[0];
  EXPECT_NE(dials[0].find("\tuser=게이머01\t"), std::string::npos) << dials[0];
  mgmt_.HangUp();
  ::DeleteFileW(platform::win32::Cp949ToWide(phonebook).c_str());
  ::RemoveDirectoryW(wideSub.c_str());
}

// Without the library every call answers an error, never success. Runs as its own
// test with rasapi32 disabled.
TEST(RasUnavailable, EveryCallFails) {
  if (!std::getenv("TUNRA_RAS_EXPECT_MISSING")) GTEST_SKIP() << "runs with rasapi32 disabled";
  platform::win32::Win32Ras ras;
  platform::RasConn conn = 0;
  bool called = false;
  EXPECT_NE(ras.Dial("C:\\sobrel.ini", {"Vexo_Conn", "203.0.113.9", "", "gamer01", "pw", ""},
                     [&](std::uint32_t, std::uint32_t, std::uint32_t) { called = true; }, conn),
            0u);
  EXPECT_EQ(conn, 0u);
  platform::RasConnStatus status;
  EXPECT_NE(ras.GetConnectStatus(0x1001, status), 0u);
  EXPECT_NE(ras.HangUp(0x1001), 0u);
  std::string ip;
  EXPECT_NE(ras.GetProjectionIp(0x1001, ip), 0u);
  EXPECT_FALSE(called);

  fakes::FakeWindow owner;
  net::NullDiagLog log;
  tunnel::CRasMgmt mgmt(ras, owner, log);
  EXPECT_EQ(mgmt.Dial("C:\\sobrel.ini", "203.0.113.9", "gamer01", "pw", nullptr), -1);
  ASSERT_EQ(owner.boxes().size(), 1u);
  EXPECT_EQ(owner.boxes()[0].text.rfind("<<126>> : ", 0), 0u) << owner.boxes()[0].text;
  EXPECT_EQ(mgmt.IsConnected(), 0);
}

}  // namespace
