// The local reference host: a real host whose project is a folder on disk
// and whose server is another folder on the same machine. Programs and tests
// open a project here and hand its objects to the library.
//
//   zarnlocal::Project project = zarnlocal::Project::Open("/path/to/project");
//   CfxComPtr<ISBContainerRoot> root = project.Container();
//   CfxComPtr<ISBUrl> table = project.Url("Tables/T.std");   // or "file:///abs/T.std"
//   CfxComPtr<ISBState> plan = zarnlocal::MakeJobTemplate("Fit");
//   ... AppUtils::Document::CreateZarnServerJob(arg, plan.get(), "text", root.get(), true) ...
//   zarnlocal::ServerJob job = project.OpenJob("1");   // or ServerJob::Of(created.get())
//   job.Run();                                         // writes result documents on the server
//   ... DownloadFile(source, destination, job.Job()) ...
//
// Opening a project registers the server job class, so CfxCreateImpl makes
// jobs in that project's server folder (the project opened last, while it is
// open). Every failure of an interface operation is a failing status with a
// description stored as the host's last error; the C++ functions here throw
// CfxResult with the same descriptions.
//
// State on disk (all plain text, see project_state.h, project_view.h, server.h):
//   <project>/.zarn/hidden, locks, views      the project view
//   <project>/.zarn/filetypes, config         the project's own settings
//   <project>/.zarn/virtual/<path>            content of virtual documents
//   <project>/.zarn/workspace/                %WORKSPACE_FOLDER%
//   <project>/.zarn/server/jobs/<id>/         the jobs of the local server
//   <project>/.zarn/state.lock, partial/      the state lock and temporaries
//   <project>/Jobs/<id>/                      a job's client folder
//
// Every change of state runs under the state lock (state_lock.h), every file
// is written whole through a temporary, and every write and every file the
// server uses is checked on its real location (links resolved): see
// README.md, "What the local host guarantees".
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/com_ptr.h"
#include "host/job_interfaces.h"
#include "host/project_interfaces.h"
#include "localhost/call_trace.h"
#include "localhost/project_state.h"
#include "localhost/project_view.h"
#include "localhost/server.h"

namespace zarnlocal {

class ServerJobObject;
class ServerJob;

// Host objects alive now, and the references held on them, process-wide.
// Both are 0 once every client has released everything.
std::size_t LiveObjectCount() noexcept;
std::size_t OutstandingReferenceCount() noexcept;

// The description of this thread's latest failing interface operation of the
// local host. It outlives a client replacing the host's last error with the
// plain text of the status, so a tool can still say what went wrong.
std::string LastFailureDescription();

// A job template state to create jobs from: a name the job records.
CfxComPtr<ISBState> MakeJobTemplate(std::string name);

class Project {
 public:
  // Opens the project in an existing folder; reads .zarn/config and
  // .zarn/filetypes. Throws CfxResult.
  static Project Open(const std::string& folder);
  // The same with the server in the given folder instead of the project's
  // own (a relative one is taken from the project folder; an empty one
  // changes nothing).
  static Project Open(const std::string& folder, const std::string& serverFolder);

  const std::string& Folder() const;
  std::string StateFolder() const;
  const std::string& WorkspaceFolder() const;
  const std::string& ServerFolder() const;

  // A new reference to a container object of the project.
  CfxComPtr<ISBContainerRoot> Container() const;
  // A location, as ISBUrlFactory::CreateUrl makes it from the text.
  CfxComPtr<ISBUrl> Url(std::string_view text) const;

  // Every entry of the project, folders followed by what they hold (links
  // to folders are not walked), the host's own folders left out; what could
  // not be listed is named in `problems` and the rest is still given.
  struct Entry {
    std::string path;  // relative to the project
    bool folder = false;
  };
  std::vector<Entry> Entries(std::vector<std::string>& problems) const;

  // The project view.
  std::vector<std::string> HiddenEntries() const;  // paths relative to the project
  bool IsHidden(const std::string& relativePath) const;
  std::vector<LockRecord> Locks() const;
  std::vector<std::string> LockOwners(const std::string& relativePath) const;
  std::vector<ViewRecord> Views() const;
  // Operations made through the container in this process, in order.
  std::vector<OperationRecord> Operations() const;
  // The type name the document manager gives a path ("Folder" for folders).
  std::string DocumentType(const std::string& relativePath) const;

  // Makes (or replaces) the virtual document at a path of the project: its
  // content is kept in .zarn/virtual/<path>, and nothing is at the path itself.
  void MakeVirtualDocument(const std::string& relativePath, std::string_view content) const;

  // Jobs of the project's server.
  ServerJob CreateJob() const;
  ServerJob OpenJob(const std::string& id) const;  // throws "no such job"
  std::vector<std::string> JobIds() const;

 private:
  explicit Project(std::shared_ptr<ProjectState> state) : state_(std::move(state)) {}
  std::shared_ptr<ProjectState> state_;
};

// A C++ handle of one server job: it holds one reference to the job object
// and gives its interfaces, including those a client cannot query for
// (ISBJob, ISBManagedJob). Borrowed pointers live as long as the handle.
class ServerJob {
 public:
  // The handle of a job object of the local host (one the library created),
  // or nothing for another host's job.
  static std::optional<ServerJob> Of(ISBZarnServerJob* job);

  ISBZarnServerJob* ZarnServerJob() const;
  ISBJob* Job() const;
  ISBManagedJob* ManagedJob() const;
  ISBJobTransfer* Transfer() const;

  const std::string& Id() const;
  std::string Folder() const;                 // file-system folder on the server
  std::string DocumentsFolder() const;        // file-system path of Documents
  std::string ServerDocumentsFolder() const;  // the server path GetDocumentsFolder gives
  std::string ClientFolder() const;
  // "created", "initialized" or "finished".
  std::string State() const;
  // A setting of the job's state file ("text", "template", "live-updates", ...).
  std::string Setting(std::string_view key) const;
  void SetProperty(const std::string& name, std::string value) const;
  std::vector<JobInput> Inputs() const;
  // The file on this machine for a server path.
  std::string FilesystemPath(std::string_view serverPath) const;

  // Runs the job: a result document per input (Results/inputs/<input name>.txt)
  // and Results/summary.txt in the documents folder. Gives their server paths.
  std::vector<std::string> Run() const;

 private:
  explicit ServerJob(CfxComPtr<ISBZarnServerJob> object);
  ServerJobObject& Object() const;
  CfxComPtr<ISBZarnServerJob> object_;
};

}  // namespace zarnlocal
