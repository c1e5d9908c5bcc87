#include "platform/win32/win32_echo_probe.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <utility>

#include <winsock2.h>
#include <iphlpapi.h>
#include <icmpapi.h>

namespace platform::win32 {

struct Win32EchoProbe::Shared {
  explicit Shared(UINT m) : message(m) {}

  std::mutex mutex;
  std::condition_variable wake;   // a new request, or the stop
  std::condition_variable ended;  // the worker has ended
  const UINT message;
  HWND target = nullptr;
  bool stop = false;
  bool workerEnded = false;
  // The request being measured: addresses from `next` on are still to go.
  std::uint32_t generation = 0;
  std::vector<std::uint32_t> addresses;
  std::size_t next = 0;
  std::uint32_t timeoutMs = 0;
  // Results not yet delivered, with their request's generation.
  std::vector<std::pair<std::uint32_t, EchoResult>> results;
};

void Win32EchoProbe::Work(const std::shared_ptr<Shared>& shared) {
  Shared& s = *shared;
  // One handle for the worker's life; without one every address is unanswered.
  const HANDLE icmp = IcmpCreateFile();
  std::unique_lock<std::mutex> lock(s.mutex);
  for (;;) {
    s.wake.wait(lock, [&] { return s.stop || s.next < s.addresses.size(); });
    if (s.stop) break;
    const std::uint32_t generation = s.generation, address = s.addresses[s.next++], timeoutMs = s.timeoutMs;
    lock.unlock();
    const EchoResult result = SendEcho(icmp, address, timeoutMs);
    lock.lock();
    if (s.stop) break;
    s.results.emplace_back(generation, result);
    if (s.target != nullptr) PostMessageW(s.target, s.message, 0, 0);
  }
  lock.unlock();
  if (icmp != INVALID_HANDLE_VALUE) IcmpCloseHandle(icmp);
  lock.lock();
  s.workerEnded = true;
  s.ended.notify_all();
}

EchoResult SendEcho(HANDLE icmp, std::uint32_t address, std::uint32_t timeoutMs) {
  EchoResult result{address, false, 0};
  if (icmp == INVALID_HANDLE_VALUE) return result;
  char payload[32] = "tunra latency";
  // Room for one reply, its echoed payload and 8 bytes for an ICMP error, as the
  // call requires (ICMP_ECHO_REPLY is the 64-bit layout in a 64-bit program).
  unsigned char reply[sizeof(ICMP_ECHO_REPLY) + sizeof payload + 8 + 16] = {};
  const DWORD replies = IcmpSendEcho(icmp, static_cast<IPAddr>(address), payload, sizeof payload, nullptr, reply,
                                     sizeof reply, timeoutMs);
  if (replies == 0) return result;  // IP_REQ_TIMED_OUT and every other failure
  ICMP_ECHO_REPLY echo;
  std::memcpy(&echo, reply, sizeof echo);
  // A reply of another kind (unreachable, TTL expired) is no answer of the server.
  if (echo.Status != IP_SUCCESS) return result;
  result.answered = true;
  result.roundTripMs = echo.RoundTripTime;
  return result;
}

Win32EchoProbe::Win32EchoProbe(UINT message) : shared_(std::make_shared<Shared>(message)) {}

Win32EchoProbe::~Win32EchoProbe() { Stop(); }

void Win32EchoProbe::SetTarget(HWND window) {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->target = window;
}

void Win32EchoProbe::Measure(std::uint32_t generation, const std::vector<std::uint32_t>& addresses,
                             std::uint32_t timeoutMs, Receiver receiver) {
  if (stopped_) return;
  receiver_ = std::move(receiver);
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->generation = generation;
    shared_->addresses = addresses;
    shared_->next = 0;
    shared_->timeoutMs = timeoutMs;
  }
  shared_->wake.notify_all();
  if (worker_.joinable() || addresses.empty()) return;
  try {
    worker_ = std::thread(Work, shared_);
  } catch (const std::system_error&) {
    // No thread: the column stays empty, as without a probe.
    stopped_ = true;
  }
}

void Win32EchoProbe::Stop() {
  stopped_ = true;
  receiver_ = nullptr;
  if (!worker_.joinable()) return;
  std::unique_lock<std::mutex> lock(shared_->mutex);
  shared_->stop = true;
  shared_->target = nullptr;
  shared_->wake.notify_all();
  const bool ended = shared_->ended.wait_for(lock, std::chrono::milliseconds(kStopWaitMs),
                                             [&] { return shared_->workerEnded; });
  lock.unlock();
  if (ended) worker_.join();
  else worker_.detach();
}

void Win32EchoProbe::DeliverResults() {
  std::vector<std::pair<std::uint32_t, EchoResult>> results;
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    results.swap(shared_->results);
  }
  for (const auto& [generation, result] : results)
    if (receiver_) receiver_(generation, result);
}

}  // namespace platform::win32
