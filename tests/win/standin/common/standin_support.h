// What every test-only stand-in program or DLL needs: text between code pages, a
// Linux path given under Wine turned into the Windows path of the same file, an
// environment value naming a file, and a whole file read while others may write it.
// Header only: each stand-in links statically and stands alone beside the client.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace standin_support {

inline std::wstring FromCodePage(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

inline std::string ToCodePage(const std::wstring& text, UINT codePage) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

// A Linux path (under Wine) becomes the Windows path of the same file; any other path
// is returned as it is.
inline std::wstring WindowsPath(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  using ToDos = WCHAR*(CDECL*)(LPCSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const ToDos toDos =
      kernel ? reinterpret_cast<ToDos>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")))
             : nullptr;
  if (WCHAR* dos = toDos ? toDos(ToCodePage(path, CP_UTF8).c_str()) : nullptr) {
    std::wstring out(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return out;
  }
  return path;
}

// The file an environment variable names, as a Windows path; empty when it is unset.
inline std::wstring Environment(const wchar_t* name) {
  std::vector<wchar_t> buffer(32768);
  const DWORD n = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return std::wstring();
  return WindowsPath(std::wstring(buffer.data(), n));
}

// The whole file, opened so the program writing it may go on; false when it cannot be
// opened.
inline bool ReadBytes(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return true;
}

}  // namespace standin_support
