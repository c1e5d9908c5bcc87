#include "platform/win32/cp949_wide.h"

#include "platform/win32/windows_include.h"

namespace platform::win32 {

namespace {
constexpr UINT kCodePage = 949;
}

std::wstring Cp949ToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

std::string WideToCp949(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                      nullptr, nullptr);
  return out;
}

bool WideToCp949Exact(const std::wstring& text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  BOOL used_default = FALSE;
  const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, &used_default);
  if (n <= 0 || used_default) return false;
  out.assign(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), &out[0], n,
                      nullptr, &used_default);
  if (used_default) out.clear();
  return !used_default;
}

bool IsAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace platform::win32
