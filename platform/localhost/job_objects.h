// The host objects of the server side.
//
//   ServerJobObject   ISBZarnServerJob, ISBJob, ISBJobTransfer, ISBManagedJob
//   JobFilesObject    ISBJobFiles
//   JobTemplateObject ISBState: a named job template
//
// A job object holds only its JobRecord (server.h): everything it knows is
// in the job's folder, so any process can open the job by its id.
#pragma once

#include <string>

#include "host/job_interfaces.h"
#include "localhost/object_base.h"
#include "localhost/server.h"

namespace zarnlocal {

class ServerJobObject final : public LocalObject,
                              public ISBZarnServerJob,
                              public ISBJob,
                              public ISBJobTransfer,
                              public ISBManagedJob {
 public:
  explicit ServerJobObject(JobRecord record) : record_(std::move(record)) {}
  LOCAL_HOST_IUNKNOWN(ISBZarnServerJob)
  std::string Describe() const override { return "<job " + record_.Id() + ">"; }
  JobRecord& Record() { return record_; }

  HRESULT Initialize(ISBJobHost* host, ISBState* state, VARIANT argument, BSTR inputFolder) override;
  HRESULT AddInputFile(ISBUrl* file, BSTR name) override;
  HRESULT GetDocumentsFolder(BSTR* folder) override;
  HRESULT SetJobText(BSTR text) override;
  HRESULT GetJobFiles(ISBJobFiles** files) override;
  HRESULT GetProperty(BSTR name, BSTR* value) override;
  HRESULT BeginLiveUpdates(BSTR mask) override;
  HRESULT EndLiveUpdates(BSTR text) override;
  HRESULT Download(BSTR source, BSTR destination, std::int32_t first, std::int32_t second) override;
  HRESULT GetClientFolder(BSTR* folder) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  JobRecord record_;
};

class JobFilesObject final : public LocalObject, public ISBJobFiles {
 public:
  explicit JobFilesObject(JobRecord record) : record_(std::move(record)) {}
  LOCAL_HOST_IUNKNOWN(ISBJobFiles)
  std::string Describe() const override { return "<files of job " + record_.Id() + ">"; }

  HRESULT GetName(BSTR* name) override;
  HRESULT CopyFiles(BSTR source, BSTR destination, std::int32_t flags, std::int32_t options, VARIANT first,
                    VARIANT second, VARIANT third, VARIANT fourth, IUnknown** result) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  JobRecord record_;
};

// Copies what a client path names into a folder of a job's documents: "dir/*"
// every entry of dir (folders with all they hold), a file the file, a folder
// the folder. '\' counts as a separator in both. Links in the source are
// followed (a folder that links back into what is being copied is refused);
// every file lands at a real location in the job's documents folder. Gives
// the number of files copied.
std::size_t CopyIntoServer(const JobRecord& job, std::string source, const std::string& destination);

// Copies a server file to a client path; the destination is complete or
// untouched. Refused: a source whose real location is outside the server
// folder, and a destination whose real location is outside the job's
// project, in its state folder .zarn/ or in the server folder.
void DownloadFromServer(const JobRecord& job, const std::string& source, const std::string& destination);

class JobTemplateObject final : public LocalObject, public ISBState {
 public:
  explicit JobTemplateObject(std::string name) : name_(std::move(name)) {}
  LOCAL_HOST_IUNKNOWN(ISBState)
  std::string Describe() const override { return "<template \"" + name_ + "\">"; }
  const std::string& Name() const { return name_; }

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  std::string name_;
};

}  // namespace zarnlocal
