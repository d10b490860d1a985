// The project view's state files at scale and with any name: every name
// survives every state file, a change costs one record, a torn last line
// loses nothing, a compaction keeps every record and the mode, and a
// reader's cache follows what another process did.
#include <gtest/gtest.h>

#include "host/cfx_result.h"
#include "localhost/local_host.h"
#include "localhost/temp_folder.h"
#include "support/file_system.h"

namespace zarnlocal {
namespace {

using zarntest::Put;
using zarntest::Read;
using zarntest::TempFolder;

// Names that a file may have and a line-based format could lose.
const std::vector<std::string> kOddNames = {
    "#notes.txt", " lead.txt", "trail.txt ", "tab\there.txt", "line\nfeed.txt", "back\\slash.txt",
    "100%.txt",   "%41.txt",   "-",          "\"quoted\"",    "caf\xC3\xA9",    "latin\xE9",
    "\xFF\xFE",   "cr\r",      "x [hidden]", "-\tdash"};

TEST(StateJournalTest, EveryNameSurvivesTheHiddenLocksAndViewsFiles) {
  TempFolder folder;
  {
    ProjectView view(folder / ".zarn");
    for (const std::string& name : kOddNames) {
      EXPECT_TRUE(view.SetHidden("d/" + name, true)) << name;
      EXPECT_TRUE(view.SetHidden(name, true)) << name;
      EXPECT_TRUE(view.Lock(name, name + " owner")) << name;
      view.RecordView("view", name);
    }
    EXPECT_TRUE(view.SetHidden("d/" + kOddNames.front(), false));
  }
  const ProjectView view(folder / ".zarn");  // read afresh, as the next process does
  std::vector<std::string> hidden;
  std::vector<LockRecord> locks;
  std::vector<ViewRecord> views;
  for (const std::string& name : kOddNames) {
    if (name != kOddNames.front()) hidden.push_back("d/" + name);
    hidden.push_back(name);
    locks.push_back({name, name + " owner"});
    views.push_back({"view", name});
    EXPECT_EQ(view.LockOwners(name), std::vector<std::string>{name + " owner"}) << name;
  }
  std::sort(hidden.begin(), hidden.end());
  std::sort(locks.begin(), locks.end(),
            [](auto& a, auto& b) { return std::tie(a.path, a.owner) < std::tie(b.path, b.owner); });
  EXPECT_EQ(view.Hidden(), hidden);
  EXPECT_EQ(view.Locks(), locks);
  EXPECT_EQ(view.Views(), views);
  for (const char* file : {"hidden", "locks", "views"}) {
    const std::string text = Read(folder / (std::string(".zarn/") + file)).value_or("");
    EXPECT_EQ(text.find_first_of(std::string("\r\xFF\xFE\xE9", 4)), std::string::npos) << file << ": " << text;
  }
}

TEST(StateJournalTest, JobSettingsAndInputsKeepEveryByte) {
  TempFolder folder;
  const Project project = Project::Open(folder.Path());
  const ServerJob job = project.CreateJob();
  JobRecord record(Server(project.ServerFolder()), job.Id(), project.Folder());
  for (const std::string& name : kOddNames) {
    record.Set("text", "  " + name + "  ");
    record.Set("property." + name, name);
    EXPECT_EQ(record.Get("text"), "  " + name + "  ") << "the job text, rewritten";
    EXPECT_EQ(record.Get("property." + name), name);
  }
  std::vector<JobInput> inputs;
  for (const std::string& name : kOddNames) {
    // Not an input name, or not a file name on this platform.
    if (name.find('\\') != std::string::npos || !zarntest::FileNameAllowed(name)) continue;
    Put(folder / ("sources/" + name), "x");
    record.AddInput("In/" + name, folder / ("sources/" + name));
    inputs.push_back({"In/" + name, folder / ("sources/" + name)});
  }
  EXPECT_EQ(project.OpenJob(job.Id()).Inputs(), inputs);
}

TEST(StateJournalTest, AGarbledJobFileOrInputsRecordFailsNamingFileAndLine) {
  TempFolder folder;
  const Project project = Project::Open(folder.Path());
  const ServerJob job = project.CreateJob();
  JobRecord record(Server(project.ServerFolder()), job.Id(), project.Folder());
  const std::string settings = Read(job.Folder() + "/job").value_or("");
  const struct {
    std::string file;
    std::string text;
    std::string error;
  } cases[] = {
      {"job", settings + "garbage\x01\xFF = x\n", "job line 8: "},
      {"job", settings + "= value\n", "job line 8: "},
      {"job", settings + "text = \"unclosed\n", "job line 8: "},
      {"job", settings + "state = finished\n", "job line 8: "},
      {"inputs", "# inputs\nIn/a.std\n", "inputs line 2: "},
      {"inputs", "In/a.std\t/p/a.std\t/p/b.std\n", "inputs line 1: "},
  };
  for (const auto& c : cases) {
    const std::string path = job.Folder() + "/" + c.file;
    const std::optional<std::string> before = Read(path);
    Put(path, c.text);
    try {
      if (c.file == "job") record.Get("state");
      if (c.file == "inputs") record.Inputs();
      ADD_FAILURE() << "used silently: " << c.text;
    } catch (const CfxResult& failure) {
      EXPECT_EQ(failure.Code(), E_INVALIDARG) << failure.Description();
      EXPECT_EQ(failure.Description().rfind(job.Folder() + "/" + c.error, 0), 0u) << failure.Description();
    }
    Put(path, before.value_or(""));
  }
}

TEST(StateJournalTest, HidingLockingAndRecordingManyEntriesWritesBytesInProportion) {
  if (const auto why = zarntest::BytesWrittenUnsupported()) GTEST_SKIP() << *why;
  TempFolder folder;
  constexpr int kEntries = 3000;
  ProjectView view(folder / ".zarn");
  const std::size_t before = zarntest::BytesWrittenByThisProcess();
  for (int n = 0; n < kEntries; ++n) {
    const std::string name = "Results/entry " + std::to_string(n) + ".def";
    view.SetHidden(name, true);
    view.Lock(name, "Corvane Server");
    view.RecordView("view", name);
  }
  for (int n = 0; n < kEntries; ++n) view.Unlock("Results/entry " + std::to_string(n) + ".def", "Corvane Server");
  const std::size_t written = zarntest::BytesWrittenByThisProcess() - before;
  const std::size_t kept = Read(folder / ".zarn/hidden")->size() + Read(folder / ".zarn/views")->size();
  EXPECT_GE(written, kept) << "every byte kept was written";
  EXPECT_LT(written, 8 * kept) << "bytes written for " << kEntries << " entries of each kind";
  EXPECT_EQ(view.Hidden().size(), static_cast<std::size_t>(kEntries));
  EXPECT_TRUE(view.Locks().empty());
}

TEST(StateJournalTest, ATornLastLineIsIgnoredAndCutOffWithoutLosingEarlierRecords) {
  TempFolder folder;
  Put(folder / ".zarn/hidden", "# hidden\na.txt\nb.txt\nhalf of a na");
  ProjectView view(folder / ".zarn");
  EXPECT_EQ(view.Hidden(), (std::vector<std::string>{"a.txt", "b.txt"})) << "readers ignore the torn line";
  EXPECT_TRUE(view.SetHidden("c.txt", true));
  EXPECT_EQ(Read(folder / ".zarn/hidden"), "# hidden\na.txt\nb.txt\nc.txt\n");
  EXPECT_EQ(ProjectView(folder / ".zarn").Hidden(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

TEST(StateJournalTest, ARemovalIsALineAPersonCanRead) {
  TempFolder folder;
  ProjectView view(folder / ".zarn");
  view.Lock("a.std", "Corvane Server");
  view.Lock("b.std", "Someone");
  view.Unlock("a.std", "Corvane Server");
  const std::string text = Read(folder / ".zarn/locks").value_or("");
  EXPECT_EQ(text.substr(text.find("\na.std") + 1), "a.std\tCorvane Server\nb.std\tSomeone\n-\ta.std\tCorvane Server\n");
  EXPECT_EQ(view.Locks(), (std::vector<LockRecord>{{"b.std", "Someone"}}));
}

TEST(StateJournalTest, CompactionKeepsEveryRecordInOrderAndTheMode) {
  TempFolder folder;
  ProjectView view(folder / ".zarn");
  view.RecordView("view", "first");
  const std::string attributes = zarntest::GiveUnusualAttributes(folder / ".zarn/views", 1);
  for (int n = 0; n < 2000; ++n) view.RecordView("view", "v" + std::to_string(n));
  for (int n = 0; n < 2000; n += 2) view.ForgetView("view", "v" + std::to_string(n));
  std::vector<ViewRecord> expected = {{"view", "first"}};
  for (int n = 1; n < 2000; n += 2) expected.push_back({"view", "v" + std::to_string(n)});
  EXPECT_EQ(view.Views(), expected);
  EXPECT_EQ(ProjectView(folder / ".zarn").Views(), expected);
  const std::string text = Read(folder / ".zarn/views").value_or("");
  EXPECT_LT(std::count(text.begin(), text.end(), '\n'), 2400) << "the removals were folded in";
  EXPECT_EQ(zarntest::AttributesOf(folder / ".zarn/views"), attributes);
  EXPECT_TRUE(zarntest::Tree(folder / ".zarn/partial").empty());
}

TEST(StateJournalTest, AReaderFollowsWhatAnotherProcessAppendedOrCompacted) {
  TempFolder folder;
  const ProjectView reader(folder / ".zarn");
  ProjectView writer(folder / ".zarn");
  EXPECT_TRUE(reader.Hidden().empty());
  for (int n = 0; n < 1000; ++n) writer.SetHidden("h" + std::to_string(n), true);
  EXPECT_EQ(reader.Hidden().size(), 1000u);
  EXPECT_TRUE(reader.IsHidden("h999"));
  // The removals compact the file: the reader's is replaced by one that
  // then grows past what the reader had read.
  for (int n = 0; n < 1000; ++n) writer.SetHidden("h" + std::to_string(n), n % 100 == 0);
  for (int n = 0; n < 2000; ++n) writer.SetHidden("k" + std::to_string(n), true);
  EXPECT_EQ(reader.Hidden().size(), 2010u);
  EXPECT_FALSE(reader.IsHidden("h999"));
  EXPECT_TRUE(reader.IsHidden("h900"));
  EXPECT_TRUE(reader.IsHidden("k1999"));
  Put(folder / ".zarn/hidden", "# cut short by hand\nh1\n");
  EXPECT_EQ(reader.Hidden(), std::vector<std::string>{"h1"});
  // Rewritten in place, the same file grown past what was read: read again too.
  Put(folder / ".zarn/hidden", "# rewritten in place by hand\nh2\nh3\n");
  EXPECT_EQ(reader.Hidden(), (std::vector<std::string>{"h2", "h3"}));
}

TEST(StateJournalTest, AGarbledStateLineFailsNamingFileAndLine) {
  TempFolder folder;
  Put(folder / ".zarn/locks", "# locks\na.std\tCorvane Server\nb.std\n");
  const ProjectView view(folder / ".zarn");
  try {
    view.Locks();
    ADD_FAILURE() << "a lock without an owner was used";
  } catch (const CfxResult& failure) {
    EXPECT_EQ(failure.Description(), folder / ".zarn/locks line 3: expected a path, a tab, an owner; found 1 field");
  }
}

}  // namespace
}  // namespace zarnlocal
