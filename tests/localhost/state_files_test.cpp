// The plain-text state files: escapes, safe writes, file types and settings.
#include <gtest/gtest.h>

#include "host/cfx_result.h"
#include "localhost/file_types.h"
#include "localhost/temp_folder.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

using zarntest::Put;
using zarntest::Read;
using zarntest::TempFolder;
using zarntest::Tree;

TEST(StateFilesTest, FieldsSurviveTabsLineBreaksAndBackslashes) {
  for (const std::string field : {"plain", "a\tb", "two\nlines", "back\\slash\\n", "", "\\"}) {
    EXPECT_EQ(UnescapeField(EscapeField(field)), field);
    EXPECT_EQ(EscapeField(field).find_first_of("\t\n"), std::string::npos) << field;
  }
}

TEST(StateFilesTest, RecordsRoundTripThroughAFile) {
  TempFolder folder;
  const std::vector<std::vector<std::string>> records = {{"Results/a b.std", "Corvane Server"}, {"x\ty", "o\nwner"}};
  WriteRecords(folder / "state/locks", "# header\n", records, folder / "state/partial");
  EXPECT_EQ(ReadRecords(folder / "state/locks"), records);
  EXPECT_TRUE(ReadRecords(folder / "missing").empty());
}

TEST(StateFilesTest, AtomicWritesLeaveNoTemporaryBehind) {
  TempFolder folder;
  WriteFileAtomically(folder / "a/b.txt", "new", folder / "scratch");
  WriteFileAtomically(folder / "a/b.txt", "newer", folder / "scratch");
  WriteFileAtomically(folder / "a/c.txt", "beside", "");
  EXPECT_EQ(Read(folder / "a/b.txt"), "newer");
  EXPECT_EQ(Tree(folder.Path()), (std::vector<std::string>{"a/", "a/b.txt", "a/c.txt", "scratch/"}));
}

TEST(StateFilesTest, CopyFromAMissingFileLeavesTheDestinationUntouched) {
  TempFolder folder;
  Put(folder / "dest.txt", "old");
  try {
    CopyFileAtomically(folder / "nothing.txt", folder / "dest.txt", "");
    ADD_FAILURE() << "copied a missing file";
  } catch (const CfxResult& failure) {
    EXPECT_EQ(failure.Code(), E_FILE_NOT_FOUND);
    EXPECT_EQ(failure.Description(), "no such file: " + (folder / "nothing.txt"));
  }
  EXPECT_EQ(Read(folder / "dest.txt"), "old");
  EXPECT_EQ(Tree(folder.Path()), std::vector<std::string>{"dest.txt"});
}

TEST(StateFilesTest, SettingsKeepOrderAndReportTheBadLine) {
  TempFolder folder;
  Put(folder / "config", "# comment\nworkspace = my ws\n\nserver=/srv/x\n");
  const Settings settings = ReadSettings(folder / "config");
  ASSERT_EQ(settings.size(), 2u);
  EXPECT_EQ(settings[0], (std::pair<std::string, std::string>{"workspace", "my ws"}));
  EXPECT_EQ(SettingOf(settings, "server"), "/srv/x");
  Put(folder / "config", "workspace = a\nno equals sign\n");
  try {
    ReadSettings(folder / "config");
    ADD_FAILURE() << "a malformed line was accepted";
  } catch (const CfxResult& failure) {
    EXPECT_NE(failure.Description().find("line 2"), std::string::npos) << failure.Description();
  }
}

TEST(FileTypesTest, BuiltInStudyTableAndProjectLines) {
  const FileTypes types = FileTypes::Load(
      "# mine\nabc Acme.Model def ghi  # two dependents\nSTD Other.Table\n\nxyz Acme.X\n", ".zarn/filetypes");
  ASSERT_NE(types.Find("abc"), nullptr);
  EXPECT_EQ(types.Find("ABC")->typeName, "Acme.Model");
  EXPECT_EQ(types.Find("abc")->dependents, (std::vector<std::string>{"def", "ghi"}));
  EXPECT_EQ(types.Find("std")->typeName, "Other.Table");  // a project line replaces the built-in one
  EXPECT_TRUE(types.Find("xyz")->dependents.empty());
  EXPECT_EQ(types.Find("def"), nullptr);
  EXPECT_EQ(FileTypes::Load(std::nullopt, "none").Find("std")->typeName, kStudyTableType);
}

TEST(FileTypesTest, MalformedLinesNameTheFileAndLine) {
  for (const char* text : {"abc\n", "x T\n.abc Acme.Model\n", "abc Acme.Model .def\n"}) {
    try {
      FileTypes::Load(text, "types");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const CfxResult& failure) {
      EXPECT_EQ(failure.Code(), E_INVALIDARG);
      EXPECT_EQ(failure.Description().rfind("types line ", 0), 0u) << failure.Description();
    }
  }
}

}  // namespace
}  // namespace zarnlocal
