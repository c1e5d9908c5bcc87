// Programs started as the client starts system tools and its binding tools: by a full
// path given as the application name, every path quoted, no handles inherited, every
// wait bounded. The programs are copies of the system's own command line tools (cmd.exe
// ends with the code it is told; ipconfig.exe refuses the binding tools' arguments at
// once), placed in a folder whose name holds a blank.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/binding_tools.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_system.h"
#include "win_temp.h"

namespace {

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::string SystemTool(const char* name) {
  wchar_t dir[MAX_PATH + 1];
  const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH + 1);
  const std::wstring wide(dir, n);
  return std::string(wide.begin(), wide.end()) + "\\" + name;  // an ASCII path
}

// "<temp folder>\with blank\", removed with what it holds.
class FolderWithBlank {
 public:
  FolderWithBlank() : path_(temp_.path() + "\\with blank\\") { ::CreateDirectoryW(Wide(path_).c_str(), nullptr); }
  ~FolderWithBlank() {
    for (const std::string& file : files_) ::DeleteFileW(Wide(path_ + file).c_str());
    ::RemoveDirectoryW(Wide(path_).c_str());
  }
  FolderWithBlank(const FolderWithBlank&) = delete;
  FolderWithBlank& operator=(const FolderWithBlank&) = delete;

  // Copies a system tool into the folder under `name`; its full path.
  std::string Copy(const char* tool, const std::string& name) { return CopyFile(SystemTool(tool), name); }
  std::string CopyFile(const std::string& from, const std::string& name) {
    EXPECT_TRUE(::CopyFileW(Wide(from).c_str(), Wide(path_ + name).c_str(), FALSE)) << from;
    files_.push_back(name);
    return path_ + name;
  }
  const std::string& path() const { return path_; }
  // A file a program writes into the folder, removed with it.
  void Track(const std::string& name) { files_.push_back(name); }

 private:
  wintest::TempFolder temp_;
  std::string path_;
  std::vector<std::string> files_;
};

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

platform::CreateProcessOptions Hidden(const std::string& program) {
  platform::CreateProcessOptions options;
  options.applicationName = program;
  options.inheritHandles = false;
  return options;
}

TEST(WinProcesses, AProgramRunsByItsFullPathAndEndsWithItsCode) {
  FolderWithBlank folder;
  const std::string program = folder.Copy("cmd.exe", "tool one.exe");
  platform::win32::Win32Processes processes;
  platform::ProcessHandle process = 0;
  std::uint32_t pid = 0, error = 99;
  ASSERT_TRUE(processes.CreateProcess("\"" + program + "\" /c exit 7", Hidden(program), process, pid, error));
  EXPECT_EQ(error, 0u);
  EXPECT_NE(pid, 0u);
  ASSERT_EQ(processes.Wait(process, 20000), platform::kWaitObject0);
  std::uint32_t code = 0;
  ASSERT_TRUE(processes.GetExitCode(process, code));
  EXPECT_EQ(code, 7u);
  EXPECT_TRUE(processes.CloseHandle(process));

  const std::string missing = folder.path() + "missing.exe";
  EXPECT_FALSE(processes.CreateProcess("\"" + missing + "\"", Hidden(missing), process, pid, error));
  EXPECT_EQ(error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST(WinProcesses, AWaitEndsAtItsBoundAndTheProgramCanBeEnded) {
  FolderWithBlank folder;
  // The test-only OpenVPN stand-in runs until it is ended when it has nothing to do.
  // ("cmd /c pause" ended at once when the test ran without a terminal: its console
  // input was at its end.)
  const std::string program = folder.CopyFile(TUNRA_VEXOOP_STANDIN, "tool one.exe");
  folder.Track("vexoop-journal.txt");  // the stand-in's journal, beside it
  platform::win32::Win32Processes processes;
  platform::ProcessHandle process = 0;
  std::uint32_t pid = 0, error = 0;
  ASSERT_TRUE(processes.CreateProcess("\"" + program + "\"", Hidden(program), process, pid, error));
  EXPECT_EQ(processes.Wait(process, 300), platform::kWaitTimeout);
  std::uint32_t code = 0;
  ASSERT_TRUE(processes.GetExitCode(process, code));
  EXPECT_EQ(code, 259u);  // STILL_ACTIVE

  std::vector<platform::ProcessEntry> all;
  ASSERT_TRUE(processes.SnapshotProcesses(all));
  bool listed = false;
  for (const platform::ProcessEntry& p : all) listed = listed || (p.pid == pid && p.exeFile == "tool one.exe");
  EXPECT_TRUE(listed);

  EXPECT_TRUE(processes.TerminateProcess(process, 3));
  ASSERT_EQ(processes.Wait(process, 20000), platform::kWaitObject0);
  ASSERT_TRUE(processes.GetExitCode(process, code));
  EXPECT_EQ(code, 3u);
  EXPECT_TRUE(processes.CloseHandle(process));
}

TEST(WinProcesses, BindingToolsRunFromTheProgramFolderOrNotAtAll) {
  FolderWithBlank folder;
  platform::win32::Win32Processes processes;
  platform::win32::Win32System system;
  RecordingLog log;
  net::CBindingTools tools(processes, system, log);

  // No tools in the folder: the first cannot start, nothing else runs.
  EXPECT_EQ(tools.UnbindAdapterServices(folder.path(), "TAP-Win32 Adapter V9"), net::kBindingToolNotStarted);
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_NE(log.lines[0].find("-> not-started 2"), std::string::npos) << log.lines[0];

  // Tools that refuse these arguments still run and end; every one of the list runs.
  folder.Copy("ipconfig.exe", "mgmt_1.exe");
  folder.Copy("ipconfig.exe", "mgmt_2.exe");
  log.lines.clear();
  EXPECT_EQ(tools.UnbindAdapterServices(folder.path(), "TAP-Win32 Adapter V9"), net::kBindingsDone);
  platform::OsVersion version;
  ASSERT_TRUE(system.GetVersionEx(version));
  const std::size_t expected = net::BindingCommandsFor(true, version).size();
  ASSERT_EQ(log.lines.size(), expected + 1);
  for (std::size_t i = 0; i < expected; ++i)
    EXPECT_NE(log.lines[i].find("\" -> exit "), std::string::npos) << log.lines[i];
  EXPECT_NE(log.lines[0].find("with blank\\mgmt_"), std::string::npos) << log.lines[0];
}

}  // namespace
