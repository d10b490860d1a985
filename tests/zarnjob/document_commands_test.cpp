// Client documents and the project view: import, refresh, lock, unlock,
// real-path, view.
#include <gtest/gtest.h>

#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

using Lines = std::vector<std::string>;

TEST_F(Zarnjob, ViewListsEveryEntrySortedWithMarksAndWithoutTheStateFolder) {
  EXPECT_EQ(Succeed({"view"}).out, "") << "an empty project has no entries";
  Put("b.txt");
  Put("a/x.def");
  Put("a/x.abc");
  Put("a b/c.txt");
  Put(".zarn/hidden", "a/x.def\na b\n");
  Put(".zarn/locks", "a/x.abc\tCorvane Server\na/x.abc\tSomeone\n");
  EXPECT_EQ(Succeed({"view"}).OutLines(),
            (Lines{"a b/ [hidden]", "a b/c.txt", "a/", "a/x.abc [locked by Corvane Server] [locked by Someone]",
                   "a/x.def [hidden]", "b.txt"}));
  const zarntest::TempFolder elsewhere;
  RunOptions options;
  options.workingFolder = elsewhere.Path();
  EXPECT_EQ(RunZarnjob({"--project", Project(), "view"}, options).OutLines().size(), 6u)
      << "--project names the project";
}

TEST_F(Zarnjob, ImportLocksForTheServerRefreshLeavesUnlockedLockAndUnlockFollow) {
  Put("R/a.txt", "a");
  Put("R/b.txt", "b");
  EXPECT_EQ(Succeed({"import", "R/a.txt", "--open-view"}).out, At("R/a.txt") + "\n");
  EXPECT_EQ(Succeed({"view"}).OutLines(), (Lines{"R/", "R/a.txt [locked by Corvane Server]", "R/b.txt"}));
  EXPECT_NE(Read(".zarn/views").value_or("").find("view\tR/a.txt"), std::string::npos);

  EXPECT_EQ(Succeed({"refresh", "R/"}).out, "");
  EXPECT_EQ(Succeed({"view"}).OutLines(), (Lines{"R/", "R/a.txt", "R/b.txt"}));

  Succeed({"lock", "R/"});
  EXPECT_EQ(Succeed({"view"}).OutLines(),
            (Lines{"R/", "R/a.txt [locked by Corvane Server]", "R/b.txt [locked by Corvane Server]"}));
  Succeed({"unlock", "R/b.txt"});
  EXPECT_EQ(Succeed({"view"}).OutLines(), (Lines{"R/", "R/a.txt [locked by Corvane Server]", "R/b.txt"}));
}

TEST_F(Zarnjob, RealPathOfAFileIsItselfAndOfAVirtualDocumentACopyInTheWorkspace) {
  Put("R/a.txt", "a");
  Put(".zarn/virtual/R/v.rpt", "virtual content");
  EXPECT_EQ(Succeed({"real-path", "R/a.txt"}).out, At("R/a.txt") + "\n");
  EXPECT_EQ(Succeed({"real-path", "R/v.rpt"}).out, At(".zarn/workspace/v.rpt") + "\n");
  EXPECT_EQ(Read(".zarn/workspace/v.rpt"), "virtual content");
  EXPECT_FALSE(Read("R/v.rpt")) << "the virtual document stays virtual";
}

TEST_F(Zarnjob, DocumentCommandsRefuseMissingFilesAndPlacesOutsideTheProject) {
  Put("R/a.txt", "a");
  const struct {
    std::vector<std::string> arguments;
    std::string error;
  } cases[] = {
      {{"import", "R/none.txt"}, "error: 0x80070002: no such file: " + At("R/none.txt")},
      {{"refresh", "Nothing/"}, "error: 0x80070002: no such folder: " + At("Nothing")},
      {{"lock", "R/none.txt"}, "error: 0x80070002: no such file: " + At("R/none.txt")},
      {{"lock", "/tmp"}, "error: 0x80070057: not in the project " + Project() + ": /tmp"},
      {{"unlock", "file:///etc/"}, "error: 0x80070057: not in the project " + Project() + ": file:///etc/"},
      {{"real-path", "R/none.txt"}, "error: 0x80070002: no document at " + At("R/none.txt")},
      {{"import", "R/a.txt", "--project", "no project"},
       "error: 0x80070002: no such folder: " + At("no project") + " (a project is an existing folder)"},
  };
  const Lines before = Tree();
  for (const auto& c : cases) {
    const Outcome outcome = Run(c.arguments);
    const std::string what = testing::PrintToString(c.arguments);
    EXPECT_EQ(outcome.exitCode, 1) << what;
    EXPECT_EQ(outcome.out, "") << what;
    EXPECT_EQ(outcome.err.rfind(c.error, 0), 0u) << what << "\n" << outcome.err;
  }
  EXPECT_EQ(Tree(), before);
}

}  // namespace
}  // namespace zarnjobtest
