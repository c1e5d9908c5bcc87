// The OpenVPN program's manager on the real system, against the test-only vexoop.exe
// (tests/win/standin/vexoop) copied into a program folder whose name holds a blank.
// The stand-in writes its log step by step: each step waits for a file the test
// creates, so every status is seen however slow the machine is.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_window.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "tunnel/openvpn_mgmt.h"
#include "tunnel/texts.h"
#include "win_temp.h"

namespace {

constexpr DWORD kPatienceMs = 20000;

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

bool WriteText(const std::string& path, const std::string& text) {
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  ::CloseHandle(file);
  return ok;
}

std::string ReadText(const std::string& path) {
  std::string text;
  platform::win32::Win32Files files;
  files.ReadAllShared(path, text);
  return text;
}

// A program folder "<temp>\open vpn" holding the stand-in as vexoop.exe and a
// configuration file; the script and journal lie in the temporary folder above it.
class Rig {
 public:
  Rig() : dir_(temp_.path() + "\\open vpn") {
    ::CreateDirectoryW(Wide(dir_).c_str(), nullptr);
    EXPECT_TRUE(::CopyFileW(Wide(TUNRA_VEXOOP_STANDIN).c_str(), Wide(dir_ + "\\vexoop.exe").c_str(), FALSE));
    EXPECT_TRUE(WriteText(dir_ + "\\vexoen.opc", "client\r\n"));
    record.programDir = dir_;
    for (char& c : record.programDir)
      if (c == '\\') c = '/';  // as the client keeps it
    record.openVpnExeName = "vexoop.exe";
    record.openVpnConfigName = "vexoen.opc";
    record.openVpnLogName = "event.log";
    ::SetEnvironmentVariableW(L"TUNRA_VEXOOP_SCRIPT", Wide(temp_.path() + "\\script.txt").c_str());
    ::SetEnvironmentVariableW(L"TUNRA_VEXOOP_JOURNAL", Wide(journal()).c_str());
  }
  ~Rig() {
    mgmt.StopOpenVpn();  // never leaves a stand-in behind
    ::SetEnvironmentVariableW(L"TUNRA_VEXOOP_SCRIPT", nullptr);
    ::SetEnvironmentVariableW(L"TUNRA_VEXOOP_JOURNAL", nullptr);
    for (const char* name : {"vexoop.exe", "vexoen.opc", "event.log", "go"})
      ::DeleteFileW(Wide(dir_ + "\\" + name).c_str());
    ::RemoveDirectoryW(Wide(dir_).c_str());
  }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  void Script(const std::string& text) { ASSERT_TRUE(WriteText(temp_.path() + "\\script.txt", text)); }
  std::string journal() const { return temp_.path() + "\\journal.txt"; }
  const std::string& dir() const { return dir_; }

  // Lets the stand-in go past its next "await go".
  void Go() { ASSERT_TRUE(WriteText(dir_ + "\\go", "")); }

  // Reads the status until it is `wanted`; the last status read.
  int StatusBecomes(int wanted) {
    int status = 0;
    const ULONGLONG end = ::GetTickCount64() + kPatienceMs;
    while ((status = mgmt.ReadOpenVpnStatus(record)) != wanted && ::GetTickCount64() < end) ::Sleep(20);
    return status;
  }
  // Looks at the process list until the stand-in's presence is `running`.
  bool RunningBecomes(bool running) {
    const ULONGLONG end = ::GetTickCount64() + kPatienceMs;
    while ((mgmt.monitor().FindProcess("vexoop.exe") == 1) != running) {
      if (::GetTickCount64() >= end) return false;
      ::Sleep(20);
    }
    return true;
  }

  session::SessionRecord record;
  platform::win32::Win32Processes processes;
  platform::win32::Win32Files files;
  fakes::FakeWindow owner;
  RecordingLog log;
  tunnel::COpenVpnMgmt mgmt{processes, files, owner, log};

 private:
  wintest::TempFolder temp_;
  std::string dir_;
};

// From an empty log to a tunnel that is up and then restarts; then the program ends.
TEST(WinOpenVpn, StatusFollowsTheLogAndTheProcess) {
  Rig rig;
  rig.Script(
      "log OpenVPN 2.1.1 i686-pc-mingw32 [SSL] [LZO2] built on Dec 11 2009\n"
      "await go\n"
      "lines 15 Data Channel Encrypt: Cipher 'BF-CBC' initialized with 128 bit key\n"
      "await go\n"
      "log Initialization Sequence Completed\n"
      "await go\n"
      "log SIGUSR1[soft,ping-restart] received, process restarting\n"
      "await go\n"
      "exit 0\n");
  EXPECT_EQ(rig.mgmt.ReadOpenVpnStatus(rig.record), tunnel::kOvpnLogUnreadable);
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  ASSERT_TRUE(rig.RunningBecomes(true));
  EXPECT_EQ(rig.StatusBecomes(-14), -14);  // almost nothing written
  rig.Go();
  EXPECT_EQ(rig.StatusBecomes(-100), -100);  // a full log, running
  rig.Go();
  EXPECT_EQ(rig.StatusBecomes(1), 1);
  rig.Go();
  EXPECT_EQ(rig.StatusBecomes(-13), -13);  // the restart after success is reported
  rig.Go();
  ASSERT_TRUE(rig.RunningBecomes(false));
  EXPECT_EQ(rig.mgmt.ReadOpenVpnStatus(rig.record), -13);

  // Started by its full path, in its folder, with the configuration and log by name.
  const std::string journal = ReadText(rig.journal());
  const std::string program = rig.dir() + "\\vexoop.exe";
  EXPECT_NE(journal.find("start\tcommand=\"" + program + "\" --config vexoen.opc --log event.log\tdirectory=" +
                         rig.dir()),
            std::string::npos)
      << journal;
  EXPECT_NE(journal.find("\tconfig=present"), std::string::npos) << journal;
  EXPECT_EQ(journal.find("problem"), std::string::npos) << journal;
  ASSERT_FALSE(rig.log.lines.empty());
  EXPECT_EQ(rig.log.lines[0].rfind("openvpn launch ", 0), 0u) << rig.log.lines[0];
}

// Dying after success: the success line no longer counts, the full log says the
// program is gone.
TEST(WinOpenVpn, AProgramThatDiesAfterSuccess) {
  Rig rig;
  rig.Script(
      "lines 15 TLS: soft reset sec=0 bytes=120342/0 pkts=2011/0\n"
      "log Initialization Sequence Completed\n"
      "await go\n"
      "exit 1\n");
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  EXPECT_EQ(rig.StatusBecomes(1), 1);
  rig.Go();
  ASSERT_TRUE(rig.RunningBecomes(false));
  EXPECT_EQ(rig.mgmt.ReadOpenVpnStatus(rig.record), tunnel::kOvpnEndNotRunning);
}

// Every failure text of the table, one after the other in the same log: the last one
// written decides each time.
TEST(WinOpenVpn, EveryFailureTextIsReported) {
  struct Text {
    const char* line;
    int code;
  };
  const Text texts[] = {
      {"TCP/UDP: Closing socket", -1},
      {"VERIFY ERROR: depth=0, error=certificate is not yet valid: /CN=vpn", -2},
      {"VERIFY ERROR: depth=0, error=certificate has expired: /CN=vpn", -3},
      {"TLS Error: Need PEM pass phrase for private key", -4},
      {"error:06065064:digital envelope routines:EVP_DecryptFinal:bad decrypt", -5},
      {"error:23076071:PKCS12 routines:PKCS12_parse:mac verify failure", -6},
      {"AUTH: Received AUTH_FAILED control message", -7},
      {"ERROR: Auth username is empty", -8},
      {"ERROR: netsh command failed: returned error code 1", -9},
      {"write UDPv4: No Route to Host (WSAEHOSTUNREACH) (code=10065)", -12},
      {"There are no TAP-Win32 adapters on this system.", -13},
      {"Initialization Sequence Completed", 1},
      {"SIGUSR1[soft,ping-restart] received, process restarting", -13},
  };
  std::string script = "lines 15 OPTIONS IMPORT: timers and/or timeouts modified\n";
  for (const Text& t : texts) script += std::string("await go\nlog ") + t.line + "\n";
  Rig rig;
  rig.Script(script);
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  EXPECT_EQ(rig.StatusBecomes(-100), -100);
  for (const Text& t : texts) {
    rig.Go();
    EXPECT_EQ(rig.StatusBecomes(t.code), t.code) << t.line;
  }
}

// StopOpenVpn ends every copy, whatever the case of its name, and waits for them.
TEST(WinOpenVpn, StopEndsEveryRunningProgram) {
  Rig rig;
  rig.Script("log OpenVPN 2.1.1 (stand-in)\n");
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  ASSERT_TRUE(rig.RunningBecomes(true));
  EXPECT_EQ(rig.mgmt.monitor().FindProcess("VEXOOP.EXE"), 1);

  rig.log.lines.clear();
  EXPECT_EQ(rig.mgmt.StopOpenVpn(), 1);
  EXPECT_EQ(rig.mgmt.monitor().FindProcess("vexoop.exe"), 0);  // ended before it returned
  EXPECT_TRUE(rig.owner.boxes().empty());
  ASSERT_EQ(rig.log.lines.size(), 2u);
  for (const std::string& line : rig.log.lines) EXPECT_NE(line.find("-> ended"), std::string::npos) << line;

  // A name in capitals ends it too; with nothing left, nothing is ended.
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  ASSERT_TRUE(rig.RunningBecomes(true));
  EXPECT_EQ(rig.mgmt.monitor().KillProcessByModule("VEXOOP.EXE"), 1);
  EXPECT_EQ(rig.mgmt.monitor().FindProcess("vexoop.exe"), 0);
  rig.log.lines.clear();
  EXPECT_EQ(rig.mgmt.monitor().KillProcessByModule("vexoop.exe"), 1);
  EXPECT_EQ(rig.log.lines, std::vector<std::string>{"process end \"vexoop.exe\" -> none"});
}

// A program folder without the program: not started, nothing shown.
TEST(WinOpenVpn, ALaunchWithoutTheProgramFails) {
  Rig rig;
  ASSERT_TRUE(::DeleteFileW(Wide(rig.dir() + "\\vexoop.exe").c_str()));
  EXPECT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), -1);
  ASSERT_EQ(rig.log.lines.size(), 1u);
  EXPECT_NE(rig.log.lines[0].find("-> not-started 2"), std::string::npos) << rig.log.lines[0];
  EXPECT_TRUE(rig.owner.boxes().empty());
}

bool UnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Whether the Linux process `pid` still runs (not gone, not a zombie).
bool LinuxProcessRuns(const std::string& pid) {
  using ToDos = WCHAR*(CDECL*)(LPCSTR);
  const auto toDos = reinterpret_cast<ToDos>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  WCHAR* dos = toDos ? toDos(("/proc/" + pid + "/stat").c_str()) : nullptr;
  if (!dos) return false;
  std::string path;
  for (const WCHAR* c = dos; *c; ++c) path += static_cast<char>(*c);  // an ASCII path
  ::HeapFree(::GetProcessHeap(), 0, dos);
  const std::string stat = ReadText(path);
  const std::size_t close = stat.rfind(") ");
  return close != std::string::npos && stat.compare(close + 2, 1, "Z") != 0;
}

// Under Wine the stand-in can stand for a real Linux OpenVPN: it lives as long as a
// Linux command it runs in the program folder, and ending it by name ends the command.
TEST(WinOpenVpn, ALinuxCommandLivesAndEndsWithTheStandIn) {
  if (!UnderWine()) GTEST_SKIP() << "Linux commands run only under Wine";
  Rig rig;
  rig.Script(
      "run echo $$ > unix.pid; echo 'Mon Mar 04 10:22:38 2024 Initialization Sequence Completed' >> event.log; "
      "exec sleep 60\n");
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  EXPECT_EQ(rig.StatusBecomes(1), 1);  // written by the Linux command, the stand-in running
  const std::string pid = ReadText(rig.dir() + "\\unix.pid").substr(0, ReadText(rig.dir() + "\\unix.pid").find('\n'));
  ASSERT_FALSE(pid.empty());
  EXPECT_TRUE(LinuxProcessRuns(pid)) << pid;

  EXPECT_EQ(rig.mgmt.StopOpenVpn(), 1);
  EXPECT_EQ(rig.mgmt.monitor().FindProcess("vexoop.exe"), 0);
  const ULONGLONG end = ::GetTickCount64() + kPatienceMs;
  while (LinuxProcessRuns(pid) && ::GetTickCount64() < end) ::Sleep(20);
  EXPECT_FALSE(LinuxProcessRuns(pid)) << "the Linux command outlived the stand-in";
  ::DeleteFileW(Wide(rig.dir() + "\\unix.pid").c_str());
}

// The command outlives the 3 s after which a stand-in that stopped beating would have
// ended it.
TEST(WinOpenVpn, TheStandInEndsWithItsLinuxCommand) {
  if (!UnderWine()) GTEST_SKIP() << "Linux commands run only under Wine";
  Rig rig;
  rig.Script("run sleep 4; exit 3\n");
  ASSERT_EQ(rig.mgmt.LaunchOpenVpn(rig.record), 1);
  ASSERT_TRUE(rig.RunningBecomes(true));
  ASSERT_TRUE(rig.RunningBecomes(false));
  const std::string journal = ReadText(rig.journal());
  EXPECT_NE(journal.find("run\tsleep 4; exit 3\tstarted"), std::string::npos) << journal;
  EXPECT_NE(journal.find("run\tsleep 4; exit 3\tended\t3"), std::string::npos) << journal;
}

}  // namespace
