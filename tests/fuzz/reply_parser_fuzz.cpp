// The reply parsers on any decoded reply: every field of the session record they fill
// comes from the server, which may send anything.
#include <cstdint>
#include <string>

#include "protocol/reply_parser.h"
#include "session/session_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  session::SessionRecord record;
  record.userCheckReply.assign(reinterpret_cast<const char*>(data), size);
  record.accountInfoReply = record.userCheckReply;
  int clock_calls = 0;
  protocol::ParseSessionReply(record, [&](const protocol::LocalDateTime&) { ++clock_calls; });
  protocol::ParseAccountReply(record);
  return 0;
}
