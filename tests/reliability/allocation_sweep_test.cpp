// The allocation sweep: every host string allocation of every scenario fails
// in turn. The library's own strings must raise std::bad_alloc to the caller
// unchanged; a host operation that cannot allocate the string it gives out
// returns E_OUTOFMEMORY, which the status check raises as the last error.
// Either way nothing after the failure is called and nothing leaks.
#include <gtest/gtest.h>

#include <iostream>

#include "reliability/sweep.h"

namespace reliability {
namespace {

constexpr int kReportedAtMost = 25;

TEST(AllocationSweep, EveryHostStringAllocationOfEveryScenarioFailsInTurn) {
  int swept = 0;
  int held = 0;
  int inHost = 0;
  for (const Scenario& scenario : AllScenarios()) {
    const RunRecord clean = Play(scenario, {});
    EXPECT_EQ(clean.ending.Text(), scenario.cleanEnding) << scenario.name;
    for (std::uint64_t k = 1; k <= clean.allocations; ++k) {
      ++swept;
      const RunRecord run = Play(scenario, {0, S_OK, k});
      if (run.failedHostAllocations > 0) ++inHost;
      const Verdict verdict = CheckAllocationFault(clean, k, run);
      if (verdict) {
        ++held;
      } else if (swept - held <= kReportedAtMost) {
        ADD_FAILURE() << scenario.name << "\n  allocation " << k << " of " << clean.allocations << verdict.message();
      }
    }
    // One allocation more than the clean run makes changes nothing.
    const RunRecord beyond = Play(scenario, {0, S_OK, clean.allocations + 1});
    EXPECT_EQ(beyond.ending, clean.ending) << scenario.name;
    EXPECT_EQ(beyond.journal, clean.journal) << scenario.name;
  }
  std::cout << "allocation points: " << swept << " swept, " << held << " held (" << inHost << " inside host operations)"
            << std::endl;
  EXPECT_EQ(held, swept);
  EXPECT_GT(inHost, 0);
  EXPECT_LT(inHost, swept);
}

}  // namespace
}  // namespace reliability
