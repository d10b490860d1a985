#include <gtest/gtest.h>

#include <cstdint>

#include <algorithm>
#include <string>

#include "ZarnServerJobUtils.h"
#include "documents/project_scene.h"

namespace documents_test {
namespace {

using AppUtils::Document::RefreshResults;

// The unlock that follows each import.
Lines UnlockLines(const std::string& doc) {
  return {doc + ".QueryInterface(ISBLockable)", doc + ".ISBLockable.Unlock(\"Corvane Server\")"};
}

TEST(RefreshResults, ImportsEachEntryInIndexOrderAndLeavesEveryDocumentUnlocked) {
  Project p;
  const Entry entries[] = {p.Add("e1", "d1"), p.Add("e2", "d2"), p.Add("e3", "d3")};
  RefreshResults(p.Folder(), true, p.Root());

  Lines expected = ListingLines();
  for (const std::string i : {"1", "2", "3"}) {
    expected.push_back("list.ISBUrlList.GetItem(" + i + ")");
    Append(expected, ImportLines("e" + i, "d" + i, true));
    Append(expected, UnlockLines("d" + i));
  }
  EXPECT_EQ(p.host.Journal(), expected);
  for (const Entry& e : entries) EXPECT_EQ(ServerLocks(*e.doc), -1) << e.doc->Name();
  EXPECT_TRUE(p.host.Balanced());
}

TEST(RefreshResults, ACountBelowOneListsAndStops) {
  for (const int count : {0, -1, INT32_MIN}) {
    Project p;
    p.Add("e1", "d1");
    p.list.Get<FakeUrlList>().count = count;
    RefreshResults(p.Folder(), false, p.Root());
    EXPECT_EQ(p.host.Journal(), ListingLines()) << count;
    EXPECT_TRUE(p.host.Balanced()) << count;
  }
}

TEST(RefreshResults, WithoutViewHostEveryEntryIsWalkedAndNoDocumentTouched) {
  Project p(/*viewHost=*/false);
  const Entry entries[] = {p.Add("e1", "d1"), p.Add("e2", "d2"), p.Add("e3", "d3")};
  RefreshResults(p.Folder(), false, p.Root());

  Lines expected = ListingLines();
  for (const std::string i : {"1", "2", "3"}) {
    expected.push_back("list.ISBUrlList.GetItem(" + i + ")");
    expected.push_back("root.QueryInterface(ISBViewHost)");
  }
  EXPECT_EQ(p.host.Journal(), expected);
  for (const Entry& e : entries) EXPECT_EQ(ServerLocks(*e.doc), 0);
  EXPECT_TRUE(p.host.Balanced());
}

TEST(RefreshResults, AFailureAtTheSecondEntryKeepsTheFirstDoneAndLeavesTheThirdAlone) {
  Project p;
  const Entry entries[] = {p.Add("e1", "d1"), p.Add("e2", "d2"), p.Add("e3", "d3")};
  p.host.FailOp("SaveDocument(d2", 1, E_ACCESSDENIED);
  try {
    RefreshResults(p.Folder(), false, p.Root());
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_ACCESSDENIED);
  }
  Lines expected = ListingLines();
  expected.push_back("list.ISBUrlList.GetItem(1)");
  Append(expected, ImportLines("e1", "d1", false));
  Append(expected, UnlockLines("d1"));
  expected.push_back("list.ISBUrlList.GetItem(2)");
  const Lines second = ImportLines("e2", "d2", false);
  expected.insert(expected.end(), second.begin(), second.begin() + 9);  // up to the failing save
  EXPECT_EQ(p.host.Journal(), expected);
  EXPECT_EQ(ServerLocks(*entries[0].doc), -1);
  EXPECT_EQ(ServerLocks(*entries[1].doc), -1) << "left unlocked by the failed import";
  EXPECT_EQ(ServerLocks(*entries[2].doc), 0);
  EXPECT_TRUE(p.host.Balanced());
}

TEST(RefreshResults, ANullContainerRaisesTheNullCheckBeforeAnyHostCall) {
  Project p;
  p.Add("e1", "d1");
  try {
    RefreshResults(p.Folder(), false, nullptr);
    ADD_FAILURE() << "no raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_POINTER);
  }
  EXPECT_TRUE(p.host.Journal().empty());
  EXPECT_TRUE(p.host.Balanced());
}

TEST(RefreshResults, AFailingListingStepRaisesAndLeaksNothing) {
  for (const char* failing : {"GetUrlFactory", "QueryInterface(ISBUrlServices)", "ListUrls", "GetCount"}) {
    Project p;
    p.Add("e1", "d1");
    p.host.FailOp(failing, 1, E_ACCESSDENIED);
    EXPECT_THROW(RefreshResults(p.Folder(), false, p.Root()), CfxResult) << failing;
    EXPECT_NE(p.host.Journal().back().find(failing), std::string::npos) << failing;
    EXPECT_TRUE(p.host.Balanced()) << failing;
  }
}

}  // namespace
}  // namespace documents_test
