#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ZarnServerJobUtils.h"
#include "documents/project_scene.h"

namespace documents_test {
namespace {

using AppUtils::Document::SetDocumentLock;

Lines LockPrelude() {
  Lines lines{"root.ISBContainerRoot.GetDocumentManager()"};
  Append(lines, ListingLines());
  return lines;
}

Lines LookupLines(const std::string& index, const std::string& url) {
  return {"list.ISBUrlList.GetItem(" + index + ")",
          "manager.ISBDocumentManager.GetDocument(0, " + url + ", empty, empty, empty)"};
}

// Entries without a document are skipped, documents that cannot be locked
// get no call, and every other document gets exactly one call.
TEST(SetDocumentLock, SetsOrLiftsTheServerLockOnEveryListedDocument) {
  for (const bool lock : {true, false}) {
    Project p;
    const Entry first = p.Add("e1", "d1");
    p.Add("e2", "");
    p.Add("e3", "d3", /*lockable=*/false);
    const Entry last = p.Add("e4", "d4");
    SetDocumentLock(p.Folder(), lock, p.Root());

    const std::string call = lock ? ".ISBLockable.Lock(\"Corvane Server\")" : ".ISBLockable.Unlock(\"Corvane Server\")";
    Lines expected = LockPrelude();
    Append(expected, LookupLines("1", "e1"));
    Append(expected, {"d1.QueryInterface(ISBLockable)", "d1" + call});
    Append(expected, LookupLines("2", "e2"));
    Append(expected, LookupLines("3", "e3"));
    expected.push_back("d3.QueryInterface(ISBLockable)");
    Append(expected, LookupLines("4", "e4"));
    Append(expected, {"d4.QueryInterface(ISBLockable)", "d4" + call});
    EXPECT_EQ(p.host.Journal(), expected) << lock;
    EXPECT_EQ(ServerLocks(*first.doc), lock ? 1 : -1);
    EXPECT_EQ(ServerLocks(*last.doc), lock ? 1 : -1);
    EXPECT_TRUE(p.host.Balanced()) << lock;
  }
}

TEST(SetDocumentLock, AnEmptyListingAsksTheManagerListingAndCountOnly) {
  for (const int count : {0, -1}) {
    Project p;
    p.Add("e1", "d1");
    p.list.Get<FakeUrlList>().count = count;
    SetDocumentLock(p.Folder(), true, p.Root());
    EXPECT_EQ(p.host.Journal(), LockPrelude()) << count;
    EXPECT_TRUE(p.host.Balanced()) << count;
  }
}

TEST(SetDocumentLock, EveryCallLocksAgainWithoutAskingTheState) {
  Project p;
  const Entry e = p.Add("e1", "d1");
  SetDocumentLock(p.Folder(), true, p.Root());
  SetDocumentLock(p.Folder(), true, p.Root());
  EXPECT_EQ(ServerLocks(*e.doc), 2);
  EXPECT_EQ(std::count(p.host.Journal().begin(), p.host.Journal().end(), "d1.ISBLockable.Lock(\"Corvane Server\")"), 2);
  EXPECT_TRUE(p.host.Balanced());
}

TEST(SetDocumentLock, ARefusedLockNeitherStopsTheWalkNorIsStored) {
  Project p;
  const Entry first = p.Add("e1", "d1");
  const Entry second = p.Add("e2", "d2");
  p.host.FailOp("d1.ISBLockable.Lock", 1, E_ACCESSDENIED);
  CfxResult::SetLastError(E_NOTIMPL);
  SetDocumentLock(p.Folder(), true, p.Root());
  EXPECT_EQ(ServerLocks(*first.doc), 0);
  EXPECT_EQ(ServerLocks(*second.doc), 1);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), E_NOTIMPL);
  EXPECT_TRUE(p.host.Balanced());
}

TEST(SetDocumentLock, AFailingLookupEndsTheWalkAfterTheDocumentsBefore) {
  Project p;
  const Entry entries[] = {p.Add("e1", "d1"), p.Add("e2", "d2"), p.Add("e3", "d3")};
  p.host.FailOp("GetDocument(0, e2", 1, E_ACCESSDENIED);
  try {
    SetDocumentLock(p.Folder(), true, p.Root());
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_ACCESSDENIED);
  }
  EXPECT_EQ(p.host.Journal().back(), "manager.ISBDocumentManager.GetDocument(0, e2, empty, empty, empty)");
  EXPECT_EQ(ServerLocks(*entries[0].doc), 1);
  EXPECT_EQ(ServerLocks(*entries[2].doc), 0);
  EXPECT_TRUE(p.host.Balanced());
}

TEST(SetDocumentLock, ANullContainerRaisesTheNullCheckBeforeAnyHostCall) {
  Project p;
  p.Add("e1", "d1");
  try {
    SetDocumentLock(p.Folder(), true, nullptr);
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_POINTER);
  }
  EXPECT_TRUE(p.host.Journal().empty());
  EXPECT_TRUE(p.host.Balanced());
}

}  // namespace
}  // namespace documents_test
