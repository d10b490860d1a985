#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "ZarnServerJobUtils.h"

namespace {

TEST(ID2MessageString, EveryIdentifierHasNoMessage) {
  for (int round = 0; round < 2; ++round) {  // the first call and the later ones
    for (const std::int32_t id : {0, 1, 2, 100, 4096, INT32_MAX, -1, -100, INT32_MIN}) {
      EXPECT_EQ(ID2MessageString(id), nullptr) << "id " << id << ", round " << round;
    }
  }
}

}  // namespace
