// Each group checks that ours and its peers give the same output, then
// registers its benchmarks. A failed check throws std::runtime_error.
#pragma once

namespace zarnbench {

void RegisterUnescapeBenchmarks();
void RegisterTemplateBenchmarks();
void RegisterWalkBenchmarks();
void RegisterLocalHostBenchmarks();

// Repetitions of every timed case; the table shows their medians.
inline constexpr int kRepetitions = 7;
// The local host's cases run a whole command over up to 100 000 files each.
inline constexpr int kLocalHostRepetitions = 3;

}  // namespace zarnbench
