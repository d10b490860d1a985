// Locations: how texts become locations, how relative references resolve,
// names, and relative URL text.
#include <gtest/gtest.h>

#include "host/cfx_result.h"
#include "localhost/file_system.h"
#include "localhost/location.h"

namespace zarnlocal {
namespace {

const std::string kProject = "/p/my project";

struct ParseCase {
  std::string text;
  std::string path;
  bool folder;
  bool wildcard;
  std::string query;
};

TEST(LocationTest, TextsBecomeLocations) {
  const ParseCase cases[] = {
      {"file:///p/a%20b.std", "/p/a b.std", false, false, ""},  // URL form decodes escapes
      {"file://localhost/p/x/", "/p/x", true, false, ""},
      {"file:/p/100%41 #1.std", "/p/100%41 #1.std", false, false, ""},  // path form keeps them
      {"file:/p/dir/*?Recursive=Yes", "/p/dir", false, true, "Recursive=Yes"},
      {"file:rel/a.std", "/p/my project/rel/a.std", false, false, ""},
      {"Tables/T.std", "/p/my project/Tables/T.std", false, false, ""},
      {"what?.txt", "/p/my project/what?.txt", false, false, ""},  // a plain path has no query
      {"/p/a/../b/./c/", "/p/b/c", true, false, ""},
      {"/p//a", "/p/a", false, false, ""},
  };
  for (const ParseCase& c : cases) {
    const Location location = Location::Parse(c.text, kProject);
    EXPECT_EQ(location.path, c.path) << c.text;
    EXPECT_EQ(location.folder, c.folder) << c.text;
    EXPECT_EQ(location.wildcard, c.wildcard) << c.text;
    EXPECT_EQ(location.query, c.query) << c.text;
  }
}

TEST(LocationTest, BadTextsAreRefusedWithAReason) {
  for (const char* text : {"", "file://elsewhere/p/a.std", "file:"}) {
    try {
      Location::Parse(text, kProject);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const CfxResult& failure) {
      EXPECT_EQ(failure.Code(), E_INVALIDARG) << text;
      EXPECT_FALSE(failure.Description().empty()) << text;
    }
  }
}

struct ChildCase {
  std::string base;
  std::string relative;
  std::string path;
  bool folder;
  bool wildcard;
};

TEST(LocationTest, ChildrenResolveBesideADocumentAndInsideAFolder) {
  const ChildCase cases[] = {
      {"/p/d/T.std", "T Files", "/p/d/T Files", false, false},
      {"/p/d/T.std", "Input/T.std", "/p/d/Input/T.std", false, false},
      {"/p/d/T.std", "T Files/*", "/p/d/T Files", false, true},
      {"/p/d/T.std", "T_Files/", "/p/d/T_Files", true, false},
      {"/p/d/", "x.txt", "/p/d/x.txt", false, false},
      {"/p/d/", "*", "/p/d", false, true},
      {"/p/d/*", "x.txt", "/p/d/x.txt", false, false},
      {"/p/d", "x.txt", "/p/x.txt", false, false},  // no trailing '/': a name beside it
      {"/p/d/T.std", "../up.txt", "/p/up.txt", false, false},
      {"/p/d/T.std", "/abs/z", "/abs/z", false, false},
  };
  for (const ChildCase& c : cases) {
    const Location child = Location::FromPath(c.base, "/").Child(c.relative);
    EXPECT_EQ(child.path, c.path) << c.base << " + " << c.relative;
    EXPECT_EQ(child.folder, c.folder) << c.base << " + " << c.relative;
    EXPECT_EQ(child.wildcard, c.wildcard) << c.base << " + " << c.relative;
  }
}

TEST(LocationTest, NamesAndFilePaths) {
  struct Case {
    std::string path, fileName, name, filePath;
  };
  const Case cases[] = {
      {"/p/T.std", "T.std", "T", "/p/T.std"},
      {"/p/a.b.c", "a.b.c", "a.b", "/p/a.b.c"},
      {"/p/T Files/", "T Files", "T Files", "/p/T Files"},
      {"/p/.profile", ".profile", ".profile", "/p/.profile"},
      {"/p/d/*", "*", "*", "/p/d/*"},
      {"/p/\xC3\xBCml.txt", "\xC3\xBCml.txt", "\xC3\xBCml", "/p/\xC3\xBCml.txt"},
  };
  for (const Case& c : cases) {
    const Location location = Location::FromPath(c.path, "/");
    EXPECT_EQ(location.FileName(), c.fileName) << c.path;
    EXPECT_EQ(location.Name(), c.name) << c.path;
    EXPECT_EQ(location.FilePath(), c.filePath) << c.path;
  }
}

TEST(LocationTest, RelativeUrlsAreEscapedAndSlashSeparated) {
  struct Case {
    std::string base, target, url;
  };
  const Case cases[] = {
      {"/p/d/T.std", "/p/d/Input/T.std", "Input/T.std"},
      {"/p/d/T.std", "/p/d/Input/T Files", "Input/T%20Files"},
      {"/p/d/T.std", "/p/d/a%b#c?d.txt", "a%25b%23c%3Fd.txt"},
      {"/p/d/T.std", "/p/d/\xC3\xBC.txt", "%C3%BC.txt"},
      {"/p/d/", "/p/e/x.txt", "../e/x.txt"},
      {"/p/d/T.std", "/p/d/sub/", "sub/"},
      {"/p/d/T.std", "/p/d/sub/*", "sub/*"},
      {"/p/d/x/T.std", "/p/d", "../../d"},
      {"/p/d/T.std", "/p/d/", "./"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Location::FromPath(c.base, "/").RelativeUrl(Location::FromPath(c.target, "/")), c.url)
        << c.base << " -> " << c.target;
  }
}

TEST(LocationTest, RecursiveQuery) {
  Location location = Location::FromPath("/p/d/", "/");
  EXPECT_FALSE(location.Recursive());
  location.query = "Recursive=Yes";
  EXPECT_TRUE(location.Recursive());
  location.query = "recursive=no&Other=1";
  EXPECT_FALSE(location.Recursive());
  location.query = "Recursive=Maybe";
  EXPECT_THROW(location.Recursive(), CfxResult);
}

TEST(LocationTest, DecodeEscapesLeavesBrokenEscapes) {
  EXPECT_EQ(DecodeEscapes("a%20b%zz%4"), "a b%zz%4");
  EXPECT_EQ(DecodeEscapes(EscapeElement("100% #?\x01\xC3\xBC")), "100% #?\x01\xC3\xBC");
}

// Roots are the platform's: "/" on POSIX, where "C:" and '\' are name bytes;
// drives and shares on Windows, where '\' separates too.
TEST(LocationTest, DrivesSharesAndBackslashesWhereThePlatformHasThem) {
  const bool windows = RootLength("C:/") > 1;
  const std::string project = windows ? "C:/p/my project" : "/p/my project";
  const struct {
    std::string text;
    std::string posix;
    std::string windows;
  } cases[] = {
      {"file:///C:/a%20b.txt", "/C:/a b.txt", "C:/a b.txt"},
      {"file:/c:/a.txt", "/c:/a.txt", "C:/a.txt"},
      {"c:\\Users\\me\\..\\x.std", "/p/my project/c:\\Users\\me\\..\\x.std", "C:/Users/x.std"},
      {"//srv/share/a/../b", "/srv/share/b", "//srv/share/b"},
      {"file:////srv/share/a%23", "/srv/share/a#", "//srv/share/a#"},
      {"/top.txt", "/top.txt", "C:/top.txt"},
      {"sub\\a.txt", "/p/my project/sub\\a.txt", "C:/p/my project/sub/a.txt"},
  };
  for (const auto& c : cases) {
    const Location location = Location::Parse(c.text, project);
    EXPECT_EQ(location.path, windows ? c.windows : c.posix) << c.text;
    const Location again = Location::Parse(location.Text(), project);
    EXPECT_EQ(again.path, location.path) << "the host's URL text reads back: " << location.Text();
  }
  if (windows) {
    EXPECT_EQ(Location::Parse("C:/a b.txt", project).Text(), "file:///C:/a%20b.txt");
    EXPECT_EQ(Location::Parse("//srv/share/a#", project).Text(), "file:////srv/share/a%23");
    EXPECT_EQ(ParentOf("C:/a"), "C:/");
    EXPECT_EQ(ParentOf("//srv/share/a"), "//srv/share/");
    EXPECT_TRUE(IsWithin("C:/a", "C:/"));
    EXPECT_FALSE(IsWithin("D:/a", "C:/"));
    EXPECT_EQ(RelativeTo("C:/a/b", "C:/"), "a/b");
  } else {
    EXPECT_EQ(Location::Parse("/C:/a b.txt", project).Text(), "file:/C:/a b.txt");
    EXPECT_EQ(ParentOf("/a"), "/");
    EXPECT_EQ(RelativeTo("/a/b", "/"), "a/b");
  }
}

}  // namespace
}  // namespace zarnlocal
