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

// The adapters listed at most.
inline constexpr std::size_t kMaxReportedAdapters = 64;

// "name, edition, architecture, service pack\r\n".
std::string SystemLine(platform::ISystem& system, platform::ISystemFacts& facts);

// The whole report: the system line, the browser line when the version can be read,
// then "#n. description (address)\r\n" per adapter.
std::string SystemReport(platform::ISystem& system, platform::ISystemFacts& facts,
                         platform::IRegistry& registry, platform::INetTables& tables);

}  // namespace protocol
