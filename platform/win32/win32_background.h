// Background work on Windows: a thread per piece of work, waited for with
// MsgWaitForMultipleObjectsEx while the calling thread's messages are dispatched, as a
// modal loop does (the owner window disabled, so its controls take no input). A work
// that outlives the limit is left to its thread, which holds everything it uses; its
// HTTP client has the transport's own limits, which end it.
//
// A WM_QUIT seen while waiting is posted again for the outer loop, and the wait ends
// as at the limit: the program is ending.
#pragma once

#include "platform/background.h"

namespace platform::win32 {

// The limits of a background HTTP client. Nobody waits on it but its caller's own
// deadline (a download's 30 s), which gives it up first, so a silent server is cut by
// that deadline and not earlier; the given-up worker then ends at these limits, or at
// its next read.
inline constexpr InternetTimeouts kBackgroundInternetTimeouts{15000, 45000, 45000, 60000};

class Win32BackgroundWork final : public IBackgroundWork {
 public:
  // The HTTP clients of the work get `timeouts`.
  explicit Win32BackgroundWork(const InternetTimeouts& timeouts = kBackgroundInternetTimeouts) : timeouts_(timeouts) {}

  std::unique_ptr<IInternet> NewInternet() override;
  Outcome Run(WindowHandle owner, std::function<void()> work, std::uint32_t limitMs) override;
  bool Busy() const override { return busy_; }

 private:
  InternetTimeouts timeouts_;
  bool busy_ = false;
};

}  // namespace platform::win32
