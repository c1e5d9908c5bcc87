// Pages of the service's public web host (a deployment value, TUNRA_WEB_HOST), opened
// in the user's browser or shown in a banner. Back-end scripts are addressed through
// `webHost` instead (the resolved login host), in the exchanges.
#pragma once

namespace protocol {

inline constexpr const char* kHelpPageUrl = "http://" TUNRA_WEB_HOST "/customer/faq.php";
inline constexpr const char* kSignUpPageUrl = "http://" TUNRA_WEB_HOST "/member/join1.php";
inline constexpr const char* kFindPasswordPageUrl = "http://" TUNRA_WEB_HOST "/member/idpw.php";
inline constexpr const char* kBannerPageUrl = "http://" TUNRA_WEB_HOST "/vpn_program/banner.php";
inline constexpr const char* kUpdatePageUrl = "http://" TUNRA_WEB_HOST "/vpn_program/update.php";

}  // namespace protocol
