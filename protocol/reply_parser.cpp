#include "protocol/reply_parser.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/cp949.h"
#include "text/field.h"

namespace protocol {

namespace {

using session::SessionRecord;
using Store = void (*)(SessionRecord&, const std::string&, const SetLocalClock&);

// The file name of a URL: the part after the last `/`, or the whole text.
std::string FileNameOf(const std::string& url) {
  const std::size_t slash = url.rfind('/');
  return slash == std::string::npos ? url : url.substr(slash + 1);
}

std::string Sub(const std::string& s, std::size_t pos, std::size_t len) {
  return pos < s.size() ? s.substr(pos, len) : std::string();
}

// "2014-03-09..." becomes "2014년 03월 09일" (characters 1-4, 6-7 and 9-10).
std::string ExpireDateText(const std::string& v) {
  return Sub(v, 0, 4) + "년 " + Sub(v, 5, 2) + "월 " + Sub(v, 8, 2) + "일";
}

void SetClockFrom(const std::string& v, const SetLocalClock& set_local_clock) {
  const std::size_t blank = v.find(' ');
  const std::string date = v.substr(0, blank);
  const std::string time = blank == std::string::npos ? std::string() : v.substr(blank + 1);
  LocalDateTime t;
  t.year = text::AtoI(text::ExtractField(date, 0, '-'));
  t.month = text::AtoI(text::ExtractField(date, 1, '-'));
  t.day = text::AtoI(text::ExtractField(date, 2, '-'));
  t.hour = text::AtoI(text::ExtractField(time, 0, ':'));
  t.minute = text::AtoI(text::ExtractField(time, 1, ':'));
  t.second = text::AtoI(text::ExtractField(time, 2, ':'));
  if (set_local_clock) set_local_clock(t);
}

struct KeyRule {
  std::string_view key;
  Store store;
};

// Every key of the user check reply and how its value is stored.
const KeyRule kSessionKeys[] = {
    {"update_version", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.updateVersion = text::AtoI(v); }},
    {"user_long_id", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.userLongId = v; }},
    {"update_url", [](SessionRecord& r, const std::string& v, const SetLocalClock&) {
       r.updateUrl = v;
       r.updateFileName = FileNameOf(v);
     }},
    {"login_tag", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.loginTag = v == "yes" ? 1 : 0; }},
    {"name", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.userName = v; }},
    {"server_code", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.serverCode = v; }},
    {"xxxdate", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.serviceEndDate = v; }},
    {"xxxtime", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.remainingMinutes = text::AtoI(v); }},
    {"refund_money", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.refundMoney = v; }},
    {"my_point", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.myPoint = v; }},
    {"search_time", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.searchTime = text::AtoI(v); }},
    {"search_word", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.searchWord = text::ToUpperAscii(v); }},
    {"expire_time", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.expireDateText = ExpireDateText(v); }},
    {"mygame", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.myGame = v; }},
    {"game_proc_count", [](SessionRecord& r, const std::string& v, const SetLocalClock&) {
       const int n = text::AtoI(v);
       r.gameProcCount = n > 0 ? n : 2;
     }},
    {"vpntype", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.vpnType = text::AtoI(v); }},
    {"server_ip", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.serverIp = v; }},
    {"open_config", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.openConfig = v; }},
    {"gateway_ip", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.gatewayIp = v; }},
    {"route_list", [](SessionRecord& r, const std::string& v, const SetLocalClock&) {
       r.routeList = text::ReplaceAll(text::ReplaceAll(v, " ", ""), "\r\n", "");
     }},
    {"crt_ver", [](SessionRecord& r, const std::string&, const SetLocalClock&) { r.certVersion = session::kClientCertVersion; }},
    {"crt_file", [](SessionRecord& r, const std::string& v, const SetLocalClock&) {
       r.certUrl = v;
       r.certFileName = FileNameOf(v);
     }},
    {"vpnport", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.vpnPort = v; }},
    {"mac_addr", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.macAddr = v; }},
    {"login_dealy", [](SessionRecord& r, const std::string& v, const SetLocalClock&) {
       const int n = text::AtoI(v);
       if (n > 0) r.loginDelay = n;
     }},
    {"server_time", [](SessionRecord&, const std::string& v, const SetLocalClock& c) { SetClockFrom(v, c); }},
    {"game_list", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.gameList = text::ReplaceAll(v, "/", "="); }},
    {"gamefastmode", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.gameFastMode = text::AtoI(v); }},
    {"auto_conn_change", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.autoConnChange = text::AtoI(v); }},
    {"vpn_server_list", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.vpnServerList = v; }},
    {"use_select", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.useSelect = text::AtoI(v); }},
    {"ip_pool_list", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.ipPoolList = text::WithoutLastChar(v); }},
    {"ip_pool_class", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.ipPoolClass = v; }},
    {"default_route", [](SessionRecord& r, const std::string& v, const SetLocalClock&) { r.defaultRoute = v; }},
};

// Lower-casing and the `==` replacement in one pass over whole characters, into `out`:
// a double-byte character is copied as it is; of the single-byte ones, `==` becomes `/`
// (left to right, so `===` gives `/=`) and A-Z become a-z. Eight bytes at a time where
// they hold no byte from 0x80 up and no `=`, which is most of a reply.
void NormaliseInto(std::string_view text, std::string& out) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  const std::size_t n = text.size();
  const char* in = text.data();
  out.resize(n);
  char* o = &out[0];
  std::size_t i = 0;
  std::size_t slow_until = 0;  // characters are copied one by one up to here
  while (i < n) {
    if (i >= slow_until && i + 8 <= n) {
      std::uint64_t w;
      std::memcpy(&w, in + i, 8);
      const std::uint64_t eq = w ^ (kOnes * '=');
      const bool has_eq = ((eq - kOnes) & ~eq & kHigh) != 0;
      if ((w & kHigh) == 0 && !has_eq) {
        // Every byte is below 0x80, so these sums carry into no other byte.
        const std::uint64_t upper = (w + kOnes * (0x80 - 'A')) & ~(w + kOnes * (0x7F - 'Z')) & kHigh;
        w |= upper >> 2;  // 0x20 on each upper-case letter
        std::memcpy(o, &w, 8);
        o += 8;
        i += 8;
        continue;
      }
      slow_until = i + 8;
    }
    const char c = in[i];
    if (text::CharLength(text, i) == 2) {
      *o++ = c;
      *o++ = in[i + 1];
      i += 2;
    } else if (c == '=' && i + 1 < n && in[i + 1] == '=') {
      *o++ = '/';
      i += 2;
    } else {
      *o++ = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      i += 1;
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

// Calls handle(key, value) for every field with a non-empty key and value of the
// normalised reply, in one pass (the back end decides the reply's length).
//
// The reply is split before it is normalised, field by field: normalising maps `|` to
// itself, makes no `|`, and never joins or splits a character, so the fields come out
// the same. A field without any `=` byte has no value and needs no further work; that
// is most fields of a long reply (the IP pool entries that spill over `|`), so the next
// `=` of the reply is looked up once for all the fields before it.
template <typename Handle>
void ForEachPair(std::string_view reply, Handle handle) {
  text::FieldCursor fields(reply, '|');
  std::string field;
  // Only a field with an `=` byte can be a pair: the others (the IP pool's records) are
  // passed over without being walked one by one.
  for (std::string_view raw; fields.SkipToFieldWith('=') && fields.Next(raw);) {
    NormaliseInto(raw, field);
    text::FieldCursor parts(field, '=');
    std::string_view key, value;
    parts.Next(key);
    parts.Next(value);  // stays empty without `=`; anything after a second `=` is lost
    if (key.empty() || value.empty()) continue;
    handle(key, value);
  }
}

}  // namespace

void ParseSessionReply(session::SessionRecord& record, const SetLocalClock& set_local_clock) {
  ForEachPair(record.userCheckReply, [&](std::string_view key, std::string_view value) {
    for (const KeyRule& rule : kSessionKeys) {
      if (key == rule.key) {
        rule.store(record, std::string(value), set_local_clock);
        break;
      }
    }
  });
}

bool HoldsSessionField(std::string_view reply) {
  bool found = false;
  ForEachPair(reply, [&](std::string_view key, std::string_view) {
    for (const KeyRule& rule : kSessionKeys)
      if (key == rule.key) found = true;
  });
  return found;
}

void ParseAccountReply(session::SessionRecord& record) {
  ForEachPair(record.accountInfoReply, [&](std::string_view key, std::string_view value) {
    if (key == "xxxdate") {
      record.serviceEndDate = std::string(value);
    } else if (key == "xxxtime") {
      // Saturating, so a hostile reply cannot overflow the minutes into negative time.
      const long long sum = static_cast<long long>(record.remainingMinutes) + text::AtoI(value);
      record.remainingMinutes = static_cast<int>(sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : sum);
    }
  });
}

}  // namespace protocol
