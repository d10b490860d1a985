#include <gtest/gtest.h>

#include "fake_host/host.h"
#include "frame/call_frame.h"

namespace {

using fakehost::FakeUrl;
using fakehost::Host;

// Two host calls in a row, each followed by the status check, as exports write them.
void NameThenFileName(ISBUrl* url) {
  CfxBSTR name;
  name.CopyOnWrite();
  zarn::CheckStatus(url->GetName(name.out()));
  CfxBSTR fileName;
  fileName.CopyOnWrite();
  zarn::CheckStatus(url->GetFileName(fileName.out()));
}

template <class T>
concept Checkable = requires(T status) {
  zarn::CheckStatus(status);
};
static_assert(Checkable<HRESULT>);
static_assert(!Checkable<bool>);
static_assert(!Checkable<unsigned>);
static_assert(!Checkable<std::int64_t>);  // wider than any status

TEST(StatusCheck, ZeroLeavesTheLastErrorAlone) {
  CfxResult::SetLastError(E_ACCESSDENIED);
  EXPECT_EQ(zarn::CheckStatus(S_OK), S_OK);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), E_ACCESSDENIED);
}

TEST(StatusCheck, PositiveStatusIsStoredAndTheCallGoesOn) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  CfxResult::SetLastError(E_ACCESSDENIED);
  host.FailOp("ISBUrl.GetName", 1, S_FALSE);

  NameThenFileName(doc.As<ISBUrl>());

  EXPECT_EQ(host.Journal(), (std::vector<std::string>{"doc.ISBUrl.GetName()", "doc.ISBUrl.GetFileName()"}));
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), S_FALSE);
  EXPECT_TRUE(host.Balanced());
}

TEST(StatusCheck, NegativeStatusRaisesTheLastErrorAndNothingAfterItRuns) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  host.FailOp("ISBUrl.GetName", 1, E_ACCESSDENIED);

  try {
    NameThenFileName(doc.As<ISBUrl>());
    ADD_FAILURE() << "the failing status did not raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_ACCESSDENIED);
    EXPECT_EQ(result.Description(), CfxResult::StandardDescription(E_ACCESSDENIED).Description());
  }
  EXPECT_EQ(host.Journal(), (std::vector<std::string>{"doc.ISBUrl.GetName()"}));
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), E_ACCESSDENIED);
  EXPECT_TRUE(host.Balanced());
}

TEST(ArgumentCheck, MissingArgumentRaisesInvalidArgWithTheMessage) {
  try {
    zarn::RequireArgument(nullptr, "No files to hide");
    ADD_FAILURE() << "a null argument passed the check";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_INVALIDARG);
    EXPECT_EQ(result.Description(), "No files to hide");
    EXPECT_EQ(result.LastDescriptionAction(), 0);
  }
  int present = 0;
  EXPECT_NO_THROW(zarn::RequireArgument(&present, "No files to hide"));
}

TEST(NullCheck, RaisesTheNullDereferenceResultOnNull) {
  CfxComPtr<ISBUrl> empty;
  try {
    zarn::NotNull(empty);
    ADD_FAILURE() << "a null reference passed the check";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_POINTER);
  }
  int value = 0;
  EXPECT_EQ(zarn::NotNull(&value), &value);
}

}  // namespace
