// ReadTemplate against a plain splitter, for seeded random files read in
// seeded random chunks: the buffering must never show in the result.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "server/reference_splitter.h"
#include "server/template_host.h"

namespace {

using servertest::SplitLines;

TEST(SplitLines, FollowsTheReadersEndingRules) {
  EXPECT_EQ(SplitLines("a\nb\n", true), "a\nb\n\n");
  EXPECT_EQ(SplitLines("a\r\n", true), "a\n\n");
  EXPECT_EQ(SplitLines(std::string("a\0", 2), true), "a\n\n");
  EXPECT_EQ(SplitLines("a\r", true), "a\n");
  EXPECT_EQ(SplitLines("a\n\rb", true), "a\n\nb\n");
  EXPECT_EQ(SplitLines("", true), "\n");
  EXPECT_EQ(SplitLines("", false), "");
}

// Short pieces of the five kinds of byte, and runs long enough to cross
// one or more buffer ends, some sized to end right at one.
std::string RandomFile(std::mt19937& random) {
  static const char kBytes[] = {'a', 'b', '\r', '\n', '\0'};
  static const std::size_t kRuns[] = {998, 999, 1000, 1001, 1998, 1999, 2000};
  std::string bytes;
  const int pieces = std::uniform_int_distribution<int>(0, 40)(random);
  for (int i = 0; i < pieces; ++i) {
    const int kind = std::uniform_int_distribution<int>(0, 19)(random);
    if (kind == 0) {
      bytes.append(kRuns[std::uniform_int_distribution<std::size_t>(0, std::size(kRuns) - 1)(random)], 'a');
    } else if (kind == 1) {
      bytes.append(std::uniform_int_distribution<std::size_t>(1, 2500)(random), 'b');
    } else {
      bytes += kBytes[std::uniform_int_distribution<std::size_t>(0, std::size(kBytes) - 1)(random)];
    }
  }
  return bytes;
}

std::vector<std::uint32_t> RandomChunks(std::mt19937& random) {
  std::vector<std::uint32_t> chunks(std::uniform_int_distribution<std::size_t>(1, 8)(random));
  for (auto& chunk : chunks) chunk = std::uniform_int_distribution<std::uint32_t>(1, 1000)(random);
  return chunks;
}

TEST(ReadTemplate, EqualsThePlainSplitterForAnyFileAndAnyChunking) {
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    const std::string bytes = RandomFile(random);
    const bool eofBeforeRead = seed % 4 != 0;
    const std::string expected = SplitLines(bytes, eofBeforeRead);
    const std::vector<std::vector<std::uint32_t>> chunkings{
        {}, {1}, {1000, 1}, RandomChunks(random), RandomChunks(random)};
    for (const auto& chunks : chunkings) {
      servertest::TemplateHost t;
      const std::string got = t.Read(bytes, chunks, eofBeforeRead);
      EXPECT_EQ(got, expected) << "seed " << seed << ", " << chunks.size() << " chunk sizes";
      EXPECT_TRUE(t.host.Balanced()) << "seed " << seed;
      if (got != expected) return;  // one failing file is enough to look at
    }
  }
}

}  // namespace
