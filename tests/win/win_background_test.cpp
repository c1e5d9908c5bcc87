// Background work on the real system: a download stuck on a server that accepts and
// never answers is given up at the limit while the window's messages go on (a timer
// ticks, the owner is disabled meanwhile and enabled again), and the given-up worker
// ends by itself through its HTTP client's receive limit. Work that finishes in time
// has its result; a quit while waiting ends the wait and stays queued.
#include "platform/win32/windows_include.h"

#include <winsock2.h>

#include <atomic>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/win32_background.h"

namespace {

using Outcome = platform::IBackgroundWork::Outcome;

// A TCP server on a free loopback port that takes connections into its backlog and
// never answers them.
class SilentServer {
 public:
  SilentServer() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (socket_ == INVALID_SOCKET || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(socket_, 8) != 0 || ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
    ::WSACleanup();
  }
  std::uint16_t port() const { return port_; }

 private:
  SOCKET socket_ = INVALID_SOCKET;
  std::uint16_t port_ = 0;
};

HWND NewOwner() {
  return ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

// What a tick of the thread's timer sees while Run waits.
struct Ticks {
  int count = 0;
  bool ownerDisabled = true;
  bool busy = true;
  Outcome nested = Outcome::kDone;
  platform::win32::Win32BackgroundWork* work = nullptr;
  HWND owner = nullptr;
};
Ticks* g_ticks = nullptr;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  Ticks& t = *g_ticks;
  if (t.count++ == 0) t.nested = t.work->Run(0, [] {}, 1000);
  t.ownerDisabled = t.ownerDisabled && !::IsWindowEnabled(t.owner);
  t.busy = t.busy && t.work->Busy();
}

TEST(WinBackgroundWork, AStalledDownloadIsGivenUpAtTheLimitWhileMessagesGoOn) {
  SilentServer server;
  ASSERT_NE(server.port(), 0);
  // The worker's client: 3 s without a byte ends a wait.
  platform::win32::Win32BackgroundWork work({2000, 3000, 3000, 10000});
  HWND owner = NewOwner();
  ASSERT_NE(owner, nullptr);

  struct Shared {
    std::unique_ptr<platform::IInternet> internet;
    std::atomic<bool> ended{false};
    std::atomic<long> error{0};
  };
  auto shared = std::make_shared<Shared>();
  shared->internet = work.NewInternet();
  const std::uint16_t port = server.port();
  Ticks ticks;
  ticks.work = &work;
  ticks.owner = owner;
  g_ticks = &ticks;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &OnTick);

  const ULONGLONG start = ::GetTickCount64();
  const Outcome outcome = work.Run(
      reinterpret_cast<platform::WindowHandle>(owner),
      [shared, port] {
        platform::IInternet& net = *shared->internet;
        const platform::InternetHandle session = net.Open("test", platform::kInternetOpenTypePreconfig, 0);
        const platform::InternetHandle connection =
            net.Connect(session, "127.0.0.1", port, platform::kInternetServiceHttp);
        const platform::InternetHandle request = net.OpenRequest(connection, "GET", "/x.exe", "HTTP/1.0", 0);
        if (!net.SendRequest(request, "", "")) shared->error = net.LastError();
        net.CloseHandle(request);
        net.CloseHandle(connection);
        net.CloseHandle(session);
        shared->ended = true;
      },
      1000);
  const ULONGLONG waited = ::GetTickCount64() - start;
  ::KillTimer(nullptr, timer);

  EXPECT_EQ(outcome, Outcome::kTimedOut);
  EXPECT_GE(waited, 1000u);
  EXPECT_LT(waited, 2900u);  // well before the client's own 3 s limit
  EXPECT_GE(ticks.count, 5);
  EXPECT_TRUE(ticks.ownerDisabled);
  EXPECT_TRUE(ticks.busy);
  EXPECT_EQ(ticks.nested, Outcome::kBusy);
  EXPECT_FALSE(work.Busy());
  EXPECT_TRUE(::IsWindowEnabled(owner));
  EXPECT_FALSE(shared->ended.load());

  // The given-up worker ends by itself at its receive limit.
  for (int i = 0; i < 200 && !shared->ended; ++i) ::Sleep(50);
  EXPECT_TRUE(shared->ended.load());
  EXPECT_NE(shared->error.load(), 0);
  ::DestroyWindow(owner);
  g_ticks = nullptr;
}

TEST(WinBackgroundWork, WorkThatFinishesInTimeHasItsResult) {
  platform::win32::Win32BackgroundWork work;
  auto result = std::make_shared<std::string>();
  EXPECT_EQ(work.Run(0, [result] { *result = "done"; }, 5000), Outcome::kDone);
  EXPECT_EQ(*result, "done");
}

void CALLBACK PostQuit(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(7); }

TEST(WinBackgroundWork, AQuitEndsTheWaitAndStaysQueued) {
  platform::win32::Win32BackgroundWork work;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &PostQuit);
  auto release = std::make_shared<std::atomic<bool>>(false);
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_EQ(work.Run(0, [release] { while (!*release) ::Sleep(10); }, 10000), Outcome::kTimedOut);
  EXPECT_LT(::GetTickCount64() - start, 5000u);
  ::KillTimer(nullptr, timer);
  *release = true;
  MSG message;
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
