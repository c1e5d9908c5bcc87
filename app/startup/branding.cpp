#include "app/startup/branding.h"

#include "text/field.h"

namespace app {

void ApplyBranding(std::string_view argument, session::SessionRecord& record) {
  if (argument.empty()) {
    record.clientCode = session::kDefaultClientCode;
  } else if (text::ExtractField(argument, 3, kBrandingSeparator) == kBrandingMarker) {
    record.clientCode = text::ExtractField(argument, 0, kBrandingSeparator);
    record.userId = text::ExtractField(argument, 1, kBrandingSeparator);
    record.password = text::ExtractField(argument, 2, kBrandingSeparator);
  }
  record.setupPageName = record.clientCode + session::kSetupPageSuffix;
}

}  // namespace app
