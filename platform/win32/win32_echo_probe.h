// ICMP echo on Windows: one worker thread per probe sends the echoes (IcmpSendEcho,
// which blocks up to its time-out) and queues the results; each result is announced by
// posting a message to the target window, whose procedure calls DeliverResults() on
// the window's thread.
//
// The worker and the probe share their state through a shared pointer. Stop() tells the
// worker to end, waits a short moment (kStopWaitMs) for an echo in flight, and joins
// it; a worker still inside an echo then is detached and ends by itself at that echo's
// time-out, touching only the state it holds a share of. So the end of the program
// waits at most kStopWaitMs per probe, never a whole echo time-out.
#pragma once

#include <cstdint>
#include <memory>
#include <thread>

#include "platform/echo.h"
#include "platform/win32/windows_include.h"

namespace platform::win32 {

inline constexpr std::uint32_t kStopWaitMs = 250;

class Win32EchoProbe final : public IEchoProbe {
 public:
  // Results are announced with `message` (no parameters) to the target window.
  explicit Win32EchoProbe(UINT message);
  ~Win32EchoProbe() override;
  Win32EchoProbe(const Win32EchoProbe&) = delete;
  Win32EchoProbe& operator=(const Win32EchoProbe&) = delete;

  // The window told of results; results that came before it wait for the next one.
  void SetTarget(HWND window);

  // The worker starts with the first request.
  void Measure(std::uint32_t generation, const std::vector<std::uint32_t>& addresses, std::uint32_t timeoutMs,
               Receiver receiver) override;
  // For good: later requests are ignored.
  void Stop() override;

  // On the target window's thread, for the posted message: the queued results to the
  // receiver, in the order they came.
  void DeliverResults();

 private:
  struct Shared;
  // The worker's loop: holds its share of the state until it ends.
  static void Work(const std::shared_ptr<Shared>& shared);

  std::shared_ptr<Shared> shared_;
  std::thread worker_;
  Receiver receiver_;
  bool stopped_ = false;
};

// One echo (32 bytes of payload) to `address` (network byte order), waiting at most
// `timeoutMs`: answered with the reply's round-trip time only for an echo reply.
EchoResult SendEcho(HANDLE icmp, std::uint32_t address, std::uint32_t timeoutMs);

}  // namespace platform::win32
