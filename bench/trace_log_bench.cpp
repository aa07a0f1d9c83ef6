// Appending a line to a window's log costs the line, whatever the log's size:
// a connection left running for a day must not slow down as its log grows.

#include <benchmark/benchmark.h>

#include <string>

#include "forms/trace_log.h"

namespace velarin {
namespace {

void BM_TraceLogAppend(benchmark::State& state) {
  TraceLog log;
  const std::string line = "init = false => call initial ";
  while (log.Text().size() < static_cast<size_t>(state.range(0))) log.Append(line);
  for (auto _ : state) {
    log.Append(line);
    benchmark::DoNotOptimize(log.Text().data());
  }
  state.counters["log_bytes"] = static_cast<double>(log.Text().size());
}
BENCHMARK(BM_TraceLogAppend)->Arg(0)->Arg(1 << 20)->Arg(64 << 20);

}  // namespace
}  // namespace velarin
