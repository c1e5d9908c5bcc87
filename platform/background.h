// Work that must not hold the window: the network part of a download runs on a thread
// of its own while the window's thread goes on dispatching its messages (the owner
// window disabled meanwhile, as under a modal dialog), and is given up at a deadline
// even when it is stuck in a network wait that reports nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/internet.h"
#include "platform/types.h"

namespace platform {

class IBackgroundWork {
 public:
  enum class Outcome {
    kDone,     // the work finished within the limit
    kTimedOut, // the limit passed first (or the program is ending): the work is given
               // up and runs on to its own end; what it still touches must be owned by
               // the work itself (shared state), and its result is not used
    kBusy,     // other work is running: this work was not started
  };

  virtual ~IBackgroundWork() = default;

  // An HTTP client for one piece of work, used by nothing else: the program's own
  // client belongs to the window's thread.
  virtual std::unique_ptr<IInternet> NewInternet() = 0;

  // Runs `work` on a thread of its own and waits at most `limitMs` for it, dispatching
  // the calling thread's window messages meanwhile; `owner` (0: none) is disabled for
  // that time. One piece of work at a time.
  virtual Outcome Run(WindowHandle owner, std::function<void()> work, std::uint32_t limitMs) = 0;

  // True while Run waits: handlers reached through the dispatched messages must not
  // start what cannot run beside the work (another download, the end of the program).
  virtual bool Busy() const = 0;
};

}  // namespace platform
