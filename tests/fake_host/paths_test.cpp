// Paths::Extension and Paths::ReplaceExtension while a Host lives.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_host/host.h"
#include "host/container_utils.h"

namespace fakehost {
namespace {

struct ExtensionCase {
  const char* path;
  std::optional<std::string> extension;
};

TEST(Paths, ExtensionIsScriptedOrPlain) {
  Host host;
  host.extensionOf["scripted.abc"] = ".xyz";
  host.extensionOf["hidden.abc"] = std::nullopt;

  const ExtensionCase cases[] = {
      {"scripted.abc", ".xyz"},    {"hidden.abc", std::nullopt}, {"model.abc", ".abc"},
      {"a.b/model.tar.gz", ".gz"}, {"a.b\\model", std::nullopt}, {"dir/.profile", std::nullopt},
  };
  std::vector<std::string> expected;
  for (const ExtensionCase& c : cases) {
    std::string extension = "stale";
    const bool found = Paths::Extension(c.path, extension);
    EXPECT_EQ(found ? std::optional(extension) : std::nullopt, c.extension) << c.path;
    expected.push_back("Paths::Extension(" + Quote(c.path) + ")");
  }
  EXPECT_EQ(host.Journal(), expected);
}

TEST(Paths, ReplaceExtensionFollowsThePlainRule) {
  Host host;
  EXPECT_EQ(Paths::ReplaceExtension("model.abc", ".def"), "model.def");
  EXPECT_EQ(Paths::ReplaceExtension("a.b/model", ".def"), "a.b/model.def");
  EXPECT_EQ(host.Journal(), (std::vector<std::string>{R"(Paths::ReplaceExtension("model.abc", ".def"))",
                                                      R"(Paths::ReplaceExtension("a.b/model", ".def"))"}));
}

TEST(Paths, DestroyedHostGivesThePathsBack) {
  {
    Host host;
    host.extensionOf["model.abc"] = ".xyz";
  }
  std::string extension;
  ASSERT_TRUE(Paths::Extension("model.abc", extension));
  EXPECT_EQ(extension, ".abc");
}

}  // namespace
}  // namespace fakehost
