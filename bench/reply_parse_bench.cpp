// Growth of the user check reply parser with the reply's size, next to the codec's
// decode of the same reply. The reply comes from the back end, which can make it as
// long as it likes; the parse must stay linear and cost less than the decode before it.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "protocol/payload_codec.h"
#include "protocol/reply_parser.h"
#include "session/session_record.h"

namespace {

// A success reply as the back end writes it (mixed-case keys, Korean texts, masks
// written `==`), followed by an IP pool that spills over `|` into thousands of fields
// without `=` and by repeated and unknown keys, until it is `size` bytes long.
std::string LongReply(std::size_t size) {
  std::string s =
      "login_tag=yes|user_long_id=User01|name=홍길동|server_code=S01|"
      "xxxdate=2030-01-02 03:04:05|xxxtime=43200|refund_money=0|my_point=1500|"
      "search_time=0|search_word=tunra|expire_time=2030-01-02|mygame=데모 게임|"
      "game_proc_count=2|VPNTYPE=4|Server_IP=127.0.0.1|open_config=proto udp^connect-retry 2^|"
      "gateway_ip=10.8.0.1|route_list=10.8.0.0==255.255.255.0^10.9.0.0==255.255.0.0|"
      "crt_ver=1001|crt_file=http:====localhost==ca==ca.crt|vpnport=1194|"
      "mac_addr=00FF1A2B3C4D|login_dealy=30|game_list=데모 게임==demo.exe^테스트 게임==test.exe^|"
      "gamefastmode=0|auto_conn_change=1|vpn_server_list=서울 1==s01^서울 2==s02^|use_select=1|"
      "ip_pool_list=";
  std::mt19937 rng(7);
  int code = 100;
  while (s.size() < size) {
    for (int i = 0; i < 64 && s.size() < size; ++i) {
      s += std::to_string(code++) + "^203.0." + std::to_string(rng() % 256) + '.' + std::to_string(rng() % 256);
      s += '|';
    }
    s += "ip_pool_class=서울A^서울B^부산C^|default_route=192.0.2.10^192.0.2.11^|X_Unknown_Key=";
    s += std::to_string(rng());
    s += "|update_version=1185|update_url=http:====localhost==Setup.exe|ip_pool_list=";
  }
  s.resize(size);
  return s;
}

void BM_ParseSessionReply(benchmark::State& state) {
  session::SessionRecord record;
  record.userCheckReply = LongReply(static_cast<std::size_t>(state.range(0)));
  const protocol::SetLocalClock no_clock;
  for (auto _ : state) {
    protocol::ParseSessionReply(record, no_clock);
    benchmark::DoNotOptimize(record.ipPoolList);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_DecodeReply(benchmark::State& state) {
  const std::string encoded = protocol::EncodePayload(LongReply(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(protocol::DecodePayload(encoded));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ParseSessionReply)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeReply)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
