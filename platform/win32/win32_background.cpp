#include "platform/win32/win32_background.h"

#include "platform/win32/windows_include.h"

#include <system_error>
#include <thread>

#include "platform/win32/win32_internet.h"

namespace platform::win32 {

namespace {

// What the work's thread and the waiting thread share; the last of the two to let go
// frees it, so a given-up work never touches what the waiting side has destroyed.
struct Shared {
  HANDLE done = nullptr;  // manual-reset event, set when the work has returned
  std::function<void()> work;
  ~Shared() {
    if (done != nullptr) ::CloseHandle(done);
  }
};

// Dispatches what is queued; false when WM_QUIT was among it (posted again).
bool DispatchQueued() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return true;
}

}  // namespace

std::unique_ptr<IInternet> Win32BackgroundWork::NewInternet() { return std::make_unique<Win32Internet>(timeouts_); }

IBackgroundWork::Outcome Win32BackgroundWork::Run(WindowHandle owner, std::function<void()> work,
                                                  std::uint32_t limitMs) {
  if (busy_) return Outcome::kBusy;
  auto shared = std::make_shared<Shared>();
  shared->done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (shared->done == nullptr) return Outcome::kTimedOut;
  shared->work = std::move(work);
  try {
    std::thread([shared] {
      shared->work();
      ::SetEvent(shared->done);
    }).detach();
  } catch (const std::system_error&) {
    return Outcome::kTimedOut;  // no thread: the work never ran
  }

  busy_ = true;
  HWND window = reinterpret_cast<HWND>(owner);
  const bool reenable = window != nullptr && ::IsWindowEnabled(window);
  if (reenable) ::EnableWindow(window, FALSE);

  Outcome outcome = Outcome::kTimedOut;
  const ULONGLONG deadline = ::GetTickCount64() + limitMs;
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) break;
    const DWORD waited = ::MsgWaitForMultipleObjectsEx(1, &shared->done, static_cast<DWORD>(deadline - now),
                                                       QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (waited == WAIT_OBJECT_0) {
      outcome = Outcome::kDone;
      break;
    }
    if (waited != WAIT_OBJECT_0 + 1 || !DispatchQueued()) break;  // time-out, failure or WM_QUIT
  }
  // A work that ended while the last messages were handled has its result.
  if (outcome != Outcome::kDone && ::WaitForSingleObject(shared->done, 0) == WAIT_OBJECT_0) outcome = Outcome::kDone;

  if (reenable) ::EnableWindow(window, TRUE);
  busy_ = false;
  return outcome;
}

}  // namespace platform::win32
