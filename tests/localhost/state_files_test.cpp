// The plain-text state files: escapes, safe writes, file types and settings.
#include <gtest/gtest.h>

#include "host/cfx_result.h"
#include "localhost/file_types.h"
#include "localhost/state_codec.h"
#include "localhost/temp_folder.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

using zarntest::Put;
using zarntest::Read;
using zarntest::TempFolder;
using zarntest::Tree;

TEST(StateFilesTest, FieldsAreQuotedOnlyWhenNeededAndReadBackByteForByte) {
  const struct {
    std::string field;
    std::string written;
  } cases[] = {
      {"Results/a b.std", "Results/a b.std"},
      {"back\\slash %41 100%", "back\\slash %41 100%"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"a-b#c\"", "a-b#c\""},
      {"", "\"\""},
      {"-", "\"-\""},
      {"#notes", "\"#notes\""},
      {"\"q\"", "\"\\\"q\\\"\""},
      {" lead", "\" lead\""},
      {"trail ", "\"trail \""},
      {"a\tb\nc\rd\\", "\"a\\tb\\nc\\rd\\\\\""},
      {std::string("nul\0\x7F\x01", 6), "\"nul\\x00\\x7F\\x01\""},
      {"latin\xE9 \xC3 \xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80 \xF0\x9F\x98",
       "\"latin\\xE9 \\xC3 \\xED\\xA0\\x80 \\xC0\\xAF \\xF4\\x90\\x80\\x80 \\xF0\\x9F\\x98\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QuoteField(c.field), c.written) << c.field;
    std::string_view text = c.written;
    EXPECT_EQ(ReadField(text, '\t'), c.field) << c.written;
    EXPECT_TRUE(text.empty()) << c.written;
  }
  EXPECT_EQ(QuoteField("a=b", "="), "\"a=b\"");
  EXPECT_EQ(ParseRecord(FormatRecord({"", "-", "x\ty"})), (std::vector<std::string>{"", "-", "x\ty"}));
}

TEST(StateFilesTest, LinesNoWriterMakesAreRefusedWithTheReason) {
  const struct {
    std::string line;
    std::string what;
  } cases[] = {
      {"\"open", "a quoted field has no closing quote"},
      {"\"open\\", "a quoted field has no closing quote"},
      {"\"a\\qb\"", "unknown escape \\q in a quoted field"},
      {"\"a\\x4\"", "\\x in a quoted field is not followed by two hex digits"},
      {"\"a\\x", "\\x in a quoted field is not followed by two hex digits"},
      {"\"a\"b", "a quoted field is followed by more than a tab"},
      {"a\x01"
       "b",
       "a control character or a byte that is not UTF-8 outside quotes"},
      {"a\xFF"
       "b\tc",
       "a control character or a byte that is not UTF-8 outside quotes"},
  };
  for (const auto& c : cases) {
    try {
      ParseRecord(c.line);
      ADD_FAILURE() << "accepted: " << c.line;
    } catch (const StateFormatError& error) {
      EXPECT_EQ(error.what, c.what) << c.line;
    }
  }
  for (const std::string line : {"no equals", "= value", "\"key\" value", "k = \"v\" tail", "k = a\x01"}) {
    EXPECT_THROW(ParseSetting(line), StateFormatError) << line;
  }
  EXPECT_EQ(ParseSetting("  \"a=b\" =  \" v \"  "), (std::pair<std::string, std::string>{"a=b", " v "}));
  EXPECT_EQ(ParseSetting("key=  plain value  "), (std::pair<std::string, std::string>{"key", "plain value"}));
  EXPECT_EQ(ParseSetting(FormatSetting("k", "")), (std::pair<std::string, std::string>{"k", ""}));
}

TEST(StateFilesTest, RecordsRoundTripThroughAFile) {
  TempFolder folder;
  const std::vector<std::vector<std::string>> records = {{"Results/a b.std", "Corvane Server"}, {"#x\ty", "o\nwner "}};
  WriteRecords(folder / "state/locks", "# header\n", records, folder / "state/partial");
  EXPECT_EQ(ReadRecords(folder / "state/locks", {"a path", "an owner"}), records);
  EXPECT_TRUE(ReadRecords(folder / "missing", {"a path"}).empty());
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
