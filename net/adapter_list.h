// The adapter list (GetAdaptersInfo) searched by description: the tunnel adapter is
// known only by the description its driver gives it.
#pragma once

#include <string>

#include "platform/iphelper.h"

namespace net {

// Index of the first adapter whose description contains `description` (plain
// substring, case-sensitive); 0 when none does or the text is empty (an empty text
// would match every adapter); -1 when the list cannot be read.
int FindAdapterIndexIn(platform::INetTables& tables, const std::string& description);

// Number of adapters whose description contains `description`; 0 for an empty text;
// -1 when the list cannot be read.
int CountAdaptersIn(platform::INetTables& tables, const std::string& description);

}  // namespace net
