// The host contract: what the library relies on from a host, checked against
// any host. A host takes part through one binding: a ContractHost that makes
// a project with given files, reopens it as a new process would, and answers
// the few questions that the interfaces themselves cannot (is an entry
// hidden, which files a job's server documents folder holds).
//
// To check another host, compile the *_contract_test.cpp files with a
// binding of your own that defines MakeContractHost (see local_host_binding.cpp).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/com_ptr.h"
#include "host/job_interfaces.h"
#include "host/project_interfaces.h"

namespace zarncontract {

struct FileTypeRule {
  std::string extension;  // without dot
  std::string typeName;
  std::vector<std::string> dependents;  // without dots
};

struct ProjectSpec {
  // Relative path and content; a path ending in '/' is an (empty) folder.
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<FileTypeRule> fileTypes;
};

class ContractHost {
 public:
  virtual ~ContractHost() = default;

  // A fresh project holding exactly the files and file types it is given.
  virtual void MakeProject(const ProjectSpec& spec) = 0;
  // Drops every object of the project and opens it again from what the host
  // kept, as the next process would.
  virtual void Reopen() = 0;
  // The project's container; borrowed, valid until Reopen.
  virtual ISBContainerRoot* Container() = 0;
  // A location of the project; a path ending in '/' gives a folder location.
  virtual CfxComPtr<ISBUrl> Location(const std::string& relative) = 0;
  // The file-system path of an entry, as GetFilePath gives it.
  virtual std::string PathOf(const std::string& relative) = 0;
  // Whether a file of the project exists and what it holds.
  virtual std::optional<std::string> ReadProjectFile(const std::string& relative) = 0;
  // The names in a folder of the project, to find stray files.
  virtual std::vector<std::string> NamesIn(const std::string& relativeFolder) = 0;
  // What the project view shows.
  virtual bool IsHidden(const std::string& relative) = 0;
  virtual std::vector<std::string> LockOwners(const std::string& relative) = 0;

  // A new server job of the project, and its interfaces that have no identifier to query for.
  virtual CfxComPtr<ISBZarnServerJob> NewJob() = 0;
  virtual ISBJob* JobOf(ISBZarnServerJob* job) = 0;
  virtual ISBManagedJob* ManagedJobOf(ISBZarnServerJob* job) = 0;
  // Puts a file into the job's server documents folder; gives the server
  // path that names it (as the job would report it).
  virtual std::string PutServerFile(ISBZarnServerJob* job, const std::string& relative, const std::string& bytes) = 0;
  virtual std::optional<std::string> ReadServerFile(ISBZarnServerJob* job, const std::string& relative) = 0;

  // Host objects alive that the test made (not the binding's own), when the
  // host can count them.
  virtual std::optional<std::size_t> LiveObjects() = 0;
};

// Defined by the binding of the host under test.
std::unique_ptr<ContractHost> MakeContractHost();

}  // namespace zarncontract
