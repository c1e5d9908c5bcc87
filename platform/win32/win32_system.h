// System facts and the clock on Windows.
#pragma once

#include "platform/system.h"

namespace platform::win32 {

class Win32System final : public ISystem {
 public:
  std::string WindowsDirectory() override;
  std::string ModuleFileName() override;
  std::string CurrentDirectory() override;
  bool SetCurrentDirectory(const std::string& path) override;
  long CreateDirectory(const std::string& path) override;
  bool HasIsWow64Process() override;
  bool IsWow64Process() override;
  bool GetVersionEx(OsVersion& version) override;
  std::string SystemDirectory() override;
  std::uint16_t NativeProcessorArchitecture() override;
};

class Win32SystemFacts final : public ISystemFacts {
 public:
  std::uint16_t ProcessorArchitecture() override;
  bool GetProductInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t& productType) override;
  int ServerR2Metric() override;
};

class Win32Clock final : public IClock {
 public:
  std::time_t Now() override;
  bool LocalTime(std::time_t t, std::tm& out) override;
  bool MakeLocalTime(const std::tm& local, std::time_t& out) override;
  long SetLocalTime(const SystemTime& time) override;
};

}  // namespace platform::win32
