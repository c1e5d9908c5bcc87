// Command-line branding: one optional argument of four `^`-separated fields. When the
// fourth is "2299" the first three are the client code, the identifier and the
// password; an empty argument means the default client code.
#pragma once

#include <string>
#include <string_view>

#include "session/session_record.h"

namespace app {

inline constexpr char kBrandingSeparator = '^';
inline constexpr const char* kBrandingMarker = "2299";

// Sets clientCode, userId, password and setupPageName from the branding argument.
// An argument that is not empty but lacks the marker sets nothing: the client code
// stays empty and the setup page name is the suffix alone.
void ApplyBranding(std::string_view argument, session::SessionRecord& record);

}  // namespace app
