// A project folder keeps its state wherever it goes: the state files are the
// same bytes on every platform (UTF-8, '\n' line ends, '/'-separated paths
// relative to the project), so a project moved between Linux and Windows
// keeps its hidden marks, locks, views and jobs.
#include <gtest/gtest.h>

#include "localhost/local_host.h"
#include "localhost/server.h"
#include "localhost/temp_folder.h"

namespace zarnlocal {
namespace {

using zarntest::Put;
using zarntest::Read;
using zarntest::TempFolder;

const std::string kTable = "Tables/Growth \xC3\xBC.std";
const std::string kCompanion = "Tables/Growth \xC3\xBC Files";

// One project's state as the local host writes it, on every platform.
const std::pair<std::string, std::string> kStateFiles[] = {
    {".zarn/hidden",
     "# Entries hidden from the project view: one path relative to the project a line.\n"
     "# A line \"-<TAB>PATH\" shows the entry again.\n" +
         kCompanion + "\n"},
    {".zarn/locks",
     "# Document locks: the document's path relative to the project, a tab, the owner.\n"
     "# A line \"-<TAB>PATH<TAB>OWNER\" lifts the lock above it.\n" +
         kTable + "\tCorvane Server\n"},
    {".zarn/views",
     "# Documents shown: \"view\" (a view was opened) or \"shown\", a tab, the path relative to the project.\n"
     "# A line \"-<TAB>KIND<TAB>PATH\" forgets the one above it.\n"
     "view\t" +
         kTable + "\n"},
    {".zarn/server/jobs/1/job",
     "# A job of the local server. Edit with care: the host reads it on every call.\n"
     "id = 1\nname = Job1\nstate = created\nclient-folder = Jobs/1\nlive-updates = off\n"
     "property.LiveUpdateMask = *\n"},
    {".zarn/server/jobs/1/inputs",
     "# Job inputs: the name in the job, a tab, the client file it came from.\n"
     "Input/Growth.std\t" +
         kTable + "\n"},
};

TEST(MovedProjectTest, StateFilesAreTheSameBytesOnEveryPlatformAndKeepTheirMeaningAnywhere) {
  // Made here, the files are those bytes...
  TempFolder made;
  {
    const Project project = Project::Open(made.Path());
    Put(made / kTable, "table");
    ProjectView view(project.StateFolder());
    view.SetHidden(kCompanion, true);
    view.Lock(kTable, "Corvane Server");
    view.RecordView("view", kTable);
    JobRecord(Server(project.ServerFolder()), project.CreateJob().Id(), project.Folder())
        .AddInput("Input/Growth.std", made / kTable);
  }
  for (const auto& [file, bytes] : kStateFiles) EXPECT_EQ(Read(made / file), bytes) << file;

  // ...and those bytes, brought from elsewhere, mean the same project here.
  TempFolder moved;
  Put(moved / kTable, "table");
  Put(moved / "Jobs/1/");
  for (const auto& [file, bytes] : kStateFiles) Put(moved / file, bytes);
  const Project project = Project::Open(moved.Path());
  EXPECT_EQ(project.HiddenEntries(), std::vector<std::string>{kCompanion});
  EXPECT_EQ(project.Locks(), (std::vector<LockRecord>{{kTable, "Corvane Server"}}));
  EXPECT_EQ(project.Views(), (std::vector<ViewRecord>{{"view", kTable}}));
  const ServerJob job = project.OpenJob("1");
  EXPECT_EQ(job.ClientFolder(), moved / "Jobs/1");
  EXPECT_EQ(job.Inputs(), (std::vector<JobInput>{{"Input/Growth.std", moved / kTable}}));
}

}  // namespace
}  // namespace zarnlocal
