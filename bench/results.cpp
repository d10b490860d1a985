#include "results.h"

#include <stdexcept>

namespace zarnbench {

void MedianCollector::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" || run.error_occurred) continue;
    const std::string& args = run.run_name.args;
    medians_[run.run_name.function_name + (args.empty() ? "" : "/" + args)] =
        run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
  }
  ConsoleReporter::ReportRuns(runs);
}

double MedianCollector::Seconds(const std::string& name) const {
  const auto found = medians_.find(name);
  if (found == medians_.end()) throw std::runtime_error("no result for benchmark " + name);
  return found->second;
}

}  // namespace zarnbench
