// Parsers of the user check and account information replies.
//
// Reply grammar (after decoding): fields separated by `|`; a field is key `=` value,
// the value ending at a second `=`. Before splitting, the whole reply is lower-cased
// (ASCII letters only) and every `==` becomes `/`, so keys match in any case and a
// value can carry `/` written as `==`.
#pragma once

#include <functional>
#include <string_view>

#include "session/session_record.h"

namespace protocol {

// A moment of local time as the back end sends it in `server_time`.
struct LocalDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Sets the computer's local clock; a refusal (no privilege) is the callee's to ignore.
using SetLocalClock = std::function<void(const LocalDateTime&)>;

// Fills the record's reply fields from `record.userCheckReply`. Keys not understood
// are ignored, fields with an empty key or value skipped. Always succeeds.
void ParseSessionReply(session::SessionRecord& record, const SetLocalClock& set_local_clock);

// Whether the reply holds at least one field ParseSessionReply takes (a key it knows,
// with a value). An error page or a portal's page answered with status 200 holds none.
bool HoldsSessionField(std::string_view reply);

// Takes `xxxdate` (replaces the service end) and `xxxtime` (added to the remaining
// minutes) from `record.accountInfoReply`; everything else is ignored.
void ParseAccountReply(session::SessionRecord& record);

}  // namespace protocol
