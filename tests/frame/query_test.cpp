#include <gtest/gtest.h>

#include "fake_host/host.h"
#include "frame/call_frame.h"

namespace {

using fakehost::FakeFileUrl;
using fakehost::FakeUrl;
using fakehost::Host;

TEST(Query, NullSourceGivesEmptyWithoutAskingAndTheNullCheckRaises) {
  Host host;
  auto view = CfxComPtr<ISBFileUrl>::Query(static_cast<ISBUrl*>(nullptr));
  EXPECT_FALSE(view);
  EXPECT_TRUE(host.Journal().empty());
  EXPECT_THROW(zarn::NotNull(view), CfxResult);
}

TEST(Query, CheckedQueryHandsOutOneNewReference) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  doc.Add<FakeFileUrl>();
  {
    auto view = CfxComPtr<ISBFileUrl>::Query(doc.As<ISBUrl>());
    ASSERT_TRUE(view);
    EXPECT_EQ(view.get(), doc.As<ISBFileUrl>());
    EXPECT_EQ(doc.Refs(), 2);
  }
  EXPECT_EQ(host.Journal(), (std::vector<std::string>{"doc.QueryInterface(ISBFileUrl)"}));
  EXPECT_TRUE(host.Balanced());
}

TEST(Query, FailedCheckedQueryStoresTheStandardResultAndRaisesTheQueryFailure) {
  for (const HRESULT status : {E_NOINTERFACE, E_ACCESSDENIED}) {
    Host host;
    auto& doc = host.Make("doc");
    doc.Add<FakeUrl>();
    doc.Add<FakeFileUrl>();
    host.FailOp("QueryInterface(ISBFileUrl)", 1, status);
    try {
      static_cast<void>(CfxComPtr<ISBFileUrl>::Query(doc.As<ISBUrl>()));
      ADD_FAILURE() << "the failed query did not raise";
    } catch (const CfxResult& result) {
      EXPECT_EQ(result.Code(), status);
      EXPECT_EQ(result.Description(), QueryInterfaceFailure(status, InterfaceIdOf<ISBFileUrl>).Description());
    }
    const CfxResult last = CfxResult::LastErrorCheckNotS_OK();
    EXPECT_EQ(last.Code(), status);
    EXPECT_EQ(last.Description(), CfxResult::StandardDescription(status).Description());
    EXPECT_TRUE(host.Balanced());
  }
}

TEST(Query, AnObjectWithoutTheInterfaceFailsTheCheckedQuery) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  EXPECT_THROW(static_cast<void>(CfxComPtr<ISBFileUrl>::Query(doc.As<ISBUrl>())), CfxResult);
  EXPECT_TRUE(host.Balanced());
}

TEST(Query, UncheckedQueryGivesEmptyAndLeavesTheLastErrorAlone) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  CfxResult::SetLastError(S_FALSE);
  auto view = CfxComPtr<ISBFileUrl>::TryQuery(doc.As<ISBUrl>());
  EXPECT_FALSE(view);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), S_FALSE);
  EXPECT_EQ(host.Journal(), (std::vector<std::string>{"doc.QueryInterface(ISBFileUrl)"}));
  EXPECT_FALSE(CfxComPtr<ISBFileUrl>::TryQuery(static_cast<ISBUrl*>(nullptr)));
  EXPECT_EQ(host.Journal().size(), 1u);
  EXPECT_TRUE(host.Balanced());
}

}  // namespace
