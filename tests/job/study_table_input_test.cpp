#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "fake_host/code_page.h"
#include "fake_host/host.h"
#include "fake_host/raised.h"
#include "job/study_table_scene.h"

namespace {

using AppUtils::Document::AddStudyTableToJob;
using fakehost::FakeFileUrl;
using fakehost::FakeJobFiles;
using fakehost::FakeUnknown;
using fakehost::FakeUrl;
using fakehost::FakeZarnServerJob;
using fakehost::Host;
using fakehost::Object;
using Project = jobtest::StudyTableProject;
using Lines = std::vector<std::string>;

using fakehost::RaisedBy;

Lines Join(std::initializer_list<Lines> parts) {
  Lines joined;
  for (const Lines& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

// The journal line of the copy: the source path, then the server documents
// folder "/srv/docs", one backslash and the relative path.
std::string CopyLine(const std::string& source, const std::string& relativePath) {
  return "files.ISBJobFiles.CopyFiles(\"" + source + "\", \"/srv/docs\\\\" + relativePath +
         "\", 513, 0, empty, empty, empty, empty)";
}

// The companion folder "T Files" found at once, and the path of its files.
const Lines kSpaceFolderFound = {
    "table.ISBUrl.GetName()",        "table.ISBUrl.CreateChildUrl(\"T Files\")",   "tFiles.QueryInterface(ISBFileUrl)",
    "tFiles.ISBFileUrl.Exists()",    "table.ISBUrl.CreateChildUrl(\"T Files/*\")", "tAll.QueryInterface(ISBFileUrl)",
    "tAll.ISBFileUrl.GetFilePath()",
};

TEST(AddStudyTableToJob, NamesTheInputAndTheCopyDestinationFromTheSwitches) {
  struct Row {
    bool useFileAreaName;
    bool stageInInput;
    bool withBase;
    Lines journal;
  };
  const Lines tableStaged = {"job.ISBZarnServerJob.GetJobFiles()"};
  const Lines areaStaged = {"job.ISBZarnServerJob.GetJobFiles()", "files.ISBJobFiles.GetName()",
                            "table.ISBUrl.CreateChildUrl(\"J.std\")"};
  const Row rows[] = {
      {false, false, false,
       Join({tableStaged,
             {"table.ISBUrl.GetFileName()", "job.ISBZarnServerJob.AddInputFile(table, \"T.std\")"},
             kSpaceFolderFound,
             {"table.ISBUrl.GetName()", "job.ISBZarnServerJob.GetDocumentsFolder()",
              CopyLine("/p/T Files/*", "T Files")}})},
      {true, false, false,
       Join({areaStaged,
             {"area.ISBUrl.GetFileName()", "job.ISBZarnServerJob.AddInputFile(table, \"J.std\")"},
             kSpaceFolderFound,
             {"area.ISBUrl.GetName()", "job.ISBZarnServerJob.GetDocumentsFolder()",
              CopyLine("/p/T Files/*", "J Files")}})},
      {false, true, false,
       Join({tableStaged,
             {"table.ISBUrl.GetFileName()", "table.ISBUrl.CreateChildUrl(\"Input/T.std\")", "inT.ISBUrl.GetFileName()",
              "table.ISBUrl.GetRelativeUrl(inT)", "job.ISBZarnServerJob.AddInputFile(table, \"Input/T.std\")"},
             kSpaceFolderFound,
             {"inT.ISBUrl.GetName()", "inT.ISBUrl.CreateChildUrl(\"T Files\")", "table.ISBUrl.GetRelativeUrl(inTFiles)",
              "job.ISBZarnServerJob.GetDocumentsFolder()", CopyLine("/p/T Files/*", "Input/T Files")}})},
      {true, true, false,
       Join({areaStaged,
             {"area.ISBUrl.GetFileName()", "area.ISBUrl.CreateChildUrl(\"Input/J.std\")", "inJ.ISBUrl.GetFileName()",
              "table.ISBUrl.GetRelativeUrl(inJ)", "job.ISBZarnServerJob.AddInputFile(table, \"Input/J.std\")"},
             kSpaceFolderFound,
             {"inJ.ISBUrl.GetName()", "inJ.ISBUrl.CreateChildUrl(\"J Files\")", "table.ISBUrl.GetRelativeUrl(inJFiles)",
              "job.ISBZarnServerJob.GetDocumentsFolder()", CopyLine("/p/T Files/*", "Input/J Files")}})},
      {false, false, true,
       Join(
           {tableStaged,
            {"table.ISBUrl.GetFileName()", "base.ISBUrl.GetRelativeUrl(table)",
             "job.ISBZarnServerJob.AddInputFile(table, \"Study Tables/T.std\")"},
            kSpaceFolderFound,
            {"table.ISBUrl.GetName()", "table.ISBUrl.CreateChildUrl(\"T Files\")", "base.ISBUrl.GetRelativeUrl(tFiles)",
             "job.ISBZarnServerJob.GetDocumentsFolder()", CopyLine("/p/T Files/*", "Study Tables/T Files")}})},
      {true, false, true,
       Join({areaStaged,
             {"area.ISBUrl.GetFileName()", "base.ISBUrl.GetRelativeUrl(area)",
              "job.ISBZarnServerJob.AddInputFile(table, \"Study Tables/J.std\")"},
             kSpaceFolderFound,
             {"area.ISBUrl.GetName()", "area.ISBUrl.CreateChildUrl(\"J Files\")", "base.ISBUrl.GetRelativeUrl(jFiles)",
              "job.ISBZarnServerJob.GetDocumentsFolder()", CopyLine("/p/T Files/*", "Study Tables/J Files")}})},
  };
  for (const Row& row : rows) {
    // With the input folder the base is always the table: the caller's base changes nothing.
    const std::vector<bool> bases = row.stageInInput ? std::vector<bool>{false, true} : std::vector<bool>{row.withBase};
    for (const bool withBase : bases) {
      Project project;
      project.Stage(withBase ? project.base.As<ISBUrl>() : nullptr, row.useFileAreaName, row.stageInInput);
      EXPECT_EQ(project.host.Journal(), row.journal) << "useFileAreaName " << row.useFileAreaName << ", stageInInput "
                                                     << row.stageInInput << ", base " << withBase;
      EXPECT_TRUE(project.host.Balanced());
    }
  }
}

TEST(AddStudyTableToJob, TheBlankCompanionFolderWinsAndTheUnderscoreOneIsTheFallback) {
  struct Row {
    VARIANT_BOOL spaceExists;
    VARIANT_BOOL underscoreExists;
    bool useFileAreaName;
    Lines journal;
  };
  const Lines lookBoth = {
      "table.ISBUrl.GetName()",     "table.ISBUrl.CreateChildUrl(\"T Files\")", "tFiles.QueryInterface(ISBFileUrl)",
      "tFiles.ISBFileUrl.Exists()", "table.ISBUrl.CreateChildUrl(\"T_Files\")", "t_Files.QueryInterface(ISBFileUrl)",
      "t_Files.ISBFileUrl.Exists()"};
  const Lines underscoreSource = {"table.ISBUrl.CreateChildUrl(\"T_Files/*\")", "t_All.QueryInterface(ISBFileUrl)",
                                  "t_All.ISBFileUrl.GetFilePath()"};
  const Lines added = {"job.ISBZarnServerJob.GetJobFiles()", "table.ISBUrl.GetFileName()",
                       "job.ISBZarnServerJob.AddInputFile(table, \"T.std\")"};
  const Lines areaAdded = {"job.ISBZarnServerJob.GetJobFiles()", "files.ISBJobFiles.GetName()",
                           "table.ISBUrl.CreateChildUrl(\"J.std\")", "area.ISBUrl.GetFileName()",
                           "job.ISBZarnServerJob.AddInputFile(table, \"J.std\")"};
  const Row rows[] = {
      // Any value but 0 means the folder is there.
      {1, VARIANT_TRUE, false,
       Join({added,
             kSpaceFolderFound,
             {"table.ISBUrl.GetName()", "job.ISBZarnServerJob.GetDocumentsFolder()",
              CopyLine("/p/T Files/*", "T Files")}})},
      {VARIANT_FALSE, 1, false,
       Join({added,
             lookBoth,
             underscoreSource,
             {"table.ISBUrl.GetName()", "job.ISBZarnServerJob.GetDocumentsFolder()",
              CopyLine("/p/T_Files/*", "T Files")}})},
      {VARIANT_FALSE, static_cast<VARIANT_BOOL>(0x8000), false,
       Join({added,
             lookBoth,
             underscoreSource,
             {"table.ISBUrl.GetName()", "job.ISBZarnServerJob.GetDocumentsFolder()",
              CopyLine("/p/T_Files/*", "T Files")}})},
      {VARIANT_FALSE, VARIANT_TRUE, true,
       Join({areaAdded,
             lookBoth,
             underscoreSource,
             {"area.ISBUrl.GetName()", "job.ISBZarnServerJob.GetDocumentsFolder()",
              CopyLine("/p/T_Files/*", "J Files")}})},
      // Neither: the input stays registered and nothing is copied.
      {VARIANT_FALSE, VARIANT_FALSE, false, Join({added, lookBoth})},
  };
  for (const Row& row : rows) {
    Project project;
    project.tFiles.Get<FakeFileUrl>().exists = row.spaceExists;
    project.t_Files.Get<FakeFileUrl>().exists = row.underscoreExists;
    project.Stage(nullptr, row.useFileAreaName, false);
    EXPECT_EQ(project.host.Journal(), row.journal)
        << "blank " << row.spaceExists << ", underscore " << row.underscoreExists;
    EXPECT_TRUE(project.host.Balanced());
  }
}

TEST(AddStudyTableToJob, AFailingCopyRaisesAndLeavesTheInputRegistered) {
  Lines succeeded;
  {
    Project project;
    project.Stage(nullptr, false, false);
    succeeded = project.host.Journal();
  }
  Project project;
  project.host.FailOp("CopyFiles", 1, E_ACCESSDENIED);

  EXPECT_EQ(RaisedBy([&] { project.Stage(nullptr, false, false); }).Code(), E_ACCESSDENIED);

  // The same calls as a copy that works: the input is added and nothing undoes it.
  EXPECT_EQ(project.host.Journal(), succeeded);
  EXPECT_TRUE(project.host.Balanced());
}

TEST(AddStudyTableToJob, ANullJobOrTableFailsTheNullCheckBeforeAnythingIsAdded) {
  for (const bool useFileAreaName : {false, true}) {
    Project project;
    const CfxResult noJob = RaisedBy(
        [&] { AddStudyTableToJob(nullptr, project.table.As<ISBUrl>(), nullptr, nullptr, useFileAreaName, true); });
    EXPECT_EQ(noJob.Code(), E_POINTER);
    EXPECT_EQ(project.host.CallCount(), 0);

    const CfxResult noTable = RaisedBy([&] {
      AddStudyTableToJob(project.job.As<ISBZarnServerJob>(), nullptr, nullptr, nullptr, useFileAreaName, true);
    });
    EXPECT_EQ(noTable.Code(), E_POINTER);
    const Lines reached = useFileAreaName ? Lines{"job.ISBZarnServerJob.GetJobFiles()", "files.ISBJobFiles.GetName()"}
                                          : Lines{"job.ISBZarnServerJob.GetJobFiles()"};
    EXPECT_EQ(project.host.Journal(), reached);
    EXPECT_TRUE(project.host.Balanced());
  }
}

TEST(AddStudyTableToJob, AChildLocationThatIsNotMadeFailsTheNullCheckOfItsFileView) {
  for (const OLECHAR* missing : {OLESTR("T Files"), OLESTR("T Files/*")}) {
    Project project;
    project.table.Get<FakeUrl>().children.erase(missing);

    EXPECT_EQ(RaisedBy([&] { project.Stage(nullptr, false, false); }).Code(), E_POINTER);

    EXPECT_EQ(project.host.Journal().back(),
              "table.ISBUrl.CreateChildUrl(" + fakehost::Arg(CfxWStringView(missing)) + ")");
    EXPECT_TRUE(project.host.Balanced());
  }
}

TEST(AddStudyTableToJob, AnyFailingHostCallEndsTheCallWithItsStatusAndLeaksNothing) {
  // The longest path: file area name, input folder and a companion folder
  // found only in its second form.
  std::size_t calls = 0;
  {
    Project project;
    project.tFiles.Get<FakeFileUrl>().exists = VARIANT_FALSE;
    project.Stage(nullptr, true, true);
    calls = project.host.Journal().size();
  }
  for (std::size_t failing = 1; failing <= calls; ++failing) {
    Project project;
    project.tFiles.Get<FakeFileUrl>().exists = VARIANT_FALSE;
    project.host.FailCall(static_cast<int>(failing), E_FAIL);

    const CfxResult raised = RaisedBy([&] { project.Stage(nullptr, true, true); });

    EXPECT_EQ(raised.Code(), E_FAIL) << "call " << failing;
    EXPECT_EQ(project.host.Journal().size(), failing) << "nothing runs after the failing call";
    EXPECT_TRUE(project.host.Balanced()) << "call " << failing;
  }
}

}  // namespace

namespace {

TEST(AddStudyTableToJob, ReleasesTheReplacedStagedLocationAndTheCopyResultAtOnce) {
  Project project;
  for (Object* object : {&project.area, &project.copied, &project.files}) object->journalFinalRelease = true;
  project.Stage(nullptr, true, true);

  const Lines& journal = project.host.Journal();
  const auto at = [&](const std::string& line) { return std::find(journal.begin(), journal.end(), line); };
  // The location named after the file area is let go as soon as its input-folder child replaces it.
  ASSERT_NE(at("area.Release()"), journal.end());
  EXPECT_EQ(*std::prev(at("area.Release()")), "area.ISBUrl.CreateChildUrl(\"Input/J.std\")");
  // The copy's result is released right after the copy, before anything of the call's own.
  ASSERT_NE(at("copied.Release()"), journal.end());
  EXPECT_EQ(*std::prev(at("copied.Release()")), CopyLine("/p/T Files/*", "Input/J Files"));
  EXPECT_EQ(*std::next(at("copied.Release()")), "files.Release()");
  EXPECT_TRUE(project.host.Balanced());
}

TEST(AddStudyTableToJob, EveryOutSlotComesInEmptyAndTheCopyResultSlotIsReal) {
  Project project;
  project.Stage(project.base.As<ISBUrl>(), true, false);
  for (const char* call :
       {"GetJobFiles", "files.ISBJobFiles.GetName", "GetFileName", "GetRelativeUrl(area)", "tFiles.QueryInterface"}) {
    EXPECT_EQ(project.host.OutSlotsOf(call), "empty") << call;
  }
  EXPECT_EQ(project.host.OutSlotsOf("CopyFiles"), "empty");
}

TEST(AddStudyTableToJob, NamesTravelInTheApplicationsCodePage) {
  // In Windows-1252 "ü" is the single byte 0xFC, so the escape "%FC" of a
  // relative URL decodes to it, and every name made from narrow text must
  // come back as the same wide text.
  fakehost::CodePage windows1252(kCfxCodePageWindows1252);
  Project project;
  project.job.Get<FakeZarnServerJob>().documentsFolder = OLESTR("/srv/dök");
  auto& table = project.table.Get<FakeUrl>();
  table.fileName = OLESTR("Tü.std");
  table.name = OLESTR("Tü");
  table.children = {{OLESTR("Input/Tü.std"), &project.inT},
                    {OLESTR("Tü Files"), &project.tFiles},
                    {OLESTR("Tü Files/*"), &project.tAll}};
  // The host may also give the relative URL with the letter itself.
  table.relative = {{&project.inT, OLESTR("Input/Tü.std")}, {&project.inTFiles, OLESTR("Input/T%FC%20Files")}};
  auto& staged = project.inT.Get<FakeUrl>();
  staged.fileName = OLESTR("Tü.std");
  staged.name = OLESTR("Tü");
  staged.children = {{OLESTR("Tü Files"), &project.inTFiles}};
  project.tAll.Get<FakeFileUrl>().path = OLESTR("/p/Tü Files/*");

  project.Stage(nullptr, false, true);

  const Lines& journal = project.host.Journal();
  EXPECT_EQ(journal[2], "table.ISBUrl.CreateChildUrl(\"Input/T\\xC3\\xBC.std\")");
  EXPECT_EQ(journal[5], "job.ISBZarnServerJob.AddInputFile(table, \"Input/T\\xC3\\xBC.std\")");
  EXPECT_EQ(
      journal.back(),
      "files.ISBJobFiles.CopyFiles(\"/p/T\\xC3\\xBC Files/*\", \"/srv/d\\xC3\\xB6k\\\\Input/T\\xC3\\xBC Files\", 513, "
      "0, empty, empty, empty, empty)");
  EXPECT_TRUE(project.host.Balanced());
}

}  // namespace
