#include "protocol/reply_parser.h"

#include <map>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "text/cp949.h"
#include "text/field.h"

namespace {

using session::SessionRecord;
using protocol::LocalDateTime;

SessionRecord ParseSession(const std::string& reply, std::vector<LocalDateTime>* clock = nullptr) {
  SessionRecord r;
  r.userCheckReply = reply;
  protocol::ParseSessionReply(r, [&](const LocalDateTime& t) {
    if (clock) clock->push_back(t);
  });
  return r;
}

TEST(ReplyParser, KeysMatchInAnyCaseAndValuesAreLowerCased) {
  SessionRecord r = ParseSession("Server_IP=1.2.3.4|VPNTYPE=4|name=ABC|mygame=리니지A");
  EXPECT_EQ(r.serverIp, "1.2.3.4");
  EXPECT_EQ(r.vpnType, 4);
  EXPECT_EQ(r.userName, "abc");
  EXPECT_EQ(r.myGame, "리니지a");  // the Korean characters are left whole
}

TEST(ReplyParser, Conversions) {
  struct Row {
    const char* reply;
    std::string (*field)(const SessionRecord&);
    const char* expected;
  };
  const Row rows[] = {
      {"route_list=10.0.0.0==8^ 1.2.3.0/24\r\n", [](const SessionRecord& r) { return r.routeList; }, "10.0.0.0/8^1.2.3.0/24"},
      {"name=a=b", [](const SessionRecord& r) { return r.userName; }, "a"},
      {"update_url=host/dir/Setup.exe", [](const SessionRecord& r) { return r.updateFileName; }, "setup.exe"},
      {"update_url=setup.exe", [](const SessionRecord& r) { return r.updateFileName; }, "setup.exe"},
      {"update_url=http:====h==s.exe", [](const SessionRecord& r) { return r.updateUrl; }, "http://h/s.exe"},
      {"crt_file=http://h/ca/ca.crt", [](const SessionRecord& r) { return r.certFileName; }, "ca.crt"},
      {"expire_time=2014-03-09", [](const SessionRecord& r) { return r.expireDateText; }, "2014년 03월 09일"},
      {"expire_time=2014", [](const SessionRecord& r) { return r.expireDateText; }, "2014년 월 일"},
      {"search_word=abc가", [](const SessionRecord& r) { return r.searchWord; }, "ABC가"},
      {"game_list=a==b/c", [](const SessionRecord& r) { return r.gameList; }, "a=b=c"},
      {"ip_pool_list=101^1.2.3.4^", [](const SessionRecord& r) { return r.ipPoolList; }, "101^1.2.3.4"},
      {"xxxdate=2030-01-02 03:04:05", [](const SessionRecord& r) { return r.serviceEndDate; }, "2030-01-02 03:04:05"},
      {"vpn_server_list=Seoul==s1^busan==b2^", [](const SessionRecord& r) { return r.vpnServerList; }, "seoul/s1^busan/b2^"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.field(ParseSession(row.reply)), row.expected) << row.reply;
}

TEST(ReplyParser, IntegerFields) {
  struct Row {
    const char* reply;
    int (*field)(const SessionRecord&);
    int expected;
  };
  const Row rows[] = {
      {"game_proc_count=0", [](const SessionRecord& r) { return r.gameProcCount; }, 2},
      {"game_proc_count=x", [](const SessionRecord& r) { return r.gameProcCount; }, 2},
      {"game_proc_count=3", [](const SessionRecord& r) { return r.gameProcCount; }, 3},
      {"login_dealy=0", [](const SessionRecord& r) { return r.loginDelay; }, 30},
      {"login_dealy=-5", [](const SessionRecord& r) { return r.loginDelay; }, 30},
      {"login_dealy=45", [](const SessionRecord& r) { return r.loginDelay; }, 45},
      {"crt_ver=7", [](const SessionRecord& r) { return r.certVersion; }, 1001},
      {"login_tag=yes", [](const SessionRecord& r) { return r.loginTag; }, 1},
      {"login_tag=YES", [](const SessionRecord& r) { return r.loginTag; }, 1},
      {"login_tag=yes!", [](const SessionRecord& r) { return r.loginTag; }, 0},
      {"xxxtime=120", [](const SessionRecord& r) { return r.remainingMinutes; }, 120},
      {"update_version=1186", [](const SessionRecord& r) { return r.updateVersion; }, 1186},
      {"use_select=1", [](const SessionRecord& r) { return r.useSelect; }, 1},
      {"gamefastmode=2", [](const SessionRecord& r) { return r.gameFastMode; }, 2},
  };
  for (const Row& row : rows) EXPECT_EQ(row.field(ParseSession(row.reply)), row.expected) << row.reply;
}

TEST(ReplyParser, EmptyAndMalformedFieldsChangeNothing) {
  const SessionRecord fresh;
  for (const char* reply : {"", "|", "||", "mygame=", "=value", "novalue", "unknown_key=1", "name"}) {
    SessionRecord r = ParseSession(reply);
    EXPECT_EQ(r.myGame, fresh.myGame) << reply;
    EXPECT_EQ(r.userName, fresh.userName) << reply;
    EXPECT_EQ(r.serviceEndDate, fresh.serviceEndDate) << reply;
    EXPECT_EQ(r.loginDelay, fresh.loginDelay) << reply;
  }
}

TEST(ReplyParser, ServerTimeSetsTheLocalClock) {
  std::vector<LocalDateTime> calls;
  ParseSession("name=a|server_time=2026-12-10 11:22:33|vpntype=1", &calls);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].year, 2026);
  EXPECT_EQ(calls[0].month, 12);
  EXPECT_EQ(calls[0].day, 10);
  EXPECT_EQ(calls[0].hour, 11);
  EXPECT_EQ(calls[0].minute, 22);
  EXPECT_EQ(calls[0].second, 33);
}

TEST(ReplyParser, AccountReplyReplacesTheEndAndAddsMinutes) {
  SessionRecord r = ParseSession("xxxtime=100|xxxdate=2030-01-01 00:00:00|name=kim");
  r.accountInfoReply = "XXXTIME=30|xxxdate=2031-02-03 04:05:06|name=lee|server_ip=9.9.9.9";
  protocol::ParseAccountReply(r);
  EXPECT_EQ(r.remainingMinutes, 130);
  EXPECT_EQ(r.serviceEndDate, "2031-02-03 04:05:06");
  EXPECT_EQ(r.userName, "kim");
  EXPECT_EQ(r.serverIp, "");
  r.accountInfoReply = "xxxtime=2147483647";
  protocol::ParseAccountReply(r);
  EXPECT_EQ(r.remainingMinutes, 2147483647);  // saturates instead of wrapping negative
}

// The parser walks the reply once; on random replies dense in separators, `==`, upper
// case, zero bytes and double-byte characters whose trail bytes are `|`, `=` or letters,
// it must store what the plain algorithm does: lower-case, `==` to `/`, then field n at
// `|` for n = 0, 1, ... (each at `=` into key and value), the last pair of a key winning.
TEST(ReplyParser, SameFieldsAsFieldByFieldExtractionOnRandomReplies) {
  const std::string tokens[] = {"name", "NAME", "mygame", "Server_IP", "xxxdate", "=", "=", "==", "|", "|",
                                "a", "Z", " ", "\xB0", "\xB0|", "\xB0=", "갂", "\xFE\xFE",
                                std::string("\0", 1), std::string("\xB0\0", 2)};
  struct Key {
    const char* key;
    std::string (*field)(const SessionRecord&);
  };
  const Key keys[] = {
      {"name", [](const SessionRecord& r) { return r.userName; }},
      {"mygame", [](const SessionRecord& r) { return r.myGame; }},
      {"server_ip", [](const SessionRecord& r) { return r.serverIp; }},
      {"xxxdate", [](const SessionRecord& r) { return r.serviceEndDate; }},
  };
  const SessionRecord fresh;
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    std::string reply;
    for (std::size_t n = rng() % 30; n > 0; --n) reply += tokens[rng() % (sizeof tokens / sizeof tokens[0])];

    std::map<std::string, std::string> expected;
    const std::string normal = text::ReplaceAll(text::ToLowerAscii(reply), "==", "/");
    std::string field;
    for (int n = 0; text::ExtractField(normal, n, '|', field); ++n) {
      const std::string key = text::ExtractField(field, 0, '=');
      const std::string value = text::ExtractField(field, 1, '=');
      if (!key.empty() && !value.empty()) expected[key] = value;
    }

    const SessionRecord r = ParseSession(reply);
    for (const Key& k : keys) {
      const auto it = expected.find(k.key);
      ASSERT_EQ(k.field(r), it == expected.end() ? k.field(fresh) : it->second) << k.key << " of a random reply";
    }
  }
}

}  // namespace
