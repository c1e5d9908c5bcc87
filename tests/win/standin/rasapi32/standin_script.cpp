#include "standin_script.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>

namespace standin {

namespace {

std::wstring FromCodePage(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

// A Linux path (under Wine) as the Windows path of the same file.
std::wstring FromUnixPath(const std::wstring& path) {
  using ToDos = WCHAR*(CDECL*)(LPCSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  ToDos toDos = kernel ? reinterpret_cast<ToDos>(reinterpret_cast<void*>(
                             GetProcAddress(kernel, "wine_get_dos_file_name")))
                       : nullptr;
  if (toDos) {
    if (WCHAR* dos = toDos(ToUtf8(path).c_str())) {
      std::wstring out(dos);
      HeapFree(GetProcessHeap(), 0, dos);
      return out;
    }
  }
  std::wstring out = L"Z:" + path;
  for (wchar_t& c : out)
    if (c == L'/') c = L'\\';
  return out;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[32768];
  const DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
  if (n == 0 || n >= 32768) return std::wstring();
  std::wstring value(buffer, n);
  return value[0] == L'/' ? FromUnixPath(value) : value;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return true;
}

std::string Rest(std::istringstream& in) {
  std::string rest;
  std::getline(in, rest);
  const std::size_t start = rest.find_first_not_of(" \t");
  return start == std::string::npos ? std::string() : rest.substr(start);
}

struct OwnText {
  unsigned long code;
  const char* text;
};
// The stand-in's own texts for the codes a test is likely to use; marked as simulated.
const OwnText kOwnTexts[] = {
    {6, "The handle is not valid (simulated dialer)."},
    {603, "The buffer is too small (simulated dialer)."},
    {619, "The connection to the remote computer was lost (simulated dialer)."},
    {623, "The phonebook entry of this connection was not found (simulated dialer)."},
    {629, "The remote computer closed the connection (simulated dialer)."},
    {632, "The structure size is not valid (simulated dialer)."},
    {678, "The remote computer did not answer (simulated dialer)."},
    {691, "The user name or password was not accepted (simulated dialer)."},
    {720, "No PPP control protocol was agreed (simulated dialer)."},
    {733, "The IP projection was not made (simulated dialer)."},
    {800, "The VPN tunnel could not be made (simulated dialer)."},
};

}  // namespace

std::wstring WindowsPath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return FromUnixPath(FromCodePage(path, CP_UTF8));
  return FromCodePage(path, 949);
}

std::wstring ModuleFolder() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ModuleFolder), &self);
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(self, buffer, MAX_PATH * 4);
  std::wstring path(buffer, n);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

Script ParseScript(const std::string& text, std::vector<std::string>& problems) {
  Script s;
  for (unsigned long state = 0; state <= 18; ++state) s.states.push_back(state);
  s.states.push_back(0x2000);
  s.dropFile = ModuleFolder() + L"rasapi32-drop.txt";

  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) continue;
    bool ok = true;
    if (word == "delay") {
      ok = static_cast<bool>(in >> s.delayMs);
    } else if (word == "states") {
      s.states.clear();
      unsigned long state;
      while (in >> state) s.states.push_back(state);
      ok = !s.states.empty();
    } else if (word == "error") {
      std::string at;
      ok = (in >> s.errorCode >> at >> s.errorState) && at == "at";
    } else if (word == "refuse") {
      std::string option;
      ok = static_cast<bool>(in >> s.refuseCode);
      if (in >> option) {
        ok = ok && option == "nohandle";
        s.refuseWithHandle = false;
      }
    } else if (word == "address") {
      ok = static_cast<bool>(in >> s.address);
    } else if (word == "server-address") {
      ok = static_cast<bool>(in >> s.serverAddress);
    } else if (word == "projection-error") {
      ok = static_cast<bool>(in >> s.projectionError);
    } else if (word == "drop-after") {
      ok = static_cast<bool>(in >> s.dropAfterMs);
    } else if (word == "drop-file") {
      const std::string path = Rest(in);
      ok = !path.empty();
      s.dropFile = WindowsPath(path);
    } else if (word == "drop-as") {
      std::string how;
      ok = static_cast<bool>(in >> how) && (how == "invalid-handle" || how == "disconnected");
      s.dropAsDisconnected = how == "disconnected";
    } else if (word == "release-after") {
      ok = static_cast<bool>(in >> s.releaseAfterMs);
    } else if (word == "text") {
      unsigned long code;
      ok = static_cast<bool>(in >> code);
      if (ok) s.texts[code] = Rest(in);
    } else if (word == "journal") {
      const std::string path = Rest(in);
      ok = !path.empty();
      s.journal = WindowsPath(path);
    } else {
      ok = false;
    }
    if (!ok) problems.push_back("script line " + std::to_string(number) + " not understood: " + line);
  }
  return s;
}

Script LoadScript(std::vector<std::string>& problems) {
  std::wstring path = Environment(L"TUNRA_RAS_SCRIPT");
  if (path.empty()) path = ModuleFolder() + L"rasapi32-script.txt";
  std::string text;
  ReadFileBytes(path, text);  // no file: the defaults
  Script s = ParseScript(text, problems);
  const std::wstring journal = Environment(L"TUNRA_RAS_JOURNAL");
  if (!journal.empty()) s.journal = journal;
  if (s.journal.empty()) s.journal = ModuleFolder() + L"rasapi32-journal.txt";
  return s;
}

bool ErrorText(const Script& script, unsigned long code, std::string& text) {
  if (const auto it = script.texts.find(code); it != script.texts.end()) {
    text = it->second;
    return true;
  }
  for (const OwnText& own : kOwnTexts) {
    if (own.code == code) {
      text = own.text;
      return true;
    }
  }
  return false;
}

}  // namespace standin
