// Processes a test scripts: which programs fail to start, how long they run, how they
// end. Every start, wait and handle is recorded, so a test sees the exact command
// lines and that no handle is left open.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/process.h"

namespace fakes {

class FakeProcesses : public platform::IProcesses {
 public:
  struct Start {
    std::string commandLine;
    platform::CreateProcessOptions options;
  };

  bool CreateProcess(const std::string& commandLine, const platform::CreateProcessOptions& options,
                     platform::ProcessHandle& process, std::uint32_t& pid, std::uint32_t& error) override {
    starts.push_back({commandLine, options});
    if (const std::uint32_t* code = Scripted(startErrors, commandLine)) {
      error = *code;
      return false;
    }
    process = nextHandle_++;
    pid = nextPid_++;
    open_[process] = commandLine;
    return true;
  }

  bool GetExitCode(platform::ProcessHandle process, std::uint32_t& code) override {
    const auto it = open_.find(process);
    if (it == open_.end()) return false;
    const std::uint32_t* scripted = Scripted(exitCodes, it->second);
    code = scripted ? *scripted : 0;
    return true;
  }

  unsigned WinExec(const std::string& commandLine, int) override {
    winExecs.push_back(commandLine);
    return winExecResult;
  }

  std::uint32_t Wait(platform::ProcessHandle process, std::uint32_t milliseconds) override {
    waits.push_back(milliseconds);
    const auto it = open_.find(process);
    if (it == open_.end()) return 0xFFFFFFFFu;  // WAIT_FAILED
    const std::uint32_t* scripted = Scripted(waitResults, it->second);
    return scripted ? *scripted : platform::kWaitObject0;
  }

  bool SnapshotProcesses(std::vector<platform::ProcessEntry>& out) override {
    out = processes;
    return snapshotSucceeds;
  }
  bool SnapshotModules(std::uint32_t pid, std::vector<platform::ModuleEntry>& out) override {
    out.clear();
    if (unreadableModules.count(pid)) return false;
    for (const platform::ModuleEntry& m : modules)
      if (m.pid == pid) out.push_back(m);
    return snapshotSucceeds;
  }
  platform::ProcessHandle OpenProcess(std::uint32_t access, std::uint32_t pid) override {
    opens.push_back({pid, access});
    if (unopenable.count(pid)) return 0;
    for (const platform::ProcessEntry& p : processes)
      if (p.pid == pid) {
        const platform::ProcessHandle h = nextHandle_++;
        open_[h] = p.exeFile;
        pidOf_[h] = pid;
        return h;
      }
    return 0;
  }
  bool TerminateProcess(platform::ProcessHandle process, std::uint32_t) override {
    terminated.push_back(process);
    const auto pid = pidOf_.find(process);
    if (pid != pidOf_.end()) terminatedPids.push_back(pid->second);
    return open_.count(process) != 0;
  }
  bool CloseHandle(platform::ProcessHandle handle) override { return open_.erase(handle) != 0; }

  int OpenHandles() const { return static_cast<int>(open_.size()); }

  // Scripting, by a piece of the command line: the first entry whose key the command
  // line contains applies.
  std::map<std::string, std::uint32_t> startErrors;  // start fails with this error
  std::map<std::string, std::uint32_t> waitResults;  // Wait answers this (258: time-out)
  std::map<std::string, std::uint32_t> exitCodes;    // exit code (0 otherwise)
  unsigned winExecResult = 33;
  std::vector<platform::ProcessEntry> processes;
  std::vector<platform::ModuleEntry> modules;
  bool snapshotSucceeds = true;
  std::set<std::uint32_t> unopenable;         // OpenProcess fails for these pids
  std::set<std::uint32_t> unreadableModules;  // their module lists cannot be taken

  // Recording.
  std::vector<Start> starts;
  std::vector<std::uint32_t> waits;  // the time-out of every Wait
  std::vector<std::string> winExecs;
  std::vector<platform::ProcessHandle> terminated;
  struct Open {
    std::uint32_t pid, access;
  };
  std::vector<Open> opens;                   // every OpenProcess
  std::vector<std::uint32_t> terminatedPids;  // the process of every TerminateProcess

 private:
  static const std::uint32_t* Scripted(const std::map<std::string, std::uint32_t>& script,
                                       const std::string& commandLine) {
    for (const auto& entry : script)
      if (commandLine.find(entry.first) != std::string::npos) return &entry.second;
    return nullptr;
  }

  std::map<platform::ProcessHandle, std::string> open_;  // handle -> command line
  std::map<platform::ProcessHandle, std::uint32_t> pidOf_;  // handles of OpenProcess
  platform::ProcessHandle nextHandle_ = 0x100;
  std::uint32_t nextPid_ = 4000;
};

}  // namespace fakes
