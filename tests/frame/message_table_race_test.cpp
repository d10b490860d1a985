// The first call of ID2MessageString creates its table. This program makes
// that first call from many threads at once; it is a program of its own so
// that no earlier test has made the first call already.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "ZarnServerJobUtils.h"

namespace {

TEST(ID2MessageStringFirstCall, IsSafeFromManyThreadsAtOnce) {
  constexpr int kThreads = 32;
  std::atomic<int> ready{0};
  std::atomic<int> found{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      ready.fetch_add(1);
      while (ready.load() < kThreads) std::this_thread::yield();
      if (ID2MessageString(static_cast<std::int32_t>(i - kThreads / 2)) != nullptr) found.fetch_add(1);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(found.load(), 0);
}

}  // namespace
