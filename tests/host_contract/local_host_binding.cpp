// The contract's binding to the local reference host: each project is a
// temporary folder, reopened by opening the folder afresh.
#include <algorithm>
#include <filesystem>

#include "host_contract/contract_host.h"
#include "localhost/local_host.h"
#include "localhost/temp_folder.h"

namespace zarncontract {
namespace {

class LocalContractHost final : public ContractHost {
 public:
  LocalContractHost() : baseline_(zarnlocal::LiveObjectCount()) {}
  ~LocalContractHost() override {
    jobs_.clear();
    container_.Reset();
  }

  void MakeProject(const ProjectSpec& spec) override {
    for (const auto& [path, bytes] : spec.files) zarntest::Put(folder_ / path, bytes);
    std::string types;
    for (const FileTypeRule& rule : spec.fileTypes) {
      types += rule.extension + " " + rule.typeName;
      for (const std::string& dependent : rule.dependents) types += " " + dependent;
      types += "\n";
    }
    if (!types.empty()) zarntest::Put(folder_ / ".zarn/filetypes", types);
    Reopen();
  }
  void Reopen() override {
    jobs_.clear();
    container_.Reset();
    project_.reset();
    project_ = zarnlocal::Project::Open(folder_.Path());
    container_ = project_->Container();
  }
  ISBContainerRoot* Container() override { return container_.get(); }
  CfxComPtr<ISBUrl> Location(const std::string& relative) override { return project_->Url(relative); }
  std::string PathOf(const std::string& relative) override {
    std::string path = folder_ / relative;
    if (path.back() == '/') path.pop_back();
    return path;
  }
  std::optional<std::string> ReadProjectFile(const std::string& relative) override {
    return zarntest::Read(folder_ / relative);
  }
  std::vector<std::string> NamesIn(const std::string& relativeFolder) override {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(zarntest::FsPath(folder_ / relativeFolder))) {
      names.push_back(zarntest::Utf8Path(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  bool IsHidden(const std::string& relative) override { return project_->IsHidden(relative); }
  std::vector<std::string> LockOwners(const std::string& relative) override { return project_->LockOwners(relative); }

  CfxComPtr<ISBZarnServerJob> NewJob() override {
    zarnlocal::ServerJob job = project_->CreateJob();
    return CfxComPtr<ISBZarnServerJob>(job.ZarnServerJob());
  }
  ISBJob* JobOf(ISBZarnServerJob* job) override { return Handle(job).Job(); }
  ISBManagedJob* ManagedJobOf(ISBZarnServerJob* job) override { return Handle(job).ManagedJob(); }
  std::string PutServerFile(ISBZarnServerJob* job, const std::string& relative, const std::string& bytes) override {
    const zarnlocal::ServerJob& handle = Handle(job);
    zarntest::Put(handle.DocumentsFolder() + "/" + relative, bytes);
    return handle.ServerDocumentsFolder() + "/" + relative;
  }
  std::optional<std::string> ReadServerFile(ISBZarnServerJob* job, const std::string& relative) override {
    return zarntest::Read(Handle(job).DocumentsFolder() + "/" + relative);
  }
  std::optional<std::size_t> LiveObjects() override {
    // The container and the job handles are the binding's own.
    return zarnlocal::LiveObjectCount() - baseline_ - (container_ ? 1 : 0) - jobs_.size();
  }

 private:
  // The handle of a job, kept while the project is open, so that the
  // borrowed interfaces it gives stay valid.
  const zarnlocal::ServerJob& Handle(ISBZarnServerJob* job) {
    for (const zarnlocal::ServerJob& handle : jobs_) {
      if (handle.ZarnServerJob() == job) return handle;
    }
    jobs_.push_back(*zarnlocal::ServerJob::Of(job));
    return jobs_.back();
  }

  zarntest::TempFolder folder_;
  std::size_t baseline_;
  std::optional<zarnlocal::Project> project_;
  CfxComPtr<ISBContainerRoot> container_;
  std::vector<zarnlocal::ServerJob> jobs_;
};

}  // namespace

std::unique_ptr<ContractHost> MakeContractHost() { return std::make_unique<LocalContractHost>(); }

}  // namespace zarncontract
