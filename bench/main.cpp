// zarn_bench: checks that ours and every peer give the same output, times
// them all, then prints one table of medians and ratios. Google Benchmark's
// own flags (--benchmark_filter, --benchmark_min_time, ...) work as usual.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>

#include "benches.h"
#include "results.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  try {
    zarnbench::RegisterUnescapeBenchmarks();
    zarnbench::RegisterTemplateBenchmarks();
    zarnbench::RegisterWalkBenchmarks();
    zarnbench::RegisterLocalHostBenchmarks();
    std::puts("checked: every peer gives the same output as ours on every input");
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench: check failed: %s\n", failure.what());
    return 1;
  }
  zarnbench::MedianCollector results;
  benchmark::RunSpecifiedBenchmarks(&results);
  benchmark::Shutdown();
  zarnbench::PrintTable(results);
  return 0;
}
