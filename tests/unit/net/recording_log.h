// A diagnostics log that keeps its lines, for checking what the managers report.
#pragma once

#include <string>
#include <vector>

#include "net/diag_log.h"

namespace nettest {

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }

  // The lines that start with `prefix`, in order.
  std::vector<std::string> Starting(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines)
      if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    return out;
  }

  std::vector<std::string> lines;
};

}  // namespace nettest
