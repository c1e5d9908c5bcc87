// Every text the IP list panels show: the duplicate-favourite message, the list
// column titles and the latency column's texts. Code page 949 in the program; the
// bytes are the ones users know.
#pragma once

namespace app {

// Adding a favourite that is already in the list.
inline constexpr const char* kFavouriteAlreadyAdded = "이미 IP가 추가 되어 있습니다";
inline constexpr const char* kDuplicateCaption = "중복오류";

// Column titles (the headers are hidden, but the columns carry them).
inline constexpr const char* kPoolAvailableColumn = "서비스 가능한 IP";
inline constexpr const char* kPoolFavouritesColumn = "자주 사용하는 IP";
inline constexpr const char* kClassListColumn = "서비스 가능 대역";
inline constexpr const char* kClassAvailableColumn = "서비스 가능 IP";
inline constexpr const char* kClassFavouritesColumn = "IP 저장 ";  // with its trailing blank

// The latency column of the available IPs. The dash is U+2015 (A1AA), the dash code
// page 949 has: U+2014 has no code there.
inline constexpr const char* kLatencyMsSuffix = " ms";
inline constexpr const char* kLatencyBelowOneMs = "<1 ms";
inline constexpr const char* kLatencyNoAnswer = "―";

}  // namespace app
