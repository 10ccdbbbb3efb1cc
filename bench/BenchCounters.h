// The counters every benchmark prints beside its own time: the raw SQLite time of the same work in the same
// run, the ratio to it and the peak memory of the process; and the sizes the benchmarks run at. Run one size
// alone (--benchmark_filter=.../30000) to read that size's peak memory.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace benchdata {

// The sizes of a benchmark's runs: enterprises (or rows of a table).
inline void Sizes(benchmark::internal::Benchmark* b) { b->Arg(1000)->Arg(10000)->Arg(30000); }

// The counters of a benchmark that timed its own work (ours) and raw SQLite's (raw) over all iterations.
inline void Report(benchmark::State& state, double ours, double raw)
{
    state.counters["raw_s"] = raw / static_cast<double>(state.iterations());
    state.counters["ratio"] = raw > 0 ? ours / raw : 0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace benchdata
