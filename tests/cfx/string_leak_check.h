// A fixture that fails a test which leaves a host string allocated, and that
// switches off any injected allocation failure the test left behind.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

#include "cfx/cfx_host.h"

class StringLeakCheck : public ::testing::Test {
 protected:
  void SetUp() override { liveAtStart_ = CfxLiveStringCount(); }
  void TearDown() override {
    CfxFailStringAllocation(0);
    EXPECT_EQ(CfxLiveStringCount(), liveAtStart_) << "host strings leaked or freed twice";
  }

  // Strings allocated by this test and not yet freed.
  std::ptrdiff_t LiveSinceStart() const {
    return static_cast<std::ptrdiff_t>(CfxLiveStringCount()) - static_cast<std::ptrdiff_t>(liveAtStart_);
  }

 private:
  std::size_t liveAtStart_ = 0;
};
