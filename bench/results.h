// Collects the median CPU time of every benchmark as Google Benchmark
// reports it, so that the table of peers and ratios can be printed after the
// runs. CPU time is the benchmark thread's user and system time: on a busy
// machine, waiting for a core does not count.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace zarnbench {

class MedianCollector final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;

  // Median seconds per iteration of a benchmark; throws when it did not run.
  double Seconds(const std::string& name) const;
  bool Has(const std::string& name) const { return medians_.contains(name); }

 private:
  std::map<std::string, double> medians_;
};

// Prints the table and, last, the machine-readable line.
void PrintTable(const MedianCollector& results);

}  // namespace zarnbench
