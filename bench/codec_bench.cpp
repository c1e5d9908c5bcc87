// Throughput of the payload codec at request, reply and bulk sizes.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "protocol/payload_codec.h"

namespace {

std::string ParameterText(std::size_t size) {
  // Parameter-like text with commas and Korean characters, as requests carry them.
  std::mt19937 rng(1);
  static const char* words[] = {"id=user01", "auth_mode=user", "os=Windows 10,64bit", "name=홍길동", "x=1"};
  std::string s;
  while (s.size() < size) {
    s += words[rng() % 5];
    s += '|';
  }
  s.resize(size);
  return s;
}

void BM_Encode(benchmark::State& state) {
  const std::string plain = ParameterText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(protocol::EncodePayload(plain));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Decode(benchmark::State& state) {
  const std::string encoded = protocol::EncodePayload(ParameterText(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(protocol::DecodePayload(encoded));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(encoded.size()));
}

BENCHMARK(BM_Encode)->Arg(1 << 10)->Arg(64 << 10)->Arg(4 << 20)->Arg(32 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Decode)->Arg(1 << 10)->Arg(64 << 10)->Arg(4 << 20)->Arg(32 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
