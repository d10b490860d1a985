#include "localhost/local_host.h"

#include <mutex>

#include "cfx/cfx_host.h"
#include "localhost/job_objects.h"
#include "localhost/project_objects.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

// CLASS_E_NOAGGREGATION: the object cannot be part of an aggregate.
constexpr HRESULT kNoAggregation = static_cast<HRESULT>(0x80040110);

// The project whose server makes the jobs of CfxCreateImpl.
std::mutex jobProjectMutex;
std::weak_ptr<ProjectState> jobProject;

HRESULT CreateServerJob(const CfxCreateRequest& request, void** out) {
  return Entry(
      "Cfx", "CreateImpl",
      [&] {
        RequireSlot(out, "the created object");
        *out = nullptr;
        if (request.outer) Fail(kNoAggregation, "server jobs cannot be aggregated");
        std::shared_ptr<ProjectState> project;
        {
          std::lock_guard lock(jobProjectMutex);
          project = jobProject.lock();
        }
        if (!project) Fail(E_UNEXPECTED, "no local project is open to make a server job in");
        CfxComPtr<ISBZarnServerJob> job;
        job.Attach(new ServerJobObject(JobRecord::Create(project->TheServer(), project->Folder())));
        auto* object = LocalOf<ServerJobObject>(job.get());
        void* found = nullptr;
        if (request.iid == InterfaceIdOf<ISBZarnServerJob> || request.iid == InterfaceIdOf<IUnknown>) {
          found = job.get();
        } else if (request.iid == InterfaceIdOf<ISBJobTransfer>) {
          found = static_cast<ISBJobTransfer*>(object);
        }
        if (!found) Fail(E_NOINTERFACE, "a server job does not implement " + FormatArgument(request.iid));
        object->AddReference();
        *out = found;
        return S_OK;
      },
      request.clsid, static_cast<std::int32_t>(request.context), request.iid);
}

void ServeJobsFor(const std::shared_ptr<ProjectState>& project) {
  // Registered at every opening: another host of the process may have taken the class meanwhile.
  CfxRegisterClassFactory(CLSID_ZarnServerJob, CreateServerJob);
  std::lock_guard lock(jobProjectMutex);
  jobProject = project;
}

}  // namespace

CfxComPtr<ISBState> MakeJobTemplate(std::string name) {
  CfxComPtr<ISBState> made;
  made.Attach(new JobTemplateObject(std::move(name)));
  return made;
}

// ---- Project ---------------------------------------------------------------

Project Project::Open(const std::string& folder) { return Open(folder, std::string()); }

Project Project::Open(const std::string& folder, const std::string& serverFolder) {
  Project project(ProjectState::Open(folder, serverFolder));
  ServeJobsFor(project.state_);
  return project;
}

const std::string& Project::Folder() const { return state_->Folder(); }
std::string Project::StateFolder() const { return state_->StateFolder(); }
const std::string& Project::WorkspaceFolder() const { return state_->WorkspaceFolder(); }
const std::string& Project::ServerFolder() const { return state_->TheServer().Root(); }

CfxComPtr<ISBContainerRoot> Project::Container() const {
  CfxComPtr<ISBContainerRoot> container;
  container.Attach(new ContainerObject(state_));
  return container;
}

CfxComPtr<ISBUrl> Project::Url(std::string_view text) const {
  CfxComPtr<ISBUrl> url;
  url.Attach(new UrlObject(state_, state_->Parse(text)));
  return url;
}

std::vector<Project::Entry> Project::Entries(std::vector<std::string>& problems) const {
  Location everything = Location::FromPath(state_->Folder(), "/");
  everything.folder = true;
  everything.query = "Recursive=Yes";
  Listing listing = ListLocation(*state_, everything);
  std::vector<Entry> entries;
  entries.reserve(listing.entries.size());
  for (const Location& entry : listing.entries)
    entries.push_back({RelativeTo(entry.path, state_->Folder()), entry.folder});
  problems.insert(problems.end(), listing.problems.begin(), listing.problems.end());
  return entries;
}

std::vector<std::string> Project::HiddenEntries() const { return state_->View().Hidden(); }
bool Project::IsHidden(const std::string& relativePath) const { return state_->View().IsHidden(relativePath); }
std::vector<LockRecord> Project::Locks() const { return state_->View().Locks(); }
std::vector<std::string> Project::LockOwners(const std::string& relativePath) const {
  return state_->View().LockOwners(relativePath);
}
std::vector<ViewRecord> Project::Views() const { return state_->View().Views(); }
std::vector<OperationRecord> Project::Operations() const { return state_->Operations(); }

std::string Project::DocumentType(const std::string& relativePath) const {
  return DocumentTypeOf(*state_, state_->Parse(relativePath));
}

void Project::MakeVirtualDocument(const std::string& relativePath, std::string_view content) const {
  const std::string relative = state_->RelativeOrFail(state_->Resolve(relativePath));
  if (relative.empty()) throw CfxResult(E_INVALIDARG, "a virtual document needs a path in the project");
  const std::string store = state_->VirtualStoreOf(relative);
  WriteFileAtomically(state_->CheckedVirtualStore(store), content, state_->Scratch());
}

ServerJob Project::CreateJob() const {
  CfxComPtr<ISBZarnServerJob> job;
  job.Attach(new ServerJobObject(JobRecord::Create(state_->TheServer(), state_->Folder())));
  return *ServerJob::Of(job.get());
}

ServerJob Project::OpenJob(const std::string& id) const {
  CfxComPtr<ISBZarnServerJob> job;
  job.Attach(new ServerJobObject(JobRecord(state_->TheServer(), id, state_->Folder())));
  return *ServerJob::Of(job.get());
}

std::vector<std::string> Project::JobIds() const { return state_->TheServer().JobIds(); }

// ---- ServerJob -------------------------------------------------------------

ServerJob::ServerJob(CfxComPtr<ISBZarnServerJob> object) : object_(std::move(object)) {}

std::optional<ServerJob> ServerJob::Of(ISBZarnServerJob* job) {
  if (!LocalOf<ServerJobObject>(job)) return std::nullopt;
  return ServerJob(CfxComPtr<ISBZarnServerJob>(job));
}

ServerJobObject& ServerJob::Object() const { return *LocalOf<ServerJobObject>(object_.get()); }

ISBZarnServerJob* ServerJob::ZarnServerJob() const { return object_.get(); }
ISBJob* ServerJob::Job() const { return &Object(); }
ISBManagedJob* ServerJob::ManagedJob() const { return &Object(); }
ISBJobTransfer* ServerJob::Transfer() const { return &Object(); }

const std::string& ServerJob::Id() const { return Object().Record().Id(); }
std::string ServerJob::Folder() const { return Object().Record().Folder(); }
std::string ServerJob::DocumentsFolder() const { return Object().Record().DocumentsFolder(); }
std::string ServerJob::ServerDocumentsFolder() const { return Object().Record().ServerDocumentsFolder(); }
std::string ServerJob::ClientFolder() const { return Object().Record().ClientFolder(); }
std::string ServerJob::State() const { return Object().Record().Get("state"); }
std::string ServerJob::Setting(std::string_view key) const { return Object().Record().Get(key); }
void ServerJob::SetProperty(const std::string& name, std::string value) const {
  Object().Record().Set("property." + name, std::move(value));
}
std::vector<JobInput> ServerJob::Inputs() const { return Object().Record().Inputs(); }
std::string ServerJob::FilesystemPath(std::string_view serverPath) const {
  return Object().Record().TheServer().ToFilesystem(serverPath);
}
std::vector<std::string> ServerJob::Run() const { return Object().Record().Run(); }

}  // namespace zarnlocal
