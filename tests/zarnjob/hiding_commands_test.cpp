// hide and hide-dependent, seen through the project view.
#include <gtest/gtest.h>

#include "zarnjob/zarnjob_fixture.h"

namespace zarnjobtest {
namespace {

using Lines = std::vector<std::string>;

TEST_F(Zarnjob, HideHidesWhatTheLocationLists) {
  Put("S/a.tmp");
  Put("S/deep/b.tmp");
  Put("keep.txt");
  EXPECT_EQ(Succeed({"hide", "S/"}).out, "");
  EXPECT_EQ(Succeed({"view"}).OutLines(),
            (Lines{"S/", "S/a.tmp [hidden]", "S/deep/ [hidden]", "S/deep/b.tmp", "keep.txt"}));
  Succeed({"hide", "file:S/?Recursive=Yes"});
  EXPECT_EQ(Succeed({"view"}).OutLines()[3], "S/deep/b.tmp [hidden]");
}

TEST_F(Zarnjob, HideDependentHidesCompanionFoldersAndDependentFilesOnlyWhereAsked) {
  Put(".zarn/filetypes", "mdl Demo.Model fit\n");
  Put("T.std");
  Put("T Files/n.txt");
  Put("M/c.mdl");
  Put("M/c.fit");
  Succeed({"hide-dependent", "./"});
  EXPECT_EQ(Succeed({"view"}).OutLines(),
            (Lines{"M/", "M/c.fit", "M/c.mdl", "T Files/ [hidden]", "T Files/n.txt [hidden]", "T.std"}));
  Succeed({"hide-dependent", "./", "--recursive"});
  EXPECT_EQ(Succeed({"view"}).OutLines()[1], "M/c.fit [hidden]");
}

TEST_F(Zarnjob, HidingAMissingFolderFails) {
  const Outcome outcome = Run({"hide", "Nothing/"});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.err, "error: 0x80070002: no such folder: " + At("Nothing") + "\n");
  EXPECT_FALSE(Read(".zarn/hidden"));
}

}  // namespace
}  // namespace zarnjobtest
