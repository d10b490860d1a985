#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "cfx/cfx_host.h"
#include "fake_host/host.h"
#include "fake_host/raised.h"

namespace {

using AppUtils::Document::StartLiveUpdates;
using AppUtils::Document::StopLiveUpdates;
using fakehost::FakeJob;
using fakehost::Host;
using Lines = std::vector<std::string>;

// The result the call raised; a call that returns is a test failure.
using fakehost::RaisedBy;

TEST(LiveUpdates, ANullJobRaisesInvalidArgWithTheExportsMessageBeforeAnyHostCall) {
  struct Row {
    void (*call)(ISBJob*);
    const char* message;
  };
  for (const Row& row : {Row{StartLiveUpdates, "Need a job to start live updates"},
                         Row{StopLiveUpdates, "Need a job to stop live updates"}}) {
    Host host;
    const CfxResult raised = RaisedBy([&] { row.call(nullptr); });
    EXPECT_EQ(raised.Code(), E_INVALIDARG);
    EXPECT_EQ(raised.Description(), row.message);
    EXPECT_EQ(raised.LastDescriptionAction(), 0);
    EXPECT_EQ(host.CallCount(), 0);
    EXPECT_TRUE(host.Balanced());
  }
}

TEST(LiveUpdates, StartHandsTheMaskPropertyBackUnchangedEvenWhenEmpty) {
  struct Row {
    const OLECHAR* mask;  // null: the job has no such property and answers empty text
    const char* passed;
  };
  for (const Row& row : {Row{OLESTR("Results;*.std"), "\"Results;*.std\""},
                         Row{OLESTR(" %20\u00e9 "), "\" %20\\xC3\\xA9 \""}, Row{nullptr, "\"\""}}) {
    Host host;
    auto& job = host.Make("job");
    auto& fake = job.Add<FakeJob>();
    fake.properties[OLESTR("LiveUpdatesMask")] = OLESTR("a near miss");
    if (row.mask) fake.properties[OLESTR("LiveUpdateMask")] = row.mask;

    StartLiveUpdates(job.As<ISBJob>());

    EXPECT_EQ(host.Journal(), (Lines{"job.ISBJob.GetProperty(\"LiveUpdateMask\")",
                                     std::string("job.ISBJob.BeginLiveUpdates(") + row.passed + ")"}));
    EXPECT_TRUE(host.Balanced());
  }
}

// A job that notes how many host strings are alive when each call comes in.
class StringCountingJob final : public fakehost::FacetOf<ISBJob> {
 public:
  StringCountingJob() : FacetOf("ISBJob") {}
  std::size_t liveAtGetProperty = 0;
  std::size_t liveAtBegin = 0;

  HRESULT GetProperty(BSTR name, BSTR* out) override {
    liveAtGetProperty = CfxLiveStringCount();
    return Answer(Line("GetProperty", name), out, CfxWString(OLESTR("m")));
  }
  HRESULT BeginLiveUpdates(BSTR mask) override {
    liveAtBegin = CfxLiveStringCount();
    return Run(Line("BeginLiveUpdates", mask));
  }
  HRESULT EndLiveUpdates(BSTR text) override { return Run(Line("EndLiveUpdates", text)); }
};

TEST(LiveUpdates, ThePropertyNameIsFreedBeforeTheMaskGoesBackToTheJob) {
  Host host;
  auto& job = host.Make("job");
  auto& fake = job.Add<StringCountingJob>();
  const std::size_t before = CfxLiveStringCount();

  StartLiveUpdates(job.As<ISBJob>());

  EXPECT_EQ(fake.liveAtGetProperty, before + 1) << "the property name";
  EXPECT_EQ(fake.liveAtBegin, before + 1) << "the mask alone: the name is gone";
  EXPECT_TRUE(host.Balanced());
}

TEST(LiveUpdates, EveryJobStatusIsCheckedAndAFailureEndsTheCall) {
  const std::string get = "job.ISBJob.GetProperty(\"LiveUpdateMask\")";
  const std::string begin = "job.ISBJob.BeginLiveUpdates(\"m\")";
  const std::string end = "job.ISBJob.EndLiveUpdates(\"1\")";
  struct Row {
    void (*call)(ISBJob*);
    const char* answering;
    HRESULT status;
    Lines journal;
  };
  const Row rows[] = {
      {StartLiveUpdates, "GetProperty", E_ACCESSDENIED, {get}},  // never begun without the mask
      {StartLiveUpdates, "BeginLiveUpdates", E_FAIL, {get, begin}},
      {StopLiveUpdates, "EndLiveUpdates", E_FAIL, {end}},
      // Status 1 is stored as the last error and the call goes on.
      {StartLiveUpdates, "GetProperty", S_FALSE, {get, begin}},
      {StartLiveUpdates, "BeginLiveUpdates", S_FALSE, {get, begin}},
      {StopLiveUpdates, "EndLiveUpdates", S_FALSE, {end}},
  };
  for (const Row& row : rows) {
    Host host;
    auto& job = host.Make("job");
    job.Add<FakeJob>().properties[OLESTR("LiveUpdateMask")] = OLESTR("m");
    host.FailOp(row.answering, 1, row.status);
    CfxResult::SetLastError(E_UNEXPECTED);

    if (FAILED(row.status)) {
      EXPECT_EQ(RaisedBy([&] { row.call(job.As<ISBJob>()); }).Code(), row.status) << row.answering;
    } else {
      EXPECT_NO_THROW(row.call(job.As<ISBJob>())) << row.answering;
    }

    EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), row.status) << row.answering;
    EXPECT_EQ(host.Journal(), row.journal) << row.answering;
    EXPECT_TRUE(host.Balanced());
  }
}

TEST(LiveUpdates, NoMemoryForTheTextsRaisesTheStandardExceptionAndLeaksNothing) {
  for (void (*call)(ISBJob*) : {StartLiveUpdates, StopLiveUpdates}) {
    Host host;
    auto& job = host.Make("job");
    job.Add<FakeJob>();
    host.FailAllocation(1);

    EXPECT_THROW(call(job.As<ISBJob>()), std::bad_alloc);

    EXPECT_TRUE(host.Journal().empty());
    EXPECT_TRUE(host.Balanced());
  }
}

}  // namespace
