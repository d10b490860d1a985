#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "documents/workspace_scene.h"
#include "fake_host/host.h"

namespace {

using namespace fakehost;
using AppUtils::Document::GetPathToRealFile;
using documents_test::Workspace;
using Lines = std::vector<std::string>;

const Lines kPathLines{
    "doc.QueryInterface(ISBDocumentStorage)",
    "doc.ISBDocumentStorage.IsVirtual()",
    "doc.ISBDocumentRoot.GetDocumentInfo()",
    "info.ISBDocumentInfo.GetDocumentPath()",
};

Lines VirtualLines() {
  Lines lines = kPathLines;
  // Non-ASCII text shows in the journal as its UTF-8 bytes in C escapes.
  lines.insert(
      lines.end(),
      {
          "root.ISBContainerRoot.GetDiskManager()",
          R"(disk.ISBDiskManager.SplitPath("C:\\Runs\\Bericht \xC3\x84 1.SDD"))",
          R"(disk.ISBDiskManager.MakePath(null, "%WORKSPACE_FOLDER%", "Bericht \xC3\x84 1", ".SDD"))",
          "root.ISBContainerRoot.GetEnvironment()",
          R"(environment.ISBEnvironment.ExpandVariables("%WORKSPACE_FOLDER%\\Bericht \xC3\x84 1.SDD"))",
          "root.ISBContainerRoot.GetDocumentManager()",
          R"(manager.ISBDocumentManager.SaveDocument(doc, 0, empty, empty, "/home/u/ws\\Bericht \xC3\x84 1.SDD"))",
      });
  return lines;
}

TEST(GetPathToRealFile, ADocumentWithAFileOfItsOwnGivesExactlyItsPath) {
  for (const VARIANT_BOOL marker : {VARIANT_BOOL{0}, VARIANT_BOOL{1}, VARIANT_BOOL{2}, VARIANT_BOOL{-2}}) {
    Workspace w(marker);
    {
      const CfxBSTR path = GetPathToRealFile(w.Doc(), w.Root());
      EXPECT_EQ(path, OLESTR("C:\\Runs\\Bericht Ä 1.SDD")) << marker;
    }
    EXPECT_EQ(w.host.Journal(), kPathLines) << marker;
    EXPECT_EQ(w.host.OutSlotsOf("IsVirtual"), "0") << "the answer slot is preset to 0";
    EXPECT_TRUE(w.host.Balanced()) << marker;
  }
}

TEST(GetPathToRealFile, AVirtualDocumentIsSavedIntoTheWorkspaceUnderItsOwnNameAndThatPathIsGiven) {
  Workspace w(VARIANT_TRUE);
  {
    const CfxBSTR path = GetPathToRealFile(w.Doc(), w.Root());
    EXPECT_EQ(path, OLESTR("/home/u/ws\\Bericht Ä 1.SDD"));
  }
  EXPECT_EQ(w.host.Journal(), VirtualLines());
  EXPECT_EQ(w.host.OutSlotsOf("IsVirtual"), "0");
  // No drive or folder is asked for; name and extension come into empty strings.
  EXPECT_EQ(w.host.OutSlotsOf("SplitPath"), "null, null, empty, empty");
  EXPECT_EQ(w.host.OutSlotsOf("MakePath"), "empty");
  EXPECT_EQ(w.host.OutSlotsOf("ExpandVariables"), "empty");
  EXPECT_TRUE(w.host.Balanced());
}

TEST(GetPathToRealFile, ANullDocumentRaisesOnlyTheNullCheck) {
  Workspace w(VARIANT_TRUE);
  try {
    static_cast<void>(GetPathToRealFile(nullptr, w.Root()));
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_POINTER);
  }
  EXPECT_TRUE(w.host.Journal().empty());
  EXPECT_TRUE(w.host.Balanced());
}

TEST(GetPathToRealFile, ADocumentWithoutStorageRaisesTheQueryFailure) {
  Host host;
  Object& doc = host.Make("doc");
  doc.Add<FakeDocumentRoot>();
  try {
    static_cast<void>(GetPathToRealFile(doc.As<ISBDocumentRoot>(), nullptr));
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_NOINTERFACE);
  }
  EXPECT_EQ(host.Journal(), (Lines{"doc.QueryInterface(ISBDocumentStorage)"}));
  EXPECT_TRUE(host.Balanced());
}

TEST(GetPathToRealFile, AVirtualDocumentWithoutContainerRaisesTheNullCheckAfterItsPath) {
  Workspace w(VARIANT_TRUE);
  try {
    static_cast<void>(GetPathToRealFile(w.Doc(), nullptr));
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_POINTER);
  }
  EXPECT_EQ(w.host.Journal(), kPathLines);
  EXPECT_TRUE(w.host.Balanced());
}

// Every step of the virtual case, failed in turn: the call raises that
// step's error, calls nothing after it, and no path or reference is left.
TEST(GetPathToRealFile, AFailingStepRaisesItsErrorAndGivesNoPath) {
  const Lines all = VirtualLines();
  for (std::size_t step = 0; step < all.size(); ++step) {
    Workspace w(VARIANT_TRUE);
    w.host.FailCall(static_cast<int>(step) + 1, E_ACCESSDENIED);
    try {
      static_cast<void>(GetPathToRealFile(w.Doc(), w.Root()));
      ADD_FAILURE() << all[step] << " did not raise";
    } catch (const CfxResult& result) {
      EXPECT_EQ(result.Code(), E_ACCESSDENIED) << all[step];
    }
    EXPECT_EQ(w.host.Journal(), Lines(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(step) + 1));
    EXPECT_TRUE(w.host.Balanced()) << all[step];
  }
}

// Each host string allocation of the call, failed in turn, until the call
// makes fewer than that: whatever is raised, nothing is left behind.
TEST(GetPathToRealFile, ARunOutOfHostStringsAnywhereLeaksNothing) {
  for (std::uint64_t n = 1;; ++n) {
    Workspace w(VARIANT_TRUE);
    w.host.FailAllocation(n);
    bool completed = false;
    try {
      const CfxBSTR path = GetPathToRealFile(w.Doc(), w.Root());
      completed = true;
    } catch (const std::bad_alloc&) {
    } catch (const CfxResult& result) {
      EXPECT_EQ(result.Code(), E_OUTOFMEMORY) << n;
    }
    EXPECT_TRUE(w.host.Balanced()) << n;
    if (completed) {
      EXPECT_GT(n, 5u) << "the virtual case makes more host strings than that";
      break;
    }
    ASSERT_LT(n, 50u);
  }
}

}  // namespace
