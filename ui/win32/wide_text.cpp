#include "ui/win32/wide_text.h"

#include <windows.h>

namespace ui {

namespace {
constexpr UINT kCodePage = 949;
}

std::wstring WidenCp949(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int count = MultiByteToWideChar(kCodePage, 0, text.data(), size, nullptr, 0);
  if (count <= 0) return {};
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), size, wide.data(), count);
  return wide;
}

std::string NarrowCp949(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int count =
      WideCharToMultiByte(kCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return {};
  std::string narrow(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(kCodePage, 0, text.data(), size, narrow.data(), count, nullptr, nullptr);
  return narrow;
}

}  // namespace ui
