// The end of the paid service as an instant: `serviceEndDate` ("YYYY-MM-DD hh:mm:ss",
// local time) read as the C runtime reads its parts, and the connected-time display.
#pragma once

#include <ctime>
#include <string>

#include "platform/system.h"

namespace app {

// The local time `serviceEndDate` names: split at the first blank into date and time,
// the date at '-', the time at ':', each part by atoi. False when a part is out of
// range (year before 1900, month 1-12, day 1-31, hour 0-23, minute and second 0-59)
// or the clock cannot convert it.
bool ServiceEndInstant(const std::string& serviceEndDate, platform::IClock& clock, std::time_t& end);

// "h:mm:ss" of `seconds`.
std::string ConnectedTimeText(int seconds);

}  // namespace app
