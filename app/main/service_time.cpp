#include "app/main/service_time.h"

#include <cstdio>

#include "app/texts.h"
#include "text/cp949.h"
#include "text/field.h"

namespace app {

bool ServiceEndInstant(const std::string& serviceEndDate, platform::IClock& clock, std::time_t& end) {
  const std::size_t blank = serviceEndDate.find(' ');
  const std::string date = serviceEndDate.substr(0, blank);
  const std::string time = blank == std::string::npos ? std::string() : serviceEndDate.substr(blank + 1);
  std::tm local{};
  local.tm_year = text::AtoI(text::ExtractField(date, 0, '-')) - 1900;
  local.tm_mon = text::AtoI(text::ExtractField(date, 1, '-')) - 1;
  local.tm_mday = text::AtoI(text::ExtractField(date, 2, '-'));
  local.tm_hour = text::AtoI(text::ExtractField(time, 0, ':'));
  local.tm_min = text::AtoI(text::ExtractField(time, 1, ':'));
  local.tm_sec = text::AtoI(text::ExtractField(time, 2, ':'));
  if (local.tm_year < 0 || local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1 || local.tm_mday > 31 ||
      local.tm_hour < 0 || local.tm_hour > 23 || local.tm_min < 0 || local.tm_min > 59 || local.tm_sec < 0 ||
      local.tm_sec > 59)
    return false;
  local.tm_isdst = -1;
  return clock.MakeLocalTime(local, end);
}

std::string ConnectedTimeText(int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, kConnectedTimeFormat, seconds / 3600, (seconds / 60) % 60, seconds % 60);
  return text;
}

}  // namespace app
