#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host/host.h"
#include "frame/file_path.h"

namespace {

using fakehost::FakeFileUrl;
using fakehost::FakeUrl;
using fakehost::Host;

TEST(FilePathOf, QueriesTheFileViewThenAsksItsPathAndReleasesTheView) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  doc.Add<FakeFileUrl>().path = OLESTR("/p/model abc.std");
  {
    const CfxBSTR path = zarn::FilePathOf(doc.As<ISBUrl>());
    EXPECT_EQ(path, OLESTR("/p/model abc.std"));
  }
  EXPECT_EQ(host.Journal(),
            (std::vector<std::string>{"doc.QueryInterface(ISBFileUrl)", "doc.ISBFileUrl.GetFilePath()"}));
  EXPECT_TRUE(host.Balanced());
}

TEST(FilePathOf, ANullLocationIsNotQueriedAndRaisesTheNullCheck) {
  Host host;
  try {
    static_cast<void>(zarn::FilePathOf(nullptr));
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_POINTER);
  }
  EXPECT_TRUE(host.Journal().empty());
}

TEST(FilePathOf, AFailingPathRaisesTheLastErrorAndLeaksNothing) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  doc.Add<FakeFileUrl>().path = OLESTR("/p/x");
  host.FailOp("GetFilePath", 1, E_ACCESSDENIED);
  try {
    static_cast<void>(zarn::FilePathOf(doc.As<ISBUrl>()));
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_ACCESSDENIED);
  }
  EXPECT_TRUE(host.Balanced());
}

}  // namespace
