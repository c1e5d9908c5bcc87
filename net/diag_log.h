// The diagnostics log: one line for every route, adapter, binding and dial action
// the client asks of the system, with its result, so support staff (and the end-to-end
// tests) can see what the client did to the machine. Never given a password.
#pragma once

#include <string>

namespace net {

class IDiagLog {
 public:
  virtual ~IDiagLog() = default;
  // Appends one line (the log adds the time stamp and the line end). `line` must not
  // hold a secret; a line feed in it is written as a blank.
  virtual void Write(const std::string& line) = 0;
};

// Logs nothing: for tools and tests that do not look at the log.
class NullDiagLog final : public IDiagLog {
 public:
  void Write(const std::string&) override {}
};

}  // namespace net
