#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host/host.h"
#include "frame/listing_walk.h"

namespace {

using fakehost::FakeUrl;
using fakehost::FakeUrlList;
using fakehost::Host;
using fakehost::Object;

struct Listing {
  Host host;
  Object& list = host.Make("list");
  std::vector<Object*> entries;

  explicit Listing(int size) {
    auto& items = list.Add<FakeUrlList>().items;
    for (int i = 1; i <= size; ++i) {
      auto& entry = host.Make("e" + std::to_string(i));
      entry.Add<FakeUrl>();
      entries.push_back(&entry);
      items.push_back(&entry);
    }
  }
  CfxComPtr<ISBUrlList> Ref() { return CfxComPtr<ISBUrlList>(list.As<ISBUrlList>()); }
};

TEST(ListingWalk, AsksTheCountOnceThenEachIndexFromOneAndReleasesEachEntryBeforeTheNext) {
  Listing listing(3);
  std::vector<std::string> seen;
  {
    auto list = listing.Ref();
    zarn::WalkListing(list, [&](const CfxComPtr<ISBUrl>& entry) {
      ASSERT_TRUE(entry);
      // Only the entry in hand is held beyond the host's own reference.
      int heldNow = 0;
      for (auto* e : listing.entries) heldNow += e->Refs() - 1;
      EXPECT_EQ(heldNow, 1);
      for (auto* e : listing.entries) {
        if (e->As<ISBUrl>() == entry.get()) seen.push_back(e->Name());
      }
    });
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"e1", "e2", "e3"}));
  EXPECT_EQ(listing.host.Journal(), (std::vector<std::string>{
                                        "list.ISBUrlList.GetCount()",
                                        "list.ISBUrlList.GetItem(1)",
                                        "list.ISBUrlList.GetItem(2)",
                                        "list.ISBUrlList.GetItem(3)",
                                    }));
  EXPECT_TRUE(listing.host.Balanced());
}

TEST(ListingWalk, ACountBelowOneWalksNothing) {
  for (const int count : {0, -1, -2147483647 - 1}) {
    Listing listing(2);
    listing.list.Get<FakeUrlList>().count = count;
    int visits = 0;
    {
      auto list = listing.Ref();
      zarn::WalkListing(list, [&](const CfxComPtr<ISBUrl>&) { ++visits; });
    }
    EXPECT_EQ(visits, 0) << count;
    EXPECT_EQ(listing.host.Journal(), (std::vector<std::string>{"list.ISBUrlList.GetCount()"})) << count;
    EXPECT_TRUE(listing.host.Balanced());
  }
}

TEST(ListingWalk, AFailingItemEndsTheWalkWithTheLastErrorAndReleasesWhatItHeld) {
  Listing listing(3);
  listing.host.FailOp("GetItem(2)", 1, E_ACCESSDENIED);
  int visits = 0;
  try {
    auto list = listing.Ref();
    zarn::WalkListing(list, [&](const CfxComPtr<ISBUrl>&) { ++visits; });
    ADD_FAILURE() << "the failing item did not raise";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_ACCESSDENIED);
  }
  EXPECT_EQ(visits, 1);
  EXPECT_EQ(listing.host.Journal().back(), "list.ISBUrlList.GetItem(2)");
  EXPECT_TRUE(listing.host.Balanced());
}

TEST(ListingWalk, APositiveCountStatusIsStoredAndTheWalkGoesOn) {
  Listing listing(1);
  listing.host.FailOp("GetCount", 1, S_FALSE);
  int visits = 0;
  {
    auto list = listing.Ref();
    zarn::WalkListing(list, [&](const CfxComPtr<ISBUrl>&) { ++visits; });
  }
  EXPECT_EQ(visits, 1);
  EXPECT_EQ(CfxResult::LastErrorCheckNotS_OK().Code(), S_FALSE);
  EXPECT_TRUE(listing.host.Balanced());
}

TEST(ListingWalk, AnEmptyListRaisesTheNullCheck) {
  Host host;
  EXPECT_THROW(zarn::WalkListing(CfxComPtr<ISBUrlList>(), [](const CfxComPtr<ISBUrl>&) {}), CfxResult);
  EXPECT_TRUE(host.Journal().empty());
}

}  // namespace
