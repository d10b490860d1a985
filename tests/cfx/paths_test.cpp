#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apputils/paths_backend.h"
#include "host/container_utils.h"

namespace {

struct PathCase {
  const char* path;
  bool hasExtension;
  const char* extension;
  const char* replaced;  // with ".std"
};

const PathCase kPathCases[] = {
    {"table.sdt", true, ".sdt", "table.std"},
    {"dir/sub/table.sdt", true, ".sdt", "dir/sub/table.std"},
    {"C:\\Data\\table.sdt", true, ".sdt", "C:\\Data\\table.std"},
    {"archive.tar.gz", true, ".gz", "archive.tar.std"},
    {"name.", true, ".", "name.std"},
    {"noext", false, "", "noext.std"},
    {"dir.d/noext", false, "", "dir.d/noext.std"},
    {"dir.d\\noext", false, "", "dir.d\\noext.std"},
    {".profile", false, "", ".profile.std"},
    {"home/.profile", false, "", "home/.profile.std"},
    {"home/..x", true, ".x", "home/..std"},
    {"", false, "", ".std"},
    {"dir/", false, "", "dir/.std"},
};

TEST(PathsTest, PlainRules) {
  for (const PathCase& c : kPathCases) {
    std::string extension = "stale";
    EXPECT_EQ(Paths::Extension(c.path, extension), c.hasExtension) << c.path;
    EXPECT_EQ(extension, c.extension) << c.path;
    EXPECT_EQ(Paths::ReplaceExtension(c.path, ".std"), c.replaced) << c.path;
  }
}

class RecordingPathsBackend : public Paths::Backend {
 public:
  bool Extension(const std::string& path, std::string& extension) override {
    calls.push_back("Extension " + path);
    extension = "from backend";
    return true;
  }
  std::string ReplaceExtension(const std::string& path, const std::string& extension) override {
    calls.push_back("ReplaceExtension " + path + " " + extension);
    return "replaced by backend";
  }
  std::vector<std::string> calls;
};

TEST(PathsTest, InstalledBackendTakesOver) {
  RecordingPathsBackend backend;
  Paths::SetBackend(&backend);
  std::string extension;
  const bool has = Paths::Extension("noext", extension);
  const std::string replaced = Paths::ReplaceExtension("a.b", ".c");
  Paths::SetBackend(nullptr);

  EXPECT_TRUE(has);
  EXPECT_EQ(extension, "from backend");
  EXPECT_EQ(replaced, "replaced by backend");
  EXPECT_EQ(backend.calls, (std::vector<std::string>{"Extension noext", "ReplaceExtension a.b .c"}));
  EXPECT_FALSE(Paths::Extension("noext", extension)) << "null restores the plain rules";
}

}  // namespace
