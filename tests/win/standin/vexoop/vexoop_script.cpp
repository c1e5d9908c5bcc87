#include "vexoop_script.h"

#include <cstdlib>
#include <sstream>

namespace vexoop {

const char* const kDefaultScript =
    "log OpenVPN 2.1.1 i686-pc-mingw32 [SSL] [LZO2] [PKCS11] built on Dec 11 2009 (stand-in)\n"
    "log UDPv4 link remote: 127.0.0.1:1194\n"
    "wait 200\n"
    "log [server] Peer Connection Initiated with 127.0.0.1:1194\n"
    "log TAP-WIN32 device [stand-in] opened\n"
    "wait 200\n"
    "log Initialization Sequence Completed\n";

namespace {

// The rest of the line after the first blank.
std::string Rest(const std::string& line, std::size_t from) {
  const std::size_t start = line.find_first_not_of(' ', from);
  return start == std::string::npos ? std::string() : line.substr(start);
}

bool Number(const std::string& text, unsigned long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoul(text.c_str(), &end, 10);
  return end && *end == '\0';
}

}  // namespace

Script ParseScript(const std::string& text, std::vector<std::string>& problems) {
  Script script;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t blank = line.find(' ');
    const std::string word = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? std::string() : Rest(line, blank);
    Step step{Step::kLog, rest, 0};
    bool ok = true;
    if (word == "log") {
      step.kind = Step::kLog;
      step.value = 1;
    } else if (word == "raw") {
      step.kind = Step::kRaw;
      step.value = 1;
    } else if (word == "lines") {
      const std::size_t gap = rest.find(' ');
      step.kind = Step::kLog;
      step.text = gap == std::string::npos ? std::string() : Rest(rest, gap);
      ok = gap != std::string::npos && Number(rest.substr(0, gap), step.value);
    } else if (word == "wait") {
      step.kind = Step::kWait;
      ok = Number(rest, step.value);
    } else if (word == "await") {
      step.kind = Step::kAwait;
      ok = !rest.empty();
    } else if (word == "exit") {
      step.kind = Step::kExit;
      ok = Number(rest, step.value);
    } else if (word == "run") {
      step.kind = Step::kRun;
      ok = !rest.empty();
    } else if (word == "journal") {
      script.journal = rest;
      ok = !rest.empty();
      if (ok) continue;
    } else {
      ok = false;
    }
    if (ok) {
      script.steps.push_back(step);
    } else {
      problems.push_back(std::to_string(number) + "\t" + line);
    }
  }
  return script;
}

}  // namespace vexoop
