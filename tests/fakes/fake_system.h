// System facts a test sets: folders, program path, version, WOW64.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/system.h"

namespace fakes {

class FakeSystem : public platform::ISystem {
 public:
  FakeSystem() {
    version.major = 6;
    version.minor = 1;
    version.build = 7601;
    version.platformId = 2;
    version.csdVersion = "Service Pack 1";
    version.servicePackMajor = 1;
    version.productType = 1;
  }

  std::string WindowsDirectory() override { return windowsDirectory; }
  std::string ModuleFileName() override { return moduleFileName; }
  std::string CurrentDirectory() override { return currentDirectory; }
  bool SetCurrentDirectory(const std::string& path) override {
    setDirectoryCalls.push_back(path);
    if (!directoryChangeSucceeds) return false;
    // Windows keeps the current directory without a trailing backslash (but "C:\").
    currentDirectory = path;
    if (currentDirectory.size() > 3 && currentDirectory.back() == '\\') currentDirectory.pop_back();
    return true;
  }
  long CreateDirectory(const std::string& path) override {
    createdDirectories.push_back(path);
    return directories.insert(path).second ? platform::kErrorSuccess
                                           : platform::kErrorAlreadyExists;
  }
  bool HasIsWow64Process() override { return hasIsWow64Process; }
  bool IsWow64Process() override { return hasIsWow64Process && wow64; }
  bool GetVersionEx(platform::OsVersion& out) override {
    if (!versionSucceeds) return false;
    out = version;
    return true;
  }

  std::string SystemDirectory() override { return systemDirectory; }
  std::uint16_t NativeProcessorArchitecture() override { return nativeArchitecture; }

  std::string windowsDirectory = "C:\\windows";
  std::string systemDirectory = "C:\\windows\\system32";
  std::uint16_t nativeArchitecture = platform::kProcessorArchitectureAmd64;
  std::string moduleFileName = "C:\\Program Files\\TUNRA\\tunra.exe";
  std::string currentDirectory = "C:\\Program Files\\TUNRA";
  bool directoryChangeSucceeds = true;
  std::set<std::string> directories;  // existing folders (for CreateDirectory)
  bool hasIsWow64Process = true;
  bool wow64 = false;
  bool versionSucceeds = true;
  platform::OsVersion version;  // 6.1.7601 SP1 workstation by default

  std::vector<std::string> setDirectoryCalls;
  std::vector<std::string> createdDirectories;
};

// Processor and edition facts: an AMD64 Windows 7 Ultimate by default.
class FakeSystemFacts : public platform::ISystemFacts {
 public:
  std::uint16_t ProcessorArchitecture() override { return architecture; }
  bool GetProductInfo(std::uint32_t, std::uint32_t, std::uint32_t& type) override {
    type = productType;
    return hasProductInfo;
  }
  int ServerR2Metric() override { return serverR2; }

  std::uint16_t architecture = 9;  // AMD64
  bool hasProductInfo = true;
  std::uint32_t productType = 1;   // Ultimate
  int serverR2 = 0;
};

}  // namespace fakes
