// A stand-in for the programs the client starts and waits for, for tests only (never
// shipped): the driver tools (64\tapinstall64.exe, 32\tapinstall32.exe), the driver
// installer (AdapterInstall.exe), the binding tools (mgmt_1.exe, mgmt_2.exe) and, in a
// test's own system folder, netsh.exe. One program, copied under each name. It
// journals how it was started and ends as its script says.
//
// The script is the file TUNRA_TOOL_SCRIPT names, else standin-tool.txt in the
// program's folder or the folder above it (the driver tools lie one folder down); with
// neither every program ends at once with exit code 0. One rule a line; '#' starts a
// comment:
//
//   WHO exit CODE        the program ends with CODE
//   WHO wait MS          it waits MS milliseconds before ending
//   WHO copy FROM TO     it copies the file FROM over TO before ending (a driver install
//                        can make the tunnel adapter appear: FROM is a prepared script of
//                        the stand-in adapter list, TO the one in force)
//   journal PATH         where the journal goes (TUNRA_TOOL_JOURNAL wins; default
//                        standin-tool-journal.txt beside the script, else beside the
//                        program)
//
// WHO is the program's file name in any case ("tapinstall64.exe") or "*", optionally
// followed by ':' and the program's first argument ("tapinstall64.exe:remove",
// "netsh.exe:firewall"). For exit and wait the first rule that fits applies; every copy
// rule that fits runs, in order. Paths are Windows paths; one starting with '/' is a
// Linux path under Wine.
//
// The journal gets two lines per run, fields separated by tabs, code page 949:
//   start   name=<file name>   command=<command line>   directory=<current directory>
//   end     name=<file name>   exit=<code>
// and "problem <line number> <text>" for a script line it did not understand, and
// "copy <from> <to> <ok|failed <error>>" for each copy.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../common/standin_support.h"

namespace {

using standin_support::Environment;
using standin_support::FromCodePage;
using standin_support::ReadBytes;
using standin_support::ToCodePage;
using standin_support::WindowsPath;

// The folder of a path, with its separator ("C:\a\b.exe" -> "C:\a\").
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// One line appended with the file opened for it: several stand-ins may write the same
// journal, and a test may read it at any time.
void Journal(const std::wstring& path, const std::string& line) {
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string bytes = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The words of a line, split at blanks and tabs.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// Whether a rule's WHO fits the program `name` started with first argument `verb`.
bool Fits(const std::string& who, const std::string& name, const std::string& verb) {
  const std::size_t colon = who.find(':');
  const std::string program = Lower(who.substr(0, colon));
  if (program != "*" && program != name) return false;
  return colon == std::string::npos || Lower(who.substr(colon + 1)) == verb;
}

}  // namespace

int main() {
  wchar_t modulePath[MAX_PATH * 4];
  const DWORD moduleLength = GetModuleFileNameW(nullptr, modulePath, MAX_PATH * 4);
  const std::wstring self(modulePath, moduleLength);
  const std::wstring folder = FolderOf(self);
  const std::string name = Lower(ToCodePage(self.substr(folder.size()), 949));

  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::string verb = argv && argc > 1 ? Lower(ToCodePage(argv[1], 949)) : std::string();

  // The script: named by the environment, else in the program's folder or the one above.
  std::wstring scriptPath = Environment(L"TUNRA_TOOL_SCRIPT");
  std::string script;
  if (scriptPath.empty()) {
    std::vector<std::wstring> candidates = {folder + L"standin-tool.txt"};
    const std::wstring above = folder.size() > 1 ? FolderOf(folder.substr(0, folder.size() - 1)) : std::wstring();
    if (!above.empty()) candidates.push_back(above + L"standin-tool.txt");
    for (const std::wstring& candidate : candidates)
      if (ReadBytes(candidate, script)) {
        scriptPath = candidate;
        break;
      }
  } else {
    ReadBytes(scriptPath, script);
  }

  unsigned long exitCode = 0, waitMs = 0;
  bool exitSet = false, waitSet = false;
  std::vector<std::pair<std::wstring, std::wstring>> copies;
  std::vector<std::string> problems;
  std::wstring journal = (scriptPath.empty() ? folder : FolderOf(scriptPath)) + L"standin-tool-journal.txt";
  std::size_t start = 0;
  for (int number = 1; start < script.size(); ++number) {
    std::size_t end = script.find('\n', start);
    if (end == std::string::npos) end = script.size();
    std::string line = script.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> w = Words(line);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0] == "journal" && w.size() == 2) {
      journal = WindowsPath(FromCodePage(w[1], 949));
    } else if (w.size() == 3 && (w[1] == "exit" || w[1] == "wait")) {
      const unsigned long value = std::strtoul(w[2].c_str(), nullptr, 10);
      if (!Fits(w[0], name, verb)) continue;
      if (w[1] == "exit" && !exitSet) exitCode = value, exitSet = true;
      if (w[1] == "wait" && !waitSet) waitMs = value, waitSet = true;
    } else if (w.size() == 4 && w[1] == "copy") {
      if (Fits(w[0], name, verb))
        copies.emplace_back(WindowsPath(FromCodePage(w[2], 949)), WindowsPath(FromCodePage(w[3], 949)));
    } else {
      problems.push_back(std::to_string(number) + "\t" + line);
    }
  }
  const std::wstring journalNamed = Environment(L"TUNRA_TOOL_JOURNAL");
  if (!journalNamed.empty()) journal = journalNamed;

  wchar_t directory[MAX_PATH * 4];
  const DWORD dirLength = GetCurrentDirectoryW(MAX_PATH * 4, directory);
  Journal(journal, "start\tname=" + name + "\tcommand=" + ToCodePage(GetCommandLineW(), 949) +
                       "\tdirectory=" + ToCodePage(std::wstring(directory, dirLength), 949));
  for (const std::string& problem : problems) Journal(journal, "problem\t" + problem);
  if (waitMs) Sleep(waitMs);
  for (const auto& copy : copies) {
    // Through a temporary file and a rename, so a reader never sees half a file.
    const std::wstring part = copy.second + L".part";
    const bool ok = CopyFileW(copy.first.c_str(), part.c_str(), FALSE) &&
                    MoveFileExW(part.c_str(), copy.second.c_str(), MOVEFILE_REPLACE_EXISTING);
    Journal(journal, "copy\t" + ToCodePage(copy.first, 949) + "\t" + ToCodePage(copy.second, 949) + "\t" +
                         (ok ? std::string("ok") : "failed " + std::to_string(GetLastError())));
  }
  Journal(journal, "end\tname=" + name + "\texit=" + std::to_string(exitCode));
  return static_cast<int>(exitCode);
}
