#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "documents/project_scene.h"

namespace documents_test {
namespace {

using AppUtils::Document::ImportAndView;

TEST(ImportAndView, UnlocksRegeneratesInsideTheOperationSavesShowsAndLocksAgain) {
  for (const bool openView : {false, true}) {
    Project p;
    const Entry e = p.Add("loc", "doc");
    p.view.journalFinalRelease = true;  // the opened view is let go at once
    {
      const auto document = ImportAndView(e.url.As<ISBUrl>(), openView, p.Root());
      EXPECT_EQ(document.get(), e.doc->As<ISBDocumentRoot>()) << openView;
      EXPECT_EQ(e.doc->Refs(), 2) << "the caller owns exactly one more reference";
    }
    Lines expected = ImportLines("loc", "doc", openView);
    if (openView) expected.insert(expected.end() - 2, "view.Release()");
    EXPECT_EQ(p.host.Journal(), expected);
    EXPECT_EQ(p.host.OutSlotsOf("GetDocument("), "empty");
    if (openView) {
      EXPECT_EQ(p.host.OutSlotsOf("OpenView"), "empty");
    }
    EXPECT_EQ(ServerLocks(*e.doc), 0);
    EXPECT_TRUE(p.host.Balanced()) << openView;
  }
}

TEST(ImportAndView, WithoutContainerOrViewHostGivesNothingAndDoesNoMore) {
  {
    Project p;
    const Entry e = p.Add("loc", "doc");
    EXPECT_FALSE(ImportAndView(e.url.As<ISBUrl>(), true, nullptr));
    EXPECT_TRUE(p.host.Journal().empty());
    EXPECT_TRUE(p.host.Balanced());
  }
  {
    Project p(/*viewHost=*/false);
    const Entry e = p.Add("loc", "doc");
    EXPECT_FALSE(ImportAndView(e.url.As<ISBUrl>(), true, p.Root()));
    EXPECT_EQ(p.host.Journal(), (Lines{"root.QueryInterface(ISBViewHost)"}));
    EXPECT_TRUE(p.host.Balanced());
  }
}

TEST(ImportAndView, ADocumentThatCannotBeLockedIsImportedAsUsual) {
  Project p;
  const Entry e = p.Add("loc", "doc", /*lockable=*/false);
  { EXPECT_TRUE(ImportAndView(e.url.As<ISBUrl>(), false, p.Root())); }
  Lines expected = ImportLines("loc", "doc", false);
  std::erase(expected, "doc.ISBLockable.Unlock(\"Corvane Server\")");
  std::erase(expected, "doc.ISBLockable.Lock(\"Corvane Server\")");
  EXPECT_EQ(p.host.Journal(), expected);
  EXPECT_TRUE(p.host.Balanced());
}

// Lock, Unlock and Show are best effort: whatever they answer, the import
// goes on, nothing is raised and the last error is not touched.
TEST(ImportAndView, AnswersOfLockUnlockAndShowAreNeitherStoredNorChecked) {
  for (const HRESULT status : {E_ACCESSDENIED, S_FALSE}) {
    Project p;
    const Entry e = p.Add("loc", "doc");
    p.host.FailOp("ISBLockable.Unlock", 0, status);
    p.host.FailOp("ISBLockable.Lock", 0, status);
    p.host.FailOp("ISBDocumentRoot.Show", 0, status);
    CfxResult::SetLastError(E_NOTIMPL);
    {
      const auto document = ImportAndView(e.url.As<ISBUrl>(), false, p.Root());
      EXPECT_EQ(document.get(), e.doc->As<ISBDocumentRoot>()) << status;
    }
    EXPECT_EQ(p.host.Journal(), ImportLines("loc", "doc", false)) << status;
    EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), E_NOTIMPL) << status;
    EXPECT_TRUE(p.host.Balanced()) << status;
  }
}

// A failing step ends the call with the host's error; nothing after it runs,
// the document stays unlocked, and every reference taken is given back.
TEST(ImportAndView, AFailingStepRaisesItsErrorAndLeavesTheDocumentUnlocked) {
  struct Case {
    const char* failing;
    bool openView;
    std::size_t lines;  // journal lines up to and including the failing call
    int locks;          // server locks left on the document
  };
  const Case cases[] = {
      {"GetDocumentManager", false, 2, 0}, {"GetDocument(", false, 3, 0},     {"CreateOperation", false, 6, -1},
      {"RegenerateDisplay", false, 8, -1},  // the operation is still released
      {"SaveDocument", false, 9, -1},      {"GetViewManager", false, 10, -1}, {"OpenView", true, 11, -1},
  };
  for (const Case& c : cases) {
    Project p;
    const Entry e = p.Add("loc", "doc");
    p.host.FailOp(c.failing, 1, E_ACCESSDENIED);
    try {
      static_cast<void>(ImportAndView(e.url.As<ISBUrl>(), c.openView, p.Root()));
      ADD_FAILURE() << c.failing << " did not raise";
    } catch (const CfxResult& result) {
      EXPECT_EQ(result.Code(), E_ACCESSDENIED) << c.failing;
    }
    const Lines all = ImportLines("loc", "doc", c.openView);
    EXPECT_EQ(p.host.Journal(), Lines(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(c.lines))) << c.failing;
    EXPECT_EQ(ServerLocks(*e.doc), c.locks) << c.failing;
    EXPECT_TRUE(p.host.Balanced()) << c.failing;
  }
}

TEST(ImportAndView, ASuccessWithoutDocumentRaisesTheNullCheckBeforeAnyOperation) {
  Project p;
  const Entry e = p.Add("loc", "");
  try {
    static_cast<void>(ImportAndView(e.url.As<ISBUrl>(), false, p.Root()));
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_POINTER);
  }
  EXPECT_EQ(p.host.Journal(), (Lines{
                                  "root.QueryInterface(ISBViewHost)",
                                  "root.ISBContainerRoot.GetDocumentManager()",
                                  "manager.ISBDocumentManager.GetDocument(16, loc, empty, empty, empty)",
                              }));
  EXPECT_TRUE(p.host.Balanced());
}

}  // namespace
}  // namespace documents_test
