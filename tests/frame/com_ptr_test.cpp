#include "host/com_ptr.h"

#include <gtest/gtest.h>

#include <utility>

#include "fake_host/host.h"

namespace {

using fakehost::FakeUrl;
using fakehost::Host;

TEST(ComPtr, CopyTakesAReferenceAndMoveDoesNot) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  {
    CfxComPtr<ISBUrl> first(doc.As<ISBUrl>());
    EXPECT_EQ(doc.Refs(), 2);
    CfxComPtr<ISBUrl> copy = first;
    EXPECT_EQ(doc.Refs(), 3);
    CfxComPtr<ISBUrl> moved = std::move(copy);
    EXPECT_EQ(doc.Refs(), 3);
    EXPECT_FALSE(copy);
    moved = first;  // assigning the same object again must not leak
    EXPECT_EQ(doc.Refs(), 3);
  }
  EXPECT_TRUE(host.Balanced());
}

TEST(ComPtr, PutReleasesTheOldReferenceBeforeHandingOutTheSlot) {
  Host host;
  auto& first = host.Make("first");
  first.Add<FakeUrl>();
  CfxComPtr<ISBUrl> reference(first.As<ISBUrl>());
  ISBUrl** slot = reference.put();
  EXPECT_EQ(*slot, nullptr);
  EXPECT_EQ(first.Refs(), 1);
  EXPECT_TRUE(host.Balanced());
}

TEST(ComPtr, DetachAndAttachMoveOwnershipWithoutCounting) {
  Host host;
  auto& doc = host.Make("doc");
  doc.Add<FakeUrl>();
  CfxComPtr<ISBUrl> reference(doc.As<ISBUrl>());
  ISBUrl* raw = reference.Detach();
  EXPECT_EQ(doc.Refs(), 2);
  CfxComPtr<ISBUrl> owner;
  owner.Attach(raw);
  EXPECT_EQ(doc.Refs(), 2);
  owner.Reset();
  EXPECT_TRUE(host.Balanced());
}

}  // namespace
