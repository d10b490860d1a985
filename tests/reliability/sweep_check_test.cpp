// The sweep's checks must catch the faults they are there for: each case
// plays a small routine over the fake host that does its host calls right,
// or gets one thing wrong, and sweeps it the way the sweeps do.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>

#include "frame/call_frame.h"
#include "reliability/sweep.h"

namespace reliability {
namespace {

using zarn::CheckStatus;
using zarn::NotNull;

constexpr HRESULT kInjected = static_cast<HRESULT>(0x80040F01);

// Asks a location for its name, then for its child "T Files" and that
// child's file name, the way an export would.
void Sound(ISBUrl* url) {
  CfxBSTR name;
  name.CopyOnWrite();
  CheckStatus(url->GetName(name.out()));
  CfxComPtr<ISBUrl> child;
  CheckStatus(url->CreateChildUrl(CfxBSTR(name.ToString() + " Files").in(), child.put()));
  CfxBSTR fileName;
  fileName.CopyOnWrite();
  CheckStatus(NotNull(child)->GetFileName(fileName.out()));
}

// The same with the status of GetName not checked.
void MissesAStatusCheck(ISBUrl* url) {
  CfxBSTR name;
  name.CopyOnWrite();
  static_cast<void>(url->GetName(name.out()));
  CfxComPtr<ISBUrl> child;
  CheckStatus(url->CreateChildUrl(CfxBSTR(name.ToString() + " Files").in(), child.put()));
  CfxBSTR fileName;
  fileName.CopyOnWrite();
  CheckStatus(NotNull(child)->GetFileName(fileName.out()));
}

// The same holding the child by a raw pointer, which a raise loses.
void LeaksOnFailure(ISBUrl* url) {
  CfxBSTR name;
  name.CopyOnWrite();
  CheckStatus(url->GetName(name.out()));
  ISBUrl* child = nullptr;
  CheckStatus(url->CreateChildUrl(CfxBSTR(name.ToString() + " Files").in(), &child));
  CfxBSTR fileName;
  fileName.CopyOnWrite();
  CheckStatus(NotNull(child)->GetFileName(fileName.out()));
  child->Release();
}

// The same raising a result of its own instead of the host's last error.
void RaisesItsOwnResult(ISBUrl* url) {
  try {
    Sound(url);
  } catch (const CfxResult&) {
    throw CfxResult(E_FAIL, "Could not name the companion folder");
  }
}

// The same turning the library's out-of-memory exception into a result.
void HidesOutOfMemory(ISBUrl* url) {
  try {
    Sound(url);
  } catch (const std::bad_alloc&) {
    throw CfxResult(E_OUTOFMEMORY, "out of memory");
  }
}

Scenario Routine(void (*routine)(ISBUrl*)) {
  return {"routine", "returned", [routine](Probe& probe) {
            fakehost::Host host;
            fakehost::Object& url = host.Make("url");
            fakehost::Object& child = host.Make("child");
            auto& fake = url.Add<fakehost::FakeUrl>();
            fake.name = OLESTR("T");
            fake.children[OLESTR("T Files")] = &child;
            child.Add<fakehost::FakeUrl>().fileName = OLESTR("T Files");
            probe.Run(host, [&] {
              routine(url.As<ISBUrl>());
              return std::string();
            });
          }};
}

// How many points of each sweep did not hold.
struct Failures {
  int calls = 0;
  int allocations = 0;
};

Failures Sweep(const Scenario& scenario) {
  Failures failures;
  const RunRecord clean = Play(scenario, {});
  EXPECT_EQ(clean.ending.Text(), "returned");
  EXPECT_EQ(clean.journal.size(), 3u);
  for (int k = 1; k <= 3; ++k) {
    for (const HRESULT status : {kInjected, S_FALSE}) {
      if (!CheckCallFault(clean, k, status, Play(scenario, {k, status, 0}))) ++failures.calls;
    }
  }
  for (std::uint64_t k = 1; k <= clean.allocations; ++k) {
    if (!CheckAllocationFault(clean, k, Play(scenario, {0, S_OK, k}))) ++failures.allocations;
  }
  return failures;
}

TEST(SweepChecks, HoldForSoundCode) {
  const Failures failures = Sweep(Routine(Sound));
  EXPECT_EQ(failures.calls, 0);
  EXPECT_EQ(failures.allocations, 0);
}

TEST(SweepChecks, CatchAMissingStatusCheck) {
  // Only the failing GetName goes unnoticed; its informational status is not stored either.
  EXPECT_EQ(Sweep(Routine(MissesAStatusCheck)).calls, 2);
}

TEST(SweepChecks, CatchAReferenceLostOnFailure) {
  // The child's GetFileName failing, and its name string not given out.
  const Failures failures = Sweep(Routine(LeaksOnFailure));
  EXPECT_EQ(failures.calls, 1);
  EXPECT_GE(failures.allocations, 1);
}

TEST(SweepChecks, CatchAWrongRaise) { EXPECT_EQ(Sweep(Routine(RaisesItsOwnResult)).calls, 3); }

TEST(SweepChecks, CatchAnOutOfMemoryTurnedIntoAResult) {
  const Failures failures = Sweep(Routine(HidesOutOfMemory));
  EXPECT_EQ(failures.calls, 0);
  EXPECT_GE(failures.allocations, 1);
}

}  // namespace
}  // namespace reliability
