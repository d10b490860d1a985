// message and unescape: plain values in, plain text out.
#include <gtest/gtest.h>

#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

TEST_F(Zarnjob, MessageSaysThereIsNoTextAndSucceeds) {
  for (const std::string id : {"0", "-1", "2147483647", "-2147483648"}) {
    const Outcome outcome = Run({"message", id});
    EXPECT_EQ(outcome.exitCode, 0) << id;
    EXPECT_EQ(outcome.out, "") << id << ": stdout holds message texts only";
    EXPECT_EQ(outcome.err, "zarnjob: no message text has the identifier " + id + "\n");
  }
}

TEST_F(Zarnjob, UnescapePrintsTheDecodedBytesAndOneLineFeed) {
  const struct {
    std::string text;
    std::string printed;
  } cases[] = {
      {"Growth%20Files", "Growth Files\n"},
      {"%41%2", "A%2\n"},
      {"%C3%BC%2F", "\xC3\xBC/\n"},
      {"a%0Ab", "a\nb\n"},
      {"", "\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Succeed({"unescape", c.text}).out, c.printed) << c.text;
  EXPECT_EQ(Succeed({"unescape", "--", "--help"}).out, "--help\n") << "after --, everything is an argument";
}

TEST_F(Zarnjob, TextCommandsAskNothingOfTheHost) {
  for (const std::vector<std::string>& command : {std::vector<std::string>{"unescape", "a%20b"}, {"message", "7"}}) {
    std::vector<std::string> traced = {"--trace"};
    traced.insert(traced.end(), command.begin(), command.end());
    const Outcome outcome = Run(traced);
    EXPECT_EQ(outcome.exitCode, 0);
    const std::vector<std::string> lines = outcome.ErrLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "trace: references outstanding: 0");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("trace: "); }),
              1);
  }
}

}  // namespace
}  // namespace zarnjobtest
