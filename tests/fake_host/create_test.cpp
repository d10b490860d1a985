// CfxCreateImpl of the server job class, answered by the Host's factory.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host/host.h"
#include "host/com_ptr.h"

namespace fakehost {
namespace {

using Lines = std::vector<std::string>;
constexpr std::uint32_t kEverywhere = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

TEST(Create, GivesTheScriptedJobAndJournalsEveryArgument) {
  Host host;
  Object& job = host.Make("job");
  job.Add<FakeZarnServerJob>();
  host.createdJob = &job;

  CfxComPtr<ISBZarnServerJob> created;
  const CfxResult outcome =
      CfxCreateImpl(CLSID_ZarnServerJob, nullptr, kEverywhere, InterfaceIdOf<ISBZarnServerJob>, created.put_void(), 0);

  EXPECT_EQ(outcome.Code(), S_OK);
  EXPECT_EQ(created.get(), job.As<ISBZarnServerJob>());
  EXPECT_EQ(job.Refs(), 2);
  EXPECT_EQ(host.Journal(),
            Lines{"CfxCreateImpl({47376B53-F04A-422B-92BF-50B254AD15FA}, null, 21, ISBZarnServerJob, 0)"});
  created.Reset();
  EXPECT_TRUE(host.Balanced());
}

TEST(Create, OuterObjectAndThrowFlagAreShown) {
  Host host;
  Object& outer = host.Make("outer");
  outer.Add<FakeUnknown>();

  void* out = nullptr;
  constexpr nsID kOther = nsIDFromText("{00000000-1111-2222-3333-444444444444}");
  CfxCreateImpl(CLSID_ZarnServerJob, outer.As<IUnknown>(), CLSCTX_INPROC_SERVER, kOther, &out, 1);

  EXPECT_EQ(out, nullptr) << "no createdJob: nothing is made";
  EXPECT_EQ(host.Journal(), Lines{"CfxCreateImpl({47376B53-F04A-422B-92BF-50B254AD15FA}, outer, 1, "
                                  "{00000000-1111-2222-3333-444444444444}, 1)"});
}

TEST(Create, InjectedFailureMakesNothing) {
  Host host;
  Object& job = host.Make("job");
  job.Add<FakeZarnServerJob>();
  host.createdJob = &job;
  host.FailOp("CfxCreateImpl", 0, E_OUTOFMEMORY);

  void* out = &job;
  const CfxResult outcome =
      CfxCreateImpl(CLSID_ZarnServerJob, nullptr, kEverywhere, InterfaceIdOf<ISBZarnServerJob>, &out, 0);
  EXPECT_EQ(outcome.Code(), E_OUTOFMEMORY);
  EXPECT_EQ(out, nullptr);
  EXPECT_THROW(CfxCreateImpl(CLSID_ZarnServerJob, nullptr, kEverywhere, InterfaceIdOf<ISBZarnServerJob>, &out, 1),
               CfxResult);
  EXPECT_TRUE(host.Balanced());
}

TEST(Create, JobWithoutTheAskedInterfaceIsASetupError) {
  Host host;
  Object& job = host.Make("job");
  job.Add<FakeJob>();
  host.createdJob = &job;

  void* out = nullptr;
  EXPECT_NONFATAL_FAILURE(
      CfxCreateImpl(CLSID_ZarnServerJob, nullptr, kEverywhere, InterfaceIdOf<ISBZarnServerJob>, &out, 0),
      "createdJob job has no facet for ISBZarnServerJob");
  EXPECT_EQ(out, nullptr);
  EXPECT_TRUE(host.Balanced());
}

TEST(Create, ClassIsUnregisteredWithoutAHost) {
  { Host host; }
  void* out = nullptr;
  EXPECT_EQ(CfxCreateImpl(CLSID_ZarnServerJob, nullptr, kEverywhere, InterfaceIdOf<ISBZarnServerJob>, &out, 0).Code(),
            REGDB_E_CLASSNOTREG);
}

}  // namespace
}  // namespace fakehost
