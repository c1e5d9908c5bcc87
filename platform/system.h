// System facts (folders, program path, version, WOW64) and the local clock.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "platform/types.h"

namespace platform {

// OSVERSIONINFOEX, the fields the client reads.
struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platformId = 0;  // 2 = NT
  std::string csdVersion;        // "Service Pack 1"
  std::uint16_t servicePackMajor = 0;
  std::uint16_t servicePackMinor = 0;
  std::uint16_t suiteMask = 0;
  std::uint8_t productType = 0;  // 1 workstation, 2 domain controller, 3 server
};

class ISystem {
 public:
  virtual ~ISystem() = default;

  // The paths below are code page 949 texts, read through the W functions. A path
  // with a character code page 949 cannot write is answered as the empty text, as a
  // failure: a "?" in its place would name another file.

  // GetWindowsDirectoryA: "C:\Windows" (backslashes, no trailing separator); empty
  // when the call fails.
  virtual std::string WindowsDirectory() = 0;

  // GetModuleFileNameA of the running program: its full path; empty on failure.
  virtual std::string ModuleFileName() = 0;

  // GetCurrentDirectoryA / SetCurrentDirectoryA.
  virtual std::string CurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;

  // CreateDirectoryA: 0 when created, else the error (183 when it exists already).
  virtual long CreateDirectory(const std::string& path) = 0;

  // Whether kernel32 exports IsWow64Process (looked up at run time), and its answer
  // for this process (false when the function is missing or fails).
  virtual bool HasIsWow64Process() = 0;
  virtual bool IsWow64Process() = 0;

  // GetVersionExA with the extended record; false when the call fails.
  virtual bool GetVersionEx(OsVersion& version) = 0;

  // GetSystemDirectoryA: "C:\Windows\System32" (no trailing separator); empty when
  // the call fails. For a 32-bit program on 64-bit Windows the system redirects this
  // folder to the 32-bit one (SysWOW64) when a file in it is opened or started.
  virtual std::string SystemDirectory() = 0;

  // wProcessorArchitecture of GetNativeSystemInfo (GetSystemInfo where kernel32 lacks
  // it): the machine's processor whatever this program's own bitness; 0 x86, 6
  // Itanium, 9 AMD64, 12 ARM64.
  virtual std::uint16_t NativeProcessorArchitecture() = 0;
};

// wProcessorArchitecture values.
constexpr std::uint16_t kProcessorArchitectureIntel = 0;
constexpr std::uint16_t kProcessorArchitectureAmd64 = 9;

// SYSTEMTIME, local time.
struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

// The clock. The program never sleeps: everything that waits does so on window
// timers, so a fake clock can drive time in tests.
class IClock {
 public:
  virtual ~IClock() = default;

  // The current time in seconds since 1970 (UTC), as time().
  virtual std::time_t Now() = 0;

  // Local broken-down time of `t`, as localtime; false when it cannot be converted.
  virtual bool LocalTime(std::time_t t, std::tm& out) = 0;

  // The instant of a local broken-down time, as mktime with the daylight-saving flag
  // left to the system; false when it cannot be converted.
  virtual bool MakeLocalTime(const std::tm& local, std::time_t& out) = 0;

  // SetLocalTime: 0 on success, else the error (1314 without the privilege).
  virtual long SetLocalTime(const SystemTime& time) = 0;
};

// Facts of the processor and the Windows edition, for the client's system report:
// GetNativeSystemInfo (GetSystemInfo when kernel32 lacks it), GetProductInfo (looked up
// in kernel32) and GetSystemMetrics(SM_SERVERR2).
class ISystemFacts {
 public:
  virtual ~ISystemFacts() = default;
  // wProcessorArchitecture: 0 x86, 6 Itanium, 9 AMD64.
  virtual std::uint16_t ProcessorArchitecture() = 0;
  // GetProductInfo(major, minor, 0, 0); false when kernel32 has no such function.
  virtual bool GetProductInfo(std::uint32_t major, std::uint32_t minor,
                              std::uint32_t& productType) = 0;
  // GetSystemMetrics(SM_SERVERR2).
  virtual int ServerR2Metric() = 0;
};

}  // namespace platform
