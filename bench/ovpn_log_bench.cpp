// The OpenVPN log scan on large logs: the deciding line last (found first, the scan
// runs from the end), the deciding line first (the whole log walked back to it), and
// no deciding line at all (the whole log walked, then its lines counted to 15).
#include <string>

#include <benchmark/benchmark.h>

#include "ovpn_log_sample.h"
#include "tunnel/openvpn_mgmt.h"

namespace {

const char* const kRestart = "SIGUSR1[soft,ping-restart] received, process restarting";

void Run(benchmark::State& state, const std::string& log, int expected) {
  for (auto _ : state) {
    const int status = tunnel::ScanOpenVpnLog(log, true);
    if (status != expected) state.SkipWithError("unexpected status");
    benchmark::DoNotOptimize(status);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size()));
}

void BM_DecidingLineLast(benchmark::State& state) {
  Run(state, bench::SampleLog(static_cast<std::size_t>(state.range(0)) << 20, "", kRestart), -13);
}
void BM_DecidingLineFirst(benchmark::State& state) {
  Run(state, bench::SampleLog(static_cast<std::size_t>(state.range(0)) << 20, kRestart, ""), -13);
}
void BM_NoDecidingLine(benchmark::State& state) {
  Run(state, bench::SampleLog(static_cast<std::size_t>(state.range(0)) << 20), -100);
}

BENCHMARK(BM_DecidingLineLast)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecidingLineFirst)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NoDecidingLine)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
