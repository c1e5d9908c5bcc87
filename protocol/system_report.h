// The client system report: a short text describing the user's computer (Windows
// name, edition, processor architecture, service pack; the browser version; one line
// per network adapter with its first address). The user check sends it and the event
// report embeds it. Built afresh on every call; nothing is kept.
#pragma once

#include <cstdint>
#include <string>

#include "platform/iphelper.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace protocol {

// Facts the report reads beyond platform::ISystem. The Win32 side implements them
// with GetNativeSystemInfo (GetSystemInfo when kernel32 lacks it), GetProductInfo
// (looked up in kernel32) and GetSystemMetrics(SM_SERVERR2).
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

// The adapters listed at most.
inline constexpr std::size_t kMaxReportedAdapters = 64;

// "name, edition, architecture, service pack\r\n".
std::string SystemLine(platform::ISystem& system, ISystemFacts& facts);

// The whole report: the system line, the browser line when the version can be read,
// then "#n. description (address)\r\n" per adapter.
std::string SystemReport(platform::ISystem& system, ISystemFacts& facts,
                         platform::IRegistry& registry, platform::INetTables& tables);

}  // namespace protocol
