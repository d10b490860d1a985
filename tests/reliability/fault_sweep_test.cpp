// The fault sweep: every host call of every scenario fails in turn, once
// with a failing status and once with the informational status 1, and each
// run must end as the contract says for that call, call nothing after it
// but releases, leave what completed in place and give back every
// reference and string. Each injected run is one fault point.
#include <gtest/gtest.h>

#include <iostream>

#include "reliability/sweep.h"

namespace reliability {
namespace {

// A failure status no host operation returns on its own.
constexpr HRESULT kInjected = static_cast<HRESULT>(0x80040F01);
constexpr int kReportedAtMost = 25;

TEST(FaultSweep, EveryHostCallOfEveryScenarioFailsInTurn) {
  int swept = 0;
  int held = 0;
  for (const Scenario& scenario : AllScenarios()) {
    const RunRecord clean = Play(scenario, {});
    EXPECT_EQ(clean.ending.Text(), scenario.cleanEnding) << scenario.name;
    EXPECT_TRUE(clean.balanced) << scenario.name << ": " << clean.balance;
    for (int k = 1; k <= static_cast<int>(clean.journal.size()); ++k) {
      const std::string& line = clean.journal[static_cast<std::size_t>(k - 1)];
      if (IsRelease(line)) continue;  // an injected status on a release is not delivered
      for (const HRESULT status : {kInjected, S_FALSE}) {
        ++swept;
        const Verdict verdict = CheckCallFault(clean, k, status, Play(scenario, {k, status, 0}));
        if (verdict) {
          ++held;
        } else if (swept - held <= kReportedAtMost) {
          ADD_FAILURE() << scenario.name << "\n  call " << k << " " << line << " returning "
                        << (status == S_FALSE ? "1" : "a failure") << verdict.message();
        }
      }
    }
  }
  std::cout << "fault points: " << swept << " swept, " << held << " held" << std::endl;
  EXPECT_EQ(held, swept);
  EXPECT_GT(swept, 0);
}

}  // namespace
}  // namespace reliability
