// The sweeps: every export is played through scenarios on the recording fake
// host, once cleanly and then once for every point where the host can fail
// it: each host call in turn (with a failing and with an informational
// status), and each host string allocation in turn.
//
// A scenario builds its scene, then hands the host and the export call to
// the probe, which arms the injected fault, runs the call and records how it
// ended and what the host saw:
//
//   Scenario{"HideFiles: two entries", "returned", [](Probe& probe) {
//     hidingtest::Project p;
//     p.Entry("a", OLESTR("/p/a.txt"));
//     probe.Run(p.host, [&] { HideFiles(p.Folder(), p.Container()); return std::string(); });
//   }};
//
// Arguments that are host strings must be made before Run: every host string
// allocation inside the call counts as one of the export's.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fake_host/host.h"

namespace reliability {

using Lines = std::vector<std::string>;

// What one run injects: the `call`-th host call gets `status`, or the
// `allocation`-th host string allocation fails. Zero: nothing.
struct Injection {
  int call = 0;
  HRESULT status = S_OK;
  std::uint64_t allocation = 0;
};

// How a run ended: what the export returned (described as text) or raised.
struct Ending {
  enum class Kind { kReturned, kRaised, kBadAlloc, kOther };
  Kind kind = Kind::kReturned;
  HRESULT code = S_OK;
  std::string description;
  int action = 0;
  std::string result;

  std::string Text() const;
  friend bool operator==(const Ending&, const Ending&) = default;
};

// Stored as the last error before each run, so that a run that stores
// nothing can be told from one that stores any real status.
inline constexpr HRESULT kNothingStored = 0x00047E57;

// What one run did and left behind.
struct RunRecord {
  Ending ending;
  HRESULT lastError = kNothingStored;
  Lines journal;
  // For each journal line, the host string allocations made in the run before it.
  std::vector<std::uint64_t> allocationsBefore;
  std::uint64_t allocations = 0;
  int failedHostAllocations = 0;
  bool balanced = false;
  std::string balance;  // what was not given back
};

class Probe {
 public:
  explicit Probe(Injection injection) : injection_(injection) {}

  // Arms the injection on the scene's host, runs the export and records the
  // run. `call` returns a description of what the export gave back; it must
  // let go of any reference or string it got before returning.
  void Run(fakehost::Host& host, const std::function<std::string()>& call);

  const std::optional<RunRecord>& Record() const { return record_; }

 private:
  Injection injection_;
  std::optional<RunRecord> record_;
};

struct Scenario {
  std::string name;
  std::string cleanEnding;  // Ending::Text() of the run without a fault
  std::function<void(Probe&)> play;
};

// Plays the scenario once with the injection.
RunRecord Play(const Scenario& scenario, Injection injection);

// Whether a failing run did what the contract says for the point it failed
// at; the text tells what it did instead.
using Verdict = testing::AssertionResult;

// True for the host calls that are no fault points: journaled final releases.
bool IsRelease(const std::string& line);
// The k-th host call (1-based) of the clean run failed with `status`.
Verdict CheckCallFault(const RunRecord& clean, int k, HRESULT status, const RunRecord& run);
// The k-th host string allocation of the clean run failed.
Verdict CheckAllocationFault(const RunRecord& clean, std::uint64_t k, const RunRecord& run);

// The scenarios, by subsystem.
std::vector<Scenario> JobScenarios();
std::vector<Scenario> ServerScenarios();
std::vector<Scenario> DocumentScenarios();
std::vector<Scenario> HidingScenarios();
std::vector<Scenario> AllScenarios();

}  // namespace reliability
